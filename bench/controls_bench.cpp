// The skinned controls with WLM: a repaint that only copies a button's cache (against
// memcpy of the same bytes), a hover that rebuilds one cache, and a full repaint of the
// teacher window with every control skinned against the same window drawn by Qt's Fusion
// style, both in one run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <vector>

#include "app/dm.h"
#include "app/registracia.h"
#include "course_fixture.h"
#include "data/sqlite_store.h"
#include "memcpy_ratio.h"
#include "platform/form.h"
#include "platform/message_box.h"
#include "skin/controls/sButton.h"
#include "skin/core/sSkinManager.h"
#include "teacher/prepodavatel.h"

namespace {

// WLM on a window of its own. Its manager is the one controls follow while it lives, also
// when an earlier benchmark left a course with its own manager open; that one is the
// default again afterwards.
struct WlmForm {
    MessageBoxRecorder boxes;
    QPointer<TsSkinManager> previous{TsSkinManager::DefaultManager()};
    TsSkinManager manager;
    TForm form;
    WlmForm() {
        manager.setIsDefault(true);
        manager.setSkinDirectory(courseSources() + QStringLiteral("/Skins"));
        manager.setSkinName(QStringLiteral("WLM"));
        form.resize(1300, 1000);
        form.show();
    }
    ~WlmForm() {
        if (previous) previous->setIsDefault(true);
    }
};

// A button whose look did not change: the paint handler copies its cache, nothing more.
void BM_ButtonRepaintFromCache(benchmark::State& state) {
    WlmForm wlm;
    TsButton button(&wlm.form);
    button.setText(QStringLiteral("Сохранить изменения"));
    button.setGeometry(10, 10, int(state.range(0)), int(state.range(1)));
    QImage screen(button.size(), QImage::Format_RGB32);
    QPainter painter(&screen);
    button.Cache().paint(painter, button.rect());  // the first paint builds the cache
    if (!button.Cache().skinned()) {
        state.SkipWithError("the button is not skinned");
        return;
    }
    double total = 0;
    for (auto _ : state) {
        const auto start = BenchClock::now();
        button.Cache().paint(painter, button.rect());
        benchmark::DoNotOptimize(screen.constBits());
        total += seconds(BenchClock::now() - start);
    }
    const size_t bytes = size_t(button.width()) * size_t(button.height()) * 4;
    const double copy = meanMemcpySeconds(bytes, int(state.iterations()));
    const double mean = total / double(state.iterations());
    state.counters["memcpy_us"] = copy * 1e6;
    state.counters["x_memcpy"] = mean / copy;
    // The same bytes copied as a picture is: one memcpy per row, into rows of a window.
    const int rows = button.height();
    const size_t row = size_t(button.width()) * 4;
    std::vector<char> from(bytes, 1), to(size_t(rows) * 1300 * 4, 0);
    const int runs = int(std::min<qint64>(state.iterations(), 100000));
    const auto start = BenchClock::now();
    for (int i = 0; i < runs; ++i) {
        for (int y = 0; y < rows; ++y)
            std::memcpy(to.data() + size_t(y) * 1300 * 4, from.data() + size_t(y) * row, row);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    const double blit = seconds(BenchClock::now() - start) / runs;
    state.counters["row_copy_us"] = blit * 1e6;
    state.counters["x_row_copy"] = mean / blit;
}
BENCHMARK(BM_ButtonRepaintFromCache)->Args({75, 25})->Args({400, 300})->Args({1200, 900});

// The mouse enters and leaves a 75 by 25 button: each change rebuilds its one cache.
void BM_ButtonHoverRebuildsOneCache(benchmark::State& state) {
    WlmForm wlm;
    TsButton button(&wlm.form);
    button.setText(QStringLiteral("Добавить"));
    button.setGeometry(10, 10, 75, 25);
    QImage screen(button.size(), QImage::Format_RGB32);
    QPainter painter(&screen);
    bool inside = false;
    for (auto _ : state) {
        inside = !inside;
        if (inside) {
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QApplication::sendEvent(&button, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&button, &leave);
        }
        button.Cache().paint(painter, button.rect());
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_ButtonHoverRebuildsOneCache)->Unit(benchmark::kMicrosecond);

// 40 topics in eight sections of five.
void fillTopics(SqliteStore& store) {
    for (int i = 0; i < 40; ++i)
        store.execute(QStringLiteral("INSERT INTO teoria VALUES (%1, %2, 'Тема %1', "
                                     "'tema%1.htm', '')")
                          .arg(i)
                          .arg(i % 5 == 0 ? 0 : i - i % 5));
}

// The course's own skin manager, on the sign-in window, with WLM.
TsSkinManager* wlmOnSignIn() {
    TsSkinManager* manager = Form1->sSkinManager1;
    manager->setSkinDirectory(courseSources() + QStringLiteral("/Skins"));
    manager->setSkinName(QStringLiteral("WLM"));
    return manager;
}

// The teacher window with the topic catalogue in its grid, drawn whole: from the skin (the
// caches as they stand), and by Qt's Fusion style with the skin removed, in turns.
void BM_TeacherWindowRepaintAgainstFusion(benchmark::State& state) {
    MessageBoxRecorder boxes;
    Course course(fillTopics);
    TsSkinManager* manager = wlmOnSignIn();
    QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    QApplication::setStyle(fusion);
    Form2->resize(1280, 768);
    Form2->show();
    Form2->N1->trigger();
    QImage screen(Form2->size(), QImage::Format_RGB32);
    const auto draw = [&] {
        screen.fill(0);
        Form2->render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    };
    double skinned = 0, plain = 0;
    int runs = 0;
    for (auto _ : state) {
        manager->setActive(true);
        draw();  // the caches are built once after a skin change; a repaint copies them
        auto start = BenchClock::now();
        draw();
        skinned += seconds(BenchClock::now() - start);
        manager->setActive(false);
        draw();
        start = BenchClock::now();
        draw();
        plain += seconds(BenchClock::now() - start);
        ++runs;
    }
    manager->setActive(true);
    state.counters["skinned_ms"] = skinned / runs * 1e3;
    state.counters["fusion_ms"] = plain / runs * 1e3;
    state.counters["x_fusion"] = skinned / plain;
}
BENCHMARK(BM_TeacherWindowRepaintAgainstFusion)->Iterations(20)->Unit(benchmark::kMillisecond);

// The skin told to every window and control again (as a skin change does), with the
// teacher window open on its topic grid, and the window painted after it.
void BM_SkinRefreshOnTeacherWindow(benchmark::State& state) {
    MessageBoxRecorder boxes;
    Course course(fillTopics);
    TsSkinManager* manager = wlmOnSignIn();
    Form2->resize(1280, 768);
    Form2->show();
    Form2->N1->trigger();
    QImage screen(Form2->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        manager->RefreshSkin(false);
        Form2->render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_SkinRefreshOnTeacherWindow)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// One step of a hover fade of a 75 by 25 button: the old picture blended over the new one
// and shown.
void BM_ButtonFadeStep(benchmark::State& state) {
    WlmForm wlm;
    TsButton button(&wlm.form);
    button.setText(QStringLiteral("Добавить"));
    button.setGeometry(10, 10, 75, 25);
    button.show();
    button.grab();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    TsFadeTimer* fade = button.Fade().timer();
    if (!fade) {
        state.SkipWithError("the button does not fade");
        return;
    }
    for (auto _ : state) {
        if (!fade->isRunning()) {
            state.PauseTiming();
            fade->start(button.Cache().cache(), 1000);
            state.ResumeTiming();
        }
        fade->tick();
    }
}
BENCHMARK(BM_ButtonFadeStep)->Unit(benchmark::kMicrosecond);

}  // namespace
