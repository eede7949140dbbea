#include "skin/controls/sRadioButton.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include "platform/skin_message.h"
#include "skin/controls/sButtonFace.h"
#include "skin/core/sSkinManager.h"

namespace {

// The gap between the mark and the caption.
constexpr int kCaptionGap = 4;

}  // namespace

TsRadioButton::TsRadioButton(QWidget* parent) : TsRadioButton(QString(), parent) {}

TsRadioButton::TsRadioButton(const QString& text, QWidget* parent)
    : QRadioButton(text, parent), SkinData(this, 33), cache_(this, SkinData) {
    cache_.Prepare = [this](Bitmap32& cache, const TCacheInfo& background) {
        PaintLook(cache, background);
        paintedState_ = CurrentState();
        paintedChecked_ = isChecked();
        paintedFocus_ = hasFocus();
        paintedText_ = this->text();
    };
    cache_.State = [this] { return SkinState(); };
}

void TsRadioButton::setGlyphChecked(const QImage& glyph) {
    glyphChecked_ = GlyphWithTransparency(glyph);
    Refresh();
}

void TsRadioButton::setGlyphUnChecked(const QImage& glyph) {
    glyphUnChecked_ = GlyphWithTransparency(glyph);
    Refresh();
}

int TsRadioButton::CurrentState() const {
    if (isDown()) return 2;
    if (isEnabled() && (mouseAbove_ || hasFocus())) return 1;
    return 0;
}

int TsRadioButton::SkinState() const {
    return LimitState(SkinData, CurrentState());
}

int TsRadioButton::markIndex() const {
    const TsSkinManager* manager = SkinData.SkinManager();
    if (!manager) return -1;
    const int index = isChecked() ? manager->commonIndexes().RadioButtonChecked
                                  : manager->commonIndexes().RadioButtonUnChecked;
    return manager->IsValidImage(index) ? index : -1;
}

QSize TsRadioButton::markSize() const {
    const QImage& own = isChecked() ? glyphChecked_ : glyphUnChecked_;
    if (!own.isNull()) return own.size();
    if (const int index = markIndex(); index >= 0) {
        const TsMaskData& mark = SkinData.SkinManager()->images()[size_t(index)];
        return QSize(TsSkinModel::FrameWidth(mark), TsSkinModel::FrameHeight(mark));
    }
    return QSize(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this),
                 style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, this));
}

int TsRadioButton::captionFlags() const {
    int flags = Qt::AlignVCenter | (WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine) |
                Qt::TextShowMnemonic;
    if (layoutDirection() == Qt::RightToLeft)
        flags |= Qt::AlignRight | Qt::TextForceRightToLeft;
    else
        flags |= Qt::AlignLeft;
    return flags;
}

QRect TsRadioButton::glyphRect(QSize size) const {
    const QSize mark = markSize();
    const int left =
        layoutDirection() == Qt::RightToLeft ? size.width() - Margin - mark.width() : Margin;
    return QRect(QPoint(left, (size.height() - mark.height()) / 2), mark);
}

QRect TsRadioButton::captionRect(QSize size) const {
    const int skip = Margin + markSize().width() + kCaptionGap + TextIndent;
    QRect area(0, 0, size.width(), size.height());
    if (layoutDirection() == Qt::RightToLeft)
        area.adjust(Margin, 0, -skip, 0);
    else
        area.adjust(skip, 0, -Margin, 0);
    if (area.width() <= 0 || text().isEmpty()) return QRect(area.topLeft(), QSize(0, 0));
    return fontMetrics().boundingRect(area, captionFlags(), text()) & area;
}

QSize TsRadioButton::sizeHint() const {
    if (!cache_.skinned()) return QRadioButton::sizeHint();
    const QSize mark = markSize();
    const QSize caption =
        text().isEmpty() ? QSize() : fontMetrics().size(captionFlags() & ~Qt::TextWordWrap, text());
    return QSize(Margin + mark.width() + kCaptionGap + TextIndent + caption.width() + Margin,
                 std::max(mark.height(), caption.height()) + 2);
}

void TsRadioButton::applyAutoSize() {
    if (AutoSize) resize(sizeHint());
}

void TsRadioButton::Refresh() {
    applyAutoSize();
    cache_.regionChanged();
    cache_.invalidate();
}

void TsRadioButton::nextCheckState() {
    if (ReadOnly) return;
    QRadioButton::nextCheckState();
}

bool TsRadioButton::hitButton(const QPoint& position) const {
    // Skinned, the mark and the caption fill the button.
    if (cache_.skinned()) return rect().contains(position);
    return QRadioButton::hitButton(position);
}

void TsRadioButton::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    const int state = CurrentState();
    const int skinState = SkinState();
    PaintControlSection(SkinData, parent, skinState, cache, QPoint(0, 0), cache.rect());

    const QRect mark = glyphRect(cache.rect().size());
    const QImage& own = isChecked() ? glyphChecked_ : glyphUnChecked_;
    const TsSkinManager* manager = SkinData.SkinManager();
    QImage image = cache.image();
    QPainter canvas(&image);
    if (!own.isNull()) {
        DrawGlyph(cache, mark.topLeft(), own);
    } else if (const int index = markIndex(); index >= 0) {
        DrawImageFrame(cache, mark.topLeft(), state, parent, manager->images()[size_t(index)], 1);
    } else {
        // A skin without marks: the platform's mark over the skinned background.
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = mark;
        option.state |= isChecked() ? QStyle::State_On : QStyle::State_Off;
        if (state == 2) option.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &canvas, this);
    }

    const QRect caption = captionRect(cache.rect().size());
    canvas.setFont(font());
    // A disabled look laid over the button leaves the caption in its enabled colours.
    WriteCaption(canvas, text(), isEnabled() || DisabledKind != 0, state > 0, SkinData,
                 captionFlags(), caption, &cache);
    canvas.end();

    const TsGeneralData& section = manager->sections()[SkinData.SkinIndex];
    if (hasFocus() && isEnabled() && ShowFocus && section.ShowFocus && !text().isEmpty()) {
        const TColor colour = StateLook(section, skinState > 0 ? 1 : 0).FontColor[0];
        DrawFocusRect(cache, caption.adjusted(-1, -1, 1, 1), ColorToRGB(colour));
    }
    if (!isEnabled()) ApplyDisabledLook(cache, parent, DisabledKind);
}

bool TsRadioButton::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        const bool stopOrder = fade_.followCommand(*message);
        if (cache_.handleCommand(*message) || stopOrder) return true;
        const bool ours = message->Param == quintptr(SkinData.SkinManager());
        const bool result = QRadioButton::event(event);
        // A new skin brings marks of another size.
        if (ours && (message->Command == TsSkinMessage::AC_SETNEWSKIN ||
                     message->Command == TsSkinMessage::AC_REFRESH ||
                     message->Command == TsSkinMessage::AC_REMOVESKIN))
            applyAutoSize();
        return result;
    }
    switch (event->type()) {
        case QEvent::Enter:
            if (isEnabled() && !mouseAbove_) {
                mouseAbove_ = true;
                fade_.transition(aeMouseEnter, false, AnimatEvents);
            }
            break;
        case QEvent::Leave:
            if (mouseAbove_) {
                mouseAbove_ = false;
                fade_.transition(aeMouseLeave, false, AnimatEvents);
            }
            break;
        case QEvent::FocusIn:
            cache_.invalidate();
            break;
        case QEvent::FocusOut:
            fade_.stop();
            cache_.invalidate();
            break;
        case QEvent::Show: {
            const bool result = QRadioButton::event(event);
            applyAutoSize();
            return result;
        }
        default:
            break;
    }
    return QRadioButton::event(event);
}

void TsRadioButton::paintEvent(QPaintEvent* event) {
    // The check, the state or the caption may have changed without telling.
    if (CurrentState() != paintedState_ || isChecked() != paintedChecked_ ||
        hasFocus() != paintedFocus_ || text() != paintedText_)
        SkinData.BGChanged = true;
    QPainter painter(this);
    if (cache_.paint(painter, event->rect())) return;
    painter.end();
    QRadioButton::paintEvent(event);
}

void TsRadioButton::resizeEvent(QResizeEvent* event) {
    QRadioButton::resizeEvent(event);
    cache_.resized();
}

void TsRadioButton::changeEvent(QEvent* event) {
    QRadioButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        mouseAbove_ = false;
        fade_.stop();
    }
    if (event->type() == QEvent::FontChange) applyAutoSize();
    cache_.followChange(event);
}
