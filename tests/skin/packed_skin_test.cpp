// The packed skin container: written by us and by other deflate implementations, read back,
// and damaged in every way a file from elsewhere can be.

#include <gtest/gtest.h>

#include <QProcess>

#include "skin/core/sPackedSkin.h"
#include "skin/core/sSkinError.h"
#include "skin/core/sSkinText.h"

namespace {

QByteArray u32(quint32 value) {
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char((value >> (8 * i)) & 0xFF);
    return out;
}

QByteArray bigEndian32(quint32 value) {
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char((value >> (8 * (3 - i))) & 0xFF);
    return out;
}

// Checksums written out here, so that the streams below owe nothing to zlib.
quint32 adler32Of(const QByteArray& data) {
    quint32 a = 1, b = 0;
    for (char c : data) {
        a = (a + quint8(c)) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

quint32 crc32Of(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A zlib stream around raw deflate data.
QByteArray zlibAround(const QByteArray& deflated, const QByteArray& data) {
    return QByteArray("\x78\x9C", 2) + deflated + bigEndian32(adler32Of(data));
}

// A zlib stream of stored (uncompressed) deflate blocks, made by hand.
QByteArray storedStream(const QByteArray& data, int blockSize) {
    QByteArray deflated;
    qsizetype at = 0;
    do {
        const qsizetype length = std::min<qsizetype>(blockSize, data.size() - at);
        const bool last = at + length >= data.size();
        deflated.append(char(last ? 1 : 0));
        deflated.append(char(length & 0xFF)).append(char(length >> 8));
        deflated.append(char(~length & 0xFF)).append(char((~length >> 8) & 0xFF));
        deflated.append(data.mid(at, length));
        at += length;
    } while (at < data.size());
    return zlibAround(deflated, data);
}

QByteArray runGzip(const QStringList& arguments, const QByteArray& input) {
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), arguments);
    gzip.write(input);
    gzip.closeWriteChannel();
    EXPECT_TRUE(gzip.waitForFinished(10000));
    EXPECT_EQ(gzip.exitCode(), 0) << gzip.readAllStandardError().toStdString();
    return gzip.readAllStandardOutput();
}

// A zlib stream of data deflated by GNU gzip, whose deflate is its own.
QByteArray gzipStream(const QByteArray& data) {
    const QByteArray gz = runGzip({"-c", "-9", "-n"}, data);
    // A gzip member without a name: ten bytes of header, the deflate data, CRC and size.
    return zlibAround(gz.mid(10, gz.size() - 18), data);
}

// The data of a zlib stream inflated by GNU gzip.
QByteArray gunzipStream(const QByteArray& stream, const QByteArray& expected) {
    QByteArray gz("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    gz += stream.mid(2, stream.size() - 6);
    gz += u32(crc32Of(expected)) + u32(quint32(expected.size()));
    return runGzip({"-d", "-c"}, gz);
}

QByteArray member(const QByteArray& name, quint32 size, const QByteArray& stream) {
    return u32(quint32(name.size())) + name + u32(size) + stream;
}

QByteArray container(const QList<QByteArray>& members) {
    QByteArray out = "OVkf" + u32(quint32(members.size()));
    for (const QByteArray& m : members)
        out += m;
    return out;
}

QByteArray sampleData(int size) {
    QByteArray data;
    for (int i = 0; i < size; ++i)
        data.append(char((i * 7 + i / 13) % 251));
    return data;
}

void expectSkinError(const QByteArray& bytes, const char* what) {
    try {
        TsPackedSkin::read(bytes);
        ADD_FAILURE() << what << ": read without an error";
    } catch (const ESkinError& error) {
        EXPECT_FALSE(error.message().isEmpty());
    }
}

TEST(PackedSkinTest, WrittenAndReadBack) {
    TsPackedSkin packed;
    packed.add("oPtIoNs.DaT", "[BUTTON]\nCOLOR=1\n");
    packed.add("BTN.PNG", sampleData(5000));
    packed.add("Glyph.bmp", sampleData(300));
    packed.add("EMPTY.BMP", QByteArray());
    const TsPackedSkin read = TsPackedSkin::read(packed.write());
    ASSERT_EQ(read.members().size(), 4);
    EXPECT_EQ(read.imageCount(), 3);
    ASSERT_NE(read.options(), nullptr) << "the skin text in any letter case";
    EXPECT_EQ(read.options()->data, "[BUTTON]\nCOLOR=1\n");
    ASSERT_NE(read.findImage("BTN.PNG"), nullptr);
    EXPECT_EQ(read.findImage("BTN.PNG")->data, sampleData(5000));
    EXPECT_FALSE(read.findImage("BTN.PNG")->isBitmap);
    EXPECT_EQ(read.findImage("btn.png"), nullptr) << "names are looked up as written";
    ASSERT_NE(read.findImage("GLYPH.BMP"), nullptr) << "against the upper-cased member name";
    EXPECT_TRUE(read.findImage("GLYPH.BMP")->isBitmap);
    EXPECT_TRUE(read.findImage("EMPTY.BMP")->data.isEmpty());
}

TEST(PackedSkinTest, StreamsOfOtherDeflatersAreRead) {
    const QByteArray text = "[GLOBALINFO]\nVERSION=7.3\n";
    const QByteArray picture = sampleData(200000);
    const TsPackedSkin read = TsPackedSkin::read(container({
        member("Options.dat", quint32(text.size()), storedStream(text, 65535)),
        member("BIG.BMP", quint32(picture.size()), gzipStream(picture)),
        member("STORED.BMP", quint32(picture.size()), storedStream(picture, 1000)),
    }));
    EXPECT_EQ(read.options()->data, text);
    EXPECT_EQ(read.findImage("BIG.BMP")->data, picture);
    EXPECT_EQ(read.findImage("STORED.BMP")->data, picture);
}

TEST(PackedSkinTest, OurStreamsAreReadByOtherInflaters) {
    const QByteArray picture = sampleData(70000);
    TsPackedSkin packed;
    packed.add("A.BMP", picture);
    const QByteArray bytes = packed.write();
    const qsizetype header = 4 + 4 + 4 + 5 + 4;
    ASSERT_EQ(bytes.left(header), "OVkf" + u32(1) + u32(5) + "A.BMP" + u32(70000));
    const QByteArray stream = bytes.mid(header);
    EXPECT_EQ(gunzipStream(stream, picture), picture);
    EXPECT_EQ(quint32(quint8(stream[stream.size() - 1])), adler32Of(picture) & 0xFF);
}

TEST(PackedSkinTest, DamagedContainersEndInAnError) {
    try {
        TsPackedSkin::read("PK\x03\x04");
        ADD_FAILURE();
    } catch (const ESkinError& error) {
        EXPECT_EQ(error.message(), "Loaded data is not a packed Orvisk file");
    }
    expectSkinError("OV", "shorter than the magic");

    TsPackedSkin packed;
    packed.add("Options.dat", "[S]\nK=V\n");
    packed.add("B.BMP", sampleData(400));
    const QByteArray good = packed.write();
    for (qsizetype length = 4; length < good.size(); ++length)
        expectSkinError(good.left(length), "cut short");

    QByteArray flipped = good;
    flipped[good.size() - 30] = char(flipped[good.size() - 30] ^ 0x5A);
    expectSkinError(flipped, "a damaged stream");

    const QByteArray stream = storedStream("12345678", 100);
    expectSkinError(container({member("A", 4, stream)}), "longer than its size");
    expectSkinError(container({member("A", 9, stream)}), "shorter than its size");
    expectSkinError("OVkf" + u32(0xFFFFFFFFu) + member("A", 8, stream), "absurd count");
    expectSkinError("OVkf" + u32(1) + u32(0xFFFFFFF0u) + "A", "absurd name length");
    expectSkinError(container({member("A", 0x7FFFFFFFu, stream)}), "absurd size");
    expectSkinError(container({member("A", 8, QByteArray("\x78\x9C", 2))}), "no data");
}

TEST(PackedSkinTest, TheSkinTextIsHeldToTheLimitOfAFoldersText) {
    // The size is refused before anything is inflated: what follows is not even a stream.
    const quint32 over = quint32(TsSkinText::MaxSize + 1);
    try {
        TsPackedSkin::read(container({member("options.DAT", over, QByteArray(64, 'x'))}));
        ADD_FAILURE() << "a skin text over the limit is read";
    } catch (const ESkinError& error) {
        EXPECT_EQ(error.message(), "Packed skin: member options.DAT is too large for a skin text");
    }

    // A text of exactly the limit is read, and a picture may be larger than a text.
    TsPackedSkin packed;
    packed.add("Options.dat", QByteArray(TsSkinText::MaxSize, ';'));
    packed.add("BIG.BMP", QByteArray(TsSkinText::MaxSize + 1, '\0'));
    const TsPackedSkin read = TsPackedSkin::read(packed.write());
    EXPECT_EQ(read.options()->data.size(), TsSkinText::MaxSize);
    EXPECT_EQ(read.findImage("BIG.BMP")->data.size(), TsSkinText::MaxSize + 1);
}

}  // namespace
