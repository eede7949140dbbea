#include "skin/controls/sScrollBar.h"

#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <algorithm>

#include "skin/controls/sControlCache.h"
#include "skin/controls/sControlStyle.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"

namespace {

// The style of a skinned bar: its parts lie where the skin paints them, and the skin paints
// them. A click on the track pages, as on the classic desktop.
class ScrollBarStyle : public TsControlStyle {
public:
    explicit ScrollBarStyle(const TsScrollBar& owner) : owner_(owner) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
            case PM_ScrollBarExtent:
                return kScrollBarExtent;
            case PM_ScrollBarSliderMin:
                return 8;
            default:
                return TsControlStyle::pixelMetric(metric, option, widget);
        }
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        switch (hint) {
            case SH_ScrollBar_LeftClickAbsolutePosition:
            case SH_ScrollBar_Transient:
                return 0;
            default:
                return TsControlStyle::styleHint(hint, option, widget, data);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        if (type == CT_ScrollBar) return size;
        return TsControlStyle::sizeFromContents(type, option, size, widget);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
            bar && control == CC_ScrollBar)
            return ScrollBarLayout(*bar).rect(part);
        return TsControlStyle::subControlRect(control, option, part, widget);
    }

    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& point, const QWidget* widget) const override {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
            bar && control == CC_ScrollBar)
            return ScrollBarLayout(*bar).hitTest(point);
        return TsControlStyle::hitTestComplexControl(control, option, point, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
            bar && control == CC_ScrollBar) {
            owner_.paint(*painter, *bar);
            return;
        }
        TsControlStyle::drawComplexControl(control, option, painter, widget);
    }

private:
    const TsScrollBar& owner_;
};

// A rectangle along the bar: `start` and `length` counted along it, the bar's full thickness
// across.
QRect along(const QRect& bar, bool vertical, int start, int length) {
    return vertical ? QRect(bar.left(), bar.top() + start, bar.width(), length)
                    : QRect(bar.left() + start, bar.top(), length, bar.height());
}

// One part in a state from its section, over the window's colour.
void paintPart(Bitmap32& target, const TsSkinManager& manager, const TsCommonIndexes::Part& part,
               const QRect& area, int state, const TCacheInfo& parent) {
    if (area.isEmpty() || !manager.IsValidSection(part.Section)) return;
    TsSectionPaint paint;
    paint.SectionIndex = part.Section;
    paint.SectionName = manager.sections()[part.Section].ClassName;
    paint.Parent = parent;
    paint.Texture = part.Texture;
    paint.HotTexture = part.HotTexture;
    paint.Manager = &manager;
    paint.Area = area & target.rect();
    paint.State = state;
    PaintSection(target, paint);
}

// A glyph's frame for the state centred on the area; nothing when it does not fit.
void paintGlyph(Bitmap32& target, const TsSkinManager& manager, int glyph, const QRect& area,
                int state) {
    const TsMaskData& item = manager.images()[size_t(glyph)];
    const int w = TsSkinModel::FrameWidth(item), h = TsSkinModel::FrameHeight(item);
    if (w <= 0 || h <= 0 || w > area.width() || h > area.height()) return;
    const QPoint at(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2);
    // The glyph's see-through pixels keep what is painted under them.
    DrawImageFrame(target, at, state, MakeCacheInfo(&target, QPoint(0, 0)), item, 1);
}

}  // namespace

void PaintArrowGlyph(Bitmap32& target, const QRect& area, Qt::ArrowType arrow, TColor colour) {
    const int size = std::max(2, std::min(area.width(), area.height()) / 4);
    const QPointF c = QRectF(area).center();
    QPainterPath path;
    switch (arrow) {
        case Qt::UpArrow:
            path.moveTo(c.x() - size, c.y() + size / 2.0);
            path.lineTo(c.x() + size, c.y() + size / 2.0);
            path.lineTo(c.x(), c.y() - size / 2.0);
            break;
        case Qt::DownArrow:
            path.moveTo(c.x() - size, c.y() - size / 2.0);
            path.lineTo(c.x() + size, c.y() - size / 2.0);
            path.lineTo(c.x(), c.y() + size / 2.0);
            break;
        case Qt::LeftArrow:
            path.moveTo(c.x() + size / 2.0, c.y() - size);
            path.lineTo(c.x() + size / 2.0, c.y() + size);
            path.lineTo(c.x() - size / 2.0, c.y());
            break;
        case Qt::RightArrow:
            path.moveTo(c.x() - size / 2.0, c.y() - size);
            path.lineTo(c.x() - size / 2.0, c.y() + size);
            path.lineTo(c.x() + size / 2.0, c.y());
            break;
        case Qt::NoArrow:
            return;
    }
    QImage image = target.image();
    QPainter canvas(&image);
    canvas.setRenderHint(QPainter::Antialiasing);
    canvas.fillPath(path, ToQColor(colour));
}

QStyle::SubControl TsScrollBarLayout::hitTest(QPoint point) const {
    if (Thumb.contains(point)) return QStyle::SC_ScrollBarSlider;
    if (BackButton.contains(point)) return QStyle::SC_ScrollBarSubLine;
    if (ForwardButton.contains(point)) return QStyle::SC_ScrollBarAddLine;
    if (BackPage.contains(point)) return QStyle::SC_ScrollBarSubPage;
    if (ForwardPage.contains(point)) return QStyle::SC_ScrollBarAddPage;
    return QStyle::SC_None;
}

QRect TsScrollBarLayout::rect(QStyle::SubControl part) const {
    switch (part) {
        case QStyle::SC_ScrollBarSubLine:
            return BackButton;
        case QStyle::SC_ScrollBarAddLine:
            return ForwardButton;
        case QStyle::SC_ScrollBarSubPage:
            return BackPage;
        case QStyle::SC_ScrollBarAddPage:
            return ForwardPage;
        case QStyle::SC_ScrollBarSlider:
            return Thumb;
        case QStyle::SC_ScrollBarGroove:
            return Track;
        default:
            return QRect();
    }
}

TsScrollBarLayout ScrollBarLayout(const QRect& bar, Qt::Orientation orientation, int minimum,
                                  int maximum, int page, int position, bool upsideDown,
                                  Qt::LayoutDirection direction, int minimumThumb) {
    const bool vertical = orientation == Qt::Vertical;
    const int length = vertical ? bar.height() : bar.width();
    const int thickness = vertical ? bar.width() : bar.height();
    const int button = std::max(0, std::min(thickness, length / 2));
    const int track = std::max(0, length - 2 * button);

    int thumb = track;
    const qint64 range = qint64(maximum) - minimum;
    if (range > 0) {
        const qint64 whole = range + std::max(page, 0);
        thumb = int(qint64(track) * std::max(page, 0) / whole);
        thumb = std::clamp(thumb, std::min(minimumThumb, track), track);
    }
    const int thumbStart = button + QStyle::sliderPositionFromValue(minimum, maximum, position,
                                                                    track - thumb, upsideDown);

    TsScrollBarLayout layout;
    layout.BackButton = along(bar, vertical, 0, button);
    layout.ForwardButton = along(bar, vertical, length - button, button);
    layout.Track = along(bar, vertical, button, track);
    layout.Thumb = along(bar, vertical, thumbStart, thumb);
    layout.BackPage = along(bar, vertical, button, thumbStart - button);
    layout.ForwardPage =
        along(bar, vertical, thumbStart + thumb, button + track - thumbStart - thumb);
    if (!vertical && direction == Qt::RightToLeft) {
        for (QRect* part : {&layout.BackButton, &layout.ForwardButton, &layout.Track, &layout.Thumb,
                            &layout.BackPage, &layout.ForwardPage})
            *part = QStyle::visualRect(direction, bar, *part);
    }
    return layout;
}

TsScrollBarLayout ScrollBarLayout(const QStyleOptionSlider& option) {
    const int thickness =
        option.orientation == Qt::Vertical ? option.rect.width() : option.rect.height();
    return ScrollBarLayout(option.rect, option.orientation, option.minimum, option.maximum,
                           option.pageStep, option.sliderPosition, option.upsideDown,
                           option.direction, std::max(8, thickness / 2));
}

TsScrollBar::TsScrollBar(QScrollBar* bar, const TsCommonData& window, QObject* parent)
    : QObject(parent), bar_(bar), window_(window), style_(new ScrollBarStyle(*this)) {
    style_->setParent(this);
}

TsScrollBar::~TsScrollBar() {
    // A bar that outlives its skin goes back to the platform's look.
    if (bar_) style_->wear(bar_, false);
}

bool TsScrollBar::skinned() const {
    return bar_ && bar_->style() == style_;
}

bool TsScrollBar::sync(bool on) {
    if (!bar_) return false;
    const TsSkinManager* manager = window_.SkinManager();
    const int thumb = bar_->orientation() == Qt::Vertical ? 0 : 1;
    const bool skin =
        on && manager &&
        manager->IsValidSection(manager->commonIndexes().ScrollSliders[thumb].Section);
    const bool changed = style_->wear(bar_, skin);
    // The hot part follows the mouse.
    if (skin) bar_->setAttribute(Qt::WA_Hover);
    if (!changed && skin) bar_->update();
    return changed;
}

void TsScrollBar::paint(QPainter& painter, const QStyleOptionSlider& option) const {
    const TsSkinManager* manager = window_.SkinManager();
    const QRect area = option.rect;
    if (!manager || area.isEmpty()) return;
    Bitmap32 picture = CreateBitmap32(area.width(), area.height());
    if (picture.isNull()) return;
    QStyleOptionSlider local = option;
    local.rect = picture.rect();
    const TsScrollBarLayout layout = ScrollBarLayout(local);
    const TsCommonIndexes& common = manager->commonIndexes();

    // What shows around the parts (through the corners of their borders) is the window's
    // own colour.
    const TColor around = window_.BackgroundColour(window_.IsHot() ? 1 : 0);
    const TCacheInfo parent = MakeCacheInfo(around);
    picture.fill(FillPixel(around));

    const bool vertical = option.orientation == Qt::Vertical;
    const bool enabled = option.state & QStyle::State_Enabled;
    const auto stateOf = [&](QStyle::SubControl sub) {
        if (!enabled || !(option.activeSubControls & sub)) return 0;
        return option.state & QStyle::State_Sunken ? 2 : 1;
    };
    // Read right to left, the back button of a horizontal bar lies on the right.
    const bool backFirst = vertical || option.direction != Qt::RightToLeft;

    // The track: its first section before the thumb, its second after it, each running on
    // under the thumb's nearer half, so that no end of their borders shows beside it.
    const TsCommonIndexes::Part* first = &common.ScrollBars[vertical ? 1 : 0];
    const TsCommonIndexes::Part* second = &common.ScrollBars[vertical ? 3 : 2];
    if (!manager->IsValidSection(second->Section)) second = first;
    if (!manager->IsValidSection(first->Section)) first = second;
    const bool thumbShown = option.maximum > option.minimum && !layout.Thumb.isEmpty();
    if (!thumbShown) {
        paintPart(picture, *manager, *first, layout.Track, 0, parent);
    } else {
        const QRect t = layout.Thumb;
        const QRect lowHalf = vertical ? QRect(t.left(), t.top(), t.width(), t.height() / 2)
                                       : QRect(t.left(), t.top(), t.width() / 2, t.height());
        const QRect highHalf =
            vertical
                ? QRect(t.left(), lowHalf.bottom() + 1, t.width(), t.height() - lowHalf.height())
                : QRect(lowHalf.right() + 1, t.top(), t.width() - lowHalf.width(), t.height());
        paintPart(picture, *manager, *first, layout.BackPage | (backFirst ? lowHalf : highHalf),
                  stateOf(QStyle::SC_ScrollBarSubPage), parent);
        paintPart(picture, *manager, *second, layout.ForwardPage | (backFirst ? highHalf : lowHalf),
                  stateOf(QStyle::SC_ScrollBarAddPage), parent);
    }

    // The arrow buttons, named by the side they lie on.
    const auto button = [&](const QRect& rect, int side, Qt::ArrowType arrow,
                            QStyle::SubControl sub) {
        if (rect.isEmpty()) return;
        const int state = stateOf(sub);
        const TsCommonIndexes::Part* own = &common.ScrollButtons[size_t(side)];
        const TsCommonIndexes::Part* drawn = manager->IsValidSection(own->Section) ? own : first;
        paintPart(picture, *manager, *drawn, rect, state, parent);
        if (manager->IsValidImage(own->Glyph)) {
            paintGlyph(picture, *manager, own->Glyph, rect, state);
        } else {
            TColor colour = window_.OwnerFontColour();
            if (manager->IsValidSection(drawn->Section))
                colour = StateLook(manager->sections()[drawn->Section], state).FontColor[0];
            PaintArrowGlyph(picture, rect, arrow, colour);
        }
    };
    if (vertical) {
        button(layout.BackButton, 0, Qt::UpArrow, QStyle::SC_ScrollBarSubLine);
        button(layout.ForwardButton, 1, Qt::DownArrow, QStyle::SC_ScrollBarAddLine);
    } else {
        button(layout.BackButton, backFirst ? 2 : 3, backFirst ? Qt::LeftArrow : Qt::RightArrow,
               QStyle::SC_ScrollBarSubLine);
        button(layout.ForwardButton, backFirst ? 3 : 2, backFirst ? Qt::RightArrow : Qt::LeftArrow,
               QStyle::SC_ScrollBarAddLine);
    }

    // The thumb with its grip.
    if (thumbShown) {
        const TsCommonIndexes::Part& thumb = common.ScrollSliders[vertical ? 0 : 1];
        const int state = stateOf(QStyle::SC_ScrollBarSlider);
        paintPart(picture, *manager, thumb, layout.Thumb, state, parent);
        if (manager->IsValidImage(thumb.Glyph))
            paintGlyph(picture, *manager, thumb.Glyph, layout.Thumb, state);
    }

    if (!enabled) ApplyDisabledLook(picture, parent, dkBlended);
    const QImage pixels(picture.bits(), picture.width(), picture.height(), picture.bytesPerLine(),
                        QImage::Format_RGB32);
    painter.drawImage(area.topLeft(), pixels);
}
