// Painting with the course's skin WLM: a window's background section over a full-HD
// picture, blending two full-HD pictures, and the contact sheet of every section. Each
// figure is also given as a ratio to memcpy of the same number of bytes, timed in the same
// run, so the figures can be compared across machines.

#include <benchmark/benchmark.h>

#include "course_fixture.h"
#include "memcpy_ratio.h"
#include "platform/message_box.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"
#include "skin_sheet.h"

namespace {

struct Wlm {
    MessageBoxRecorder boxes;
    TsSkinManager manager;
    Wlm() {
        manager.setSkinDirectory(courseSources() + QStringLiteral("/Skins"));
        manager.setSkinName(QStringLiteral("WLM"));
    }
};

void BM_PaintFormSectionFullHd(benchmark::State& state) {
    Wlm wlm;
    const int form = wlm.manager.FindSection(QStringLiteral("FORM"));
    if (form < 0) {
        state.SkipWithError("WLM has no FORM section");
        return;
    }
    Bitmap32 target = CreateBitmap32(1920, 1080);
    TsSectionPaint paint;
    paint.SectionIndex = form;
    paint.SectionName = QStringLiteral("FORM");
    paint.Parent = MakeCacheInfo(wlm.manager.FormColor());
    paint.Manager = &wlm.manager;
    paint.Area = target.rect();
    paint.State = 1;
    timed(state, size_t(target.bytesPerLine()) * 1080, [&] {
        PaintSection(target, paint);
        benchmark::DoNotOptimize(target.bits());
    });
}
BENCHMARK(BM_PaintFormSectionFullHd)->Unit(benchmark::kMillisecond);

void BM_BlendBitmapsFullHd(benchmark::State& state) {
    Bitmap32 target = CreateBitmap32(1920, 1080);
    Bitmap32 source = CreateBitmap32(1920, 1080);
    target.fill(0xFF204060u);
    source.fill(0xFFC0A080u);
    timed(state, size_t(target.bytesPerLine()) * 1080, [&] {
        BlendBitmaps(target, source, 100, QPoint(0, 0), source.rect());
        benchmark::DoNotOptimize(target.bits());
    });
}
BENCHMARK(BM_BlendBitmapsFullHd)->Unit(benchmark::kMillisecond);

void BM_WlmContactSheet(benchmark::State& state) {
    Wlm wlm;
    const Bitmap32 probe = renderContactSheet(wlm.manager);
    timed(state, size_t(probe.bytesPerLine()) * size_t(probe.height()),
          [&] { benchmark::DoNotOptimize(renderContactSheet(wlm.manager)); });
    state.counters["sections"] = double(wlm.manager.sections().size());
}
BENCHMARK(BM_WlmContactSheet)->Unit(benchmark::kMillisecond);

}  // namespace
