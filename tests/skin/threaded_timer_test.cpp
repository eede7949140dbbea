// The threaded timer: ticks from a worker thread handled on the user-interface thread,
// pausing that lets no tick through, and stopping that waits for the thread.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "platform/kesta_error.h"
#include "platform/message_box.h"
#include "skin/core/sThreadedTimer.h"

namespace {

// Runs the event loop for `ms` milliseconds, or until `done` says so.
template <class Done>
void spin(int ms, Done done) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}
void spin(int ms) {
    spin(ms, [] { return false; });
}

// A timer that counts its own ticks.
class CountingTimer : public TThreadedTimer {
public:
    explicit CountingTimer(bool ownHandler) : TThreadedTimer(nullptr, ownHandler) {}
    int ticks = 0;

protected:
    void Timer() override { ++ticks; }
};

}  // namespace

TEST(ThreadedTimerTest, TicksArriveOnTheUserInterfaceThread) {
    TThreadedTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    int ticks = 0;
    bool onMainThread = true;
    QObject* sender = nullptr;
    timer.setInterval(10);
    timer.setOnTimer([&](QObject* from) {
        ++ticks;
        sender = from;
        onMainThread = onMainThread && QThread::currentThread() == qApp->thread();
    });
    spin(2000, [&] { return ticks >= 3; });
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(onMainThread);
    EXPECT_EQ(sender, &timer);
}

TEST(ThreadedTimerTest, IntervalZeroPausesAndANewIntervalResumes) {
    TThreadedTimer timer;
    int ticks = 0;
    timer.setInterval(5);
    timer.setOnTimer([&](QObject*) { ++ticks; });
    spin(2000, [&] { return ticks >= 1; });
    timer.setInterval(0);
    EXPECT_FALSE(timer.isRunning());
    // A tick handed over just before the pause is dropped on arrival.
    const int paused = ticks;
    spin(100);
    EXPECT_EQ(ticks, paused);
    timer.setInterval(5);
    EXPECT_TRUE(timer.isRunning());
    spin(2000, [&] { return ticks > paused; });
    EXPECT_GT(ticks, paused);
}

TEST(ThreadedTimerTest, DisablingDuringATickStopsFurtherTicks) {
    TThreadedTimer timer;
    int ticks = 0;
    timer.setInterval(1);
    timer.setOnTimer([&](QObject*) {
        ++ticks;
        timer.setEnabled(false);
        QThread::msleep(20);  // the worker waits for the handler meanwhile
    });
    spin(2000, [&] { return ticks >= 1; });
    spin(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Enabled());
}

TEST(ThreadedTimerTest, DerivedTimersStartDisabledAndTickThroughTheirOwnMethod) {
    CountingTimer timer(true);
    EXPECT_FALSE(timer.Enabled());
    timer.setInterval(5);
    spin(60);
    EXPECT_EQ(timer.ticks, 0);
    timer.setEnabled(true);
    spin(2000, [&] { return timer.ticks >= 2; });
    EXPECT_GE(timer.ticks, 2);

    // Without its own handler nothing is called until OnTimer is set.
    CountingTimer silent(false);
    silent.setInterval(5);
    silent.setEnabled(true);
    spin(60);
    EXPECT_EQ(silent.ticks, 0);
    EXPECT_FALSE(silent.isRunning());
}

TEST(ThreadedTimerTest, DestroyingAPausedOrRunningTimerDeliversNothingMore) {
    int ticks = 0;
    {
        TThreadedTimer timer;
        timer.setInterval(5);
        timer.setOnTimer([&](QObject*) { ++ticks; });
        timer.setEnabled(false);
    }
    spin(60);
    EXPECT_EQ(ticks, 0);

    // A tick may be on its way when the timer goes: it is never handled.
    {
        TThreadedTimer timer;
        timer.setInterval(1);
        timer.setOnTimer([&](QObject*) { ++ticks; });
        QThread::msleep(20);  // ticks are handed over but not yet handled
    }
    spin(60);
    EXPECT_EQ(ticks, 0);

    // A handler may destroy its own timer.
    auto* owned = new TThreadedTimer;
    owned->setInterval(2);
    owned->setOnTimer([&](QObject* sender) {
        ++ticks;
        delete static_cast<TThreadedTimer*>(sender);
    });
    spin(2000, [&] { return ticks >= 1; });
    spin(30);
    EXPECT_EQ(ticks, 1);
}

TEST(ThreadedTimerTest, AHandlerErrorIsReportedAndTheTicksGoOn) {
    MessageBoxRecorder boxes;
    TThreadedTimer timer;
    int ticks = 0;
    timer.setInterval(10);
    timer.setOnTimer([&](QObject*) {
        ++ticks;
        if (ticks == 1) throw KestaError(QStringLiteral("Сбой обработчика"));
    });
    spin(3000, [&] { return ticks >= 3; });
    EXPECT_GE(ticks, 3) << "the worker goes on after a handler error";
    EXPECT_TRUE(timer.isRunning());
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].text, "Сбой обработчика.");
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
}
