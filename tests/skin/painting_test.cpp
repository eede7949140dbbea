// Painting of skin sections: the exact pixel arithmetic, border images, textures, gradients
// and transparency against the parent.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <memory>

#include "platform/message_box.h"
#include "skin/core/sGlow.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"
#include "skin_test_support.h"

namespace {

constexpr quint32 kOpaque = 0xFF000000u;

// A pixel from red, green and blue, opaque.
constexpr quint32 px(int r, int g, int b) {
    return kOpaque | quint32(r) << 16 | quint32(g) << 8 | quint32(b);
}
// A colour in the skin's layout (red lowest).
constexpr TColor rgb(int r, int g, int b) {
    return TColor(r | g << 8 | b << 16);
}

Bitmap32 filled(int width, int height, quint32 pixel) {
    Bitmap32 bitmap(width, height);
    bitmap.fill(pixel);
    return bitmap;
}

// An image item with its own picture.
TsMaskData ownItem(Bitmap32 picture, int frames, int maskType, int drawMode,
                   const TsSkinManager* manager) {
    TsMaskData item;
    item.R = {0, 0, picture.width(), picture.height()};
    item.Bmp = std::make_unique<Bitmap32>(std::move(picture));
    item.ImageCount = qint16(frames);
    item.MaskType = qint16(maskType);
    item.DrawMode = qint16(drawMode);
    item.Manager = const_cast<TsSkinManager*>(manager);
    return item;
}

QByteArray bmpBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes;
}

// A manager on a skin written on the spot.
struct PaintSkin {
    SkinFolder folder;
    TsSkinManager manager;
    MessageBoxRecorder boxes;

    void picture(const QString& name, const QImage& image) const {
        folder.write("Test/" + name, bmpBytes(image));
    }
    void load(const QString& text) {
        folder.write("Test/Options.dat", text.toUtf8());
        manager.setSkinDirectory(folder.path());
        manager.setSkinName("Test");
        ASSERT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('\n').toStdString();
        ASSERT_FALSE(manager.sections().isEmpty());
    }
    TsSectionPaint paint(const QString& section, const QRect& area, int state = 0) const {
        TsSectionPaint p;
        p.SectionIndex = manager.FindSection(section);
        p.SectionName = section;
        p.Manager = &manager;
        p.Area = area;
        p.State = state;
        return p;
    }
};

}  // namespace

TEST(PaintingArithmeticTest, BlendBitmapsFollowsTheByteFormula) {
    Bitmap32 target = filled(4, 4, 0xFFFFFFFFu);
    const Bitmap32 source = filled(4, 4, 0x00000000u);
    BlendBitmaps(target, source, 128, QPoint(0, 0), source.rect());
    // (255 * 128 + 0 * 127 + 127) >> 8 = 32767 >> 8 = 127, alpha included
    EXPECT_EQ(target.pixel(2, 2), 0x7F7F7F7Fu);

    // a = 255 nearly keeps the destination, a = 0 nearly takes the source.
    Bitmap32 keep = filled(2, 2, 0xFF102030u);
    BlendBitmaps(keep, filled(2, 2, 0xFF000000u), 255, QPoint(0, 0), QRect(0, 0, 2, 2));
    EXPECT_EQ(keep.pixel(0, 0), 0xFE102030u);  // alpha (255 * 255 + 127) >> 8 = 254
    Bitmap32 take = filled(2, 2, 0xFF000000u);
    BlendBitmaps(take, filled(2, 2, 0xFFFFFFFFu), 0, QPoint(0, 0), QRect(0, 0, 2, 2));
    EXPECT_EQ(take.pixel(1, 1), 0xFEFEFEFEu);  // (255 * 255 + 127) >> 8 = 254

    // Cut to both bitmaps: a source placed half outside changes only the overlap.
    Bitmap32 small = filled(3, 3, 0xFF000000u);
    BlendBitmaps(small, filled(4, 4, 0xFFFFFFFFu), 0, QPoint(2, 2), QRect(0, 0, 4, 4));
    EXPECT_EQ(small.pixel(2, 2), 0xFEFEFEFEu);
    EXPECT_EQ(small.pixel(1, 2), 0xFF000000u);

    // Every byte by the formula, whole groups of pixels and the rest of a row alike.
    Bitmap32 mixedTarget(13, 3), mixedSource(13, 3);  // groups of 8 and 4, then 1
    quint32 seed = 12345;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 13; ++x) {
            mixedTarget.setPixel(x, y, next());
            mixedSource.setPixel(x, y, next());
        }
    const Bitmap32 before = mixedTarget;
    BlendBitmaps(mixedTarget, mixedSource, 77, QPoint(0, 0), mixedSource.rect());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 13; ++x)
            for (int shift = 0; shift < 32; shift += 8) {
                const quint32 d = before.pixel(x, y) >> shift & 0xFF;
                const quint32 s = mixedSource.pixel(x, y) >> shift & 0xFF;
                ASSERT_EQ(mixedTarget.pixel(x, y) >> shift & 0xFF, (d * 77 + s * 178 + 127) >> 8)
                    << x << "," << y << " byte " << shift / 8;
            }

    // Bitmaps smaller than 2 by 2 are left alone.
    Bitmap32 line = filled(5, 1, 0xFF000000u);
    BlendBitmaps(line, filled(4, 4, 0xFFFFFFFFu), 0, QPoint(0, 0), QRect(0, 0, 4, 4));
    EXPECT_EQ(line.pixel(0, 0), 0xFF000000u);
}

TEST(PaintingArithmeticTest, ColourMixingRoundsHalvesToEven) {
    // 0.3 * 200 + 0.7 * 100 = 130 for each channel; alpha stays.
    Bitmap32 bitmap = filled(2, 1, 0x40C8C8C8u);
    BlendColour(bitmap, QRect(0, 0, 1, 1), 30, rgb(100, 100, 100));
    EXPECT_EQ(bitmap.pixel(0, 0), 0x40828282u);
    EXPECT_EQ(bitmap.pixel(1, 0), 0x40C8C8C8u);

    // Halves: 0.5 rounds to 0, 1.5 to 2, 2.5 to 2.
    Bitmap32 ties(3, 1);
    ties.setPixel(0, 0, px(1, 1, 1));
    ties.setPixel(1, 0, px(3, 3, 3));
    ties.setPixel(2, 0, px(5, 5, 5));
    BlendColour(ties, ties.rect(), 50, 0);
    EXPECT_EQ(ties.pixel(0, 0), px(0, 0, 0));
    EXPECT_EQ(ties.pixel(1, 0), px(2, 2, 2));
    EXPECT_EQ(ties.pixel(2, 0), px(2, 2, 2));

    // The channels are taken from the colour's own places: red lowest.
    Bitmap32 red = filled(1, 1, px(0, 0, 0));
    BlendColour(red, red.rect(), 0, rgb(255, 0, 0));
    EXPECT_EQ(red.pixel(0, 0), px(255, 0, 0));

    EXPECT_EQ(MixColours(0x12000001, 0, 0.5), 0x12000000);  // 0.5 -> 0, top byte of A
    EXPECT_EQ(MixColours(3, 0, 0.5), 2);                    // 1.5 -> 2
    EXPECT_EQ(MixColours(rgb(200, 0, 100), rgb(100, 50, 0), 0.3), rgb(130, 35, 30));
}

TEST(PaintingArithmeticTest, FillsWriteColoursAsOpaquePixels) {
    Bitmap32 bitmap = filled(4, 4, 0);
    FillRect32(bitmap, QRect(2, 2, 10, 10), rgb(10, 20, 30));
    EXPECT_EQ(bitmap.pixel(3, 3), px(10, 20, 30));
    EXPECT_EQ(bitmap.pixel(1, 1), 0u);
    EXPECT_EQ(FillPixel(clKey), 0xFFFF00FFu);
    EXPECT_EQ(ExchangeRedBlue(0x11223344), 0x11443322u);
}

TEST(PaintingArithmeticTest, KeyPixelsTakeTheParentOrAreSkipped) {
    Bitmap32 source(2, 1);
    source.setPixel(0, 0, 0x00123456u);  // not opaque, but not the key: copied opaque
    source.setPixel(1, 0, kKeyPixel);
    const Bitmap32 parentCache = filled(10, 10, px(7, 7, 7));

    Bitmap32 alone = filled(2, 1, px(1, 1, 1));
    KeyCopy(alone, QPoint(0, 0), source, source.rect(), nullptr);
    EXPECT_EQ(alone.pixel(0, 0), 0xFF123456u);
    EXPECT_EQ(alone.pixel(1, 0), px(1, 1, 1));

    Bitmap32 overParent = filled(2, 1, px(1, 1, 1));
    const TCacheInfo ready = MakeCacheInfo(&parentCache, QPoint(3, 3));
    KeyCopy(overParent, QPoint(0, 0), source, source.rect(), &ready);
    EXPECT_EQ(overParent.pixel(1, 0), px(7, 7, 7));

    Bitmap32 overColour = filled(2, 1, px(1, 1, 1));
    const TCacheInfo plain = MakeCacheInfo(rgb(9, 8, 7));
    KeyCopy(overColour, QPoint(0, 0), source, source.rect(), &plain);
    EXPECT_EQ(overColour.pixel(1, 0), px(9, 8, 7));
}

TEST(PaintingArithmeticTest, MaskedCopyWeighsEachChannelByTheMask) {
    // Image row above, mask row below.
    Bitmap32 source(3, 2);
    source.setPixel(0, 0, px(200, 100, 0));
    source.setPixel(1, 0, px(200, 100, 0));
    source.setPixel(2, 0, kKeyPixel);
    source.setPixel(0, 1, px(0, 0, 0));       // take the source
    source.setPixel(1, 1, px(128, 255, 64));  // per channel
    source.setPixel(2, 1, px(0, 0, 0));
    Bitmap32 target = filled(3, 1, px(100, 200, 255));
    const TCacheInfo parent = MakeCacheInfo(rgb(1, 2, 3));
    MaskedCopy(target, QPoint(0, 0), source, QRect(0, 0, 3, 1), 1, parent);
    EXPECT_EQ(target.pixel(0, 0), px(200, 100, 0));
    // ((d - s) * m + s * 256) >> 8: red (100-200)*128+51200 = 38400 -> 150; green
    // (200-100)*255+25600 = 51100 -> 199; blue (255-0)*64 = 16320 -> 63
    EXPECT_EQ(target.pixel(1, 0), px(150, 199, 63));
    EXPECT_EQ(target.pixel(2, 0), px(1, 2, 3));
}

TEST(PaintingImageTest, ImageFramesAreChosenByStateAndMasked) {
    TsSkinManager manager;
    // Three frames of 2 by 1, image row over mask row.
    Bitmap32 picture(6, 2);
    for (int frame = 0; frame < 3; ++frame) {
        for (int x = 0; x < 2; ++x) {
            picture.setPixel(frame * 2 + x, 0, px(10 * (frame + 1), 0, 0));
            picture.setPixel(frame * 2 + x, 1, x == 0 ? px(0, 0, 0) : px(255, 255, 255));
        }
    }
    const TsMaskData item = ownItem(std::move(picture), 3, 1, 0, &manager);
    Bitmap32 target = filled(4, 1, 0x40000000u | 0x000000FFu);
    DrawImageFrame(target, QPoint(1, 0), 7, MakeCacheInfo(clKey), item, 0);  // state limited to 2
    EXPECT_EQ(target.pixel(1, 0) & 0x00FFFFFFu, 0x001E0000u);
    // alpha grows by (255 - 0) * (255 - 64) / 255 = 191
    EXPECT_EQ(target.pixel(1, 0) >> 24, 64u + 191u);
    EXPECT_EQ(target.pixel(2, 0), 0x400000FFu);  // mask red 255: skipped

    // A frame lying partly outside the target is cut.
    Bitmap32 edge = filled(2, 1, 0);
    DrawImageFrame(edge, QPoint(1, 0), 0, MakeCacheInfo(clKey), item, 0);
    EXPECT_EQ(edge.pixel(1, 0) & 0x00FFFFFFu, 0x000A0000u);
}

namespace {

// A border picture of one frame, 12 by 3: columns 0-5 red, 6 green, 7-11 blue... each
// column its own shade so pieces can be told apart.
Bitmap32 columnPicture(int width, int height) {
    Bitmap32 picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, px(x * 10, y * 10, 200));
    return picture;
}

}  // namespace

TEST(PaintingBorderTest, MarginsShrinkToANarrowRectangle) {
    TsSkinManager manager;
    TsMaskData item = ownItem(columnPicture(14, 14), 1, 0, 0, &manager);
    item.WL = item.WR = 6;
    item.WT = item.WB = 2;
    Bitmap32 target = filled(9, 8, px(1, 1, 1));
    DrawBorderImage(target, target.rect(), false, 1, 1, item, MakeCacheInfo(clKey));
    // Margins 6 + 6 in 9 columns: each reduced by (12 - 9) / 2 = 1, the right one by one
    // more for the odd width: left 5, right 4, no middle.
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(target.pixel(x, 0), px(x * 10, 0, 200)) << x;
    for (int x = 5; x < 9; ++x)
        EXPECT_EQ(target.pixel(x, 0), px((x + 5) * 10, 0, 200)) << x;
    // the middle is not filled without its bit
    EXPECT_EQ(target.pixel(4, 4), px(40, 40, 200));  // left edge piece, tiled
    // Too small to draw at all: narrower than 2 pixels.
    Bitmap32 thin = filled(1, 8, px(1, 1, 1));
    DrawBorderImage(thin, thin.rect(), false, 1, 1, item, MakeCacheInfo(clKey));
    EXPECT_EQ(thin.pixel(0, 0), px(1, 1, 1));
}

TEST(PaintingBorderTest, DrawModeBitsChooseStretchFillAndState0) {
    TsSkinManager manager;
    // 6 by 6: margins 2, middle 2 by 2.
    TsMaskData item = ownItem(columnPicture(6, 6), 1, 0, 0, &manager);
    item.WL = item.WT = item.WR = item.WB = 2;
    const QRect area(0, 0, 10, 10);

    Bitmap32 tiled = filled(10, 10, px(1, 1, 1));
    DrawBorderImage(tiled, area, false, 1, 0, item, MakeCacheInfo(clKey));
    // top edge tiled: columns 2,3,2,3,2,3 of the source
    EXPECT_EQ(tiled.pixel(2, 0), px(20, 0, 200));
    EXPECT_EQ(tiled.pixel(4, 0), px(20, 0, 200));
    EXPECT_EQ(tiled.pixel(5, 0), px(30, 0, 200));
    EXPECT_EQ(tiled.pixel(5, 5), px(1, 1, 1));  // middle untouched
    EXPECT_EQ(tiled.pixel(9, 9), px(50, 50, 200));

    item.DrawMode = dmStretch | dmFillMiddle;
    Bitmap32 stretched = filled(10, 10, px(1, 1, 1));
    DrawBorderImage(stretched, area, false, 1, 0, item, MakeCacheInfo(clKey));
    // six destination columns from two source columns: 2,2,2,3,3,3
    EXPECT_EQ(stretched.pixel(4, 0), px(20, 0, 200));
    EXPECT_EQ(stretched.pixel(5, 0), px(30, 0, 200));
    EXPECT_EQ(stretched.pixel(5, 5), px(30, 30, 200));  // middle filled, stretched

    item.DrawMode = dmNoBorderInState0;
    Bitmap32 none = filled(10, 10, px(1, 1, 1));
    DrawBorderImage(none, area, false, 1, 0, item, MakeCacheInfo(clKey));
    EXPECT_EQ(none.pixel(0, 0), px(1, 1, 1));
    DrawBorderImage(none, area, false, 1, 1, item, MakeCacheInfo(clKey));
    EXPECT_EQ(none.pixel(0, 0), px(0, 0, 200));
}

TEST(PaintingBorderTest, MaskedBordersAndKeyCornersShowTheParent) {
    TsSkinManager manager;
    // 4 by 4 image over a 4 by 4 mask; the top-left pixel is the key.
    Bitmap32 picture(4, 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            picture.setPixel(x, y, px(200, 200, 200));
            picture.setPixel(x, y + 4, x == 3 ? px(255, 255, 255) : px(0, 0, 0));
        }
    picture.setPixel(0, 0, kKeyPixel);
    TsMaskData item = ownItem(std::move(picture), 1, 1, 0, &manager);
    item.WL = item.WT = item.WR = item.WB = 1;
    const Bitmap32 parentCache = filled(20, 20, px(5, 6, 7));
    Bitmap32 target = filled(6, 6, px(50, 50, 50));
    DrawBorderImage(target, target.rect(), true, 1, 0, item, MakeCacheInfo(&parentCache, {}));
    EXPECT_EQ(target.pixel(0, 0), px(5, 6, 7));        // key: the parent
    EXPECT_EQ(target.pixel(1, 0), px(200, 200, 200));  // mask 0: the image
    EXPECT_EQ(target.pixel(5, 0), px(50, 50, 50));     // mask 255: the destination
    EXPECT_EQ(target.pixel(3, 3), px(50, 50, 50));     // no middle for masked borders
}

TEST(PaintingFillTest, TexturesCoverWhatTheirModeSays) {
    TsSkinManager manager;
    Bitmap32 tile(2, 2);
    tile.setPixel(0, 0, px(10, 0, 0));
    tile.setPixel(1, 0, px(20, 0, 0));
    tile.setPixel(0, 1, px(30, 0, 0));
    tile.setPixel(1, 1, px(40, 0, 0));
    const QRect area(0, 0, 5, 5);
    const TColor c = rgb(0, 0, 99);
    const quint32 cp = px(0, 0, 99);
    const auto paint = [&](int mode) {
        Bitmap32 target = filled(5, 5, 0);
        PaintTexture(target, area, ownItem(Bitmap32(tile), 1, 0, mode, &manager), c);
        return target;
    };
    const Bitmap32 whole = paint(0);
    EXPECT_EQ(whole.pixel(4, 4), px(10, 0, 0));  // tiles cut at the right and bottom edges
    EXPECT_EQ(whole.pixel(3, 2), px(20, 0, 0));
    const Bitmap32 stretched = paint(1);
    EXPECT_EQ(stretched.pixel(2, 2), px(10, 0, 0));  // source column 2 * 2 / 5 = 0
    EXPECT_EQ(stretched.pixel(3, 3), px(40, 0, 0));  // 3 * 2 / 5 = 1
    const Bitmap32 top = paint(2);
    EXPECT_EQ(top.pixel(4, 1), px(30, 0, 0));
    EXPECT_EQ(top.pixel(4, 2), cp);
    const Bitmap32 left = paint(3);
    EXPECT_EQ(left.pixel(1, 4), px(20, 0, 0));
    EXPECT_EQ(left.pixel(2, 0), cp);
    const Bitmap32 topStretched = paint(4);
    EXPECT_EQ(topStretched.pixel(2, 0), px(10, 0, 0));
    EXPECT_EQ(topStretched.pixel(3, 0), px(20, 0, 0));
    EXPECT_EQ(topStretched.pixel(3, 3), cp);
    const Bitmap32 leftStretched = paint(5);
    EXPECT_EQ(leftStretched.pixel(0, 3), px(30, 0, 0));
    EXPECT_EQ(leftStretched.pixel(4, 0), cp);
    const Bitmap32 bottom = paint(6);
    EXPECT_EQ(bottom.pixel(0, 3), px(10, 0, 0));
    EXPECT_EQ(bottom.pixel(0, 2), cp);
    const Bitmap32 right = paint(7);
    EXPECT_EQ(right.pixel(3, 0), px(10, 0, 0));
    EXPECT_EQ(right.pixel(2, 0), cp);
    EXPECT_EQ(paint(99), right);  // every other mode is the right column
}

TEST(PaintingFillTest, GradientsRunInEqualRoundedSteps) {
    TsGradArray vertical{{rgb(0, 0, 0), rgb(255, 255, 255), 50, 0, 0},
                         {rgb(0, 0, 100), rgb(0, 0, 200), 50, 0, 0}};
    Bitmap32 target = filled(3, 4, 0);
    PaintGradient(target, target.rect(), vertical);
    // First band of 2 rows: 0, then 127.5 -> 128 (ties to even). Second: 100, 150.
    EXPECT_EQ(target.pixel(1, 0), px(0, 0, 0));
    EXPECT_EQ(target.pixel(1, 1), px(128, 128, 128));
    EXPECT_EQ(target.pixel(2, 2), px(0, 0, 100));
    EXPECT_EQ(target.pixel(0, 3), px(0, 0, 150));

    // Horizontal: one row repeated; the last piece runs to the end.
    TsGradArray horizontal{{rgb(0, 0, 0), rgb(90, 0, 0), 10, 1, 0},
                           {rgb(0, 90, 0), rgb(0, 0, 0), 10, 1, 0}};
    Bitmap32 wide = filled(10, 2, 0);
    PaintGradient(wide, wide.rect(), horizontal);
    EXPECT_EQ(wide.pixel(0, 1), px(0, 0, 0));  // band of 1 column
    EXPECT_EQ(wide.pixel(1, 0), px(0, 90, 0));
    EXPECT_EQ(wide.pixel(9, 1), px(0, 10, 0));  // 90 - 8 * 90 / 9

    // Triangles: each corner near its own colour, the centre near the second piece's.
    TsGradArray triangles{{rgb(255, 0, 0), 0, 0, 2, 0},
                          {rgb(0, 255, 0), 0, 0, 2, 0},
                          {rgb(0, 0, 255), 0, 0, 2, 0},
                          {rgb(255, 255, 0), 0, 0, 2, 0},
                          {rgb(0, 255, 255), 0, 0, 2, 0}};
    Bitmap32 square = filled(40, 40, 0);
    PaintGradient(square, square.rect(), triangles);
    const auto near = [](quint32 pixel, quint32 expected) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int(pixel >> shift & 0xFF) - int(expected >> shift & 0xFF)) > 16)
                return false;
        return true;
    };
    EXPECT_TRUE(near(square.pixel(0, 0), px(255, 0, 0)));
    EXPECT_TRUE(near(square.pixel(39, 0), px(0, 0, 255)));
    EXPECT_TRUE(near(square.pixel(39, 39), px(255, 255, 0)));
    EXPECT_TRUE(near(square.pixel(0, 39), px(0, 255, 255)));
    EXPECT_TRUE(near(square.pixel(20, 20), px(0, 255, 0)));
    // Missing pieces repeat the last colour: a one-piece triangle gradient is flat.
    Bitmap32 flat = filled(8, 8, 0);
    PaintGradient(flat, flat.rect(), {{rgb(10, 20, 30), 0, 0, 2, 0}});
    EXPECT_EQ(flat.pixel(3, 6), px(10, 20, 30));
    // Unknown modes paint nothing.
    Bitmap32 untouched = filled(4, 4, 0x12345678u);
    PaintGradient(untouched, untouched.rect(), {{0, 0, 100, 7, 0}});
    EXPECT_EQ(untouched.pixel(1, 1), 0x12345678u);
}

namespace {

QImage tilePicture() {
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.setPixel(0, 0, qRgb(200, 0, 0));
    tile.setPixel(1, 0, qRgb(0, 200, 0));
    tile.setPixel(0, 1, qRgb(0, 0, 200));
    tile.setPixel(1, 1, qRgb(100, 100, 100));
    return tile;
}

const QString kSectionsSkin = QStringLiteral(
    "[GLOBALINFO]\nVERSION=7.3\nCOLOR=0x102030\n"
    "[PLAIN]\nSTATES=1\nCOLOR=0x0000C8\nHOTCOLOR=0x00C800\n"
    "[HALF]\nSTATES=2\nCOLOR=0x000064\nTRANSPARENCY=50\nHOTCOLOR=0x000064\n"
    "HOTTRANSPARENCY=50\n"
    "[CLEAR]\nCOLOR=0x000064\nTRANSPARENCY=100\n"
    "[TEXTURED]\nSTATES=2\nCOLOR=0x0000C8\nIMAGEPERCENT=30\nPATTERN=!TILE.BMP!1!0!1!0!0!0!0!0\n"
    "[SHADED]\nSTATES=2\nCOLOR=0x0000C8\nIMAGEPERCENT=40\nGRADIENTPERCENT=60\n"
    "GRADIENTDATA=0x000000;0xFFFFFF;100;0;0\nPATTERN=!TILE.BMP!1!0!1!0!0!0!0!0\n"
    "[HALFSHADED]\nSTATES=2\nCOLOR=0x0000C8\nTRANSPARENCY=40\nGRADIENTPERCENT=100\n"
    "GRADIENTDATA=0x000000;0xFFFFFF;100;0;0\n");

}  // namespace

TEST(PaintingSectionTest, TransparencyAgainstReadyAndUnreadyParents) {
    PaintSkin skin;
    skin.picture("TILE.BMP", tilePicture());
    skin.load(kSectionsSkin);
    const Bitmap32 parentCache = filled(20, 20, px(0, 100, 0));
    const QRect area(0, 0, 4, 4);

    // Transparency 0: the own colour (red 200, in the skin's layout 0x0000C8).
    Bitmap32 plain = filled(4, 4, 0);
    PaintSection(plain, skin.paint("PLAIN", area));
    EXPECT_EQ(plain.pixel(2, 2), px(200, 0, 0));
    // A section with one state painted in state 1 looks like state 0.
    Bitmap32 limited = filled(4, 4, 0);
    PaintSection(limited, skin.paint("PLAIN", area, 1));
    EXPECT_EQ(limited, plain);

    // Transparency 100: the parent's cache at the element's offset, or its fill colour.
    Bitmap32 clear = filled(4, 4, 0);
    TsSectionPaint p = skin.paint("CLEAR", area);
    Bitmap32 shaded = filled(20, 20, 0);
    shaded.setPixel(6, 7, px(1, 2, 3));
    p.Parent = MakeCacheInfo(&shaded, QPoint(5, 5));
    PaintSection(clear, p);
    EXPECT_EQ(clear.pixel(1, 2), px(1, 2, 3));
    p.Parent = MakeCacheInfo(rgb(9, 9, 9));
    PaintSection(clear, p);
    EXPECT_EQ(clear.pixel(1, 2), px(9, 9, 9));

    // Transparency 50 over a ready parent: blended with alpha 127.
    Bitmap32 half = filled(4, 4, 0);
    TsSectionPaint h = skin.paint("HALF", area);
    h.Parent = MakeCacheInfo(&parentCache, QPoint(2, 2));
    PaintSection(half, h);
    // red (0 * 127 + 100 * 128 + 127) >> 8 = 50; green (100 * 127 + 127) >> 8 = 50; the
    // alpha byte is blended too: (255 * 127 + 255 * 128 + 127) >> 8 = 254
    EXPECT_EQ(half.pixel(0, 0), 0xFE323200u);
    // Over an unready parent of known colour: MixColours(parent, own, 0.5).
    h.Parent = MakeCacheInfo(rgb(0, 100, 0));
    PaintSection(half, h);
    EXPECT_EQ(half.pixel(0, 0), px(50, 50, 0));
    // Over a parent of unknown colour: the own look, as if opaque.
    h.Parent = MakeCacheInfo(clKey);
    PaintSection(half, h);
    EXPECT_EQ(half.pixel(0, 0), px(100, 0, 0));
    // A gradient with transparency over an unready parent blends with the fill colour.
    Bitmap32 gradient = filled(4, 4, 0);
    TsSectionPaint g = skin.paint("HALFSHADED", area);
    g.Parent = MakeCacheInfo(rgb(0, 0, 0));
    PaintSection(gradient, g);
    // row 0 of the gradient is black, over black: stays black; row 2: 127.5 -> 128 scaled
    EXPECT_EQ(gradient.pixel(0, 0), 0xFE000000u);
    const quint32 expected = (0 * 102 + 128 * 153 + 127) >> 8;  // 76
    EXPECT_EQ(gradient.pixel(0, 2), 0xFE000000u | expected << 16 | expected << 8 | expected);
}

TEST(PaintingSectionTest, TextureGradientAndColourShares) {
    PaintSkin skin;
    skin.picture("TILE.BMP", tilePicture());
    skin.load(kSectionsSkin);
    const QRect area(0, 0, 4, 4);

    // Image 30 %, gradient 0 %: the texture, then 70 % of the colour mixed in.
    Bitmap32 textured = filled(4, 4, 0);
    PaintSection(textured, skin.paint("TEXTURED", area));
    // red: 0.3 * 200 + 0.7 * 200 = 200; green 0.3 * 0 ... for the red tile pixel
    EXPECT_EQ(textured.pixel(0, 0), px(200, 0, 0));
    // green tile pixel: red 0.3 * 0 + 0.7 * 200 = 140, green 0.3 * 200 = 60
    EXPECT_EQ(textured.pixel(1, 0), px(140, 60, 0));
    EXPECT_EQ(textured.pixel(3, 2), px(140, 60, 0));

    // Image 40 % + gradient 60 %: the one-pass blend equals texture then gradient blended
    // with alpha 40 * 255 / 100 = 102.
    Bitmap32 shaded = filled(4, 4, 0);
    PaintSection(shaded, skin.paint("SHADED", area));
    Bitmap32 expected = filled(4, 4, 0);
    const int texture =
        skin.manager.FindImage(skin.manager.FindSection("SHADED"), "SHADED", "PATTERN");
    ASSERT_GE(texture, 0);
    PaintTexture(expected, area, skin.manager.images()[size_t(texture)], 0);
    Bitmap32 gradient = filled(4, 4, 0);
    PaintGradient(gradient, area, {{0, 0xFFFFFF, 100, 0, 0}});
    BlendBitmaps(expected, gradient, 102, QPoint(0, 0), area);
    EXPECT_EQ(shaded, expected);
}

TEST(PaintingSectionTest, SectionsOutsideTheTargetOrUnknownPaintNothing) {
    PaintSkin skin;
    skin.picture("TILE.BMP", tilePicture());
    skin.load(kSectionsSkin);
    Bitmap32 target = filled(4, 4, 0x11111111u);
    PaintSection(target, skin.paint("PLAIN", QRect(2, 2, 4, 4)));  // not wholly inside
    PaintSection(target, skin.paint("NOSUCH", QRect(0, 0, 4, 4)));
    EXPECT_EQ(target, filled(4, 4, 0x11111111u));
}

TEST(PaintingSectionTest, NumbersNearTheIntegerLimitsPaintLikeTheirBounds) {
    PaintSkin skin;
    QImage master(40, 30, QImage::Format_RGB32);
    master.fill(qRgb(9, 9, 9));
    skin.picture("MASTER.BMP", master);
    skin.load(QStringLiteral(
        "[GLOBALINFO]\nVERSION=7.3\nMASTERBITMAP=MASTER.BMP\n"
        // Items reaching far outside any picture are never drawn: the colour alone shows.
        "[FAR]\nCOLOR=0x0000FF\nHOTCOLOR=0x0000FF\nSTATES=2147483647\n"
        "BORDERSMASK=#(-2147483648,-2147483648,2147483647,2147483647) (3,1,2,1)\n"
        "IMGTOPLEFT=#(2147483647,0,-2147483648,10) (1,0)\n"
        "IMGTOPRIGHT=#(0,-2147483648,10,2147483647) (2,1)\n"
        "IMGBTMRIGHT=#(2147483600,2147483600,2147483647,2147483647) (1,0)\n"
        // A transparency beyond 100 shows the parent as 100 does.
        "[CLEAR]\nCOLOR=0x00FF00\nTRANSPARENCY=2147483647\n"
        // Shares far beyond 100: the missing texture's colour keeps 255 parts of 255 over
        // the gradient, and their sum is not taken for a negative one.
        "[SHARES]\nCOLOR=0x00FF00\nIMAGEPERCENT=2147483647\nGRADIENTPERCENT=2147483647\n"
        "GRADIENTDATA=0x0000FF;0x0000FF;100;0;0\n"));

    Bitmap32 far = filled(9, 7, 0);
    for (int state : {0, 1, 2147483646, 2147483647}) {
        PaintSection(far, skin.paint("FAR", far.rect(), state));
        EXPECT_EQ(far, filled(9, 7, px(255, 0, 0))) << "state " << state;
    }
    const TsMaskData& border =
        skin.manager.images()[size_t(skin.manager.FindImageInSection("FAR", "BORDERSMASK"))];
    DrawBorderImage(far, far.rect(), true, 1, 2, border, MakeCacheInfo(clKey));
    DrawImageFrame(far, QPoint(-3, 4), 1, MakeCacheInfo(clKey), border, 1);
    EXPECT_EQ(far, filled(9, 7, px(255, 0, 0)));

    Bitmap32 clear = filled(5, 5, 0);
    TsSectionPaint seeThrough = skin.paint("CLEAR", clear.rect());
    seeThrough.Parent = MakeCacheInfo(rgb(1, 2, 3));
    PaintSection(clear, seeThrough);
    EXPECT_EQ(clear, filled(5, 5, px(1, 2, 3)));

    Bitmap32 shares = filled(5, 5, 0);
    PaintSection(shares, skin.paint("SHARES", shares.rect()));
    // Green 255 kept with alpha 255 over red: (255 * 255 + 0 * 0 + 127) >> 8 = 254.
    EXPECT_EQ(shares, filled(5, 5, 0xFE00FE00u));
}

TEST(PaintingSectionTest, LargeJpegTexturesAreDecodedOnceForTheSkin) {
    PaintSkin skin;
    skin.folder.write("Test/BIG.JPG", pictureBytes(1000, 900, "JPG", qRgb(30, 60, 90)));
    skin.load(
        QStringLiteral("[GLOBALINFO]\nVERSION=7.3\n"
                       "[FORM]\nPATTERN=BIG.JPG\nIMAGEPERCENT=100\n"));
    ASSERT_EQ(skin.manager.largeTextures().size(), 1u);
    const JpegImage& jpeg = *skin.manager.largeTextures()[0].Img;
    EXPECT_FALSE(jpeg.isDecoded()) << "compressed until painted";

    Bitmap32 first = filled(6, 4, 0);
    PaintSection(first, skin.paint("FORM", first.rect()));
    ASSERT_TRUE(jpeg.isDecoded());
    EXPECT_EQ(first.pixel(5, 3), jpeg.picture().pixel(5, 3));
    const uchar* pixels = jpeg.picture().bits();
    Bitmap32 second = filled(6, 4, 0);
    PaintSection(second, skin.paint("FORM", second.rect()));
    EXPECT_EQ(jpeg.picture().bits(), pixels) << "the pixels of the first paint are reused";
    EXPECT_EQ(second, first);
}

TEST(PaintingImageTest, GlowPicturesAreBoundedAroundTheControl) {
    PaintSkin skin;
    QImage master(12, 12, QImage::Format_RGB32);
    master.fill(qRgb(0, 200, 0));
    skin.picture("MASTER.BMP", master);
    skin.load(
        QStringLiteral("[GLOBALINFO]\nVERSION=7.3\nMASTERBITMAP=MASTER.BMP\n"
                       "[GLOWING]\nGLOW=1\nGLOWMARGIN=2147483647\n"
                       "GLOW0=@0000,0000,0012,0012,1,0\n[DULL]\nCOLOR=1\n"));
    const int margin = skin.manager.sections()[skin.manager.FindSection("GLOWING")].GlowMargin;
    ASSERT_EQ(margin, TsSkinLimits::GlowMargin);
    const QImage wide = GlowPicture(skin.manager, "GLOWING", QSize(30, 20), margin);
    EXPECT_EQ(wide.size(), QSize(30 + 2 * margin, 20 + 2 * margin));
    EXPECT_EQ(GlowPicture(skin.manager, "GLOWING", QSize(30, 20), 2147483647).size(), wide.size())
        << "a margin given directly is bounded as well";

    const QImage near = GlowPicture(skin.manager, "GLOWING", QSize(30, 20), 4);
    ASSERT_EQ(near.size(), QSize(38, 28));
    EXPECT_EQ(qAlpha(near.pixel(0, 0)), 255) << "the corners are drawn";
    EXPECT_EQ(qAlpha(near.pixel(19, 14)), 0) << "the middle is left for the control";
    EXPECT_TRUE(GlowPicture(skin.manager, "GLOWING", QSize(30, 20), -10).isNull())
        << "nothing is left around the control";
    EXPECT_TRUE(GlowPicture(skin.manager, "GLOWING", QSize(30, 20), -2147483647 - 1).isNull());
    EXPECT_TRUE(GlowPicture(skin.manager, "DULL", QSize(30, 20), 4).isNull());
}

// The course's skin, painted small and compared with pictures kept beside the tests. Set
// KESTA_UPDATE_PAINTINGS=1 to write them afresh after a deliberate change of the look.
TEST(PaintingRegressionTest, WlmSectionsLookAsKept) {
    MessageBoxRecorder boxes;
    TsSkinManager manager;
    manager.setSkinDirectory(QStringLiteral(KESTA_SOURCE_DIR "/course/Skins"));
    manager.setSkinName("WLM");
    ASSERT_TRUE(boxes.texts().isEmpty());
    const QString folder = QStringLiteral(KESTA_SOURCE_DIR "/tests/skin/paintings/");
    const bool update = qEnvironmentVariableIntValue("KESTA_UPDATE_PAINTINGS") == 1;
    struct Case {
        const char* section;
        int state;
        QSize size;
    };
    const Case cases[] = {{"FORM", 0, {60, 40}},      {"FORMTITLE", 1, {80, 28}},
                          {"BUTTON", 0, {75, 25}},    {"BUTTON", 1, {75, 25}},
                          {"EDIT", 0, {60, 21}},      {"PANEL", 0, {50, 40}},
                          {"GROUPBOX", 0, {60, 40}},  {"TOOLBAR", 0, {60, 30}},
                          {"SELECTION", 1, {40, 18}}, {"CAPTION", 1, {40, 18}},
                          {"MENULINE", 1, {80, 20}},  {"MENUITEM", 1, {60, 20}},
                          {"MAINMENU", 0, {60, 40}},  {"DIALOG", 0, {60, 40}},
                          {"COMBOBOX", 0, {60, 21}},  {"COMBOBTN", 2, {17, 19}},
                          {"TOOLBUTTON", 1, {40, 22}}, {"SPEEDBUTTON_SMALL", 1, {16, 10}},
                          {"PANEL_LOW", 0, {50, 40}}};
    for (const Case& c : cases) {
        const int index = manager.FindSection(c.section);
        ASSERT_GE(index, 0) << c.section;
        Bitmap32 target = CreateBitmap32(c.size.width(), c.size.height());
        FillRect32(target, target.rect(), manager.FormColor());
        TsSectionPaint paint;
        paint.SectionIndex = index;
        paint.SectionName = c.section;
        paint.Parent = MakeCacheInfo(manager.FormColor());
        paint.Manager = &manager;
        paint.Area = target.rect();
        paint.State = c.state;
        PaintSection(target, paint);
        const QString file = folder + QStringLiteral("%1_%2.png").arg(c.section).arg(c.state);
        if (update) {
            QDir().mkpath(folder);
            ASSERT_TRUE(target.constImage().save(file, "PNG"));
            continue;
        }
        const QImage kept(file);
        ASSERT_FALSE(kept.isNull()) << "missing " << file.toStdString();
        EXPECT_EQ(target, Bitmap32::fromImage(kept)) << file.toStdString();
    }
}

namespace {

// How many pixels of the bitmap have exactly that colour.
int countPixels(const Bitmap32& bitmap, quint32 pixel) {
    int count = 0;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            count += (bitmap.pixel(x, y) | kOpaque) == pixel;
    return count;
}

QFont sharpFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

}  // namespace

TEST(PaintingCaptionTest, ContoursAndDisabledTextUseTheSectionColours) {
    PaintSkin skin;
    skin.load(
        QStringLiteral("[GLOBALINFO]\nVERSION=7.3\nCOLOR=0xFFFFFF\n"
                       "[LABEL]\nSTATES=2\nFONTCOLOR=0x0000FF\nTCRIGHT=0x00FF00\n"
                       "HOTFONTCOLOR=0xFF0000\n"));
    const int label = skin.manager.FindSection("LABEL");
    const auto write = [&](bool enabled, int state) {
        Bitmap32 target = filled(60, 30, px(255, 255, 255));
        QImage canvas = target.image();
        QPainter painter(&canvas);
        painter.setFont(sharpFont());
        WriteSectionText(painter, QStringLiteral("II"), enabled, &skin.manager, state, label,
                         Qt::AlignCenter, target.rect());
        painter.end();
        return target;
    };
    // Normal: red text, with a green contour one pixel to its right.
    const Bitmap32 normal = write(true, 0);
    EXPECT_GT(countPixels(normal, px(255, 0, 0)), 20);
    EXPECT_GT(countPixels(normal, px(0, 255, 0)), 10);
    // Hot: blue text, no contour.
    const Bitmap32 hot = write(true, 1);
    EXPECT_GT(countPixels(hot, px(0, 0, 255)), 20);
    EXPECT_EQ(countPixels(hot, px(0, 255, 0)), 0);
    // Disabled: the normal text colour mixed with the form colour, 0.4 of the text.
    const Bitmap32 disabled = write(false, 0);
    EXPECT_GT(countPixels(disabled, px(255, 153, 153)), 20);
    EXPECT_EQ(countPixels(disabled, px(255, 0, 0)), 0);
}

TEST(PaintingCaptionTest, TextGlowSurroundsTheTextOnly) {
    Bitmap32 target = filled(80, 40, px(0, 0, 0));
    PaintTextGlow(target, sharpFont(), QStringLiteral("I"), Qt::AlignCenter, QRect(20, 10, 40, 20),
                  rgb(255, 255, 0), 4);
    // Around the letter the glow's yellow shows; far from it nothing changed.
    const quint32 centre = target.pixel(40, 20);
    EXPECT_GT(centre >> 16 & 0xFF, 0u);
    EXPECT_EQ(centre >> 16 & 0xFF, centre >> 8 & 0xFF);  // yellow: red = green
    EXPECT_EQ(centre & 0xFF, 0u);
    EXPECT_EQ(target.pixel(2, 2), px(0, 0, 0));
    EXPECT_EQ(target.pixel(77, 37), px(0, 0, 0));
}

TEST(PaintingCaptionTest, WideGlowsAreTheCoverageBlurredTwiceEachWay) {
    // The halo worked out the plain way: the text's coverage in a picture grown by the glow
    // size, each value replaced by the mean within radius size / 2 (cut at the edges), along
    // rows then columns, twice; then laid over twice as strong.
    const QFont font = sharpFont();
    const QRect area(30, 12, 24, 22);
    const int size = 40;
    Bitmap32 target = filled(110, 80, px(0, 0, 0));
    PaintTextGlow(target, font, QStringLiteral("I"), Qt::AlignCenter, area, rgb(0, 0, 255), size);

    const QRect grown = area.adjusted(-size, -size, size, size);
    QImage coverage(grown.size(), QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(size, size), area.size()), Qt::AlignCenter,
                         QStringLiteral("I"));
    }
    const int w = coverage.width(), h = coverage.height(), radius = size / 2;
    std::vector<int> values(size_t(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            values[size_t(y * w + x)] = coverage.constScanLine(y)[x];
    const auto blur = [&](bool alongRows) {
        std::vector<int> result(values.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0, count = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int sx = alongRows ? x + k : x, sy = alongRows ? y : y + k;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
                    sum += values[size_t(sy * w + sx)];
                    ++count;
                }
                result[size_t(y * w + x)] = sum / count;
            }
        values = result;
    };
    for (int pass = 0; pass < 2; ++pass) {
        blur(true);
        blur(false);
    }
    int lit = 0;
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x) {
            const bool inside = grown.contains(x, y);
            const int a =
                inside ? std::min(255, 2 * values[size_t((y - grown.top()) * w + x - grown.left())])
                       : 0;
            lit += a > 0;
            ASSERT_EQ(target.pixel(x, y), px(0, 0, (255 * a + 127) / 255)) << x << "," << y;
        }
    EXPECT_GT(lit, 1000) << "the halo reaches far around the letter";
}

TEST(PaintingImageTest, MasterBitmapFramesBlendHalfOrShowTheParent) {
    PaintSkin skin;
    QImage master(2, 1, QImage::Format_RGB32);
    master.setPixel(0, 0, qRgb(200, 100, 0));
    master.setPixel(1, 0, qRgb(255, 0, 255));  // the key colour
    skin.picture("MASTER.BMP", master);
    skin.load(
        QStringLiteral("[GLOBALINFO]\nVERSION=7.3\nMASTERBITMAP=MASTER.BMP\n"
                       "[MARK]\nSTATES=1\nDOT=@0000,0000,0002,0001,1,0\n"));
    const int index = skin.manager.FindImageInSection("MARK", "DOT");
    ASSERT_GE(index, 0);
    const TsMaskData& item = skin.manager.images()[size_t(index)];
    ASSERT_FALSE(item.Bmp);

    // Blend flag 0: half of each, key pixels skipped; 200 + (101 - 200) * 0.5 = 150.5 -> 150.
    Bitmap32 half = filled(2, 1, px(101, 100, 100));
    DrawImageFrame(half, QPoint(0, 0), 0, MakeCacheInfo(rgb(1, 2, 3)), item, 0);
    EXPECT_EQ(half.pixel(0, 0), px(150, 100, 50));
    EXPECT_EQ(half.pixel(1, 0), px(101, 100, 100));
    // Blend flag 1: copied, key pixels showing the parent.
    Bitmap32 keyed = filled(2, 1, px(101, 100, 100));
    DrawImageFrame(keyed, QPoint(0, 0), 0, MakeCacheInfo(rgb(1, 2, 3)), item, 1);
    EXPECT_EQ(keyed.pixel(0, 0), px(200, 100, 0));
    EXPECT_EQ(keyed.pixel(1, 0), px(1, 2, 3));
}
