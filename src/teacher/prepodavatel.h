#pragma once

#include <QAction>
#include <QMenuBar>

#include "platform/form.h"

// The teacher window: the course catalogues, the test bank and the result journal.
class TForm2 : public TForm {
    Q_OBJECT

public:
    TForm2();

    QMenuBar* MainMenu1;
    QAction* N1;  // "Упражнения"
    QAction* N2;  // "Практические занятия"
    QAction* N3;  // "Дополнительный материал"
    QAction* N4;  // "Презентации"
    QAction* N8;  // "Видеоматериал"
    QAction* N5;  // "Результаты тестирования"
    QAction* N6;  // "База тестов"
    QAction* N7;  // "Выход"

    void N7Click();
};

extern TForm2* Form2;
