#include "skin/core/sThreadedTimer.h"

#include <QCoreApplication>
#include <QPointer>
#include <chrono>

#include "platform/application.h"

namespace {

bool applicationTerminating() {
    return QCoreApplication::closingDown() || (Application && Application->terminated());
}

}  // namespace

TTimerThread::TTimerThread(TThreadedTimer* timer, unsigned interval)
    : timer_(timer), interval_(interval) {}

TTimerThread::~TTimerThread() {
    stop();
}

void TTimerThread::setInterval(unsigned interval) {
    {
        std::lock_guard lock(mutex_);
        interval_ = interval;
        ++generation_;
    }
    changed_.notify_all();
}

void TTimerThread::setPaused(bool paused) {
    {
        std::lock_guard lock(mutex_);
        if (paused_ == paused) return;
        paused_ = paused;
        ++generation_;
    }
    changed_.notify_all();
}

void TTimerThread::stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
    wait();
}

void TTimerThread::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        // Paused: wait for work or the stop event, never letting a tick through.
        changed_.wait(lock, [this] { return stopped_ || !paused_; });
        if (stopped_ || terminating_) return;
        // Wait on the stop event with the interval as time-out; a pause or a new interval
        // starts the wait afresh.
        const quint64 generation = generation_;
        const bool woken = changed_.wait_for(lock, std::chrono::milliseconds(interval_),
                                             [&] { return stopped_ || generation_ != generation; });
        if (stopped_) return;
        if (woken) continue;
        // Timed out: the user-interface thread handles the tick while this thread waits.
        const quint64 tick = ++lastTick_;
        QMetaObject::invokeMethod(
            timer_, [this, tick] { deliver(tick); }, Qt::QueuedConnection);
        changed_.wait(lock, [&] { return stopped_ || handledTick_ == tick; });
        if (stopped_ || terminating_) return;
    }
}

void TTimerThread::deliver(quint64 tick) {
    QPointer<TThreadedTimer> alive(timer_);
    // The tick counts as handled however the handler ends: an error it raises goes on to
    // the general error report, and the worker waits for the next interval as usual.
    bool goOn = true;
    const auto handled = [&] {
        // The handler may have destroyed the timer, and this thread object with it.
        if (!alive) return;
        {
            std::lock_guard lock(mutex_);
            handledTick_ = tick;
            if (!goOn) terminating_ = true;
        }
        changed_.notify_all();
    };
    try {
        goOn = timer_->tick();
    } catch (...) {
        handled();
        throw;
    }
    handled();
}

TThreadedTimer::TThreadedTimer(QObject* owner) : QObject(owner) {
    if (applicationTerminating()) return;
    enabled_ = true;
    interval_ = 1000;
    start();
}

TThreadedTimer::TThreadedTimer(QObject* owner, bool ownHandler) : TThreadedTimer(owner) {
    enabled_ = false;
    owningComponent_ = owner;
    if (ownHandler) {
        onTimer_ = [this](QObject*) { Timer(); };
        ownHandler_ = true;
    }
    Reconsider();
}

TThreadedTimer::~TThreadedTimer() {
    thread_.reset();  // stops and waits for the worker
}

void TThreadedTimer::start() {
    thread_ = std::make_unique<TTimerThread>(this, interval_);
    thread_->start(priority_);
    Reconsider();
}

void TThreadedTimer::setEnabled(bool value) {
    enabled_ = value;
    Reconsider();
}

void TThreadedTimer::setInterval(unsigned value) {
    interval_ = value;
    if (thread_) thread_->setInterval(value);
    Reconsider();
}

void TThreadedTimer::setOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    ownHandler_ = false;
    Reconsider();
}

void TThreadedTimer::setThreadPriority(QThread::Priority value) {
    priority_ = value;
    if (thread_ && thread_->isRunning()) thread_->setPriority(value);
    Reconsider();
}

bool TThreadedTimer::isRunning() const {
    return thread_ && thread_->isRunning() && enabled_ && interval_ != 0 && onTimer_;
}

void TThreadedTimer::Reconsider() {
    if (thread_) thread_->setPaused(!(interval_ != 0 && enabled_ && onTimer_));
}

void TThreadedTimer::Timer() {
    // A timer handling its own ticks overrides this; its OnTimer leads here.
    if (onTimer_ && !ownHandler_) onTimer_(this);
}

bool TThreadedTimer::tick() {
    if (applicationTerminating()) return false;
    // A tick that was on its way when the timer paused is dropped. The worker hands over the
    // next tick only after this one is handled, so ticks never overlap.
    if (!enabled_ || interval_ == 0 || !onTimer_) return true;
    // A copy: the handler may destroy the timer, and its OnTimer with it.
    const TNotifyEvent handler = onTimer_;
    handler(this);
    return true;
}
