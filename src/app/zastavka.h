#pragma once

#include "platform/form.h"
#include "platform/picture.h"

// The splash window, the program's main window: its picture waits for a click that leads
// on to sign-in.
class TForm8 : public TForm {
    Q_OBJECT

public:
    TForm8();

    TImage* Image1;

    void Image1Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

extern TForm8* Form8;
