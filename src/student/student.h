#pragma once

#include <QAction>
#include <QMenuBar>

#include "platform/browser_pane.h"
#include "platform/form.h"
#include "skin/controls/sPanel.h"

// The student window: the signed-in student's workspace, with the course material lists,
// the final test, the student's results and the exit in its menu bar.
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

    TsPanel* sPanel1;  // document panel
    TWebBrowser* WebBrowser1;

    void N9Click();

protected:
    void closeEvent(QCloseEvent* event) override;
};

extern TForm4* Form4;
