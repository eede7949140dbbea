// Window animations: the frames of showing a window, where a minimised window goes, the
// steps of minimising and restoring, and the animations run on a window (the threaded
// timer's steps driven by hand).

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "flat_skin.h"
#include "platform/form.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWindowAnimation.h"
#include "skin_sheet.h"

namespace {

TEST(WindowAnimationTest, ShowingGrowsFromThreeQuartersAndFadesIn) {
    EXPECT_EQ(ShowFrameCount(0), 0);
    EXPECT_EQ(ShowFrameCount(11), 0);
    EXPECT_EQ(ShowFrameCount(120), 10);
    const QSize size(400, 200);
    const TsAnimationFrame first = ShowFrame(0, 10, size, atAero);
    EXPECT_EQ(first.Opacity, 0);
    EXPECT_EQ(first.Rect, QRectF(50, 25, 300, 150)) << "inset an eighth on every side";
    const TsAnimationFrame half = ShowFrame(5, 10, size, atAero);
    EXPECT_EQ(half.Opacity, 127);
    EXPECT_EQ(half.Rect, QRectF(25, 12.5, 350, 175));
    const TsAnimationFrame last = ShowFrame(10, 10, size, atAero);
    EXPECT_EQ(last.Opacity, 255);
    EXPECT_EQ(last.Rect, QRectF(0, 0, 400, 200));
    EXPECT_EQ(ShowFrame(3, 10, size, atFading).Rect, QRectF(0, 0, 400, 200))
        << "fading keeps the size";
    EXPECT_EQ(ShowFrame(10, 10, size, atAero, 200).Opacity, 200) << "up to the window's own";
    EXPECT_EQ(ShowFrame(0, 0, size, atAero).Opacity, 255) << "no frames: the window itself";
}

TEST(WindowAnimationTest, MinimisingGoesToTheDesktopsPanel) {
    EXPECT_EQ(MinimizeSteps(200), 13);
    EXPECT_EQ(MinimizeSteps(0), 1);
    const QRect screen(0, 0, 1366, 768);
    const QRect window(100, 100, 400, 300);  // centre (299, 249)
    EXPECT_EQ(MinimizeTarget(screen, QRect(0, 0, 1366, 728), window), QPoint(299, 728));
    EXPECT_EQ(MinimizeTarget(screen, QRect(0, 30, 1366, 738), window), QPoint(299, 29));
    EXPECT_EQ(MinimizeTarget(screen, QRect(48, 0, 1318, 768), window), QPoint(47, 249));
    EXPECT_EQ(MinimizeTarget(screen, QRect(0, 0, 1318, 768), window), QPoint(1318, 249));
    EXPECT_EQ(MinimizeTarget(screen, screen, window), QPoint(299, 767)) << "no panel";

    const QPoint target(299, 728);
    const TsAnimationFrame first = MinimizeFrame(1, 13, window, target);
    EXPECT_EQ(first.Opacity, 255);
    EXPECT_LT(first.Rect.width(), 400);
    const TsAnimationFrame last = MinimizeFrame(13, 13, window, target);
    EXPECT_EQ(last.Opacity, 0);
    EXPECT_EQ(last.Rect.size(), QSizeF(0, 0));
    EXPECT_EQ(last.Rect.center(), QPointF(target));
    for (int step = 2; step <= 13; ++step)
        EXPECT_LT(MinimizeFrame(step, 13, window, target).Opacity,
                  MinimizeFrame(step - 1, 13, window, target).Opacity);
}

class WindowAnimationOnScreenTest : public ::testing::Test {
protected:
    WindowAnimationOnScreenTest() {
        flat::writeSkin(folder.path(),
                        QStringLiteral("[FORM]\nSTATES=2\nCOLOR=0x203040\nHOTCOLOR=0x304050\n"));
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        form.resize(300, 200);
        provider = new TsSkinProvider(&form);
    }
    QTemporaryDir folder;
    TsSkinManager manager;
    TForm form;
    TsSkinProvider* provider = nullptr;
};

TEST_F(WindowAnimationOnScreenTest, ShowingRunsItsFramesAfterTheWindowIsOnTheScreen) {
    EXPECT_EQ(manager.AnimEffects.FormShow.Time, 0);
    EXPECT_EQ(TsShowAnimation::start(&form, manager.AnimEffects.FormShow), nullptr)
        << "a time of 0 shows the window in one frame, with nothing to run";

    // With frames, showing the window returns at once: the frames follow from the event loop,
    // after the window is on the screen, and the window takes the overlay's place at the end.
    manager.AnimEffects.FormShow.Time = 60;
    QElapsedTimer shown;
    shown.start();
    form.show();
    EXPECT_LT(shown.elapsed(), 50) << "showing is not held up by the frames";
    auto* animation = form.findChild<TsShowAnimation*>();
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->frames(), 5);
    QSignalSpy finished(animation, &TsShowAnimation::finished);
    const TsAnimationOverlay* overlay = animation->overlay();
    EXPECT_TRUE(overlay->isVisible()) << "the overlay covers the window from the start";
    EXPECT_EQ(overlay->framesShown(), 1) << "frame 0 only, so far";
    ASSERT_TRUE(finished.wait(2000));
    EXPECT_EQ(finished.first().first().toInt(), 6) << "frames 0 to 5";
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.findChild<TsShowAnimation*>() == nullptr ||
                QTest::qWaitFor([this] { return !form.findChild<TsShowAnimation*>(); }))
        << "the animation goes when done";
}

TEST_F(WindowAnimationOnScreenTest, MinimisingAndRestoringTakeThirteenSteps) {
    form.show();
    QApplication::processEvents();
    TsMinimizeAnimation minimize(&form, manager.AnimEffects.Minimizing, false);
    minimize.start();
    EXPECT_FALSE(form.isVisible()) << "the picture moves, the window is gone";
    EXPECT_EQ(minimize.steps(), 13);
    while (minimize.isRunning())
        minimize.step();
    EXPECT_EQ(minimize.stepsDone(), 13);
    EXPECT_EQ(minimize.overlay()->framesShown(), 13);
    EXPECT_FALSE(minimize.overlay()->isVisible());
    EXPECT_TRUE(form.windowState() & Qt::WindowMinimized);

    // Restoring shows the window only after its last frame: never before it.
    TsMinimizeAnimation restore(&form, manager.AnimEffects.Minimizing, true, minimize.picture());
    int shownDuringFrames = 0;
    restore.start();
    while (restore.isRunning()) {
        if (form.isVisible() && !(form.windowState() & Qt::WindowMinimized)) ++shownDuringFrames;
        restore.step();
    }
    EXPECT_EQ(shownDuringFrames, 0);
    EXPECT_EQ(restore.overlay()->framesShown(), 13);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.windowState() & Qt::WindowMinimized);
}

// Counts the window's show and state-change events.
struct ShowWatch : QObject {
    int seen = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange || event->type() == QEvent::Show) ++seen;
        return false;
    }
};

TEST_F(WindowAnimationOnScreenTest, TheWindowsOwnRestoreAnimatesBeforeTheWindowShows) {
    // The window's own restore (the title button, the system menu) keeps the window off the
    // screen while its picture grows out of the panel: it is shown once, at the end.
    form.show();
    QApplication::processEvents();
    provider->minimizeWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return bool(form.windowState() & Qt::WindowMinimized); }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return form.findChildren<TsMinimizeAnimation*>().isEmpty(); }));

    ShowWatch watch;
    form.installEventFilter(&watch);
    provider->restoreWindow();
    const QList<TsMinimizeAnimation*> running = form.findChildren<TsMinimizeAnimation*>();
    ASSERT_EQ(running.size(), 1);
    QPointer<TsMinimizeAnimation> restoring = running.first();
    EXPECT_TRUE(restoring->restoring());
    EXPECT_FALSE(restoring->picture().isNull()) << "the look kept from minimising";
    provider->restoreWindow();
    EXPECT_EQ(form.findChildren<TsMinimizeAnimation*>().size(), 1) << "one animation at a time";
    bool shownEarly = false;
    while (restoring && restoring->isRunning()) {
        if (watch.seen > 0) shownEarly = true;
        QTest::qWait(5);
    }
    EXPECT_FALSE(shownEarly) << "the window did not appear before its animation ended";
    EXPECT_TRUE(QTest::qWaitFor([this] { return !(form.windowState() & Qt::WindowMinimized); }));
    EXPECT_GT(watch.seen, 0);
    form.removeEventFilter(&watch);
}

TEST_F(WindowAnimationOnScreenTest, ARestoreByTheDesktopIsCoveredBeforeTheWindowPaints) {
    // The desktop maps the minimised window itself (its window list): the picture grows out of
    // the panel over the window, which is not hidden or shown again.
    form.show();
    QApplication::processEvents();
    provider->minimizeWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return bool(form.windowState() & Qt::WindowMinimized); }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return form.findChildren<TsMinimizeAnimation*>().isEmpty(); }));

    form.showNormal();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form.findChildren<TsMinimizeAnimation*>().isEmpty(); }, 1000));
    QPointer<TsMinimizeAnimation> restoring = form.findChildren<TsMinimizeAnimation*>().first();
    EXPECT_TRUE(restoring->restoring());
    EXPECT_TRUE(restoring->overlay() && restoring->overlay()->isVisible())
        << "the overlay is up from the first expose";
    ShowWatch watch;
    form.installEventFilter(&watch);
    while (restoring && restoring->isRunning()) {
        EXPECT_TRUE(form.isVisible());
        QTest::qWait(5);
    }
    EXPECT_EQ(watch.seen, 0) << "the window is left as the desktop showed it";
    EXPECT_FALSE(form.windowState() & Qt::WindowMinimized);
    form.removeEventFilter(&watch);

    // A second restore of a window that is not minimised starts nothing.
    form.showNormal();
    QApplication::processEvents();
    EXPECT_TRUE(form.findChildren<TsMinimizeAnimation*>().isEmpty() || !restoring);
}

}  // namespace
