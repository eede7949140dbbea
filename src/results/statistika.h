#pragma once

#include <QFutureWatcher>
#include <QTimer>
#include <memory>

#include "platform/form.h"
#include "results/export_table.h"
#include "results/journal_snapshot.h"
#include "results/question_stats.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sDateEdit.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

class QChartView;
class QSortFilterProxyModel;
class QTableView;
class QuestionStatsModel;

// The teacher's statistics of the test bank's questions over the answer records: how often
// each was drawn and answered correctly, which options were chosen, how well it tells
// strong hand-ins from weak ones; above them the spread of grades and each question's
// difficulty. Filtered by a period and a login.
class TForm13 : public TForm {
    Q_OBJECT

public:
    TForm13();
    ~TForm13() override;

    TsPanel* sPanel1;
    TsButton* sButton3;  // "Экспорт..."
    TsButton* sButton2;  // "Закрыть"
    TsLabel* sLabel4;    // what the statistics cover, or the progress of the count
    QWidget* Charts;
    QChartView* ChartGrades;
    QChartView* ChartDifficulty;
    QTableView* Grid;
    TsPanel* sPanel2;
    TsLabel* sLabel1;
    TsEdit* sEdit1;  // login
    TsLabel* sLabel2;
    TsDateEdit* DateTimePicker1;  // from
    TsLabel* sLabel3;
    TsDateEdit* DateTimePicker2;  // to
    TsButton* sButton1;           // "Сбросить фильтр"

    // Reads the journal again, sets the period to all of it and counts.
    void open();
    void sEdit1Change();
    void DateTimePickerChange();
    void sButton1Click();
    void sButton3Click();
    void sButton2Click();

    // The filter the controls describe.
    StatisticsFilter filter() const;
    // The statistics shown, once the count has finished.
    const JournalStatistics& statistics() const { return shown_; }
    bool counting() const { return running_; }
    // Waits for a count under way to finish and shows it (for a caller that needs the result).
    void waitForCount();
    // The rows shown, in the grid's order, with the charts, as export writes them.
    ExportTable exportTable() const;

private:
    // What one count hands back: the journal it read (or was given), its statistics, or
    // the reason it could not read the journal.
    struct CountOutcome {
        std::shared_ptr<const JournalSnapshot> snapshot;
        JournalStatistics statistics;
        QString error;
    };

    void recount();
    void countFinished();
    void showStatistics(JournalStatistics stats);
    void resetPeriod();

    QuestionStatsModel* model_;
    QSortFilterProxyModel* sorted_;
    std::shared_ptr<const JournalSnapshot> snapshot_;
    QFutureWatcher<CountOutcome> watcher_;
    JournalStatistics shown_;
    QTimer typing_;         // a pause in typing the login before counting again
    QTimer patience_;       // a count longer than a moment shows its progress
    QString courseFolder_;  // the journal is read again from the course there by the next count
    bool running_ = false;  // a count is under way
    bool listening_ = false;  // on a class server, hand-ins are counted as they come
    bool again_ = false;    // the filter changed while a count was under way
};

extern TForm13* Form13;
