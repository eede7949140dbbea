#include "skin/controls/sGroupBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/skin_message.h"
#include "skin/core/sSkinManager.h"

namespace {

// The caption is one line; an ampersand marks the shortcut letter as on the platform's box.
constexpr int kCaptionFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;
// The caption box reaches this far beyond each end of the caption.
constexpr int kCaptionPadding = 4;

}  // namespace

int GroupCaptionLeft(int width, int textWidth, TsCaptionLayout layout, bool rightToLeft) {
    int left = 0;
    if (layout == clTopCenter)
        left = (width - textWidth - 10) / 2;
    else if ((layout == clTopLeft) != rightToLeft)
        left = 6;
    else
        left = width - textWidth - 14;
    return std::max(0, left);
}

TsGroupBox::TsGroupBox(QWidget* parent)
    : QGroupBox(parent), SkinData(this, 74), cache_(this, SkinData) {
    cache_.Prepare = [this](Bitmap32& cache, const TCacheInfo& background) {
        PaintLook(cache, background);
        paintedTitle_ = title();
    };
    cache_.State = [] { return 0; };
    // The frame does not run along the box's top edge: the window keeps its rectangle.
    cache_.CutToBorder = false;
    SkinData.setSkinSection(QStringLiteral("GROUPBOX"));
}

int TsGroupBox::captionHeight() const {
    return fontMetrics().height();
}

QRect TsGroupBox::frameRect() const {
    const int top = CaptionYOffset < 0 ? 0 : captionHeight() / 2;
    return QRect(0, top, width(), std::max(0, height() - top));
}

QRect TsGroupBox::captionRect() const {
    if (title().isEmpty()) return QRect();
    const int textWidth = fontMetrics().size(kCaptionFlags, title()).width();
    const int left =
        GroupCaptionLeft(width(), textWidth, CaptionLayout, layoutDirection() == Qt::RightToLeft);
    return QRect(left, CaptionYOffset, std::min(textWidth + 2 * kCaptionPadding, width()),
                 captionHeight());
}

void TsGroupBox::Refresh() {
    cache_.invalidate();
}

void TsGroupBox::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    const QRect frame = frameRect();
    CopyParentBackground(cache, QRect(0, 0, cache.width(), frame.top()), parent);
    if (!frame.isEmpty()) PaintControlSection(SkinData, parent, 0, cache, QPoint(0, 0), frame);

    const QRect box = captionRect() & cache.rect();
    if (box.isEmpty()) return;
    // The caption's box cuts the frame: its section shows the parent behind the box.
    const TsSkinManager* manager = SkinData.SkinManager();
    const QString name = CaptionSkin.isEmpty() ? QStringLiteral("CHECKBOX") : CaptionSkin.toUpper();
    TsSectionPaint paint;
    paint.SectionIndex = manager->FindSection(name);
    paint.SectionName = name;
    paint.Parent = parent;
    paint.Manager = manager;
    paint.Area = box;
    if (manager->IsValidSection(paint.SectionIndex))
        PaintSection(cache, paint);
    else
        CopyParentBackground(cache, box, parent);

    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(font());
    int flags = kCaptionFlags | Qt::AlignLeft | Qt::AlignVCenter;
    if (layoutDirection() == Qt::RightToLeft) flags |= Qt::TextForceRightToLeft;
    WriteCaption(canvas, title(), isEnabled(), false, SkinData, flags,
                 box.adjusted(kCaptionPadding, 0, -kCaptionPadding, 0), &cache);
}

bool TsGroupBox::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        if (cache_.handleCommand(*message)) return true;
        return QGroupBox::event(event);
    }
    return QGroupBox::event(event);
}

void TsGroupBox::paintEvent(QPaintEvent* event) {
    if (title() != paintedTitle_) SkinData.BGChanged = true;
    QPainter painter(this);
    // Skinned, the cache holds frame and caption; the platform's own drawing is left out.
    if (cache_.paint(painter, event->rect())) return;
    painter.end();
    QGroupBox::paintEvent(event);
}

void TsGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    cache_.invalidate(false);
}

void TsGroupBox::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    cache_.followChange(event);
}
