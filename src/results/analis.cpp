#include "results/analis.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/design.h"
#include "app/dm.h"
#include "app/globals.h"
#include "data/filter.h"
#include "platform/short_date.h"
#include "results/export_command.h"
#include "results/journal_export.h"
#include "results/journal_strip.h"
#include "skin/controls/sScrollWnd.h"

TForm12* Form12 = nullptr;

namespace {
const QString kLogin = QStringLiteral("Логин_студента");
}

TForm12::TForm12() {
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Анализ тестирования"));
    resize(900, 600);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13));
    setBackgroundColour(this, kFormBackground);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    const JournalStrip strip = createJournalStrip(this, DataModule1->DataSource11);
    sPanel1 = strip.panel;
    sDBNavigator1 = strip.navigator;
    sButton3 = strip.clear;
    sButton2 = strip.close;
    sButton4 = strip.exportRows;
    column->addWidget(sPanel1);

    auto* middle = new QHBoxLayout();
    middle->setSpacing(0);
    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    // Its frame and scroll bars are the skin's, as an edit's are.
    TsScrollWnd::attach(DBGrid1, QStringLiteral("EDIT"));
    DBGrid1->setFixedWidth(545);
    DBGrid1->setColumns(
        {kLogin, QStringLiteral("Дата_тестирования"), QStringLiteral("Ответ_студента"),
         QStringLiteral("Правильный_ответ"), QStringLiteral("Вид_тестирования")},
        100);
    DBGrid1->setDataSource(DataModule1->DataSource11);
    middle->addWidget(DBGrid1);
    sDBMemo1 = new TsDBMemo(this);
    sDBMemo1->setObjectName(QStringLiteral("sDBMemo1"));
    setBlackOnWhite(sDBMemo1);
    sDBMemo1->setDataSource(DataModule1->DataSource11);
    sDBMemo1->setDataField(QStringLiteral("Вопрос"));
    middle->addWidget(sDBMemo1, 1);
    column->addLayout(middle, 1);

    sPanel2 = new TsPanel(this);
    sPanel2->setObjectName(QStringLiteral("sPanel2"));
    sPanel2->setFixedHeight(105);
    sLabel1 = new TsLabel(sPanel2);
    sLabel1->move(16, 18);
    sLabel1->setCaption(QStringLiteral("Количество правильных ответов:"));
    sEdit1 = new TsEdit(sPanel2);
    sEdit1->setObjectName(QStringLiteral("sEdit1"));
    sEdit1->setGeometry(220, 14, 121, 21);
    sEdit1->setReadOnly(true);
    sLabel2 = new TsLabel(sPanel2);
    sLabel2->move(16, 56);
    sLabel2->setCaption(QStringLiteral("Сортировать по дате:"));
    DateTimePicker1 = new TsDateEdit(sPanel2);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setGeometry(220, 52, 137, 24);
    sButton1 = new TsButton(sPanel2);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setText(QStringLiteral("Сбросить фильтр"));
    sButton1->setGeometry(400, 40, 250, 25);
    column->addWidget(sPanel2);

    connect(DateTimePicker1, &TDateTimePicker::Change, this, &TForm12::DateTimePicker1Change);
    connect(sButton1, &QPushButton::clicked, this, &TForm12::sButton1Click);
    connect(sButton3, &QPushButton::clicked, this, &TForm12::sButton3Click);
    connect(sButton2, &QPushButton::clicked, this, &TForm12::sButton2Click);
    connect(sButton4, &QPushButton::clicked, this, &TForm12::sButton4Click);
}

void TForm12::countCorrect() {
    TTable* proverka = DataModule1->tblProverka;
    const ControlsDisabled quiet(proverka);
    const TField given = proverka->fieldByName(QStringLiteral("Ответ_студента"));
    const TField correct = proverka->fieldByName(QStringLiteral("Правильный_ответ"));
    int count = 0;
    proverka->first();
    const int rows = proverka->recordCount();
    for (int i = 0; i < rows; ++i) {
        if (valuesEqual(given.value(), correct.value())) ++count;
        proverka->next();
    }
    sEdit1->setText(QString::number(count));
}

void TForm12::open() {
    TTable* proverka = DataModule1->tblProverka;
    proverka->refresh();
    show();
    fillWorkArea();
    DateTimePicker1->setDateQuietly(QDate::currentDate());
    sEdit1->clear();
    proverka->setFiltered(true);
    proverka->setFilter(
        kLogin + u'=' +
        quotedFilterValue(DataModule1->accountLogin()));
    countCorrect();
}

void TForm12::DateTimePicker1Change() {
    TTable* proverka = DataModule1->tblProverka;
    proverka->setFiltered(true);
    proverka->setFilter(QStringLiteral("Дата_тестирования=") +
                        formatShortDate(DateTimePicker1->date()));
    countCorrect();
}

void TForm12::sButton1Click() {
    DataModule1->tblProverka->setFiltered(false);
    countCorrect();
}

void TForm12::sButton3Click() {
    TTable* proverka = DataModule1->tblProverka;
    const TField login = proverka->fieldByName(kLogin);
    // Only the signed-in student's own rows among those shown go, all together or none.
    DataModule1->ADOConnection1->transaction([&] {
        const ControlsDisabled quiet(proverka);
        int position = 1;
        while (position <= proverka->recordCount()) {
            proverka->setRecNo(position);
            if (valuesEqual(login.value(), CurrentLogin))
                proverka->deleteRecord();
            else
                ++position;
        }
    });
}

void TForm12::sButton2Click() {
    close();
}

void TForm12::sButton4Click() {
    // The rows the grid shows, under the filter in force.
    TTable* table = DataModule1->tblProverka;
    table->checkBrowseMode();
    exportWithDialog(
        this,
        journalExport(table,
                      {QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
                       QStringLiteral("Ответ_студента"), QStringLiteral("Правильный_ответ"),
                       QStringLiteral("Вид_тестирования"), QStringLiteral("Вопрос")},
                      QStringLiteral("Анализ тестирования"), filterDescription(table)),
        QStringLiteral("Анализ тестирования"));
}
