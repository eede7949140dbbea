#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include "skin/controls/sControlCache.h"
#include "skin/controls/sImageList.h"

class QPainter;

// Where a bitmap button's picture stands beside its caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The looks of a disabled button's picture.
enum TsDisabledGlyphKind : unsigned { dgBlended = 1, dgGrayed = 2 };

// The places of a bitmap button's picture and caption inside `client`.
struct TsGlyphPlacement {
    QRect Glyph;
    QRect Text;
};
// Places picture and caption as the classic bitmap button does. Left or right of the caption
// the picture is centred vertically with it, above or below it they are centred horizontally.
// A margin of -1 centres picture and caption together (a spacing of -1 as well: the free
// space is cut in three); a spacing of -1 with a margin centres the caption in the room the
// picture leaves. Without a picture or a caption the spacing counts for nothing.
TsGlyphPlacement BitmapButtonLayout(const QRect& client, QSize glyph, QSize text,
                                    TButtonLayout layout, int margin, int spacing,
                                    bool rightToLeft);

// Draws a picture into the bitmap through its own alpha, weighted by `opacity` (0 leaves
// the bitmap as it was, 255 draws the picture as it is), in grey when asked.
void DrawGlyph(Bitmap32& target, QPoint at, const QImage& picture, int opacity = 255,
               bool grey = false);
// The picture mirrored below `at` and fading out downwards, as a reflection on glass.
void DrawReflection(QPainter& canvas, QPoint at, const QImage& picture);
// A picture as a glyph is drawn: one with an alpha channel keeps it; one without takes the
// colour of its bottom-left pixel as transparent, as classic bitmap glyphs do.
QImage GlyphWithTransparency(const QImage& picture);

// What a bitmap or a speed button shows over its section: its picture and caption, placed
// by the classic bitmap button's rules, and how the picture looks by state.
struct TsButtonFace {
    // Picture and caption together, left, centred or right, while the margin is -1.
    Qt::Alignment Alignment = Qt::AlignHCenter;
    // How much of the background shows through the picture of a button at rest, in percent.
    int Blend = 0;
    unsigned DisabledGlyphKind = dgBlended;
    // The picture of a button at rest is shown in grey, in colour under the mouse.
    bool Grayed = false;
    bool ShowCaption = true;
    // The section's border is painted over the picture and caption, else under them.
    bool DrawOverBorder = true;
    // The caption moved this many pixels to the right of its place.
    int TextOffset = 0;
    // The lines of the caption within its place.
    Qt::Alignment TextAlignment = Qt::AlignHCenter;
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;
    // The frames of the glyph strip, side by side: up, disabled, clicked, down.
    int NumGlyphs = 1;
    // The glyph strip, with its transparency (GlyphWithTransparency).
    QImage Glyph;

    // The picture a button of this face shows, without its state's effects: the image
    // list's picture when it has the index, else the glyph strip's frame for the state.
    // `ownDisabled` tells whether that frame is the strip's own disabled picture.
    QImage picture(const TsImageList* images, int imageIndex, bool enabled, int state, bool down,
                   bool* ownDisabled = nullptr) const;
    // The size of one picture.
    QSize pictureSize(const TsImageList* images, int imageIndex) const;
};

// One painting of a bitmap or speed button's face into its cache.
struct TsFacePaint {
    const TsCommonData* Data = nullptr;
    const TsButtonFace* Face = nullptr;
    int State = 0;      // 0 normal, 1 hot, 2 pressed
    int SkinState = 0;  // the state limited to the section's images
    bool Down = false;  // pressed because it stays down
    bool Enabled = true;
    // Nothing of the section in the normal state: the parent shows (a flat button).
    bool Flat = false;
    bool WordWrap = false;
    bool RightToLeft = false;
    // Draw the focus rectangle around the caption (when the section allows it).
    bool Focus = false;
    int FocusMargin = 1;
    unsigned DisabledKind = dkBlended;
    QString Caption;
    QFont Font;
    const TsImageList* Images = nullptr;
    int ImageIndex = -1;
    bool Reflected = false;
    // The area picture and caption are placed in; the whole cache when empty.
    QRect Client;
};

// Paints the face into the cache, which holds the parent's background: the section for the
// state (nothing of it for a flat button at rest), the caption, the disabled look, the
// picture with its state's effects, the border over them when the face asks for it, and the
// focus rectangle. Answers where the caption went.
QRect PaintButtonFace(Bitmap32& cache, const TCacheInfo& parent, const TsFacePaint& paint);
