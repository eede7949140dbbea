#pragma once

#include "data/db_grid.h"
#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sDBMemo.h"
#include "skin/controls/sDBNavigator.h"
#include "skin/controls/sDateEdit.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

// The answer analysis: the signed-in student's answer records one question at a time, with
// the number of answers that equal the correct ones.
class TForm12 : public TForm {
    Q_OBJECT

public:
    TForm12();

    TsPanel* sPanel1;
    TsDBNavigator* sDBNavigator1;
    TsButton* sButton3;  // "Очистить базу"
    TsButton* sButton2;  // "Закрыть"
    TsButton* sButton4;  // "Экспорт..."
    TDBGrid* DBGrid1;
    TsDBMemo* sDBMemo1;
    TsPanel* sPanel2;
    TsLabel* sLabel1;
    TsEdit* sEdit1;  // the count of correct answers
    TsLabel* sLabel2;
    TsDateEdit* DateTimePicker1;
    TsButton* sButton1;  // "Сбросить фильтр"

    // Shows the signed-in student's records and their count.
    void open();
    void DateTimePicker1Change();
    void sButton1Click();
    void sButton3Click();
    void sButton2Click();
    void sButton4Click();

    // The number of shown rows whose answer equals the correct answer, into the count box.
    void countCorrect();
};

extern TForm12* Form12;
