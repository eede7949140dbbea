#pragma once

#include <QAction>
#include <QMenuBar>

#include "data/db_grid.h"
#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sPanel.h"

// The teacher window: the five course catalogues edited in a grid, the test bank and the
// result journal.
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
    QAction* N9;  // "Статистика вопросов"
    QAction* N6;  // "База тестов"
    QAction* N7;  // "Выход"

    TDBGrid* DBGrid1;
    TsPanel* sPanel1;
    TsButton* sButton1;  // "Добавить"
    TsButton* sButton2;  // "Удалить"
    TsButton* sButton4;  // "Редактировать"
    TsButton* sButton3;  // "Сохранить изменения"

    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void N8Click();
    void N5Click();
    void N9Click();
    void N6Click();
    void N7Click();
    void sButton1Click();
    void sButton2Click();
    void sButton4Click();
    void sButton3Click();
    void DBGrid1CellClick();
    void DBGrid1DblClick();

    // The table of the catalogue the grid shows, or null before the first choice.
    TTable* shownTable() const;

private:
    void chooseCatalogue(TDataSource* source, int kind);
    // Asks the delete question; No drops the pending change of the table.
    bool confirmDelete(const QString& question, TTable* table);
};

extern TForm2* Form2;
