// Any bytes as the skin text of a packed skin stored in the program (the lines after the first
// NUL byte as the manager's common sections), loaded by a skin manager the way the program
// loads a skin, then painted: every section in its states (the first few, the last, and
// states beyond either end) into small bitmaps of several sizes, over a plain colour, over a
// parent's picture and into that picture itself; every image item in its first frames; captions
// with their glow; the glow pictures.

#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <limits>

#include "fuzz_support.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sGlow.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

void prepareWidgets() {
#ifdef KESTA_LIBFUZZER
    static int argc = 1;
    static char name[] = "kesta-fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new TApplication(argc, argv);
    }
#endif
}

// A master bitmap the size of the course's own, with every colour channel varying, key pixels
// in scattered blocks and white and black ones for masks.
QByteArray masterPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int band = (x / 7 + y / 5) % 9;
            image.setPixel(x, y,
                           band == 0   ? qRgb(255, 0, 255)
                           : band == 1 ? qRgb(255, 255, 255)
                           : band == 2 ? qRgb(0, 0, 0)
                                       : qRgb(x & 255, y & 255, (x ^ y) & 255));
        }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// A picture with an alpha channel: a ramp of alpha across, white with alpha 0 in one corner.
QByteArray translucentPicture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgba(40 + 7 * x, 200 - 5 * y, 90, 255 * x / std::max(1, width - 1)));
    image.setPixel(0, 0, qRgba(255, 255, 255, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The pictures a skin text may name, packed once: the members that follow the skin text in
// every container made below. BIG.JPG is a large texture, kept compressed until painted.
const QByteArray& packedPictures(int& count) {
    static int members = 0;
    static const QByteArray packed = [] {
        TsPackedSkin pictures;
        pictures.add("MASTER.BMP", masterPicture(256, 202));
        pictures.add("BTN.PNG", fuzzing::picture(30, 20, "PNG"));
        pictures.add("GLOW.PNG", translucentPicture(24, 18));
        pictures.add("FRAME.BMP", fuzzing::picture(18, 12, "BMP"));
        pictures.add("TEX.JPG", fuzzing::picture(16, 16, "JPG"));
        pictures.add("BIG.JPG", fuzzing::picture(1200, 750, "JPG"));
        members = int(pictures.members().size());
        // Without the magic and the member count.
        return pictures.write().mid(8);
    }();
    count = members;
    return packed;
}

QByteArray packedSkin(const QByteArray& text) {
    int pictures = 0;
    const QByteArray& rest = packedPictures(pictures);
    TsPackedSkin options;
    options.add("Options.dat", text);
    QByteArray bytes = options.write();
    const quint32 count = quint32(1 + pictures);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = char((count >> (8 * i)) & 0xFF);
    return bytes + rest;
}

// Bitmaps painted into: nothing, one pixel, thin and odd ones, and one a little larger.
const QSize kSizes[] = {QSize(0, 0), QSize(1, 1),  QSize(2, 2),   QSize(3, 7),
                        QSize(9, 4), QSize(1, 13), QSize(17, 11), QSize(40, 23)};
// Where the painted bitmap lies in the parent's picture: inside, partly before it, past it.
const QPoint kOffsets[] = {QPoint(5, 3), QPoint(-4, -6), QPoint(40, 30)};

// The states worth painting: 0 and 1 always, the others up to a few, the last one, and states
// beyond either end.
QList<int> statesOf(const TsGeneralData& section) {
    QList<int> states{0, 1};
    for (int state = 2; state < std::min(section.States, 5); ++state)
        states.append(state);
    if (section.States > 5) states.append(section.States - 1);
    states.append(-1);
    states.append(std::numeric_limits<int>::max());
    return states;
}

// Every section in each state and size, over each kind of parent.
void paintSections(const TsSkinManager& manager) {
    Bitmap32 parent = CreateBitmap32(48, 36);
    FillRect32(parent, parent.rect(), manager.FormColor());
    const int images = int(manager.images().size());
    for (int index = 0; index < manager.sections().size(); ++index) {
        const TsGeneralData& section = manager.sections()[index];
        TsSectionPaint paint;
        paint.SectionIndex = index;
        paint.SectionName = section.ClassName;
        paint.Manager = &manager;
        int turn = index;
        for (int state : statesOf(section)) {
            paint.State = state;
            for (const QSize& size : kSizes) {
                ++turn;
                Bitmap32 target = CreateBitmap32(size.width(), size.height());
                paint.Area = target.rect();
                paint.Offset = turn % 3 == 0 ? QPoint(0, 0) : kOffsets[turn % 3];
                // Given texture indexes, valid or not, now and then instead of looked-up ones.
                paint.Texture = turn % 5 == 0 ? turn % (images + 2) - 1 : -1;
                paint.HotTexture = turn % 7 == 0 ? turn % (images + 2) - 1 : -1;
                paint.CustomColor = turn % 11 == 0 ? TColor(0x336699) : clKey;
                switch (turn % 4) {
                    case 0:
                        paint.Parent = MakeCacheInfo(manager.FormColor());
                        break;
                    case 1:
                        paint.Parent = MakeCacheInfo(clKey);
                        break;
                    default:
                        paint.Parent = MakeCacheInfo(&parent, kOffsets[turn % 3]);
                        break;
                }
                PaintSection(target, paint);
                // An area that does not lie inside the bitmap is left alone.
                paint.Area = target.rect().adjusted(-1, -1, 1, 1);
                PaintSection(target, paint);
            }
            // Into the parent's picture itself, which is also the parent.
            paint.Texture = paint.HotTexture = -1;
            paint.CustomColor = clKey;
            paint.Parent = MakeCacheInfo(&parent, QPoint(0, 0));
            paint.Area = QRect(3, 2, 17, 11);
            PaintSection(parent, paint);
        }
    }
}

// Every image item drawn in each frame at a few places, as a border over a few rectangles
// and as a texture.
void paintImages(const TsSkinManager& manager) {
    Bitmap32 parent = CreateBitmap32(30, 20);
    FillRect32(parent, parent.rect(), 0x224466);
    const TCacheInfo behind = MakeCacheInfo(&parent, QPoint(2, 1));
    const TCacheInfo plain = MakeCacheInfo(TColor(0x808080));
    for (const TsMaskData& item : manager.images()) {
        Bitmap32 target = CreateBitmap32(24, 18);
        const int frames = std::min<int>(std::max<int>(item.ImageCount, 1), 4);
        for (int state = 0; state <= frames; ++state) {
            for (const QPoint position : {QPoint(0, 0), QPoint(-3, -2), QPoint(22, 17)})
                DrawImageFrame(target, position, state, behind, item, state % 2);
            for (const QRect area :
                 {QRect(0, 0, 24, 18), QRect(1, 1, 9, 5), QRect(3, 2, 1, 1), QRect(-2, -2, 30, 7)})
                DrawBorderImage(target, area, state % 2 == 0, 1, state, item,
                                state % 2 ? plain : behind);
        }
        PaintTexture(target, QRect(1, 2, 21, 13), item, 0x00FF00);
        PaintTexture(target, QRect(0, 0, 1, 1), item, 0x00FF00);
    }
}

// Captions in each section's colours, with the text glow; and the glow pictures.
void writeCaptions(TsSkinManager& manager) {
    QWidget control;
    control.resize(40, 23);
    TsCtrlSkinData data(&control, 32);
    data.setSkinManager(&manager);
    data.HUEOffset = 30;
    data.Saturation = -20;
    Bitmap32 cache = CreateBitmap32(40, 23);
    QImage canvas = cache.image();
    QPainter painter(&canvas);
    const QRect area(2, 2, 36, 19);
    const TCacheInfo parent = MakeCacheInfo(manager.FormColor());
    for (int index = 0; index < manager.sections().size(); ++index) {
        const TsGeneralData& section = manager.sections()[index];
        for (int state = 0; state < 2; ++state) {
            WriteSectionText(painter, QStringLiteral("Aa Бб"), state == 0, &manager, state, index,
                             Qt::AlignCenter, area);
        }
        data.setSkinSection(section.ClassName);
        for (int state = 0; state < 2; ++state) {
            PaintControlSection(data, parent, state, cache, QPoint(1, 1), cache.rect());
            WriteCaption(painter, QStringLiteral("Aa"), true, state == 1, data, Qt::AlignLeft, area,
                         state == 0 ? &cache : nullptr);
        }
        WriteCaption(painter, QStringLiteral("Aa"), false, false, data, Qt::AlignRight, area);
        for (const QSize size : {QSize(0, 0), QSize(1, 1), QSize(30, 20)})
            GlowPicture(manager, section.ClassName, size, section.GlowMargin);
    }
}

}  // namespace

KESTA_FUZZ_TARGET(fuzzSkinPaint)(const uint8_t* data, size_t size) {
    prepareWidgets();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    // Boxes are recorded, never shown: errors of the skin are expected.
    MessageBoxRecorder boxes;
    // No skin folder and no packed file by that name: the stored skin is taken.
    static const QTemporaryDir empty;
    TsSkinManager manager;
    TsStoredSkin stored;
    stored.Name = QStringLiteral("Fuzz");
    stored.Data = packedSkin(split < 0 ? bytes : bytes.left(split));
    manager.InternalSkins.append(stored);
    manager.beginLoading();
    if (split >= 0) manager.CommonSections = QString::fromLatin1(bytes.mid(split + 1)).split(u'\n');
    manager.setHueOffset(size % 7 == 0 ? int(size % 361) - 180 : 0);
    manager.setSaturation(size % 5 == 0 ? int(size % 301) - 150 : 0);
    manager.setSkinDirectory(empty.path());
    manager.setSkinName(stored.Name);
    manager.loaded();
    paintSections(manager);
    paintImages(manager);
    writeCaptions(manager);
    return 0;
}
