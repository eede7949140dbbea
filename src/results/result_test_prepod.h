#pragma once

#include "platform/form.h"

// The teacher's review of the result journal.
class TForm11 : public TForm {
    Q_OBJECT

public:
    TForm11();
};

extern TForm11* Form11;
