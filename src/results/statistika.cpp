#include "results/statistika.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPromise>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <optional>
#include <utility>

#include "app/design.h"
#include "app/course_file.h"
#include "app/dm.h"
#include "app/journal_watch.h"
#include "platform/application.h"
#include "platform/kesta_error.h"
#include "platform/message_box.h"
#include "results/export_command.h"
#include "results/question_stats_model.h"
#include "results/statistics_charts.h"
#include "skin/controls/sChartSkin.h"
#include "skin/controls/sScrollWnd.h"

TForm13* Form13 = nullptr;

namespace {

constexpr int kChartsHeight = 230;
constexpr int kTypingPause = 300;  // ms
constexpr int kMoment = 150;       // ms

QString recordsWord(int n) {
    const int tens = n % 100;
    const int ones = n % 10;
    if (tens >= 11 && tens <= 14) return QStringLiteral("записей");
    if (ones == 1) return QStringLiteral("запись");
    if (ones >= 2 && ones <= 4) return QStringLiteral("записи");
    return QStringLiteral("записей");
}

// The earliest and the latest day the journal holds; today when it holds none.
std::pair<QDate, QDate> journalPeriod(const JournalSnapshot& snapshot) {
    QDate first;
    QDate last;
    auto widen = [&](const QDate& day) {
        if (!day.isValid()) return;
        if (!first.isValid() || day < first) first = day;
        if (!last.isValid() || day > last) last = day;
    };
    for (const AnswerRecord& record : snapshot.records)
        widen(record.date);
    for (const JournalResult& result : snapshot.results)
        widen(result.date);
    widen(snapshot.firstDay);
    widen(snapshot.lastDay);
    const QDate today = QDate::currentDate();
    if (!first.isValid()) return {today, today};
    return {first, std::max(last, today)};
}

QChartView* chartView(QWidget* parent, const char* name) {
    auto* view = new QChartView(parent);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::NoFrame);
    // Framed as the grid below is, in the colours of its field.
    TsChartSkin::attach(view, QStringLiteral("EDIT"));
    return view;
}

}  // namespace

TForm13::TForm13()
    : model_(new QuestionStatsModel(this)), sorted_(new QSortFilterProxyModel(this)) {
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(QStringLiteral("Статистика вопросов"));
    resize(1000, 700);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13));
    setBackgroundColour(this, kFormBackground);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    sPanel1 = new TsPanel(this);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    sPanel1->setFixedHeight(41);
    sButton3 = new TsButton(sPanel1);
    sButton3->setObjectName(QStringLiteral("sButton3"));
    sButton3->setText(QStringLiteral("Экспорт..."));
    sButton3->setGeometry(8, 8, 171, 25);
    sButton2 = new TsButton(sPanel1);
    sButton2->setObjectName(QStringLiteral("sButton2"));
    sButton2->setText(QStringLiteral("Закрыть"));
    sButton2->setGeometry(188, 8, 171, 25);
    sLabel4 = new TsLabel(sPanel1);
    sLabel4->setObjectName(QStringLiteral("sLabel4"));
    sLabel4->move(376, 13);
    column->addWidget(sPanel1);

    Charts = new QWidget(this);
    Charts->setObjectName(QStringLiteral("Charts"));
    Charts->setFixedHeight(kChartsHeight);
    auto* charts = new QHBoxLayout(Charts);
    charts->setContentsMargins(4, 4, 4, 4);
    charts->setSpacing(4);
    ChartGrades = chartView(Charts, "ChartGrades");
    ChartDifficulty = chartView(Charts, "ChartDifficulty");
    charts->addWidget(ChartGrades, 2);
    charts->addWidget(ChartDifficulty, 3);
    column->addWidget(Charts);

    Grid = new QTableView(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    // Its frame and scroll bars are the skin's, as the journal's grid has them.
    TsScrollWnd::attach(Grid, QStringLiteral("EDIT"));
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(QuestionStatsModel::SortRole);
    sorted_->setSortLocaleAware(true);
    Grid->setModel(sorted_);
    Grid->setSortingEnabled(true);
    Grid->sortByColumn(QuestionStatsModel::cNumber, Qt::AscendingOrder);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 6);
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid->horizontalHeader()->setStretchLastSection(false);
    const int widths[] = {40, 420, 70, 90, 40, 40, 40, 40, 40, 80, 90, 110};
    for (int c = 0; c < QuestionStatsModel::ColumnCount; ++c)
        Grid->setColumnWidth(c, widths[c]);
    Grid->horizontalHeader()->setSectionResizeMode(QuestionStatsModel::cText, QHeaderView::Stretch);
    column->addWidget(Grid, 1);

    sPanel2 = new TsPanel(this);
    sPanel2->setObjectName(QStringLiteral("sPanel2"));
    sPanel2->setFixedHeight(76);
    sLabel1 = new TsLabel(sPanel2);
    sLabel1->move(16, 14);
    sLabel1->setCaption(QStringLiteral("Логин:"));
    sEdit1 = new TsEdit(sPanel2);
    sEdit1->setObjectName(QStringLiteral("sEdit1"));
    sEdit1->setGeometry(130, 10, 248, 24);
    sLabel2 = new TsLabel(sPanel2);
    sLabel2->move(16, 46);
    sLabel2->setCaption(QStringLiteral("Период с:"));
    DateTimePicker1 = new TsDateEdit(sPanel2);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setGeometry(130, 42, 137, 24);
    sLabel3 = new TsLabel(sPanel2);
    sLabel3->move(276, 46);
    sLabel3->setCaption(QStringLiteral("по:"));
    DateTimePicker2 = new TsDateEdit(sPanel2);
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    DateTimePicker2->setGeometry(304, 42, 137, 24);
    sButton1 = new TsButton(sPanel2);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setText(QStringLiteral("Сбросить фильтр"));
    sButton1->setGeometry(470, 25, 267, 25);
    column->addWidget(sPanel2);

    typing_.setSingleShot(true);
    typing_.setInterval(kTypingPause);
    patience_.setSingleShot(true);
    patience_.setInterval(kMoment);
    connect(&typing_, &QTimer::timeout, this, &TForm13::recount);
    // Progress shows only once a count has taken longer than a moment.
    auto showProgress = [this] {
        if (running_ && !patience_.isActive())
            sLabel4->setCaption(watcher_.progressText() + u' ' +
                                QString::number(watcher_.progressValue()) + QStringLiteral(" %"));
    };
    connect(&patience_, &QTimer::timeout, this, showProgress);
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, this, showProgress);
    connect(&watcher_, &QFutureWatcherBase::progressTextChanged, this, showProgress);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &TForm13::countFinished);
    connect(sEdit1, &QLineEdit::textEdited, this, &TForm13::sEdit1Change);
    connect(DateTimePicker1, &TDateTimePicker::Change, this, &TForm13::DateTimePickerChange);
    connect(DateTimePicker2, &TDateTimePicker::Change, this, &TForm13::DateTimePickerChange);
    connect(sButton1, &QPushButton::clicked, this, &TForm13::sButton1Click);
    connect(sButton3, &QPushButton::clicked, this, &TForm13::sButton3Click);
    connect(sButton2, &QPushButton::clicked, this, &TForm13::sButton2Click);

    showStatistics({});
}

TForm13::~TForm13() {
    // A count under way works on its own copy of the journal; it is waited for, not left behind.
    watcher_.waitForFinished();
}

void TForm13::open() {
    show();
    fillWorkArea();
    // The journal is read afresh on another thread, through a connection of its own, so
    // that a large journal never holds the window up; the period is set once it is read.
    sEdit1->clear();
    Grid->setFocus();
    courseFolder_ = QDir::currentPath();
    if (TJournalWatch* watch = DataModule1->journalWatch(); watch && !listening_) {
        listening_ = true;
        // A hand-in on a class server is counted at once, under the filter shown.
        connect(watch, &TJournalWatch::journalChanged, this, [this] {
            if (isVisible() && snapshot_) recount();
        });
    }
    if (running_) {
        again_ = true;
        return;
    }
    recount();
}

void TForm13::resetPeriod() {
    const auto [first, last] = snapshot_ ? journalPeriod(*snapshot_)
                                         : std::pair{QDate::currentDate(), QDate::currentDate()};
    DateTimePicker1->setDateQuietly(first);
    DateTimePicker2->setDateQuietly(last);
}

StatisticsFilter TForm13::filter() const {
    StatisticsFilter filter;
    filter.from = DateTimePicker1->date();
    filter.to = DateTimePicker2->date();
    filter.login = sEdit1->text().trimmed();
    return filter;
}

void TForm13::sEdit1Change() {
    typing_.start();
}

void TForm13::DateTimePickerChange() {
    recount();
}

void TForm13::sButton1Click() {
    sEdit1->clear();
    resetPeriod();
    recount();
}

void TForm13::recount() {
    typing_.stop();
    if (!snapshot_ && courseFolder_.isEmpty()) return;
    if (running_) {
        // One count at a time; the newest filter is counted when this one ends.
        again_ = true;
        return;
    }
    again_ = false;
    running_ = true;
    const std::shared_ptr<const JournalSnapshot> given = snapshot_;
    const QString file = std::exchange(courseFolder_, QString());
    // A journal read afresh is counted over its whole period; the pickers follow it.
    const std::optional<StatisticsFilter> wanted =
        file.isEmpty() ? std::optional(filter()) : std::nullopt;
    const QString login = sEdit1->text().trimmed();
    patience_.start();
    setCursor(Qt::BusyCursor);
    watcher_.setFuture(
        QtConcurrent::run([given, file, wanted, login](QPromise<CountOutcome>& promise) {
            CountOutcome outcome;
            promise.setProgressRange(0, 100);
            outcome.snapshot = given;
            if (!file.isEmpty()) {
                promise.setProgressValueAndText(0, QStringLiteral("Чтение журнала…"));
                try {
                    outcome.snapshot =
                        std::make_shared<const JournalSnapshot>(readJournalSnapshot(file));
                } catch (const std::exception& error) {
                    outcome.error = exceptionText(error);
                    promise.addResult(outcome);
                    return;
                }
            }
            StatisticsFilter counted;
            if (wanted) {
                counted = *wanted;
            } else {
                std::tie(counted.from, counted.to) = journalPeriod(*outcome.snapshot);
                counted.login = login;
            }
            promise.setProgressValueAndText(10, QStringLiteral("Подсчёт статистики…"));
            const JournalSnapshot& journal = *outcome.snapshot;
            const auto report = [&promise](int done) {
                promise.setProgressValue(10 + done * 9 / 10);
            };
            if (journal.count) {
                // On a class server the server counts, for every filter anew.
                try {
                    const CountedJournal onServer = journal.count(counted);
                    outcome.statistics =
                        computeStatistics(onServer.bank, onServer.olderRecords, {}, counted,
                                          report, &onServer.counted);
                } catch (const std::exception& error) {
                    outcome.error = exceptionText(error);
                }
            } else {
                outcome.statistics = computeStatistics(journal.bank, journal.records,
                                                       journal.results, counted, report);
            }
            promise.addResult(outcome);
        }));
}

void TForm13::countFinished() {
    // Called by the watcher, or earlier by a caller that waited for the count.
    if (!running_) return;
    running_ = false;
    patience_.stop();
    unsetCursor();
    if (watcher_.future().resultCount() > 0) {
        CountOutcome outcome = watcher_.result();
        if (!outcome.error.isEmpty()) {
            sLabel4->setCaption(QStringLiteral("Журнал не прочитан."));
            MessageBox(QStringLiteral("Не удалось прочитать журнал результатов.\n") + outcome.error,
                       TApplication::title(), mbOk | mbIconError);
        } else {
            const bool fresh = outcome.snapshot != snapshot_;
            snapshot_ = outcome.snapshot;
            if (fresh) resetPeriod();
            showStatistics(std::move(outcome.statistics));
        }
    }
    if (again_) recount();
}

void TForm13::waitForCount() {
    while (running_ || again_ || typing_.isActive()) {
        if (!running_) recount();
        watcher_.waitForFinished();
        countFinished();
    }
}

void TForm13::showStatistics(JournalStatistics stats) {
    shown_ = std::move(stats);
    model_->setStatistics(shown_.questions);

    QString caption =
        QStringLiteral("Сдач: %1, ответов: %2.").arg(shown_.handIns).arg(shown_.records);
    if (shown_.ungroupedRecords > 0)
        caption += QStringLiteral(" Не удалось отнести к сдаче: %1 %2.")
                       .arg(shown_.ungroupedRecords)
                       .arg(recordsWord(shown_.ungroupedRecords));
    if (shown_.unmatchedRecords > 0)
        caption += QStringLiteral(" Вопроса с таким текстом нет в базе: %1 %2.")
                       .arg(shown_.unmatchedRecords)
                       .arg(recordsWord(shown_.unmatchedRecords));
    sLabel4->setCaption(caption);

    QChart* oldGrades = ChartGrades->chart();
    QChart* oldDifficulty = ChartDifficulty->chart();
    ChartGrades->setChart(makeGradeChart(shown_.grades));
    ChartDifficulty->setChart(makeDifficultyChart(shown_.questions));
    // A view does not delete the chart it is given in place of another.
    delete oldGrades;
    delete oldDifficulty;
    for (QChartView* view : {ChartGrades, ChartDifficulty})
        TsChartSkin::of(view)->sync();
}

ExportTable TForm13::exportTable() const {
    ExportTable table;
    table.title = QStringLiteral("Статистика вопросов");
    const StatisticsFilter shownFilter = filter();
    table.period = QStringLiteral("Период: с %1 по %2")
                       .arg(shownFilter.from.toString(QStringLiteral("dd.MM.yyyy")),
                            shownFilter.to.toString(QStringLiteral("dd.MM.yyyy")));
    if (!shownFilter.login.isEmpty())
        table.period += QStringLiteral("; логин начинается с «%1»").arg(shownFilter.login);
    table.period += QStringLiteral("; сдач: %1").arg(shown_.handIns);
    table.columns = QuestionStatsModel::exportColumns();
    for (int row = 0; row < sorted_->rowCount(); ++row) {
        const int source = sorted_->mapToSource(sorted_->index(row, 0)).row();
        table.rows.push_back(QuestionStatsModel::exportRow(shown_.questions[size_t(source)]));
    }
    for (QChartView* view : {ChartGrades, ChartDifficulty}) {
        // The chart's scene drawn at twice the size, so that the printed report stays sharp.
        const QSize size = view->viewport()->size();
        QImage picture(size * 2, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        view->scene()->render(&painter, QRectF(QPointF(0, 0), QSizeF(picture.size())),
                              view->mapToScene(view->viewport()->rect()).boundingRect());
        painter.end();
        picture.setDevicePixelRatio(2);
        table.charts.push_back(picture);
    }
    return table;
}

void TForm13::sButton3Click() {
    waitForCount();
    exportWithDialog(this, exportTable(), QStringLiteral("Статистика вопросов"));
}

void TForm13::sButton2Click() {
    close();
}
