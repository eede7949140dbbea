// Window animations: the frames of showing a window, where a minimised window goes, the
// steps of minimising and restoring, and the animations run on a window (the threaded
// timer's steps driven by hand).

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

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

TEST_F(WindowAnimationOnScreenTest, ATimeOfZeroShowsTheWindowInOneFrame) {
    EXPECT_EQ(manager.AnimEffects.FormShow.Time, 0);
    EXPECT_EQ(TsShowAnimation::run(&form, manager.AnimEffects.FormShow), 0);
    TsAnimEffect slow{true, 60, atAero};
    EXPECT_EQ(TsShowAnimation::run(&form, slow), 6) << "frames 0 to 5";
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

    TsMinimizeAnimation restore(&form, manager.AnimEffects.Minimizing, true);
    restore.start();
    while (restore.isRunning())
        restore.step();
    EXPECT_EQ(restore.overlay()->framesShown(), 13);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.windowState() & Qt::WindowMinimized);
}

}  // namespace
