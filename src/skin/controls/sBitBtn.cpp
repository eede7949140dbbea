#include "skin/controls/sBitBtn.h"

#include <QEvent>

TsBitBtn::TsBitBtn(QWidget* parent) : TsButton(parent, 94) {}

void TsBitBtn::setGlyph(const QImage& glyph, int numGlyphs) {
    Glyph = GlyphWithTransparency(glyph);
    NumGlyphs = numGlyphs;
    Refresh();
}

void TsBitBtn::Refresh() {
    syncIcon();
    TsButton::Refresh();
}

void TsBitBtn::syncIcon() {
    const QImage picture = TsButtonFace::picture(Images, ImageIndex, true, 0, false);
    if (picture.isNull()) {
        setIcon(QIcon());
        return;
    }
    QIcon icon(QPixmap::fromImage(picture));
    bool ownDisabled = false;
    const QImage disabled =
        TsButtonFace::picture(Images, ImageIndex, false, 0, false, &ownDisabled);
    if (ownDisabled) icon.addPixmap(QPixmap::fromImage(disabled), QIcon::Disabled);
    setIcon(icon);
    setIconSize(picture.size());
}

void TsBitBtn::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    TsFacePaint paint;
    paint.Data = &SkinData;
    paint.Face = this;
    paint.State = CurrentState();
    paint.SkinState = SkinState();
    paint.Down = Down;
    paint.Enabled = isEnabled();
    paint.WordWrap = WordWrap;
    paint.RightToLeft = layoutDirection() == Qt::RightToLeft;
    paint.Focus = hasFocus() && ShowFocus;
    paint.FocusMargin = FocusMargin;
    paint.DisabledKind = DisabledKind;
    paint.Caption = text();
    paint.Font = font();
    paint.Images = Images;
    paint.ImageIndex = ImageIndex;
    paint.Reflected = Reflected;
    PaintButtonFace(cache, parent, paint);
    Q_EMIT OnPaint(cache);
}

bool TsBitBtn::event(QEvent* event) {
    // The icon of the platform button is taken once the properties set after creation are in.
    if (event->type() == QEvent::Polish) syncIcon();
    return TsButton::event(event);
}
