// Skinned window frames with WLM: a repaint of the frame copies its strips from the window
// image (against memcpy of the same bytes), and an activation change rebuilds the window
// image of a full-HD window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "course_fixture.h"
#include "memcpy_ratio.h"
#include "platform/form.h"
#include "platform/message_box.h"
#include "skin/controls/sControlCache.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAnimation.h"

namespace {

struct FramedWindow {
    MessageBoxRecorder boxes;
    TsSkinManager manager;
    TForm form;
    TsSkinProvider* provider = nullptr;
    explicit FramedWindow(QSize size) {
        manager.setSkinDirectory(courseSources() + QStringLiteral("/Skins"));
        manager.setSkinName(QStringLiteral("WLM"));
        form.setWindowTitle(QStringLiteral("Окно преподавателя"));
        provider = new TsSkinProvider(&form);
        form.resize(size);
        form.show();
    }
};

// The four strips of the frame: the title band, the left and right borders, the bottom.
QList<QRect> frameStrips(const TsSkinProvider& provider, QSize size) {
    const TsFrameSizes& s = provider.frameSizes();
    const int top = s.Border + s.Title;
    return {QRect(0, 0, size.width(), top), QRect(0, top, s.Border, size.height() - top - s.Border),
            QRect(size.width() - s.Border, top, s.Border, size.height() - top - s.Border),
            QRect(0, size.height() - s.Border, size.width(), s.Border)};
}

void BM_FrameRepaintFromWindowImage(benchmark::State& state) {
    FramedWindow window(QSize(1920, 1080));
    if (!window.provider->skinned()) {
        state.SkipWithError("the frame is not skinned");
        return;
    }
    const Bitmap32& image = window.provider->windowImage();
    const QList<QRect> strips = frameStrips(*window.provider, window.form.size());
    QImage screen(window.form.size(), QImage::Format_RGB32);
    QPainter painter(&screen);
    size_t bytes = 0;
    for (const QRect& strip : strips)
        bytes += size_t(strip.width()) * size_t(strip.height()) * 4;
    double total = 0;
    for (auto _ : state) {
        const auto start = BenchClock::now();
        for (const QRect& strip : strips)
            CopyToScreen(painter, window.provider->windowImage(), strip);
        benchmark::DoNotOptimize(screen.constBits());
        total += seconds(BenchClock::now() - start);
    }
    benchmark::DoNotOptimize(image.bits());
    const double mean = total / double(state.iterations());
    const double copy = meanMemcpySeconds(bytes, int(state.iterations()));
    state.counters["frame_kb"] = double(bytes) / 1024;
    state.counters["x_memcpy"] = mean / copy;
    // The same strips copied by memcpy row by row between two window-sized pictures: the
    // least any copy of them into a window costs.
    QImage from = image.constImage().copy(), to(screen.size(), QImage::Format_RGB32);
    const int runs = int(std::min<qint64>(state.iterations(), 20000));
    const uchar* source = from.constBits();
    uchar* target = to.bits();
    const qsizetype stride = from.bytesPerLine();
    const auto start = BenchClock::now();
    for (int i = 0; i < runs; ++i) {
        for (const QRect& strip : strips)
            for (int y = strip.top(); y <= strip.bottom(); ++y)
                std::memcpy(target + y * stride + strip.left() * 4,
                            source + y * stride + strip.left() * 4, size_t(strip.width()) * 4);
        benchmark::DoNotOptimize(target);
        benchmark::ClobberMemory();
    }
    const double rows = seconds(BenchClock::now() - start) / runs;
    state.counters["x_row_copy"] = mean / rows;
}
BENCHMARK(BM_FrameRepaintFromWindowImage)->Unit(benchmark::kMicrosecond);

void BM_ActivationRebuildsTheWindowImage(benchmark::State& state) {
    FramedWindow window(QSize(1920, 1080));
    bool active = true;
    for (auto _ : state) {
        active = !active;
        QEvent change(active ? QEvent::WindowActivate : QEvent::WindowDeactivate);
        QApplication::sendEvent(&window.form, &change);
        benchmark::DoNotOptimize(window.provider->windowImage().bits());
    }
}
BENCHMARK(BM_ActivationRebuildsTheWindowImage)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// One step of minimising a 1366 by 768 window: its picture scaled into the step's frame over
// what lay beneath, and shown.
void BM_MinimizeFrame1366(benchmark::State& state) {
    FramedWindow window(QSize(1366, 768));
    TsAnimEffect effect{true, 200, atAero};
    TsMinimizeAnimation animation(&window.form, effect, false);
    animation.start();
    for (auto _ : state) {
        if (!animation.isRunning()) {
            state.PauseTiming();
            window.form.showNormal();
            window.form.show();
            animation.start();
            state.ResumeTiming();
        }
        animation.step();
    }
}
BENCHMARK(BM_MinimizeFrame1366)->Unit(benchmark::kMillisecond);

}  // namespace
