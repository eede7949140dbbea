#include "skin/controls/sChartSkin.h"

#include <QAbstractAxis>
#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <algorithm>
#include <vector>

#include "platform/skin_message.h"
#include "skin/controls/sScrollWnd.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

// `part` of `a` mixed with the rest of `b`.
QColor mixed(const QColor& a, const QColor& b, double part) {
    return ToQColor(MixColours(FromQColor(a), FromQColor(b), part));
}

// Two colours a bar could not be told apart from the plot behind it by.
bool nearlyEqual(const QColor& a, const QColor& b) {
    constexpr int kLeast = 24;
    return std::abs(a.red() - b.red()) < kLeast && std::abs(a.green() - b.green()) < kLeast &&
           std::abs(a.blue() - b.blue()) < kLeast;
}

QList<QBarSet*> barSets(const QChart& chart) {
    QList<QBarSet*> sets;
    for (QAbstractSeries* series : chart.series())
        if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) sets += bars->barSets();
    return sets;
}

}  // namespace

// The colours a chart was made with, to be given back when the skin goes.
struct TsChartSkin::TOwnLook {
    struct TAxis {
        QPointer<QAbstractAxis> axis;
        QBrush labels;
        QPen line;
        QPen grid;
        QBrush title;
    };
    struct TBars {
        QPointer<QBarSet> set;
        QBrush brush;
        QPen pen;
        QBrush labels;
    };

    QBrush background;
    QPen backgroundPen;
    QBrush plotArea;
    bool plotAreaVisible = false;
    QBrush title;
    QColor legendLabels;
    std::vector<TAxis> axes;
    std::vector<TBars> bars;

    QBrush viewBackground;

    TOwnLook(const QChart& chart, const QChartView& view)
        : background(chart.backgroundBrush()),
          backgroundPen(chart.backgroundPen()),
          plotArea(chart.plotAreaBackgroundBrush()),
          plotAreaVisible(chart.isPlotAreaBackgroundVisible()),
          title(chart.titleBrush()),
          legendLabels(chart.legend()->labelColor()),
          viewBackground(view.backgroundBrush()) {
        for (QAbstractAxis* axis : chart.axes())
            axes.push_back({axis, axis->labelsBrush(), axis->linePen(), axis->gridLinePen(),
                            axis->titleBrush()});
        for (QBarSet* set : barSets(chart))
            bars.push_back({set, set->brush(), set->pen(), set->labelBrush()});
    }

    void restore(QChart& chart, QChartView& view) const {
        view.setBackgroundBrush(viewBackground);
        chart.setBackgroundBrush(background);
        chart.setBackgroundPen(backgroundPen);
        chart.setPlotAreaBackgroundBrush(plotArea);
        chart.setPlotAreaBackgroundVisible(plotAreaVisible);
        chart.setTitleBrush(title);
        chart.legend()->setLabelColor(legendLabels);
        for (const TAxis& own : axes) {
            if (!own.axis) continue;
            own.axis->setLabelsBrush(own.labels);
            own.axis->setLinePen(own.line);
            own.axis->setGridLinePen(own.grid);
            own.axis->setTitleBrush(own.title);
        }
        for (const TBars& own : bars) {
            if (!own.set) continue;
            own.set->setBrush(own.brush);
            own.set->setPen(own.pen);
            own.set->setLabelBrush(own.labels);
        }
    }
};

TsChartSkin::TsChartSkin(QChartView* view, TsScrollWnd* frame, const QString& section)
    : QObject(view), view_(view), frame_(frame), section_(section) {
    view_->installEventFilter(this);
    sync();
}

TsChartSkin::~TsChartSkin() {
    if (view_) view_->removeEventFilter(this);
}

TsChartSkin* TsChartSkin::attach(QChartView* view, const QString& section, TsSkinManager* manager) {
    if (!view) return nullptr;
    if (TsChartSkin* existing = of(view)) return existing;
    TsScrollWnd* frame = TsScrollWnd::attach(view, section, manager);
    return new TsChartSkin(view, frame, frame->data().SkinSection());
}

TsChartSkin* TsChartSkin::of(const QChartView* view) {
    return view ? view->findChild<TsChartSkin*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

std::optional<TsChartSkin::TChartColours> TsChartSkin::coloursFor(const TsSkinManager* manager,
                                                                  const QString& section) {
    if (!manager || manager->isRemoving() || !manager->SkinData().Active) return std::nullopt;
    const int index = manager->FindSection(section);
    if (!manager->IsValidSection(index)) return std::nullopt;
    const TsGenState& look = StateLook(manager->sections()[index], 0);
    TChartColours colours;
    colours.Background = ToQColor(ColorToRGB(look.Color));
    colours.PlotArea = colours.Background;
    colours.Text = ToQColor(ColorToRGB(look.FontColor[0]));
    colours.Axis = mixed(colours.Text, colours.Background, 0.6);
    colours.Grid = mixed(colours.Text, colours.Background, 0.2);
    colours.Bar = ToQColor(manager->SelectionColor(true));
    // A selection as light as the field would leave the bars unseen.
    if (nearlyEqual(colours.Bar, colours.PlotArea))
        colours.Bar = mixed(colours.Text, colours.Background, 0.5);
    colours.BarOutline = mixed(colours.Text, colours.Bar, 0.6);
    return colours;
}

void TsChartSkin::sync() {
    QChart* chart = view_->chart();
    if (chart != chart_) {
        // A new chart: the one dressed before is not ours to give back any more.
        chart_ = chart;
        own_.reset();
        dressed_ = false;
    }
    if (!chart) return;
    const std::optional<TChartColours> colours =
        frame_->enabled() ? coloursFor(frame_->data().SkinManager(), section_) : std::nullopt;
    if (!colours) {
        if (dressed_ && own_) own_->restore(*chart, *view_);
        dressed_ = false;
        return;
    }
    if (!dressed_) own_ = std::make_unique<TOwnLook>(*chart, *view_);
    dressed_ = true;
    // The chart's background lies a little inside the view and has rounded corners; the
    // view around it is the same field.
    view_->setBackgroundBrush(colours->Background);
    chart->setBackgroundBrush(colours->Background);
    // The frame around the chart is the skin's.
    chart->setBackgroundPen(Qt::NoPen);
    chart->setPlotAreaBackgroundBrush(colours->PlotArea);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setTitleBrush(colours->Text);
    chart->legend()->setLabelColor(colours->Text);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsBrush(colours->Text);
        axis->setLinePen(QPen(colours->Axis, 1));
        axis->setGridLinePen(QPen(colours->Grid, 1));
        axis->setTitleBrush(colours->Text);
    }
    for (QBarSet* set : barSets(*chart)) {
        set->setBrush(colours->Bar);
        set->setPen(QPen(colours->BarOutline, 1));
        set->setLabelBrush(colours->Text);
    }
}

bool TsChartSkin::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) return false;
    if (event->type() == TsSkinMessage::eventType()) {
        const auto* message = static_cast<const TsSkinMessage*>(event);
        const bool ours = message->Param == quintptr(frame_->data().SkinManager());
        switch (message->Command) {
            case TsSkinMessage::AC_SETNEWSKIN:
            case TsSkinMessage::AC_REMOVESKIN:
            case TsSkinMessage::AC_REFRESH:
                if (ours) sync();
                break;
            default:
                break;
        }
    } else if (event->type() == QEvent::Show) {
        sync();
    }
    return false;
}
