#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "imaging/bitmap32.h"

class QWidget;
class TsCommonData;
class TsControlCache;
class TsSkinMessage;

// Whether a change of state caused by `event` (aeMouseEnter ... aeMouseUp) fades: the event
// is in the control's own set, or the set leaves it to the skin manager's button events;
// then the control's section must enable fading.
bool FadeApplies(const TsCommonData& data, unsigned animatEvents, unsigned event);
// The steps of a fade: the section's number, halved (toward zero) for a press or release.
int FadeSteps(const TsCommonData& data, bool pressOrRelease);
// The opacity of the old picture at a step of n: 255 - step * 256 / n, within 0..255.
int FadeOpacity(int step, int steps);

// A cross-fade of a control from the picture it showed before a change of state to the one
// after it: every 10 ms the old picture is laid over the new one a little more faintly, and
// the control shows the blend (it is asked to paint it itself; its cache's overlay). At the
// end the control shows its own picture again.
class TsFadeTimer : public QObject {
    Q_OBJECT

public:
    TsFadeTimer(QWidget* control, TsControlCache& cache);
    ~TsFadeTimer() override;

    // Fades from `before` to the control's cache as it is now, in `steps` steps. A fade
    // already running goes on from the blend it shows.
    void start(Bitmap32 before, int steps);
    // Ends the fade at once; the control repaints its own picture.
    void stop();
    // A skin command that ends a running fade (a new skin, its removal, a refresh, the order
    // to stop fading) stops it. Answers whether it was the order to stop, which is the
    // fade's alone and goes no further.
    bool followCommand(const TsSkinMessage& message);
    bool isRunning() const { return running_; }
    int step() const { return step_; }
    int steps() const { return steps_; }
    // The picture shown now: the blend while fading.
    const Bitmap32& shown() const;

    // One step; the timer calls it, and tests drive fades with it.
    void tick();

    // Fades running in the program, and the flag under which none steps while the desktop
    // session ends.
    static int liveCount();
    static bool closing();
    static void setClosing(bool closing);
    // While the session ends, lets the running fades finish before the program answers;
    // the flag is set for the answer only, so that fades work again if the session goes on.
    static void waitForFades();

Q_SIGNALS:
    void finished();

protected:
    // Guards a step against running again from within itself (a control that animates a
    // glyph paints during its step).
    bool inStep_ = false;

private:
    void finish();

    QPointer<QWidget> control_;
    TsControlCache& cache_;
    QTimer timer_;
    Bitmap32 before_;
    Bitmap32 blend_;
    int steps_ = 0;
    int step_ = 0;
    bool running_ = false;
};

// The fade timer of controls that animate a glyph in the same way: its own scratch picture
// and the guard against re-entering a step.
class TsAnimTimer : public TsFadeTimer {
    Q_OBJECT

public:
    using TsFadeTimer::TsFadeTimer;
};

// What a control needs to fade: its timer, made when the first fade starts, and the one
// place where a change of state either fades or repaints at once.
class TsControlFade {
public:
    TsControlFade(QWidget* control, TsControlCache& cache, TsCommonData& data)
        : control_(control), cache_(cache), data_(data) {}
    ~TsControlFade();

    // The control's state may have changed through `event` (with half the steps for a press
    // or release): fades when that applies, else repaints at once.
    void transition(unsigned event, bool pressOrRelease, unsigned animatEvents);
    void stop();
    // A skin command that ends a running fade (a new skin, its removal, a refresh, the order
    // to stop fading) stops it. Answers whether it was the order to stop, which is the
    // fade's alone and goes no further.
    bool followCommand(const TsSkinMessage& message);
    bool isRunning() const { return timer_ && timer_->isRunning(); }
    TsFadeTimer* timer() const { return timer_; }

private:
    QWidget* control_;
    TsControlCache& cache_;
    TsCommonData& data_;
    TsFadeTimer* timer_ = nullptr;
};
