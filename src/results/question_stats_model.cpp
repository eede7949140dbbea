#include "results/question_stats_model.h"

#include <QBrush>
#include <QColor>
#include <QLocale>
#include <cmath>
#include <limits>

namespace {

const char* const kTitles[] = {"№", "Вопрос", "Выпадал", "Доля верных", "A",          "B",
                               "C", "D",      "E",       "Без ответа",  "Различение", "Надёжность"};

// A question's text on one line, cut to what the grid shows.
QString shortText(const QString& text) {
    QString line = text.simplified();
    if (line.size() > QuestionStatsModel::kTextShown)
        line = line.left(QuestionStatsModel::kTextShown - 1) + QChar(0x2026);
    return line;
}

QString shareText(double share) {
    if (!std::isfinite(share)) return QStringLiteral("—");
    return QLocale(QLocale::Russian).toString(share * 100, 'f', 0) + QStringLiteral(" %");
}

QString correlationText(double r) {
    if (!std::isfinite(r)) return QStringLiteral("—");
    // A value that rounds to zero is shown without a sign.
    if (std::abs(r) < 0.005) r = 0;
    return QLocale(QLocale::Russian).toString(r, 'f', 2);
}

// Undefined figures sort below every defined one.
double sortable(double value) {
    return std::isfinite(value) ? value : -std::numeric_limits<double>::infinity();
}

QVariant optionalNumber(double value) {
    return std::isfinite(value) ? QVariant(value) : QVariant();
}

QString certainty(const QuestionStatistics& q) {
    return q.uncertain() ? QStringLiteral("мало ответов") : QStringLiteral("достаточно");
}

}  // namespace

QuestionStatsModel::QuestionStatsModel(QObject* parent) : QAbstractTableModel(parent) {}

void QuestionStatsModel::setStatistics(std::vector<QuestionStatistics> questions) {
    beginResetModel();
    questions_ = std::move(questions);
    endResetModel();
}

int QuestionStatsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(questions_.size());
}

int QuestionStatsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant QuestionStatsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= questions_.size()) return {};
    const QuestionStatistics& q = questions_[size_t(index.row())];
    const int column = index.column();
    if (role == Qt::DisplayRole || role == SortRole) {
        const bool sort = role == SortRole;
        switch (column) {
            case cNumber:
                return q.number;
            case cText:
                return sort ? QVariant(q.text.simplified()) : QVariant(shortText(q.text));
            case cDrawn:
                return q.drawn;
            case cDifficulty:
                return sort ? QVariant(sortable(q.difficulty)) : QVariant(shareText(q.difficulty));
            case cOther:
                return q.otherAnswers;
            case cDiscrimination:
                return sort ? QVariant(sortable(q.discrimination))
                            : QVariant(correlationText(q.discrimination));
            case cCertainty:
                return sort ? QVariant(q.drawn) : QVariant(certainty(q));
            default:
                return q.options[size_t(column - cOptionA)];
        }
    }
    if (role == Qt::TextAlignmentRole && column != cText && column != cCertainty)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && q.uncertain()) return QBrush(QColor(0x80, 0x80, 0x80));
    if (role == Qt::ToolTipRole) {
        if (column == cText) return q.text;
        if (q.uncertain())
            return QStringLiteral("Меньше %1 ответов: доли и различение ненадёжны.")
                .arg(kCertainAnswers);
        if (column == cDiscrimination)
            return QStringLiteral(
                "Связь верного ответа с общим баллом той же сдачи: ниже 0,2 — вопрос плохо "
                "отличает сильных от слабых.");
    }
    return {};
}

QVariant QuestionStatsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kTitles[section]);
    return {};
}

std::vector<ExportTable::Column> QuestionStatsModel::exportColumns() {
    using Kind = ExportTable::Kind;
    const Kind kinds[] = {Kind::Integer, Kind::Text,    Kind::Integer, Kind::Percent,
                          Kind::Integer, Kind::Integer, Kind::Integer, Kind::Integer,
                          Kind::Integer, Kind::Integer, Kind::Number,  Kind::Text};
    std::vector<ExportTable::Column> columns;
    for (int c = 0; c < ColumnCount; ++c)
        columns.push_back({QString::fromUtf8(kTitles[c]), kinds[c]});
    return columns;
}

QVector<QVariant> QuestionStatsModel::exportRow(const QuestionStatistics& q) {
    QVector<QVariant> row{qlonglong(q.number), q.text.simplified(), qlonglong(q.drawn),
                          optionalNumber(q.difficulty)};
    for (int option : q.options)
        row.append(qlonglong(option));
    row.append(qlonglong(q.otherAnswers));
    row.append(optionalNumber(q.discrimination));
    row.append(certainty(q));
    return row;
}
