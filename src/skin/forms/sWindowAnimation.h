#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "skin/core/sSkinManager.h"

class TThreadedTimer;

// One frame of a window animation: where the window's picture is drawn and how opaque.
struct TsAnimationFrame {
    QRectF Rect;
    int Opacity = 255;  // 0..255
};

// Frames of showing a window of `size` over `time` milliseconds: time / 12 frames after the
// first (none with a time under 12). The picture's opacity grows to `target`; with atAero it
// also grows from three quarters of the window's size, inset by an eighth on every side.
int ShowFrameCount(int time);
TsAnimationFrame ShowFrame(int frame, int frames, QSize size, TacAnimType mode, int target = 255);

// Steps of minimising or restoring over `time` milliseconds, one each 15 ms: 13 for 200.
int MinimizeSteps(int time);
// Where a window goes when minimised: a point on the inner edge of the desktop's panel,
// found where the screen's available area falls short of the screen (a panel at the bottom,
// top, left or right), and on the screen's bottom edge when there is no panel.
QPoint MinimizeTarget(const QRect& screen, const QRect& available, const QRect& window);
// The frame at a step (1..steps) of minimising the window toward the target point: the
// picture's rectangle shrinks toward the target and its opacity falls to 0 at the last step.
// Restoring runs the same frames backwards.
TsAnimationFrame MinimizeFrame(int step, int steps, const QRect& window, QPoint target);

// The window that shows the frames: borderless, above everything, never taking the focus
// or the mouse. It never relies on the desktop mixing translucent windows (an X server
// without a compositor shows them black): each frame is drawn already blended over a
// picture of what lies beneath, taken before the animation.
class TsAnimationOverlay : public QWidget {
public:
    TsAnimationOverlay();

    // Takes the picture of the screen area the frames may reach.
    void captureBeneath(const QRect& area);
    // Shows the window's picture in a frame: the overlay covers the area, the picture is
    // drawn into the frame's rectangle at its opacity over what lay beneath.
    void showFrame(const QImage& picture, const TsAnimationFrame& frame, const QRect& area);
    int framesShown() const { return framesShown_; }
    const QImage& lastFrame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage beneath_;
    QRect beneathArea_;
    QImage frame_;
    int framesShown_ = 0;
};

// Shows a window through its picture. With no frames (a time under 12 ms) nothing is done:
// the window appears at once, painted whole. Otherwise the picture is taken and the overlay
// put up before the window is mapped; the window is mapped beneath the overlay (the overlay
// is raised over it as soon as the window is exposed), the frames of ShowFrame follow on a
// 12 ms timer without holding up the event loop, and at the end the window takes the
// overlay's place and the animation deletes itself.
class TsShowAnimation : public QObject {
    Q_OBJECT

public:
    // Called while the window is being shown (before it is mapped); answers the animation
    // started, or none when there are no frames to run.
    static TsShowAnimation* start(QWidget* window, const TsAnimEffect& effect);

    int frames() const { return frames_; }
    const TsAnimationOverlay* overlay() const { return overlay_.get(); }
    // Whether the window was on the screen when the first frame in between was drawn.
    bool windowMappedFirst() const { return mappedFirst_; }

Q_SIGNALS:
    // The window has taken the overlay's place; `framesShown` frames were drawn.
    void finished(int framesShown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TsShowAnimation(QWidget* window, const TsAnimEffect& effect, int frames);
    void nextFrame();

    QPointer<QWidget> window_;
    TsAnimEffect effect_;
    int frames_;
    int frame_ = 0;
    int target_ = 255;
    bool mappedFirst_ = false;
    QRect area_;
    QImage picture_;
    std::unique_ptr<TsAnimationOverlay> overlay_;
    QTimer* timer_ = nullptr;
};

// Minimising and restoring a window through its picture, one step each 15 ms on a threaded
// timer, the steps carried out on the user-interface thread. Minimising takes the window's
// picture, hides the window and lets the frames run once the desktop has taken it off the
// screen; restoring leaves the minimised window alone while its picture grows out of the
// panel and shows it only at the end, so the window never appears before its animation.
class TsMinimizeAnimation : public QObject {
    Q_OBJECT

public:
    // `picture` is the window's look to restore (the one taken when it was minimised); an
    // empty one is taken from the window.
    TsMinimizeAnimation(QWidget* window, const TsAnimEffect& effect, bool restoring,
                        const QImage& picture = QImage());
    ~TsMinimizeAnimation() override;

    // Restoring a window the desktop has just put back on the screen, before it painted: the
    // overlay goes up over it at once and the window is left where it is.
    void setShownByDesktop(bool shown) { shownByDesktop_ = shown; }

    // Starts the steps; the window is minimised (or shown) at the end.
    void start();
    // One step; the timer calls it, tests drive it.
    void step();
    bool isRunning() const { return running_; }
    bool restoring() const { return restoring_; }
    int steps() const { return steps_; }
    int stepsDone() const { return done_; }
    const TsAnimationOverlay* overlay() const { return overlay_.get(); }
    const QImage& picture() const { return picture_; }

Q_SIGNALS:
    void finished();

private:
    // Reads what lies beneath and starts the timer: at once when restoring, a moment after
    // the window was hidden when minimising.
    void beginFrames();
    void finish();

    QPointer<QWidget> window_;
    bool restoring_;
    bool shownByDesktop_ = false;
    int steps_;
    int done_ = 0;
    bool running_ = false;
    QRect windowRect_;
    QPoint target_;
    QImage picture_;
    std::unique_ptr<TsAnimationOverlay> overlay_;
    std::unique_ptr<TThreadedTimer> timer_;
};
