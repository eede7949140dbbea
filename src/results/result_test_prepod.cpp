#include "results/result_test_prepod.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/dm.h"
#include "app/journal_watch.h"
#include "data/database_error.h"
#include "platform/short_date.h"
#include "results/export_command.h"
#include "results/journal_export.h"
#include "results/journal_strip.h"
#include "skin/controls/sScrollWnd.h"

TForm11* Form11 = nullptr;

TForm11::TForm11() {
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("Результаты тестирования"));
    resize(900, 600);
    const QFont small = pixelFont(QStringLiteral("MS Sans Serif"), 13);
    setFont(small);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    const JournalStrip strip = createJournalStrip(this, DataModule1->DataSource5);
    sPanel1 = strip.panel;
    sDBNavigator1 = strip.navigator;
    sButton3 = strip.clear;
    sButton2 = strip.close;
    sButton4 = strip.exportRows;
    column->addWidget(sPanel1);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    // Its frame and scroll bars are the skin's, as an edit's are.
    TsScrollWnd::attach(DBGrid1, QStringLiteral("EDIT"));
    DBGrid1->setDataSource(DataModule1->DataSource5);
    column->addWidget(DBGrid1, 1);

    sPanel2 = new TsPanel(this);
    sPanel2->setObjectName(QStringLiteral("sPanel2"));
    sPanel2->setFixedHeight(76);
    sLabel1 = new TsLabel(sPanel2);
    sLabel1->move(16, 14);
    sLabel1->setCaption(QStringLiteral("Найти по логину:"));
    sEdit1 = new TsEdit(sPanel2);
    sEdit1->setObjectName(QStringLiteral("sEdit1"));
    sEdit1->setGeometry(130, 10, 248, 24);
    sEdit1->installEventFilter(this);
    sSpeedButton1 = new TsSpeedButton(sPanel2);
    sSpeedButton1->setObjectName(QStringLiteral("sSpeedButton1"));
    sSpeedButton1->setGeometry(382, 11, 23, 22);
    sLabel2 = new TsLabel(sPanel2);
    sLabel2->move(16, 46);
    sLabel2->setCaption(QStringLiteral("Найти по дате:"));
    DateTimePicker1 = new TsDateEdit(sPanel2);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setGeometry(130, 42, 137, 24);
    sButton1 = new TsButton(sPanel2);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setText(QStringLiteral("Сбросить фильтр"));
    sButton1->setGeometry(430, 25, 267, 25);
    sLabel3 = new TsLabel(sPanel2);
    sLabel3->setObjectName(QStringLiteral("sLabel3"));
    sLabel3->move(430, 56);
    sLabel3->hide();
    column->addWidget(sPanel2);

    connect(sSpeedButton1, &QToolButton::clicked, this, &TForm11::sSpeedButton1Click);
    connect(DateTimePicker1, &TDateTimePicker::Change, this, &TForm11::DateTimePicker1Change);
    connect(sButton1, &QPushButton::clicked, this, &TForm11::sButton1Click);
    connect(sButton3, &QPushButton::clicked, this, &TForm11::sButton3Click);
    connect(sButton2, &QPushButton::clicked, this, &TForm11::sButton2Click);
    connect(sButton4, &QPushButton::clicked, this, &TForm11::sButton4Click);
}

void TForm11::open() {
    show();
    fillWorkArea();
    sEdit1->clear();
    DateTimePicker1->setDateQuietly(QDate::currentDate());
    listenToServer();
}

void TForm11::listenToServer() {
    if (listening_) return;
    TJournalWatch* watch = DataModule1->journalWatch();
    if (!watch) return;
    listening_ = true;
    connect(watch, &TJournalWatch::journalChanged, this, &TForm11::journalChanged);
    connect(watch, &TJournalWatch::testingChanged, this, &TForm11::showSeats);
    // A change heard while a row was being edited is read once the edit is over.
    connect(DataModule1->tblResult, &TTable::stateChanged, this, [this] {
        if (stale_ && DataModule1->tblResult->state() == DataSetState::Browse) journalChanged();
    });
    sLabel3->show();
    showSeats();
}

void TForm11::journalChanged() {
    TTable* result = DataModule1->tblResult;
    if (!result->active()) return;
    if (result->state() != DataSetState::Browse) {
        stale_ = true;
        return;
    }
    stale_ = false;
    try {
        result->refresh();
    } catch (const EDatabaseError& error) {
        qWarning("%s", qUtf8Printable(error.message()));
    }
    showSeats();
}

void TForm11::showSeats() {
    TJournalWatch* watch = DataModule1->journalWatch();
    const int seats = watch ? watch->seatsTakingTest() : -1;
    sLabel3->setCaption(seats < 0 ? QStringLiteral("Сервер курса не отвечает")
                                  : QStringLiteral("Тест проходят сейчас: %1").arg(seats));
}

bool TForm11::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sEdit1 && event->type() == QEvent::KeyRelease) sEdit1KeyUp();
    return TForm::eventFilter(watched, event);
}

void TForm11::sEdit1KeyUp() {
    // The search moves to the first shown row whose login begins with the text; it never filters.
    DataModule1->tblResult->locate(QStringLiteral("Логин_студента"), sEdit1->text(), loPrefix);
}

void TForm11::sSpeedButton1Click() {
    sEdit1KeyUp();
}

void TForm11::DateTimePicker1Change() {
    TTable* result = DataModule1->tblResult;
    result->setFiltered(true);
    result->setFilter(QStringLiteral("Дата_тестирования=") +
                      formatShortDate(DateTimePicker1->date()));
}

void TForm11::sButton1Click() {
    TTable* result = DataModule1->tblResult;
    result->setFiltered(false);
    result->first();
}

void TForm11::sButton3Click() {
    TTable* result = DataModule1->tblResult;
    // The rows shown go all together or not at all.
    DataModule1->ADOConnection1->transaction([result] {
        const ControlsDisabled quiet(result);
        result->first();
        const int rows = result->recordCount();
        for (int i = 0; i < rows; ++i)
            result->deleteRecord();
    });
}

void TForm11::sButton2Click() {
    close();
}

void TForm11::sButton4Click() {
    // The rows the grid shows, under the filter in force.
    TTable* table = DataModule1->tblResult;
    table->checkBrowseMode();
    exportWithDialog(
        this,
        journalExport(table,
                      {QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
                       QStringLiteral("Количество вопросов"), QStringLiteral("Оценка"),
                       QStringLiteral("Вид тестирования")},
                      QStringLiteral("Результаты тестирования"), filterDescription(table)),
        QStringLiteral("Результаты тестирования"));
}
