// 32-bit bitmaps and picture decoding: the key colour, the alpha rules, compressed JPEG
// pictures, and pictures that cannot or must not be decoded.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>

#include "imaging/decode.h"

namespace {

QByteArray encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(Bitmap32Test, RowsCopiesAndViews) {
    Bitmap32 bitmap(4, 3);
    EXPECT_EQ(bitmap.pixel(3, 2), 0u) << "a new bitmap is all zero";
    bitmap.setPixel(1, 1, 0x80112233u);
    EXPECT_EQ(bitmap.row(1)[1], 0x80112233u);
    const uchar* bytes = bitmap.bits() + bitmap.bytesPerLine() + 4;
    EXPECT_EQ(bytes[0], 0x33) << "blue first";
    EXPECT_EQ(bytes[3], 0x80) << "alpha last";

    {
        QImage view = bitmap.image();
        QPainter p(&view);
        p.fillRect(QRect(0, 0, 1, 1), QColor(10, 20, 30));
    }
    EXPECT_EQ(bitmap.pixel(0, 0), 0xFF0A141Eu) << "the view draws into the bitmap itself";

    std::vector<quint32> memory(6, 7u);
    Bitmap32 wrapped = Bitmap32::wrap(reinterpret_cast<uchar*>(memory.data()), 2, 3, 8);
    EXPECT_FALSE(wrapped.ownsMemory());
    Bitmap32 copy = wrapped;
    copy.setPixel(0, 0, 1u);
    EXPECT_EQ(memory[0], 7u) << "a copy owns its memory";
    EXPECT_TRUE(copy.ownsMemory());

    Bitmap32 target(3, 3);
    target.copyFrom(bitmap, QRect(0, 0, 4, 3), QPoint(-1, 1));
    EXPECT_EQ(target.pixel(0, 2), 0x80112233u) << "cut at the target's edges";
    EXPECT_EQ(target.pixel(0, 0), 0u);
    EXPECT_THROW(Bitmap32(Bitmap32::MaxSide + 1, 1), ImagingError);
    EXPECT_THROW(Bitmap32(16384, 16384), ImagingError) << "more pixels than allowed";
}

TEST(DecodeTest, KeyColourAndAlphaRules) {
    QImage opaque(3, 1, QImage::Format_RGB32);
    opaque.setPixel(0, 0, qRgb(255, 0, 255));
    opaque.setPixel(1, 0, qRgb(255, 1, 255));
    opaque.setPixel(2, 0, qRgb(0, 0, 0));
    for (const char* format : {"BMP", "PNG"}) {
        const Bitmap32 bitmap = decodePicture(
            encode(opaque, format),
            qstrcmp(format, "BMP") == 0 ? PictureFormat::Bmp : PictureFormat::Png, "OPAQUE");
        EXPECT_EQ(bitmap.pixel(0, 0), kKeyPixel) << format << ": magenta is the key";
        EXPECT_EQ(bitmap.pixel(1, 0), 0xFFFF01FFu) << format;
        EXPECT_EQ(bitmap.pixel(2, 0), 0xFF000000u) << format;
    }

    QImage translucent(3, 1, QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(255, 255, 255, 0));
    translucent.setPixel(1, 0, qRgba(10, 20, 30, 0));
    translucent.setPixel(2, 0, qRgba(10, 20, 30, 128));
    const Bitmap32 png = decodePicture(encode(translucent, "PNG"), PictureFormat::Png, "ALPHA");
    EXPECT_EQ(png.pixel(0, 0), 0u) << "white with alpha 0 becomes all zero";
    EXPECT_EQ(qAlpha(png.pixel(1, 0)), 0);
    EXPECT_EQ(png.pixel(2, 0), 0x800A141Eu) << "alpha is kept, not premultiplied";
}

TEST(DecodeTest, JpegStaysCompressedUntilPaintedThenDecodedOnce) {
    QImage picture(5, 4, QImage::Format_RGB32);
    picture.fill(qRgb(200, 210, 220));
    picture.setPixel(0, 3, qRgb(10, 20, 30));
    const JpegImage jpeg(encode(picture, "JPG"), "TEX.JPG");
    EXPECT_EQ(jpeg.width(), 5);
    EXPECT_EQ(jpeg.height(), 4);
    const Bitmap32 decoded = jpeg.decode();
    EXPECT_EQ(qAlpha(decoded.pixel(4, 3)), 255);
    EXPECT_FALSE(jpeg.isDecoded()) << "a copy decoded on request is not kept";

    Bitmap32 target(13, 9);
    jpeg.tile(target, QRect(1, 1, 11, 100));
    EXPECT_EQ(target.pixel(0, 0), 0u) << "outside the area";
    EXPECT_EQ(target.pixel(12, 8), 0u);
    EXPECT_EQ(target.pixel(6, 5), decoded.pixel(0, 0)) << "the second tile starts at 6, 5";
    EXPECT_EQ(target.pixel(11, 8), decoded.pixel(0, 3));

    // The first paint decodes the picture; every later one reuses those very pixels.
    ASSERT_TRUE(jpeg.isDecoded());
    const uchar* kept = jpeg.picture().bits();
    EXPECT_EQ(jpeg.picture(), decoded);
    Bitmap32 again(13, 9);
    jpeg.tile(again, QRect(-7, -3, 20, 12));
    EXPECT_EQ(jpeg.picture().bits(), kept);
    EXPECT_EQ(again.pixel(0, 0), decoded.pixel(2, 3)) << "tiles counted from the area's corner";
    EXPECT_EQ(again.pixel(12, 8), decoded.pixel(4, 3));
}

TEST(DecodeTest, OneBudgetCountsEveryPictureBeforeItIsDecoded) {
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QByteArray png = encode(image, "PNG");  // 20,000 bytes once decoded

    PictureBudget budget(50000);
    EXPECT_EQ(decodePicture(png, PictureFormat::Png, "A.PNG", &budget).width(), 100);
    EXPECT_EQ(decodePicture(png, PictureFormat::Png, "A.PNG", &budget).width(), 100);
    EXPECT_EQ(budget.used(), 40000);
    try {
        decodePicture(png, PictureFormat::Png, "A.PNG", &budget);
        ADD_FAILURE() << "a third copy is beyond the budget";
    } catch (const ImagingError& error) {
        EXPECT_STREQ(error.what(),
                     "The pictures of the skin need more than 50000 bytes of "
                     "memory; the picture A.PNG (100 by 50 pixels) does not fit");
    }
    EXPECT_EQ(budget.used(), 40000) << "a refused picture takes nothing";
    budget.take(50, 50, "EXACT");
    EXPECT_EQ(budget.used(), 50000) << "the budget can be used to the last byte";
    EXPECT_THROW(budget.take(1, 1, "ONE MORE"), ImagingError);

    PictureBudget fresh;
    const JpegImage jpeg(encode(image, "JPG"), "TEX.JPG");
    jpeg.decode(&fresh);
    EXPECT_EQ(fresh.used(), 20000) << "a JPEG copy is counted like any picture";
}

TEST(DecodeTest, BadPicturesEndWithTheDecodersMessage) {
    try {
        decodePicture("certainly not a picture", PictureFormat::Png, "GLYPH.PNG");
        ADD_FAILURE();
    } catch (const ImagingError& error) {
        const QString text = QString::fromUtf8(error.what());
        EXPECT_TRUE(text.contains("GLYPH.PNG") && text.contains("PNG")) << error.what();
    }
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    EXPECT_THROW(decodePicture(encode(image, "PNG"), PictureFormat::Bmp, "A.BMP"), ImagingError)
        << "a PNG named .BMP is not a bitmap";
    EXPECT_THROW(JpegImage(encode(image, "PNG"), "A.JPG"), ImagingError);

    // A picture whose header claims 20000 by 20000 pixels over a few bytes of data is
    // refused before anything is allocated for it.
    QByteArray png = encode(image, "PNG");
    const auto put32 = [&png](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            png[at + i] = char((v >> (8 * (3 - i))) & 0xFF);
    };
    put32(16, 20000);  // IHDR width and height, then the chunk's CRC
    put32(20, 20000);
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 12; i < 29; ++i) {
        crc ^= quint8(png[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    put32(29, ~crc);
    try {
        decodePicture(png, PictureFormat::Png, "HUGE.PNG");
        ADD_FAILURE();
    } catch (const ImagingError& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains("too large")) << error.what();
    }
}

}  // namespace
