#include "results/statistics_charts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

// Up to this many questions every bar is labelled with its number.
constexpr qsizetype kLabelledBars = 30;

// Every how many bars a number is shown: 5, 10, 20, 50 ..., about 15 numbers in all.
qsizetype labelStep(qsizetype bars) {
    for (qsizetype step : {5, 10, 20, 50, 100, 200, 500})
        if (bars / step <= 15) return step;
    return bars / 15 + 1;
}

QChart* emptyChart(const QString& title) {
    auto* chart = new QChart();
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    QFont font = chart->titleFont();
    font.setPixelSize(13);
    font.setBold(true);
    chart->setTitleFont(font);
    return chart;
}

void attachAxes(QChart* chart, QBarSeries* series, const QStringList& categories, double top,
                const QString& valueFormat) {
    auto* x = new QBarCategoryAxis();
    x->append(categories);
    QFont small = x->labelsFont();
    small.setPixelSize(10);
    x->setLabelsFont(small);
    auto* y = new QValueAxis();
    y->setRange(0, top);
    y->setLabelFormat(valueFormat);
    y->setLabelsFont(small);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

}  // namespace

QChart* makeGradeChart(const std::array<int, 11>& grades) {
    QChart* chart = emptyChart(QStringLiteral("Распределение оценок"));
    auto* set = new QBarSet(QStringLiteral("Сдач"));
    set->setColor(QColor(0x3A, 0x7C, 0xC4));
    int largest = 0;
    for (int count : grades) {
        set->append(count);
        largest = std::max(largest, count);
    }
    auto* series = new QBarSeries();
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);
    // Whole numbers on the axis, with room above the highest bar for its label.
    const int top = std::max(4, int(std::ceil(largest * 1.2)));
    attachAxes(chart, series, gradeLetters(), top, QStringLiteral("%d"));
    auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).constFirst());
    y->setTickCount(std::min(top, 5) + 1);
    return chart;
}

QChart* makeDifficultyChart(const std::vector<QuestionStatistics>& questions) {
    QChart* chart = emptyChart(QStringLiteral("Доля верных ответов по вопросам, %"));
    auto* set = new QBarSet(QStringLiteral("Доля верных"));
    set->setColor(QColor(0x4C, 0xA6, 0x6B));
    QStringList numbers;
    for (const QuestionStatistics& q : questions) {
        numbers.append(QString::number(q.number));
        set->append(std::isfinite(q.difficulty) ? q.difficulty * 100 : 0);
    }
    auto* series = new QBarSeries();
    series->append(set);
    series->setBarWidth(0.8);
    chart->addSeries(series);
    if (numbers.size() <= kLabelledBars) {
        attachAxes(chart, series, numbers, 100, QStringLiteral("%d"));
        return chart;
    }
    // A large bank: every bar keeps its place, but only every few bars carry their number,
    // so that the numbers stay readable.
    attachAxes(chart, series, numbers, 100, QStringLiteral("%d"));
    QAbstractAxis* crowded = chart->axes(Qt::Horizontal).constFirst();
    series->detachAxis(crowded);
    chart->removeAxis(crowded);
    delete crowded;
    auto* x = new QCategoryAxis();
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    QFont small = x->labelsFont();
    small.setPixelSize(10);
    x->setLabelsFont(small);
    x->setRange(-0.5, double(numbers.size()) - 0.5);
    x->setStartValue(-0.5);
    const qsizetype step = labelStep(numbers.size());
    for (qsizetype i = step - 1; i < numbers.size(); i += step)
        x->append(numbers[i], double(i));
    x->setGridLineVisible(false);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    return chart;
}
