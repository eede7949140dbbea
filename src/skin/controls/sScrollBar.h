#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QScrollBar>
#include <QStyle>

#include "imaging/bitmap32.h"
#include "skin/core/sColors.h"
#include "skin/core/sSkinModel.h"

class QPainter;
class QStyleOptionSlider;
class TsCommonData;
class TsControlStyle;

// How thick a skinned scroll bar is, and how wide a combo box's button: the classic desktop's
// scroll bar.
constexpr int kScrollBarExtent = 17;

// For a skin without arrow pictures: a small solid triangle pointing the arrow's way,
// centred on the area.
void PaintArrowGlyph(Bitmap32& target, const QRect& area, Qt::ArrowType arrow, TColor colour);

// Where the parts of a scroll bar lie: the two arrow buttons at its ends, the track between
// them, the thumb on the track, and the two stretches of track either side of the thumb that
// a click pages through. Horizontal bars read right to left are mirrored.
struct TsScrollBarLayout {
    QRect BackButton;     // up, or left
    QRect ForwardButton;  // down, or right
    QRect Track;
    QRect Thumb;
    QRect BackPage;
    QRect ForwardPage;

    // The part under a point, as the platform names it; none outside the bar.
    QStyle::SubControl hitTest(QPoint point) const;
    QRect rect(QStyle::SubControl part) const;
};

// The layout of a bar in `bar` scrolling from `minimum` to `maximum` with `page` visible at
// `position`. The buttons are square (sharing the length of a bar too short for two), the
// thumb's length shows the visible share of the whole and is never shorter than
// `minimumThumb`; without a range the thumb fills the track.
TsScrollBarLayout ScrollBarLayout(const QRect& bar, Qt::Orientation orientation, int minimum,
                                  int maximum, int page, int position, bool upsideDown = false,
                                  Qt::LayoutDirection direction = Qt::LeftToRight,
                                  int minimumThumb = 8);
TsScrollBarLayout ScrollBarLayout(const QStyleOptionSlider& option);

// The skin of one of the platform's scroll bars (of a scrolling window the scroll-window
// component skins). While the window is skinned and the skin has a thumb for the bar's
// orientation, the bar wears a style that places its parts as the skin draws them and
// paints them from the skin's scroll sections: the track from SCROLLBAR1 before the thumb and
// SCROLLBAR2 after it, the thumb from SCROLLSLIDER with its grip, the arrow buttons from
// SCROLLBTNTOP, -BOTTOM, -LEFT and -RIGHT with their arrows, each part normal, hot under the
// mouse or pressed. The bar's own logic stays the platform's: dragging, paging, the arrows'
// repeat and the wheel work as on any scroll bar. Otherwise the bar is the platform's.
class TsScrollBar : public QObject {
    Q_OBJECT

public:
    // `window` is the skin data of the scrolling window the bar belongs to.
    TsScrollBar(QScrollBar* bar, const TsCommonData& window, QObject* parent);
    ~TsScrollBar() override;

    QScrollBar* bar() const { return bar_; }
    // Skins the bar while `on` and the skin has what it needs, else gives the platform's bar
    // back. Answers whether the bar's size may have changed.
    bool sync(bool on);
    // Whether the skin paints the bar now.
    bool skinned() const;

    // The skinned bar's painting, into the painter of its paint event.
    void paint(QPainter& painter, const QStyleOptionSlider& option) const;

private:
    QPointer<QScrollBar> bar_;
    const TsCommonData& window_;
    TsControlStyle* style_;
};
