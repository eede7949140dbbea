#pragma once

#include "platform/form.h"

// The dialog that adds a theory topic.
class TForm5 : public TForm {
    Q_OBJECT

public:
    TForm5();
};

extern TForm5* Form5;
