#pragma once

#include <QObject>
#include <QThread>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class TThreadedTimer;

// The worker of a threaded timer: waits on its stop event with the interval as time-out and
// hands every time-out to the user-interface thread, waiting until it has been handled.
class TTimerThread : public QThread {
    Q_OBJECT

public:
    TTimerThread(TThreadedTimer* timer, unsigned interval);
    ~TTimerThread() override;

    // Called from the user-interface thread.
    void setInterval(unsigned interval);
    void setPaused(bool paused);
    // Signals the stop event and waits until the thread has finished.
    void stop();

protected:
    void run() override;

private:
    // Runs on the user-interface thread when a tick arrives there.
    void deliver(quint64 tick);

    TThreadedTimer* timer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    unsigned interval_;
    bool paused_ = true;
    bool stopped_ = false;  // the stop event
    quint64 handledTick_ = 0;
    bool terminating_ = false;  // the application ended; the loop stops
    quint64 generation_ = 0;    // counts pauses, resumes and new intervals
    quint64 lastTick_ = 0;
};

// A timer whose ticks come from a worker thread, so they keep coming while the
// user-interface thread sits in a modal loop; each tick is handled on the user-interface
// thread. Pausing (disabled, interval 0 or no handler) never lets a tick through, and
// destroying the timer waits for its thread, so no tick comes after it.
class TThreadedTimer : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(unsigned Interval READ Interval WRITE setInterval)
    Q_PROPERTY(QThread::Priority ThreadPriority READ ThreadPriority WRITE setThreadPriority)

public:
    using TNotifyEvent = std::function<void(QObject* sender)>;

    explicit TThreadedTimer(QObject* owner = nullptr);
    ~TThreadedTimer() override;

    bool Enabled() const { return enabled_; }
    void setEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void setInterval(unsigned value);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void setOnTimer(TNotifyEvent handler);
    QThread::Priority ThreadPriority() const { return priority_; }
    void setThreadPriority(QThread::Priority value);

    // Whether the worker is waiting for the next tick (not paused, not finished).
    bool isRunning() const;

protected:
    // For timers that handle their own ticks: starts disabled, remembers `owner`, and with
    // `ownHandler` its ticks go to Timer().
    TThreadedTimer(QObject* owner, bool ownHandler);
    // One tick: calls OnTimer when one is set.
    virtual void Timer();
    QObject* owningComponent() const { return owningComponent_; }

private:
    friend class TTimerThread;
    void start();
    void Reconsider();
    // The tick as the worker hands it over; answers false once the application is ending.
    bool tick();

    bool enabled_ = false;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    QThread::Priority priority_ = QThread::NormalPriority;
    std::unique_ptr<TTimerThread> thread_;
    bool ownHandler_ = false;  // OnTimer leads to the overridden Timer()
    QObject* owningComponent_ = nullptr;
};
