#pragma once

#include "platform/form.h"

// The answer analysis.
class TForm12 : public TForm {
    Q_OBJECT

public:
    TForm12();
};

extern TForm12* Form12;
