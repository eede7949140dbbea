#pragma once

#include "platform/form.h"

// The test window.
class TForm6 : public TForm {
    Q_OBJECT

public:
    TForm6();
};

extern TForm6* Form6;
