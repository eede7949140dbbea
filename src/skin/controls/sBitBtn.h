#pragma once

#include "skin/controls/sButton.h"
#include "skin/controls/sButtonFace.h"

// The skinned bitmap button: a push button whose picture (a glyph strip, or a picture of an
// image list) and caption are placed as the classic bitmap button places them. It follows
// the push button's states, the default button counting as hot; the pressed state paints
// the section's pressed image. Without a skin it is the platform's button with the picture
// as its icon.
class TsBitBtn : public TsButton, public TsButtonFace {
    Q_OBJECT

public:
    explicit TsBitBtn(QWidget* parent = nullptr);

    // The glyph strip of NumGlyphs frames (up, disabled, clicked, down); a picture without
    // an alpha channel takes its bottom-left pixel's colour as transparent.
    void setGlyph(const QImage& glyph, int numGlyphs = 1);
    // After changing the properties: the picture and the look are taken again.
    void Refresh();

Q_SIGNALS:
    // The finished picture of the button, before it is shown.
    void OnPaint(Bitmap32& cache);

protected:
    void PaintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    bool event(QEvent* event) override;

private:
    // The platform button shows the picture as its icon.
    void syncIcon();
};
