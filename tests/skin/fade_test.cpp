// Control fades, against the flat skin: when a change of state fades, in how many steps, the
// blend each step shows, the quick click, and what stops a fade. The timers are driven by
// hand, step by step.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTemporaryDir>

#include "flat_skin.h"
#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sFade.h"
#include "skin_sheet.h"

namespace {

// A button section that fades in ten steps, with BUTTON's rings.
QString fadingSection() {
    return QStringLiteral(
               "[FADING]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=0x000000\n"
               "FADINGENABLED=1\nFADINGITERATIONS=10\n"
               "BORDERSMASK=^0000,0000,0018,0006,0002,0002,0002,0002,3,0,0,0\n")
        .arg(flat::skinColour(flat::Normal), flat::skinColour(flat::Hot));
}

// One channel as a fade step shows it: the old picture over the new one at an opacity.
QRgb faded(QRgb before, QRgb after, int opacity) {
    const int a = 255 - opacity;
    const auto mix = [a](int n, int o) { return (n * a + o * (255 - a) + 127) >> 8; };
    return qRgb(mix(qRed(after), qRed(before)), mix(qGreen(after), qGreen(before)),
                mix(qBlue(after), qBlue(before)));
}

class FadeTest : public ::testing::Test {
protected:
    FadeTest() {
        flat::writeSkin(folder.path(), fadingSection());
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        setBackgroundColour(&form, QColor::fromRgb(flat::Parent));
        form.resize(300, 120);
        button = new TsButton(&form);
        button->setGeometry(10, 10, 75, 25);
        button->SkinData.setSkinSection(QStringLiteral("FADING"));
        form.show();
        picture();  // the first picture, to fade from
    }
    QImage picture() { return button->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRgb middle() { return picture().pixel(4, 4); }
    QRgb ring() { return picture().pixel(0, 12); }
    void enter() {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(button, &event);
    }
    void mouse(QEvent::Type type) {
        QMouseEvent event(type, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
    TsFadeTimer* fade() { return button->Fade().timer(); }

    QTemporaryDir folder;
    TsSkinManager manager;
    TForm form;
    TsButton* button = nullptr;
};

TEST_F(FadeTest, TheEventAndTheSkinDecideWhetherAChangeFades) {
    EXPECT_TRUE(FadeApplies(button->SkinData, aeGlobalDef, aeMouseEnter));
    EXPECT_TRUE(FadeApplies(button->SkinData, aeMouseEnter, aeMouseEnter));
    EXPECT_FALSE(FadeApplies(button->SkinData, aeMouseLeave, aeMouseEnter));
    manager.AnimEffects.ButtonEvents = TsAnimEffects::beMouseDown;
    EXPECT_FALSE(FadeApplies(button->SkinData, aeGlobalDef, aeMouseEnter));
    EXPECT_TRUE(FadeApplies(button->SkinData, aeGlobalDef, aeMouseDown));
    EXPECT_EQ(FadeSteps(button->SkinData, false), 10);
    EXPECT_EQ(FadeSteps(button->SkinData, true), 5);
    EXPECT_EQ(FadeOpacity(1, 10), 255 - 25);
    EXPECT_EQ(FadeOpacity(10, 10), 0);
    EXPECT_EQ(FadeOpacity(1, 4), 191);

    // A section that does not fade changes its look at once.
    button->SkinData.setSkinSection(QStringLiteral("BUTTON"));
    picture();
    enter();
    EXPECT_FALSE(fade() && fade()->isRunning());
    EXPECT_EQ(middle(), flat::Hot);
}

TEST_F(FadeTest, EnteringFadesInTenStepsAndPressingInFive) {
    enter();
    ASSERT_TRUE(fade() && fade()->isRunning());
    EXPECT_EQ(middle(), faded(flat::Normal, flat::Hot, FadeOpacity(1, 10)));
    EXPECT_EQ(ring(), faded(flat::Frame[0], flat::Frame[1], FadeOpacity(1, 10)));
    int ticks = 1;  // the first step is shown as the fade starts
    while (fade()->isRunning()) {
        const int step = fade()->step();
        fade()->tick();
        ++ticks;
        if (fade()->isRunning()) {
            EXPECT_EQ(middle(), faded(flat::Normal, flat::Hot, FadeOpacity(step, 10))) << step;
        }
    }
    EXPECT_EQ(ticks, 10);
    EXPECT_EQ(middle(), flat::Hot) << "the end shows the new look itself";
    EXPECT_EQ(ring(), flat::Frame[1]);

    mouse(QEvent::MouseButtonPress);
    ASSERT_TRUE(fade()->isRunning());
    EXPECT_EQ(fade()->steps(), 5);
    ticks = 1;
    while (fade()->isRunning()) {
        fade()->tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(ring(), flat::Frame[2]);
}

TEST_F(FadeTest, AQuickClickDuringAHoverFadeShowsThePressedLook) {
    enter();
    mouse(QEvent::MouseButtonPress);
    ASSERT_TRUE(fade()->isRunning()) << "the press fade runs";
    // Released before the press has faded in: the pressed look is shown whole first, and
    // the release fades from it.
    mouse(QEvent::MouseButtonRelease);
    ASSERT_TRUE(fade()->isRunning());
    EXPECT_EQ(fade()->steps(), 5);
    EXPECT_EQ(ring(), faded(flat::Frame[2], flat::Frame[1], FadeOpacity(1, 5)));
}

TEST_F(FadeTest, DisablingFocusLossAndRemovingTheSkinStopAFade) {
    enter();
    ASSERT_TRUE(fade()->isRunning());
    button->setEnabled(false);
    EXPECT_FALSE(fade()->isRunning());
    EXPECT_EQ(button->Cache().Overlay, nullptr);

    button->setEnabled(true);
    picture();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    enter();
    ASSERT_TRUE(fade()->isRunning());
    manager.setActive(false);
    EXPECT_FALSE(fade()->isRunning());
    EXPECT_EQ(button->Cache().Overlay, nullptr);
    EXPECT_FALSE(button->Cache().skinned());
    EXPECT_TRUE(button->mask().isEmpty()) << "a plain button, no shape";
}

TEST_F(FadeTest, SpaceOnAFocusedButtonStopsAFadeAndShowsThePressedLookAtOnce) {
    button->setFocus();
    enter();
    ASSERT_TRUE(fade()->isRunning()) << "the hover fade runs";
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_FALSE(fade() && fade()->isRunning());
    EXPECT_TRUE(button->isDown());
    EXPECT_EQ(ring(), flat::Frame[2]) << "the pressed look, whole";
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_FALSE(fade() && fade()->isRunning());
    EXPECT_EQ(ring(), flat::Frame[1]) << "the hot look of the focused button under the mouse";
}

TEST_F(FadeTest, SpeedButtonsFadeAsButtonsDo) {
    auto* speed = new TsSpeedButton(&form);
    speed->setGeometry(100, 10, 40, 25);
    speed->SkinData.setSkinSection(QStringLiteral("FADING"));
    speed->show();
    speed->grab();
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(speed, &event);
    ASSERT_TRUE(speed->Fade().isRunning());
    EXPECT_EQ(speed->Fade().timer()->steps(), 10);
    EXPECT_GE(TsFadeTimer::liveCount(), 1);
    int steps = 0;
    int stepAtEnd = 0;
    QObject::connect(speed->Fade().timer(), &TsFadeTimer::finished, [&] {
        stepAtEnd = speed->Fade().timer()->step();
        steps = speed->Fade().timer()->steps();
    });
    TsFadeTimer::waitForFades();
    EXPECT_EQ(TsFadeTimer::liveCount(), 0) << "the session's end lets every fade finish";
    EXPECT_GE(stepAtEnd, steps) << "run to its last step, not stopped";
    EXPECT_TRUE(TsFadeTimer::closing()) << "no fade starts while the desktop decides";

    // The log-off is cancelled: the program goes on, and so do its fades.
    QApplication::processEvents();
    EXPECT_FALSE(TsFadeTimer::closing());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(speed, &leave);
    ASSERT_TRUE(speed->Fade().isRunning());
    const int before = speed->Fade().timer()->step();
    speed->Fade().timer()->tick();
    EXPECT_GT(speed->Fade().timer()->step(), before) << "a fade steps again";
}

}  // namespace
