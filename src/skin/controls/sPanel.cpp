#include "skin/controls/sPanel.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/skin_message.h"
#include "skin/core/sSkinManager.h"

namespace {
const QString kPanel = QStringLiteral("PANEL");
const QString kPanelLow = QStringLiteral("PANEL_LOW");
const QString kNoFrame = QStringLiteral("CHECKBOX");

QString stockSection(TsPanel::TBevelCut bevel) {
    switch (bevel) {
        case TsPanel::bvNone:
            return kNoFrame;
        case TsPanel::bvLowered:
            return kPanelLow;
        case TsPanel::bvRaised:
            return kPanel;
    }
    return kPanel;
}
}  // namespace

TsPanel::TsPanel(QWidget* parent) : TsPanel(parent, 51) {
    SkinData.setSkinSection(kPanel);
}

TsPanel::TsPanel(QWidget* parent, int kind)
    : QFrame(parent), SkinData(this, kind), cache_(this, SkinData) {
    cache_.Prepare = [this](Bitmap32& cache, const TCacheInfo& background) {
        PaintLook(cache, background);
    };
    cache_.State = [] { return 0; };
    applyPlatformFrame();
}

void TsPanel::setBevelOuter(TBevelCut bevel) {
    if (bevel == bevelOuter_) return;
    const bool stock = SkinData.SkinSection() == stockSection(bevelOuter_);
    bevelOuter_ = bevel;
    if (stock) SkinData.setSkinSection(stockSection(bevel));
    applyPlatformFrame();
    cache_.invalidate();
}

void TsPanel::setCaption(const QString& caption) {
    if (caption == Caption) return;
    Caption = caption;
    cache_.invalidate();
}

void TsPanel::applyPlatformFrame() {
    switch (bevelOuter_) {
        case bvNone:
            setFrameStyle(QFrame::NoFrame);
            break;
        case bvLowered:
            setFrameStyle(QFrame::Panel | QFrame::Sunken);
            break;
        case bvRaised:
            setFrameStyle(QFrame::Panel | QFrame::Raised);
            break;
    }
    setLineWidth(BevelWidth);
}

int TsPanel::frameWidth() const {
    int width = BorderStyle == bsSingle ? 1 + (Ctl3D ? 3 : 0) : 0;
    width += BorderWidth;
    if (BevelInner != bvNone) width += BevelWidth;
    if (bevelOuter_ != bvNone) width += BevelWidth;
    return width;
}

void TsPanel::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    PaintControlSection(SkinData, parent, 0, cache, QPoint(0, 0), cache.rect());
    if (!Caption.isEmpty()) {
        QImage image = cache.image();
        QPainter canvas(&image);
        canvas.setFont(font());
        const int border = frameWidth();
        const QRect area = cache.rect().adjusted(border, border, -border, -border);
        const int flags =
            int(Alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextWordWrap;
        WriteCaption(canvas, Caption, isEnabled(), false, SkinData, flags, area, &cache);
    }
    Q_EMIT OnPaint(cache);
}

bool TsPanel::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        if (cache_.handleCommand(*message)) return true;
        return QFrame::event(event);
    }
    if (event->type() == QEvent::Enter) Q_EMIT OnMouseEnter();
    if (event->type() == QEvent::Leave) Q_EMIT OnMouseLeave();
    return QFrame::event(event);
}

void TsPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (cache_.paint(painter, event->rect())) return;
    painter.end();
    QFrame::paintEvent(event);
    if (Caption.isEmpty()) return;
    QPainter text(this);
    text.drawText(contentsRect(),
                  int(Alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextWordWrap,
                  Caption);
}

void TsPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    cache_.regionChanged();
    cache_.invalidate(false);
}

void TsPanel::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        cache_.invalidate();
}
