#pragma once

#include "data/db_grid.h"
#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sDBNavigator.h"
#include "skin/controls/sDateEdit.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"

// The teacher's review of the result journal: search by login, filter by date, clearing.
class TForm11 : public TForm {
    Q_OBJECT

public:
    TForm11();

    TsPanel* sPanel1;
    TsDBNavigator* sDBNavigator1;
    TsButton* sButton3;  // "Очистить базу"
    TsButton* sButton2;  // "Закрыть"
    TsButton* sButton4;  // "Экспорт..."
    TDBGrid* DBGrid1;
    TsPanel* sPanel2;
    TsLabel* sLabel1;
    TsEdit* sEdit1;
    TsSpeedButton* sSpeedButton1;
    TsLabel* sLabel2;
    TsDateEdit* DateTimePicker1;
    TsButton* sButton1;  // "Сбросить фильтр"
    TsLabel* sLabel3;    // on a class server: how many seats are taking the test now

    // Shows the review with an empty login box and today's date.
    void open();
    void sEdit1KeyUp();
    void sSpeedButton1Click();
    void DateTimePicker1Change();
    void sButton1Click();
    void sButton3Click();
    void sButton2Click();
    void sButton4Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // On a class server the journal is read again whenever a seat hands in, keeping the
    // filter and the current row; a row being edited is left alone until it is saved or
    // given up.
    void listenToServer();
    void journalChanged();
    void showSeats();
    bool listening_ = false;
    bool stale_ = false;
};

extern TForm11* Form11;
