#pragma once

#include "platform/form.h"

// The test bank editor.
class TForm3 : public TForm {
    Q_OBJECT

public:
    TForm3();
};

extern TForm3* Form3;
