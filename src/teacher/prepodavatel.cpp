#include "teacher/prepodavatel.h"

#include "app/dm.h"
#include "app/registracia.h"
#include "app/zastavka.h"

TForm2* Form2 = nullptr;

TForm2::TForm2() {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Окно преподавателя"));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(16);
    setFont(font);
    resize(800, 600);

    MainMenu1 = createMainMenu();
    N1 = addMenuItem(MainMenu1, "N1", QStringLiteral("Упражнения"));
    N2 = addMenuItem(MainMenu1, "N2", QStringLiteral("Практические занятия"));
    N3 = addMenuItem(MainMenu1, "N3", QStringLiteral("Дополнительный материал"));
    N4 = addMenuItem(MainMenu1, "N4", QStringLiteral("Презентации"));
    N8 = addMenuItem(MainMenu1, "N8", QStringLiteral("Видеоматериал"));
    N5 = addMenuItem(MainMenu1, "N5", QStringLiteral("Результаты тестирования"));
    N6 = addMenuItem(MainMenu1, "N6", QStringLiteral("База тестов"));
    N7 = addMenuItem(MainMenu1, "N7", QStringLiteral("Выход"));
    // The catalogues, the result journal and the test bank open here as they are built;
    // until then their items are shown disabled.
    for (QAction* pending : {N1, N2, N3, N4, N8, N5, N6})
        pending->setEnabled(false);
    connect(N7, &QAction::triggered, this, &TForm2::N7Click);
}

void TForm2::N7Click() {
    Form1->close();
    TDataModule1* dm = DataModule1;
    for (TTable* table : {dm->tblUsers, dm->tblTeoria, dm->tblDopolnenie, dm->tblTest,
                          dm->tblResult, dm->tblPraktika, dm->tblTema})
        table->close();
    close();
    Form8->close();
}
