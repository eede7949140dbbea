#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class QChart;
class QChartView;
class TsScrollWnd;
class TsSkinManager;

// The skin of a chart view. Its frame is drawn by the scroll-window component from the
// view's section, as a grid's is, and the chart inside takes that section's colours: the
// background and the plot area are the section's field, title, labels and axes its text
// colour (the grid lines a faint mix of the two), the bars the skin's selection colour
// outlined in a darker mix. A chart keeps the colours it was made with and gets them back
// when the skin is removed. A view given a new chart calls sync() to dress it.
class TsChartSkin : public QObject {
    Q_OBJECT

public:
    // The colours a chart is dressed in.
    struct TChartColours {
        QColor Background;
        QColor PlotArea;
        QColor Text;
        QColor Axis;
        QColor Grid;
        QColor Bar;
        QColor BarOutline;
    };

    // Skins the view from `section` (made once; a view already skinned keeps its skin).
    static TsChartSkin* attach(QChartView* view, const QString& section,
                               TsSkinManager* manager = nullptr);
    // The skin of a view, or none.
    static TsChartSkin* of(const QChartView* view);
    // The colours for a section of the manager's skin; none while no skin is active or the
    // skin lacks the section.
    static std::optional<TChartColours> coloursFor(const TsSkinManager* manager,
                                                   const QString& section);

    TsScrollWnd& frame() const { return *frame_; }
    // Whether the view's chart wears the skin's colours now.
    bool skinned() const { return dressed_; }
    // Dresses the view's chart in the skin's colours, or gives it its own back.
    void sync();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TOwnLook;

    TsChartSkin(QChartView* view, TsScrollWnd* frame, const QString& section);
    ~TsChartSkin() override;

    QChartView* view_;
    TsScrollWnd* frame_;
    QString section_;
    // The chart whose own colours are kept, and those colours.
    QPointer<QChart> chart_;
    std::unique_ptr<TOwnLook> own_;
    bool dressed_ = false;
};
