#pragma once

// Painting a skinned element: the look of a skin section in a state painted into a 32-bit
// bitmap (background with transparency against the parent, corner images, border image),
// single frames of image items, texture and gradient fills, captions, and the exact pixel
// arithmetic they are made of. Everything works on Bitmap32 in memory; text goes through
// QPainter on a QImage over the same pixels.

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include "imaging/bitmap32.h"
#include "skin/core/sColors.h"
#include "skin/core/sSkinModel.h"

class QPainter;
class TsSkinManager;
class TsCommonData;
class TsCtrlSkinData;

// What lies behind an element that is not opaque.
struct TCacheInfo {
    // The parent's cache bitmap, or none.
    const Bitmap32* Bmp = nullptr;
    // Where pixel (0, 0) of the bitmap being painted lies in the parent's cache.
    int X = 0;
    int Y = 0;
    // The parent's plain colour, used when its cache is not ready; clKey for none known.
    TColor FillColor = clKey;
    // The parent's cache holds its painted background.
    bool Ready = false;
};

// Parent information for an element over a plain colour.
inline TCacheInfo MakeCacheInfo(TColor fillColor) {
    TCacheInfo info;
    info.FillColor = fillColor;
    return info;
}
// Parent information for an element lying at `offset` inside the parent's painted cache.
inline TCacheInfo MakeCacheInfo(const Bitmap32* parentCache, QPoint offset) {
    TCacheInfo info;
    info.Bmp = parentCache;
    info.X = offset.x();
    info.Y = offset.y();
    info.Ready = parentCache && !parentCache->isNull();
    return info;
}

// Draw-mode bits of a border image.
enum : int { dmStretch = 1, dmNoBorderInState0 = 2, dmFillMiddle = 4 };

// The pixel a colour is written as: red and blue exchanged, the top byte as alpha.
inline quint32 ExchangeRedBlue(TColor colour) {
    const quint32 c = quint32(colour);
    return (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
}
// The pixel a fill writes: the colour (system colours resolved) with alpha 255.
inline quint32 FillPixel(TColor colour) {
    return (ExchangeRedBlue(ColorToRGB(colour)) & 0x00FFFFFFu) | 0xFF000000u;
}
// The colour of a pixel, without its alpha.
inline TColor PixelColour(quint32 pixel) {
    return TColor(ExchangeRedBlue(TColor(pixel)) & 0x00FFFFFFu);
}

Bitmap32 CreateBitmap32(int width, int height);

// A state limited to the section's state count, and the look (normal or hot) it paints with.
int LimitState(const TsGeneralData& section, int state);
// A state limited to the state count of a control's section; 0 without a skin or a section.
int LimitState(const TsCommonData& data, int state);
const TsGenState& StateLook(const TsGeneralData& section, int state);
// Where frame `frame` of an image item lies in its bitmap (a texture made from a JPEG file
// takes its whole own image).
QRect FrameRect(const TsMaskData& item, int frame);
// Puts the parent's background into `area`: its cache pixels when it is ready (nothing when
// `target` is that cache), else its fill colour.
void CopyParentBackground(Bitmap32& target, const QRect& area, const TCacheInfo& parent);

// Every pixel of `area` (cut to the bitmap) set to the colour with alpha 255.
void FillRect32(Bitmap32& bitmap, const QRect& area, TColor colour);
// Solid fills through a painter, for targets that are not 32-bit bitmaps.
void SolidFill(QPainter& painter, const QRect& area, TColor colour);
// The four edge strips: top over the full width, left below it, bottom right of the left
// strip, right between the top and bottom strips.
void SolidFillEdges(QPainter& painter, const QRect& area, int left, int top, int right, int bottom,
                    TColor colour);

// dst := (dst * alpha + src * (255 - alpha) + 127) >> 8 for every byte of every pixel of
// `sourceArea` of `source`, put at `destination` of `target`; cut to both bitmaps. Both must
// be at least 2 by 2 pixels.
void BlendBitmaps(Bitmap32& target, const Bitmap32& source, int alpha, QPoint destination,
                  const QRect& sourceArea);
// Mixes `colour` into the rectangle: each colour channel := round(e * pixel + (1 - e) *
// colour's channel) with e = percent / 100; alpha unchanged.
void BlendColour(Bitmap32& bitmap, const QRect& area, int percent, TColor colour);
// Per channel round(x * a + (1 - x) * b); the result keeps the top byte of `a`.
TColor MixColours(TColor a, TColor b, double x);

// Copies `sourceArea` of `source` to `destination`, cut to both bitmaps. Key pixels of the
// source take the parent's background pixel when `parent` is given, else they are skipped;
// other pixels are copied with alpha 255.
void KeyCopy(Bitmap32& target, QPoint destination, const Bitmap32& source, const QRect& sourceArea,
             const TCacheInfo* parent);
// Copies `sourceArea` of `source` through the mask lying `maskOffset` rows below it: for
// each colour channel dst := ((dst - src) * m + src * 256) >> 8 with m the mask's channel.
// Key pixels take the parent's background pixel (alpha 255).
void MaskedCopy(Bitmap32& target, QPoint destination, const Bitmap32& source,
                const QRect& sourceArea, int maskOffset, const TCacheInfo& parent);

// One frame (min(state, frame count - 1)) of an image item at `position`, cut to the target.
void DrawImageFrame(Bitmap32& target, QPoint position, int state, const TCacheInfo& parent,
                    const TsMaskData& item, int blend);
// A border image over the rectangle in nine pieces, its margins shrunk to fit. With
// `keyToParent`, key pixels take the parent's background; otherwise they are skipped.
void DrawBorderImage(Bitmap32& target, const QRect& area, bool keyToParent, int blend, int state,
                     const TsMaskData& item, const TCacheInfo& parent);

// The parts of a control of `size` that a border image leaves see-through in a state: the
// key pixels of its corner pieces. The window is cut to the rest, so rounded corners show
// what lies behind the control.
QRegion BorderCutOff(const TsMaskData& item, int state, QSize size);

// The section's gradient over the rectangle (first piece's mode: 0 vertical, 1 horizontal,
// 2 four triangles); other modes paint nothing.
void PaintGradient(Bitmap32& target, const QRect& area, const TsGradArray& gradient);
// Fills the rectangle with the texture item in its draw mode, `fill` where the mode leaves
// part of it uncovered.
void PaintTexture(Bitmap32& target, const QRect& area, const TsMaskData& item, TColor fill);

// Arguments shared by PaintSection and PaintBackground.
struct TsSectionPaint {
    int SectionIndex = -1;
    QString SectionName;
    TCacheInfo Parent;
    TColor CustomColor = clKey;              // clKey: the section's own colour
    int HotTexture = -1;                     // -1: looked up
    int Texture = -1;                        // -1: looked up
    const TsSkinManager* Manager = nullptr;  // none: the default manager
    QPoint Offset;
    QRect Area;
    int State = 0;
    bool DrawBorder = true;
};

// The section's complete look in a state: background, corner images, border image.
void PaintSection(Bitmap32& target, const TsSectionPaint& paint);
// The background alone.
void PaintBackground(Bitmap32& target, const TsSectionPaint& paint);
// PaintSection for a control: its section, indexes and custom colour, then its own hue and
// saturation.
void PaintControlSection(const TsCommonData& data, const TCacheInfo& parent, int state,
                         Bitmap32& target, QPoint offset, const QRect& area);

// Text format flags of captions (combinations of Qt::Alignment and Qt::TextFlag), plus:
enum : int { DT_NOCLIP = 0x10000000 };

// A caption in the section's text colours: contours, then the text.
void WriteSectionText(QPainter& canvas, const QString& text, bool enabled,
                      const TsSkinManager* manager, int state, int sectionIndex, int format,
                      const QRect& area);
// A control's caption in the colours of its section (or of the parent that shows through),
// with the control's hue and saturation; `glowTarget` receives the text glow when the state
// has one.
void WriteCaption(QPainter& canvas, const QString& text, bool enabled, bool hot,
                  const TsCommonData& data, int format, const QRect& area,
                  Bitmap32* glowTarget = nullptr);
// A halo of the text in `colour`, `size` pixels wide, painted into the bitmap.
void PaintTextGlow(Bitmap32& target, const QFont& font, const QString& text, int format,
                   const QRect& area, TColor colour, int size);

// Round to nearest, ties to even.
int RoundEven(double value);
