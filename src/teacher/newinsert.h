#pragma once

#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"

// The dialog that adds a theory topic: its title, the section it belongs to (none for a
// new section), the file name of its page and of its presentation.
class TForm5 : public TForm {
    Q_OBJECT

public:
    TForm5();

    TsLabel* sLabel1;
    TsEdit* sEdit1;  // title
    TsLabel* sLabel2;
    TsComboBox* sComboBox1;  // section
    TsLabel* sLabel3;
    TsEdit* sEdit2;  // page file
    TsLabel* sLabel4;
    TsEdit* sEdit3;      // presentation file
    TsButton* sButton1;  // "Добавить"

    // Empties the boxes, offers the sections of the topic table and shows the dialog.
    void open();
    void sButton1Click();
};

extern TForm5* Form5;
