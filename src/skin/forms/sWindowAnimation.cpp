#include "skin/forms/sWindowAnimation.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "skin/core/sThreadedTimer.h"

int ShowFrameCount(int time) {
    return std::max(0, time / 12);
}

TsAnimationFrame ShowFrame(int frame, int frames, QSize size, TacAnimType mode, int target) {
    TsAnimationFrame result;
    result.Rect = QRectF(QPointF(0, 0), QSizeF(size));
    result.Opacity = target;
    if (frames <= 0) return result;
    frame = std::clamp(frame, 0, frames);
    result.Opacity = target * frame / frames;
    if (mode == atAero) {
        const double dx = size.width() / 8.0 - frame * size.width() / (8.0 * frames);
        const double dy = size.height() / 8.0 - frame * size.height() / (8.0 * frames);
        result.Rect.adjust(dx, dy, -dx, -dy);
    }
    return result;
}

int MinimizeSteps(int time) {
    return std::max(1, time / 15);
}

QPoint MinimizeTarget(const QRect& screen, const QRect& available, const QRect& window) {
    const QPoint centre = window.center();
    if (available.bottom() < screen.bottom()) return QPoint(centre.x(), available.bottom() + 1);
    if (available.top() > screen.top()) return QPoint(centre.x(), available.top() - 1);
    if (available.left() > screen.left()) return QPoint(available.left() - 1, centre.y());
    if (available.right() < screen.right()) return QPoint(available.right() + 1, centre.y());
    return QPoint(centre.x(), screen.bottom());
}

TsAnimationFrame MinimizeFrame(int step, int steps, const QRect& window, QPoint target) {
    steps = std::max(1, steps);
    step = std::clamp(step, 1, steps);
    const double share = double(step) / steps;
    const QPointF from = QRectF(window).center();
    const QPointF centre = from + (QPointF(target) - from) * share;
    const double width = window.width() * (1 - share);
    const double height = window.height() * (1 - share);
    TsAnimationFrame frame;
    frame.Rect = QRectF(centre.x() - width / 2, centre.y() - height / 2, width, height);
    const double fall = 255.0 / std::max(1, steps - 1);
    frame.Opacity = std::clamp(int(std::lround(255 - fall * (step - 1))), 0, 255);
    return frame;
}

TsAnimationOverlay::TsAnimationOverlay()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("AnimationOverlay"));
}

void TsAnimationOverlay::captureBeneath(const QRect& area) {
    beneathArea_ = area;
    QScreen* screen = QGuiApplication::screenAt(area.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    beneath_ = QImage();
    if (screen) {
        const QRect local = area.translated(-screen->geometry().topLeft());
        beneath_ = screen->grabWindow(0, local.x(), local.y(), local.width(), local.height())
                       .toImage()
                       .convertToFormat(QImage::Format_RGB32);
    }
    if (beneath_.size() != area.size()) {
        // Nothing could be read of the screen: a plain ground in the desktop's colour.
        beneath_ = QImage(area.size(), QImage::Format_RGB32);
        beneath_.fill(palette().color(QPalette::Window));
    }
}

void TsAnimationOverlay::showFrame(const QImage& picture, const TsAnimationFrame& frame,
                                   const QRect& area) {
    if (area.isEmpty()) return;
    if (frame_.size() != area.size()) frame_ = QImage(area.size(), QImage::Format_RGB32);
    // What lay beneath, then the picture over it at its opacity.
    QPainter painter(&frame_);
    const QRect part = area.intersected(beneathArea_);
    if (part != area) painter.fillRect(frame_.rect(), palette().color(QPalette::Window));
    painter.drawImage(part.topLeft() - area.topLeft(), beneath_,
                      part.translated(-beneathArea_.topLeft()));
    painter.setOpacity(frame.Opacity / 255.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(frame.Rect, picture);
    painter.end();
    setGeometry(area);
    if (!isVisible()) show();
    repaint();
    ++framesShown_;
}

void TsAnimationOverlay::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, frame_);
}

TsShowAnimation* TsShowAnimation::start(QWidget* window, const TsAnimEffect& effect) {
    const int frames = effect.Active ? ShowFrameCount(effect.Time) : 0;
    // With no frames in between the window appears at once, painted whole before it shows.
    if (!window || frames == 0) return nullptr;
    return new TsShowAnimation(window, effect, frames);
}

TsShowAnimation::TsShowAnimation(QWidget* window, const TsAnimEffect& effect, int frames)
    : QObject(window), window_(window), effect_(effect), frames_(frames) {
    // The picture and what lies beneath are taken while the window is not yet on the screen;
    // the overlay shows what lies beneath until the frames begin.
    picture_ = window->grab().toImage();
    area_ = window->frameGeometry();
    target_ = int(std::lround(window->windowOpacity() * 255));
    overlay_ = std::make_unique<TsAnimationOverlay>();
    overlay_->captureBeneath(area_);
    overlay_->showFrame(picture_, ShowFrame(0, frames_, area_.size(), effect_.Mode, target_),
                        area_);
    if (QWindow* handle = window->windowHandle()) handle->installEventFilter(this);
    timer_ = new QTimer(this);
    timer_->setInterval(12);
    connect(timer_, &QTimer::timeout, this, &TsShowAnimation::nextFrame);
    timer_->start();
}

bool TsShowAnimation::eventFilter(QObject* watched, QEvent* event) {
    // The window has just been mapped, above everything: the overlay goes back over it before
    // the window paints.
    if (event->type() == QEvent::Expose && overlay_ && overlay_->isVisible()) overlay_->raise();
    return QObject::eventFilter(watched, event);
}

void TsShowAnimation::nextFrame() {
    if (!window_) {
        deleteLater();
        return;
    }
    ++frame_;
    if (frame_ == 1) mappedFirst_ = window_->isVisible();
    overlay_->raise();
    overlay_->showFrame(picture_, ShowFrame(frame_, frames_, area_.size(), effect_.Mode, target_),
                        area_);
    if (frame_ < frames_) return;
    timer_->stop();
    if (QWindow* handle = window_->windowHandle()) handle->removeEventFilter(this);
    // The window takes the overlay's place, painted, before the overlay goes.
    window_->raise();
    window_->repaint();
    const int shown = overlay_->framesShown();
    overlay_->hide();
    Q_EMIT finished(shown);
    deleteLater();
}

TsMinimizeAnimation::TsMinimizeAnimation(QWidget* window, const TsAnimEffect& effect,
                                         bool restoring, const QImage& picture)
    : QObject(window),
      window_(window),
      restoring_(restoring),
      steps_(MinimizeSteps(effect.Time)),
      picture_(picture) {}

TsMinimizeAnimation::~TsMinimizeAnimation() = default;

void TsMinimizeAnimation::start() {
    if (!window_ || running_) return;
    running_ = true;
    done_ = 0;
    overlay_.reset();
    if (picture_.isNull()) picture_ = window_->grab().toImage();
    windowRect_ = window_->frameGeometry();
    QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    target_ = MinimizeTarget(screen->geometry(), screen->availableGeometry(), windowRect_);
    if (restoring_) {
        // The minimised window is not on the screen; it stays off until the last step. One
        // the desktop has mapped already has not painted yet: the screen still shows what
        // lies beneath, and the first frame covers it before it paints.
        beginFrames();
        if (shownByDesktop_) step();
        return;
    }
    // The window leaves the screen while its picture moves. A window manager takes it off in
    // its own time: what lies beneath is read a moment later, from the event loop.
    window_->hide();
    QTimer::singleShot(30, this, [this] {
        if (running_ && !overlay_) beginFrames();
    });
}

void TsMinimizeAnimation::beginFrames() {
    const QRect area = windowRect_.united(QRect(target_, QSize(1, 1)));
    // Without a compositor the screen keeps the hidden window's pixels until the windows
    // beneath paint again: the program's own are painted now, before the screen is read.
    if (!restoring_)
        for (QWidget* other : QApplication::topLevelWidgets())
            if (other != window_ && other->isVisible() && !other->isMinimized() &&
                other->frameGeometry().intersects(area))
                other->repaint();
    overlay_ = std::make_unique<TsAnimationOverlay>();
    overlay_->captureBeneath(area);
    timer_ = std::make_unique<TThreadedTimer>(nullptr);
    timer_->setInterval(15);
    timer_->setOnTimer([this](QObject*) { step(); });
}

void TsMinimizeAnimation::step() {
    if (!running_) return;
    if (!overlay_) beginFrames();
    ++done_;
    const int frame = restoring_ ? steps_ + 1 - done_ : done_;
    TsAnimationFrame shown = MinimizeFrame(frame, steps_, windowRect_, target_);
    // The picture in a frame as large as the window, centred where the picture now is. A
    // window the desktop has put back is on the screen already: the frame covers all of it
    // and the way to the panel, so that nothing of the window shows before the last step.
    QRect area = windowRect_;
    area.moveCenter(shown.Rect.center().toPoint());
    if (shownByDesktop_) area = windowRect_.united(QRect(target_, QSize(1, 1)));
    shown.Rect.translate(-area.topLeft());
    overlay_->showFrame(picture_, shown, area);
    if (done_ >= steps_) finish();
}

void TsMinimizeAnimation::finish() {
    running_ = false;
    if (timer_) timer_->setEnabled(false);
    if (window_) {
        if (restoring_) {
            if (!shownByDesktop_) window_->showNormal();
            window_->raise();
            window_->activateWindow();
            // The window is painted where the last frame stands before the overlay goes.
            window_->repaint();
        } else {
            window_->showMinimized();
        }
    }
    if (overlay_) overlay_->hide();
    Q_EMIT finished();
}
