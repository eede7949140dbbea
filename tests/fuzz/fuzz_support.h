#pragma once

// Shared by the fuzz targets. Each target is built twice: for libFuzzer with clang and the
// sanitizers (entry point LLVMFuzzerTestOneInput), and into the ordinary test build, where
// its corpus is replayed as a regression test (entry point named after the target).

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "skin/core/sPackedSkin.h"
#include "skin/core/sSkinLoader.h"

#ifdef KESTA_LIBFUZZER
#define KESTA_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput
#else
#define KESTA_FUZZ_TARGET(name) int name
#endif

namespace fuzzing {

// Pictures and the application object the loader needs, made once.
inline void prepare() {
#ifdef KESTA_LIBFUZZER
    static int argc = 1;
    static char name[] = "kesta-fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
#endif
}

inline QByteArray picture(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(120, 160, 220));
    for (int x = 0; x < width; x += 3)
        image.setPixel(x, 0, qRgb(255, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A container holding a master bitmap and one picture of each kind the references name.
inline const TsPackedSkin& pictures() {
    static const TsPackedSkin container = [] {
        TsPackedSkin c;
        c.add("MASTER.BMP", picture(48, 32, "BMP"));
        c.add("BTN.PNG", picture(30, 20, "PNG"));
        c.add("FRAME.BMP", picture(18, 12, "BMP"));
        c.add("TEX.JPG", picture(16, 16, "JPG"));
        return c;
    }();
    return container;
}

// Loads a skin text against the pictures above; errors of the skin are expected.
inline void load(TsSkinSource source) {
    if (!source.container) source.container = &pictures();
    // Files beside the skin are looked for in an empty folder of its own.
    static const QTemporaryDir empty;
    source.skinPath = empty.path() + u'/';
    TsSkinModel model;
    try {
        loadSkin(source, model);
    } catch (const std::exception&) {
        return;
    }
    // Everything a painter would ask of a loaded skin.
    for (int i = 0; i < int(model.Images.size()); ++i) {
        TsSkinModel::FrameWidth(model.Images[i]);
        TsSkinModel::FrameHeight(model.Images[i]);
        model.LeftMargin(i);
        model.BottomMargin(i);
    }
    for (int s = 0; s < model.Sections.size(); ++s) {
        const TsGeneralData& section = model.Sections[s];
        model.FindImage(s, section.ClassName, QStringLiteral("BORDERSMASK"));
        model.FindTexture(s, section.ClassName, QStringLiteral("PATTERN"));
        model.FindLargeTexture(s, section.ClassName, QStringLiteral("PATTERN"));
    }
    model.SelectionColor(true);
    model.SelectionTextColor(false);
    model.FormColor();
}

}  // namespace fuzzing
