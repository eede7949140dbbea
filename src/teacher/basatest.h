#pragma once

#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sMemo.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sRadioGroup.h"

// The question number the test bank editor shows. It is kept beside the bank's cursor and
// stepped by the editor's commands, not derived from the cursor.
extern int BankQuestionNo;

// The test bank editor: one question at a time, with its correct answer.
class TForm3 : public TForm {
    Q_OBJECT

public:
    TForm3();

    TsLabel* sLabel1;  // "Вопрос №..."
    TsLabel* sLabel2;  // "Всего вопросов: ..."
    TsMemo* sMemo1;
    TsRadioGroup* sRadioGroup1;
    TsPanel* sPanel1;
    TsButton* sButton6;  // "Первый"
    TsButton* sButton4;  // "Назад"
    TsButton* sButton5;  // "Вперед"
    TsButton* sButton7;  // "Последний"
    TsButton* sButton1;  // "Добавить"
    TsButton* sButton2;  // "Удалить"
    TsButton* sButton3;  // "Сохранить"

    // Shows the editor on the bank's first question.
    void open();
    void sButton6Click();
    void sButton7Click();
    void sButton5Click();
    void sButton4Click();
    void sButton1Click();
    void sButton3Click();
    void sButton2Click();

private:
    void showQuestion();
    void refreshLabels();
};

extern TForm3* Form3;
