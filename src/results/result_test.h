#pragma once

#include "platform/form.h"

// The student's view of his or her results.
class TForm10 : public TForm {
    Q_OBJECT

public:
    TForm10();
};

extern TForm10* Form10;
