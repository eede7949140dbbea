#include "skin/forms/sFade.h"

#include <QElapsedTimer>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QWidget>
#include <algorithm>

#include "platform/skin_message.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sControlCache.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

// Every fade timer alive in the program.
QList<TsFadeTimer*>& liveFades() {
    static QList<TsFadeTimer*> fades;
    return fades;
}
bool sessionClosing = false;
// How long the end of the session waits for running fades at most.
constexpr int kLongestFadeWaitMs = 2000;

// The skin manager's button event of a control's event.
unsigned managerEvent(unsigned event) {
    switch (event) {
        case aeMouseEnter:
            return TsAnimEffects::beMouseEnter;
        case aeMouseLeave:
            return TsAnimEffects::beMouseLeave;
        case aeMouseDown:
            return TsAnimEffects::beMouseDown;
        case aeMouseUp:
            return TsAnimEffects::beMouseUp;
        default:
            return 0;
    }
}

}  // namespace

bool FadeApplies(const TsCommonData& data, unsigned animatEvents, unsigned event) {
    const TsSkinManager* manager = data.SkinManager();
    if (!manager || !manager->IsValidSection(data.SkinIndex)) return false;
    const bool own = (animatEvents & event) != 0;
    const bool global =
        (animatEvents & aeGlobalDef) && (manager->AnimEffects.ButtonEvents & managerEvent(event));
    if (!own && !global) return false;
    return manager->sections()[data.SkinIndex].FadingEnabled;
}

int FadeSteps(const TsCommonData& data, bool pressOrRelease) {
    const TsSkinManager* manager = data.SkinManager();
    if (!manager || !manager->IsValidSection(data.SkinIndex)) return 0;
    const int steps = manager->sections()[data.SkinIndex].FadingIterations;
    return pressOrRelease ? steps / 2 : steps;
}

int FadeOpacity(int step, int steps) {
    if (steps <= 0) return 0;
    return std::clamp(255 - step * 256 / steps, 0, 255);
}

TsFadeTimer::TsFadeTimer(QWidget* control, TsControlCache& cache)
    : QObject(control), control_(control), cache_(cache) {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &TsFadeTimer::tick);
    liveFades().append(this);
    // When the desktop session ends, the running fades finish before the program answers.
    static bool sessionWatched = false;
    if (!sessionWatched && qApp) {
        sessionWatched = true;
        QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                         [](QSessionManager&) { waitForFades(); });
    }
}

TsFadeTimer::~TsFadeTimer() {
    liveFades().removeAll(this);
}

int TsFadeTimer::liveCount() {
    int running = 0;
    for (const TsFadeTimer* fade : liveFades())
        running += fade->isRunning() ? 1 : 0;
    return running;
}

bool TsFadeTimer::closing() {
    return sessionClosing;
}

void TsFadeTimer::setClosing(bool closing) {
    sessionClosing = closing;
}

void TsFadeTimer::waitForFades() {
    // The running fades go on to their end (a fraction of a second) before the program
    // answers the desktop; one that somehow outlasts the wait is ended.
    QElapsedTimer waited;
    waited.start();
    QTimer wake;  // the wait below never outlasts the limit, whatever else happens
    wake.start(kLongestFadeWaitMs);
    while (liveCount() > 0 && waited.elapsed() < kLongestFadeWaitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const QList<TsFadeTimer*> fades = liveFades();
    for (TsFadeTimer* fade : fades)
        fade->stop();
    // No fade starts while the desktop decides; when the log-off is cancelled the program
    // goes on, and its fades with it.
    setClosing(true);
    QTimer::singleShot(0, qApp, [] { setClosing(false); });
}

const Bitmap32& TsFadeTimer::shown() const {
    return running_ && !blend_.isNull() ? blend_ : cache_.cache();
}

void TsFadeTimer::start(Bitmap32 before, int steps) {
    if (steps <= 0 || before.isNull()) {
        stop();
        return;
    }
    before_ = std::move(before);
    steps_ = steps;
    step_ = 1;
    running_ = true;
    tick();
    if (running_) timer_.start();
}

void TsFadeTimer::tick() {
    if (!running_ || inStep_ || sessionClosing) return;
    if (!control_ || !control_->isEnabled() || !cache_.skinned()) {
        stop();
        return;
    }
    const Bitmap32& after = cache_.cache();
    if (step_ < 1 || step_ > steps_) step_ = 1;
    if (after.isNull() || after.width() != before_.width() || after.height() != before_.height()) {
        stop();
        return;
    }
    inStep_ = true;
    // The old picture over the new one, as opaque as the step leaves it.
    blend_ = after;
    BlendBitmaps(blend_, before_, 255 - FadeOpacity(step_, steps_), QPoint(0, 0), before_.rect());
    TsSkinMessage show(TsSkinMessage::AC_FADEIMAGE, 0, quintptr(&blend_));
    TsSkinMessage::send(control_, show);
    inStep_ = false;
    if (++step_ > steps_) finish();
}

void TsFadeTimer::finish() {
    running_ = false;
    timer_.stop();
    blend_ = Bitmap32();
    before_ = Bitmap32();
    if (control_) TsSkinMessage::ask(control_, TsSkinMessage::AC_FADEEND);
    Q_EMIT finished();
}

void TsFadeTimer::stop() {
    if (!running_) return;
    finish();
}

TsControlFade::~TsControlFade() {
    // The timer is a child of the control and goes with it; the cache must not keep its
    // blend.
    cache_.Overlay = nullptr;
}

void TsControlFade::stop() {
    if (timer_) timer_->stop();
    cache_.Overlay = nullptr;
}

bool TsControlFade::followCommand(const TsSkinMessage& message) {
    switch (message.Command) {
        case TsSkinMessage::AC_SETNEWSKIN:
        case TsSkinMessage::AC_REMOVESKIN:
        case TsSkinMessage::AC_REFRESH:
            stop();
            return false;
        case TsSkinMessage::AC_STOPFADING:
            stop();
            return true;
        default:
            return false;
    }
}

void TsControlFade::transition(unsigned event, bool pressOrRelease, unsigned animatEvents) {
    if (!cache_.skinned()) return;
    const int steps = FadeSteps(data_, pressOrRelease);
    const bool fades = control_->isVisible() && FadeApplies(data_, animatEvents, event) &&
                       steps > 0 && !cache_.cache().isNull() && !TsFadeTimer::closing();
    if (!fades) {
        stop();
        cache_.invalidate();
        return;
    }
    // What is shown now, a running fade's blend included, fades into the new look.
    Bitmap32 before = timer_ && timer_->isRunning() ? timer_->shown() : cache_.cache();
    cache_.invalidate(false);
    cache_.prepare();
    if (!timer_) timer_ = new TsFadeTimer(control_, cache_);
    timer_->start(std::move(before), steps);
}
