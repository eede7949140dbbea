#include "skin/controls/sSpeedButton.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include "platform/skin_message.h"
#include "skin/core/sSkinManager.h"

namespace {

// The width of a drop-down button's arrow part.
constexpr int kDropDownWidth = 15;

}  // namespace

TsSpeedButton::TsSpeedButton(QWidget* parent)
    : QToolButton(parent), SkinData(this, 92), cache_(this, SkinData) {
    cache_.Prepare = [this](Bitmap32& cache, const TCacheInfo& background) {
        PaintLook(cache, background);
        paintedState_ = CurrentState();
        paintedText_ = text();
    };
    cache_.State = [this] { return SkinState(); };
    SkinData.setSkinSection(QStringLiteral("SPEEDBUTTON"));
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        if (ButtonStyle != tbsCheck) return;
        Down = !Down;
        Transition(aeMouseUp);
    });
}

void TsSpeedButton::setGlyph(const QImage& glyph, int numGlyphs) {
    Glyph = GlyphWithTransparency(glyph);
    NumGlyphs = numGlyphs;
    Refresh();
}

int TsSpeedButton::CurrentState() const {
    if (!isButton()) return 0;
    if (isDown() || Down) return 2;
    if (isEnabled() && (mouseAbove_ || SkinData.IsHot())) return 1;
    return 0;
}

int TsSpeedButton::SkinState() const {
    return LimitState(SkinData, CurrentState());
}

void TsSpeedButton::Refresh() {
    syncIcon();
    // A separator or divider has no border to take its shape from.
    cache_.CutToBorder = isButton();
    cache_.regionChanged();
    cache_.invalidate();
}

QRect TsSpeedButton::dropDownArea() const {
    if (ButtonStyle != tbsDropDown) return QRect();
    const int width = std::min(kDropDownWidth, this->width());
    return layoutDirection() == Qt::RightToLeft ? QRect(0, 0, width, height())
                                                : QRect(this->width() - width, 0, width, height());
}

void TsSpeedButton::Transition(unsigned event) {
    fade_.transition(event, event == aeMouseDown || event == aeMouseUp, AnimatEvents);
}

void TsSpeedButton::syncIcon() {
    const QImage picture = TsButtonFace::picture(Images, ImageIndex, true, 0, false);
    if (picture.isNull()) {
        setIcon(QIcon());
        setToolButtonStyle(Qt::ToolButtonTextOnly);
        return;
    }
    QIcon icon(QPixmap::fromImage(picture));
    bool ownDisabled = false;
    const QImage disabled =
        TsButtonFace::picture(Images, ImageIndex, false, 0, false, &ownDisabled);
    if (ownDisabled) icon.addPixmap(QPixmap::fromImage(disabled), QIcon::Disabled);
    setIcon(icon);
    setIconSize(picture.size());
    setToolButtonStyle(ShowCaption && !text().isEmpty() ? Qt::ToolButtonTextBesideIcon
                                                        : Qt::ToolButtonIconOnly);
}

void TsSpeedButton::paintDivider(Bitmap32& cache, const TCacheInfo& parent,
                                 const QRect& area) const {
    const TsSkinManager* manager = SkinData.SkinManager();
    const int section = manager ? manager->FindSection(QStringLiteral("DIVIDER")) : -1;
    if (!manager || !manager->IsValidSection(section)) return;
    const int index = manager->sections()[section].BorderIndex;
    if (!manager->IsValidImage(index)) return;
    const TsMaskData& line = manager->images()[size_t(index)];
    const int width = std::min(TsSkinModel::FrameWidth(line), area.width());
    const QRect strip(area.left() + (area.width() - width) / 2, area.top() + 3, width,
                      area.height() - 6);
    if (strip.height() > 0) DrawBorderImage(cache, strip, true, 1, 0, line, parent);
}

void TsSpeedButton::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    if (!isButton()) {
        CopyParentBackground(cache, cache.rect(), parent);
        if (ButtonStyle == tbsDivider) paintDivider(cache, parent, cache.rect());
        Q_EMIT OnPaint(cache);
        return;
    }
    const QRect arrow = dropDownArea();
    TsFacePaint paint;
    paint.Data = &SkinData;
    paint.Face = this;
    paint.State = CurrentState();
    paint.SkinState = SkinState();
    paint.Down = Down;
    paint.Enabled = isEnabled();
    paint.Flat = autoRaise();
    paint.RightToLeft = layoutDirection() == Qt::RightToLeft;
    paint.DisabledKind = DisabledKind;
    paint.Caption = text();
    paint.Font = font();
    paint.Images = Images;
    paint.ImageIndex = ImageIndex;
    paint.Reflected = Reflected;
    paint.Client =
        arrow.isEmpty() ? cache.rect() : QRegion(cache.rect()).subtracted(arrow).boundingRect();
    PaintButtonFace(cache, parent, paint);

    if (!arrow.isEmpty()) {
        const int edge = layoutDirection() == Qt::RightToLeft ? arrow.right() : arrow.left();
        paintDivider(cache, parent, QRect(edge - 3, 0, 7, height()));
        // A small arrow pointing down, in the caption's colour.
        const TsSkinManager* manager = SkinData.SkinManager();
        const TsGeneralData& section = manager->sections()[SkinData.SkinIndex];
        TColor colour = StateLook(section, paint.SkinState > 0 ? 1 : 0).FontColor[0];
        if (!isEnabled())
            colour =
                MixColours(ColorToRGB(section.Props[0].FontColor[0]), manager->FormColor(), 0.4);
        colour = HueAndSaturation(colour, SkinData.HUEOffset, SkinData.Saturation);
        const QPoint tip =
            arrow.center() + QPoint(1, 2) + (paint.State == 2 ? QPoint(1, 1) : QPoint());
        for (int row = 0; row < 4; ++row)
            FillRect32(cache, QRect(tip.x() - 3 + row, tip.y() - 3 + row, 7 - 2 * row, 1), colour);
    }
    Q_EMIT OnPaint(cache);
}

bool TsSpeedButton::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        const bool stopOrder = fade_.followCommand(*message);
        if (cache_.handleCommand(*message) || stopOrder) return true;
        return QToolButton::event(event);
    }
    switch (event->type()) {
        case QEvent::Enter:
            if (isEnabled() && isButton() && !mouseAbove_) {
                mouseAbove_ = true;
                Q_EMIT OnMouseEnter();
                Transition(aeMouseEnter);
            }
            break;
        case QEvent::Leave:
            if (mouseAbove_) {
                mouseAbove_ = false;
                Q_EMIT OnMouseLeave();
                Transition(aeMouseLeave);
            }
            break;
        case QEvent::Polish:
            syncIcon();
            break;
        default:
            break;
    }
    return QToolButton::event(event);
}

void TsSpeedButton::paintEvent(QPaintEvent* event) {
    // Whatever changed the look without telling (a new caption, a state the platform
    // changed) shows in the state or the text the cache was painted for.
    if (CurrentState() != paintedState_ || text() != paintedText_) SkinData.BGChanged = true;
    QPainter painter(this);
    if (cache_.paint(painter, event->rect())) return;
    painter.end();

    QStylePainter platform(this);
    if (!isButton()) {
        if (ButtonStyle == tbsDivider) {
            QStyleOption option;
            option.initFrom(this);
            option.state |= QStyle::State_Horizontal;
            platform.drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, option);
        }
        return;
    }
    QStyleOptionToolButton option;
    initStyleOption(&option);
    if (Down) option.state |= QStyle::State_Sunken | QStyle::State_On;
    if (!ShowCaption) option.text.clear();
    platform.drawComplexControl(QStyle::CC_ToolButton, option);
    if (const QRect arrow = dropDownArea(); !arrow.isEmpty()) {
        QStyleOption indicator;
        indicator.initFrom(this);
        indicator.rect = arrow.adjusted(3, 0, -3, 0);
        platform.drawPrimitive(QStyle::PE_IndicatorArrowDown, indicator);
    }
}

void TsSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (!isButton()) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::LeftButton && DropdownMenu &&
        dropDownArea().contains(event->position().toPoint())) {
        DropdownMenu->popup(mapToGlobal(QPoint(0, height())));
        return;
    }
    QToolButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) Transition(aeMouseDown);
}

void TsSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    QToolButton::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) Transition(aeMouseUp);
}

void TsSpeedButton::resizeEvent(QResizeEvent* event) {
    QToolButton::resizeEvent(event);
    cache_.resized();
}

void TsSpeedButton::changeEvent(QEvent* event) {
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) mouseAbove_ = false;
    cache_.followChange(event);
}
