// The skinned menus with WLM: a popup of eight items opened and painted for the first time
// (measured, shaped, its background built, every item painted), and opened again with its
// background kept; the same popup drawn by Qt's Fusion style in the same run is the
// yardstick, and memcpy of the popup's pixels the machine's.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenu>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

#include "course_fixture.h"
#include "memcpy_ratio.h"
#include "platform/message_box.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"

namespace {

struct Wlm {
    MessageBoxRecorder boxes;
    TsSkinManager manager;
    Wlm() {
        manager.setSkinDirectory(courseSources() + QStringLiteral("/Skins"));
        manager.setSkinName(QStringLiteral("WLM"));
    }
    bool skinned() { return TsSkinableMenus::of(&manager)->popupsSkinned(); }
};

// Eight items as the course's menus have them, with a shortcut, a check mark, a disabled
// item and a separator among them.
std::unique_ptr<QMenu> eightItems(QStyle* style = nullptr) {
    auto menu = std::make_unique<QMenu>();
    if (style) menu->setStyle(style);
    menu->addAction(QStringLiteral("Упражнения"));
    menu->addAction(QStringLiteral("Практические занятия"));
    menu->addAction(QStringLiteral("Дополнительный материал"));
    QAction* shown = menu->addAction(QStringLiteral("Презентации"));
    shown->setCheckable(true);
    shown->setChecked(true);
    menu->addAction(QStringLiteral("Видеоматериал"))->setEnabled(false);
    menu->addSeparator();
    QAction* test = menu->addAction(QStringLiteral("Тестирование"));
    test->setShortcut(QKeySequence(Qt::Key_F9));
    test->setShortcutVisibleInContextMenu(true);
    menu->addAction(QStringLiteral("Выход"));
    return menu;
}

// Counts the paints a popup gets, to show that each opening painted it once.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
PaintCounter counter;

// Opens the popup and lets it be shown and painted, as the screen first shows it.
double openAndPaint(QMenu& menu) {
    menu.installEventFilter(&counter);
    const auto start = BenchClock::now();
    menu.popup(QPoint(100, 100));
    QApplication::processEvents();
    return seconds(BenchClock::now() - start);
}

void report(benchmark::State& state, double total, int runs, QSize size) {
    const double mean = total / runs;
    const double copy = memcpySeconds(size_t(size.width()) * size_t(size.height()) * 4);
    state.counters["open_ms"] = mean * 1e3;
    state.counters["x_memcpy"] = mean / copy;
    state.counters["paints"] = double(counter.paints) / runs;
    counter.paints = 0;
}

// A popup made afresh each time: nothing of it is known before it opens.
void BM_PopupFirstOpen(benchmark::State& state) {
    Wlm wlm;
    if (!wlm.skinned()) {
        state.SkipWithError("WLM does not skin the popups");
        return;
    }
    double total = 0;
    int runs = 0;
    QSize size;
    for (auto _ : state) {
        std::unique_ptr<QMenu> menu = eightItems();
        total += openAndPaint(*menu);
        size = menu->size();
        menu->hide();
        ++runs;
    }
    report(state, total, runs, size);
}
BENCHMARK(BM_PopupFirstOpen)->Unit(benchmark::kMillisecond);

// The same popup opened again: its measures and background are kept, the items painted.
void BM_PopupOpenedAgain(benchmark::State& state) {
    Wlm wlm;
    std::unique_ptr<QMenu> menu = eightItems();
    openAndPaint(*menu);
    menu->hide();
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        total += openAndPaint(*menu);
        menu->hide();
        ++runs;
    }
    report(state, total, runs, menu->size());
}
BENCHMARK(BM_PopupOpenedAgain)->Unit(benchmark::kMillisecond);

// The yardstick: the same popup in Qt's Fusion style, first time and again.
void BM_PopupFusion(benchmark::State& state) {
    Wlm wlm;  // the skin is active; a menu with a style of its own keeps it
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    double first = 0, again = 0;
    int runs = 0;
    QSize size;
    for (auto _ : state) {
        std::unique_ptr<QMenu> menu = eightItems(fusion.get());
        first += openAndPaint(*menu);
        menu->hide();
        again += openAndPaint(*menu);
        size = menu->size();
        menu->hide();
        ++runs;
    }
    state.counters["first_ms"] = first / runs * 1e3;
    state.counters["again_ms"] = again / runs * 1e3;
    state.counters["x_memcpy"] =
        again / runs / memcpySeconds(size_t(size.width()) * size_t(size.height()) * 4);
}
BENCHMARK(BM_PopupFusion)->Unit(benchmark::kMillisecond);

}  // namespace
