#pragma once

#include <QAbstractTableModel>

#include "results/export_table.h"
#include "results/question_stats.h"

// The rows of the question statistics for a grid: one row per bank question. The display
// role holds the text shown, the sort role a number to order by (texts by their letters),
// so that a proxy sorts each column as its values, not as its texts.
class QuestionStatsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        cNumber,
        cText,
        cDrawn,
        cDifficulty,
        cOptionA,
        cOptionB,
        cOptionC,
        cOptionD,
        cOptionE,
        cOther,
        cDiscrimination,
        cCertainty,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole + 1;
    // Characters of a question's text the grid shows.
    static constexpr int kTextShown = 80;

    explicit QuestionStatsModel(QObject* parent = nullptr);

    void setStatistics(std::vector<QuestionStatistics> questions);
    const std::vector<QuestionStatistics>& questions() const { return questions_; }

    // The columns of the statistics as export writes them.
    static std::vector<ExportTable::Column> exportColumns();
    // One question's row as export writes it (the whole text of the question).
    static QVector<QVariant> exportRow(const QuestionStatistics& question);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<QuestionStatistics> questions_;
};
