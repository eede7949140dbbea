#include "teacher/prepodavatel.h"

#include <QVBoxLayout>

#include "app/dm.h"
#include "app/globals.h"
#include "app/registracia.h"
#include "app/zastavka.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/shell_open.h"
#include "results/result_test_prepod.h"
#include "results/statistika.h"
#include "skin/controls/sScrollWnd.h"
#include "teacher/basatest.h"
#include "teacher/newinsert.h"
#include "teacher/topic_catalogue.h"

TForm2* Form2 = nullptr;

namespace {
const QString kDeleteQuestion = QStringLiteral("Удалить запись?");
const QString kDeleteSectionQuestion =
    QStringLiteral("Удалить запись? Вместе с темой будут удалены все входящие разделы.");
}  // namespace

TForm2::TForm2() {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Окно преподавателя"));
    setFont(pixelFont(QStringLiteral("Times New Roman"), 16));
    resize(800, 600);

    MainMenu1 = createMainMenu();
    N1 = addMenuItem(MainMenu1, "N1", QStringLiteral("Упражнения"));
    N2 = addMenuItem(MainMenu1, "N2", QStringLiteral("Практические занятия"));
    N3 = addMenuItem(MainMenu1, "N3", QStringLiteral("Дополнительный материал"));
    N4 = addMenuItem(MainMenu1, "N4", QStringLiteral("Презентации"));
    N8 = addMenuItem(MainMenu1, "N8", QStringLiteral("Видеоматериал"));
    N5 = addMenuItem(MainMenu1, "N5", QStringLiteral("Результаты тестирования"));
    N9 = addMenuItem(MainMenu1, "N9", QStringLiteral("Статистика вопросов"));
    N6 = addMenuItem(MainMenu1, "N6", QStringLiteral("База тестов"));
    N7 = addMenuItem(MainMenu1, "N7", QStringLiteral("Выход"));
    connect(N1, &QAction::triggered, this, &TForm2::N1Click);
    connect(N2, &QAction::triggered, this, &TForm2::N2Click);
    connect(N3, &QAction::triggered, this, &TForm2::N3Click);
    connect(N4, &QAction::triggered, this, &TForm2::N4Click);
    connect(N8, &QAction::triggered, this, &TForm2::N8Click);
    connect(N5, &QAction::triggered, this, &TForm2::N5Click);
    connect(N9, &QAction::triggered, this, &TForm2::N9Click);
    connect(N6, &QAction::triggered, this, &TForm2::N6Click);
    connect(N7, &QAction::triggered, this, &TForm2::N7Click);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    // Its frame and scroll bars are the skin's, as an edit's are.
    TsScrollWnd::attach(DBGrid1, QStringLiteral("EDIT"));
    DBGrid1->setReadOnly(true);
    DBGrid1->hide();
    connect(DBGrid1, &TDBGrid::CellClick, this, &TForm2::DBGrid1CellClick);
    connect(DBGrid1, &TDBGrid::DblClick, this, &TForm2::DBGrid1DblClick);
    layout()->addWidget(DBGrid1);

    sPanel1 = new TsPanel(this);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    sPanel1->setFixedHeight(58);
    const auto button = [this](const char* name, int left, const QString& caption) {
        auto* result = new TsButton(sPanel1);
        result->setObjectName(QLatin1String(name));
        result->setGeometry(left, 16, 170, 25);
        result->setText(caption);
        result->setEnabled(false);
        return result;
    };
    sButton1 = button("sButton1", 32, QStringLiteral("Добавить"));
    sButton2 = button("sButton2", 216, QStringLiteral("Удалить"));
    sButton4 = button("sButton4", 400, QStringLiteral("Редактировать"));
    sButton3 = button("sButton3", 584, QStringLiteral("Сохранить изменения"));
    connect(sButton1, &QPushButton::clicked, this, &TForm2::sButton1Click);
    connect(sButton2, &QPushButton::clicked, this, &TForm2::sButton2Click);
    connect(sButton4, &QPushButton::clicked, this, &TForm2::sButton4Click);
    connect(sButton3, &QPushButton::clicked, this, &TForm2::sButton3Click);
    // The grid takes the room above the button panel, hidden or not.
    static_cast<QVBoxLayout*>(layout())->addStretch();
    layout()->addWidget(sPanel1);
}

TTable* TForm2::shownTable() const {
    TDataSource* source = DBGrid1->dataSource();
    return source ? source->dataSet() : nullptr;
}

void TForm2::chooseCatalogue(TDataSource* source, int kind) {
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->setStretchFactor(DBGrid1, 1);
    DBGrid1->show();
    sButton2->setEnabled(true);
    sButton1->setEnabled(true);
    sButton3->setEnabled(false);
    sButton4->setEnabled(false);
    DBGrid1->setDataSource(source);
    MaterialKind = quint8(kind);
}

void TForm2::N1Click() {
    chooseCatalogue(DataModule1->DataSource2, 1);
}
void TForm2::N2Click() {
    chooseCatalogue(DataModule1->DataSource7, 2);
}

void TForm2::N3Click() {
    chooseCatalogue(DataModule1->DataSource3, 3);
    DataModule1->tblDopolnenie->setSort(QStringLiteral("Номер"));
}

void TForm2::N4Click() {
    chooseCatalogue(DataModule1->DataSource6, 4);
}
void TForm2::N8Click() {
    chooseCatalogue(DataModule1->DataSource8, 5);
}

void TForm2::N5Click() {
    Form11->open();
}

void TForm2::N9Click() {
    Form13->open();
}

void TForm2::N6Click() {
    DBGrid1->hide();
    Form3->open();
    for (TsButton* button : {sButton1, sButton2, sButton4, sButton3})
        button->setEnabled(false);
}

void TForm2::sButton1Click() {
    DBGrid1->setReadOnly(false);
    sButton3->setEnabled(true);
    sButton2->setEnabled(false);
    sButton1->setEnabled(false);
    if (MaterialKind == 1) {
        Form5->open();
        return;
    }
    TTable* table = shownTable();
    if (!table) return;
    if (MaterialKind == 3) table->last();
    table->insert();
    DBGrid1->setFocus();
}

bool TForm2::confirmDelete(const QString& question, TTable* table) {
    if (MessageBox(question, TApplication::title(), mbYesNo | mbIconInformation) == idYes)
        return true;
    table->cancel();
    return false;
}

void TForm2::sButton2Click() {
    DBGrid1->setReadOnly(true);
    TTable* table = shownTable();
    if (!table) return;
    if (MaterialKind != 1) {
        if (confirmDelete(kDeleteQuestion, table)) table->deleteRecord();
        return;
    }
    // A section goes with its sub-topics; after any deletion the rows are numbered again so
    // that the student's tree keeps every sub-topic under its own section.
    TTable* teoria = DataModule1->tblTeoria;
    const bool section = teoria->fieldByName(QStringLiteral("Индекс")).asInteger() == 0;
    if (!confirmDelete(section ? kDeleteSectionQuestion : kDeleteQuestion, teoria)) return;
    const QString promoted = topics::deleteTopic(*DataModule1->ADOConnection1, teoria);
    if (!promoted.isEmpty())
        MessageBox(QStringLiteral("Раздел «%1» стал первым в курсе. Первый раздел не может "
                                  "содержать вложенных тем, поэтому его темы стали "
                                  "отдельными разделами.")
                       .arg(promoted),
                   TApplication::title(), mbOk | mbIconInformation);
}

void TForm2::sButton4Click() {
    DBGrid1->setReadOnly(false);
    if (MaterialKind == 1) DataModule1->tblTeoria->edit();
    sButton3->setEnabled(true);
}

void TForm2::sButton3Click() {
    sButton1->setEnabled(true);
    sButton2->setEnabled(true);
    sButton3->setEnabled(false);
    DBGrid1->setReadOnly(true);
    if (TTable* table = shownTable()) table->post();
}

void TForm2::DBGrid1CellClick() {
    DBGrid1->setReadOnly(true);
    sButton4->setEnabled(true);
    if ((MaterialKind == 2 || MaterialKind == 4) && !sButton1->isEnabled())
        DBGrid1->setReadOnly(false);
    if (MaterialKind == 5) {
        sButton1->setEnabled(false);
        sButton3->setEnabled(false);
        sButton4->setEnabled(false);
    }
    sButton2->setEnabled(true);
}

void TForm2::DBGrid1DblClick() {
    // A double click on a presentation opens it, as the student window does.
    if (MaterialKind != 4) return;
    TTable* table = DataModule1->tblPresentacia;
    if (table->isEmpty()) return;
    ShellOpen(QStringLiteral("Data\\Present\\") +
                  table->fieldByName(QStringLiteral("Наименование файла")).asString(),
              QString(), QString(), 1);
}

void TForm2::N7Click() {
    Form1->close();
    TDataModule1* dm = DataModule1;
    for (TTable* table : {dm->tblUsers, dm->tblTeoria, dm->tblDopolnenie, dm->tblTest,
                          dm->tblResult, dm->tblPraktika, dm->tblTema})
        table->close();
    DBGrid1->hide();
    sPanel1->hide();
    close();
    Form8->close();
}
