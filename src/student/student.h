#pragma once

#include <QAction>
#include <QMenuBar>

#include "data/table.h"
#include "platform/browser_pane.h"
#include "platform/form.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sTreeView.h"

// The student window: the signed-in student's workspace. Its menu leads to the course
// material lists, shown as a tree of titles beside a browser pane, to the final test, to
// the student's results and to the exit.
class TForm4 : public TForm {
    Q_OBJECT

public:
    TForm4();

    QMenuBar* MainMenu1;
    QAction* N1;   // "Упражнения"
    QAction* N2;   // "Практические занятия"
    QAction* N3;   // "Дополнительный материал"
    QAction* N4;   // "Презентации"
    QAction* N6;   // "Видеоматериал"
    QAction* N5;   // "Тестирование"
    QMenu* N13;    // "Результаты тестирования"
    QAction* N14;  // "Просмотр результатов"
    QAction* N15;  // "Анализ тестирования"
    QAction* N9;   // "Выход"

    TsPanel* sPanel1;  // document panel: the list tree and the browser pane
    TsTreeView* sTreeView1;
    TWebBrowser* WebBrowser1;
    TsPanel* sPanel2;  // print panel
    TsBitBtn* sBitBtn1;

    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void N6Click();
    void N5Click();   // "Тестирование": starts the final test
    void N14Click();  // "Просмотр результатов"
    void N15Click();  // "Анализ тестирования"
    void N9Click();
    void sTreeView1Click();
    void sBitBtn1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Shows the document panel, and the print panel with "Печать" only for the lists
    // whose documents can be printed.
    void switchPanels(bool printable);
    // Fills the tree with one node per row of a catalogue, in the table's order.
    void fillTree(TTable* table);
    void showTitlePicture();
};

extern TForm4* Form4;
