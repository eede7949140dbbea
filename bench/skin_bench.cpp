// Loading the course's skin WLM as the program does, from its folder and from its packed
// file, and the time of decoding its pictures alone (the share of a load spent decoding).

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "course_fixture.h"
#include "imaging/decode.h"
#include "skin/core/sSkinManager.h"

namespace {

// The folder skin is read from the sources (no packed file beside it); the packed one from
// the staged course, where WLM.ovk lies beside the folder and is preferred.
void loadWlm(benchmark::State& state, const QString& skins, bool packed) {
    TsSkinManager manager;
    manager.setSkinDirectory(skins);
    for (auto _ : state) {
        manager.setSkinName(QStringLiteral("WLM"));
        if (manager.sections().isEmpty() || manager.isPacked() != packed) {
            state.SkipWithError("WLM did not load from the expected source");
            break;
        }
    }
}

void BM_LoadWlmFromFolder(benchmark::State& state) {
    loadWlm(state, courseSources() + QStringLiteral("/Skins"), false);
}
BENCHMARK(BM_LoadWlmFromFolder)->Unit(benchmark::kMillisecond);

void BM_LoadWlmFromPackedFile(benchmark::State& state) {
    loadWlm(state, QStringLiteral(KESTA_COURSE_DIR "/Skins"), true);
}
BENCHMARK(BM_LoadWlmFromPackedFile)->Unit(benchmark::kMillisecond);

// Every picture of WLM decoded from memory, as a load decodes them.
void BM_DecodeWlmPictures(benchmark::State& state) {
    const QDir folder(courseSources() + QStringLiteral("/Skins/WLM"));
    QList<QPair<QByteArray, PictureFormat>> pictures;
    for (const QString& name : folder.entryList(QDir::Files)) {
        QFile file(folder.filePath(name));
        file.open(QIODevice::ReadOnly);
        if (name.endsWith(QStringLiteral(".BMP")))
            pictures.append({file.readAll(), PictureFormat::Bmp});
        else if (name.endsWith(QStringLiteral(".PNG")))
            pictures.append({file.readAll(), PictureFormat::Png});
        else if (name.endsWith(QStringLiteral(".JPG")))
            pictures.append({file.readAll(), PictureFormat::Jpeg});
    }
    for (auto _ : state) {
        for (const auto& [bytes, format] : pictures)
            benchmark::DoNotOptimize(decodePicture(bytes, format, QStringLiteral("WLM")));
    }
    state.counters["pictures"] = double(pictures.size());
}
BENCHMARK(BM_DecodeWlmPictures)->Unit(benchmark::kMillisecond);

}  // namespace
