#include "student/student.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "app/dm.h"
#include "app/registracia.h"
#include "app/zastavka.h"

TForm4* Form4 = nullptr;

TForm4::TForm4() {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Окно студента"));
    resize(800, 600);

    MainMenu1 = createMainMenu();
    N1 = addMenuItem(MainMenu1, "N1", QStringLiteral("Упражнения"));
    N2 = addMenuItem(MainMenu1, "N2", QStringLiteral("Практические занятия"));
    N3 = addMenuItem(MainMenu1, "N3", QStringLiteral("Дополнительный материал"));
    N4 = addMenuItem(MainMenu1, "N4", QStringLiteral("Презентации"));
    N6 = addMenuItem(MainMenu1, "N6", QStringLiteral("Видеоматериал"));
    N5 = addMenuItem(MainMenu1, "N5", QStringLiteral("Тестирование"));
    N13 = MainMenu1->addMenu(QStringLiteral("Результаты тестирования"));
    N13->setObjectName(QStringLiteral("N13"));
    N14 = addMenuItem(N13, "N14", QStringLiteral("Просмотр результатов"));
    N15 = addMenuItem(N13, "N15", QStringLiteral("Анализ тестирования"));
    N9 = addMenuItem(MainMenu1, "N9", QStringLiteral("Выход"));
    // The course material, the test and the results open here as they are built; until
    // then their items are shown disabled.
    for (QAction* pending : {N1, N2, N3, N4, N6, N5, N13->menuAction()})
        pending->setEnabled(false);
    connect(N9, &QAction::triggered, this, &TForm4::N9Click);

    sPanel1 = new TsPanel(this);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    auto* panelLayout = new QVBoxLayout(sPanel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    WebBrowser1 = new TWebBrowser(sPanel1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    panelLayout->addWidget(WebBrowser1);
    layout()->addWidget(sPanel1);
    sPanel1->hide();
}

void TForm4::N9Click() {
    TDataModule1* dm = DataModule1;
    for (TTable* table :
         {dm->tblUsers, dm->tblTeoria, dm->tblDopolnenie, dm->tblTest, dm->tblResult,
          dm->tblPraktika, dm->tblTema, dm->tblPresentacia, dm->tblVideo, dm->tblProverka})
        table->close();
    close();
    Form1->close();
    Form8->close();
}

void TForm4::closeEvent(QCloseEvent* event) {
    sPanel1->hide();
    TForm::closeEvent(event);
}
