// The skin provider on a window, against the flat skin: the frame strips, the title bar in
// the active and inactive state, title buttons redrawn alone as the mouse goes over them,
// presses that close or do nothing, the window's shape, moving and sizing by the mouse, and
// the desktop's frame given back when the skin goes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "flat_skin.h"
#include "platform/form.h"
#include "platform/skin_message.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sButton.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"
#include "skin_sheet.h"

namespace {

constexpr QRgb kFormNormal = 0xFF203040;
constexpr QRgb kFormActive = 0xFF304050;
constexpr QRgb kTitleNormal = 0xFF707070;
constexpr QRgb kTitleActive = 0xFF2080C0;
// The close glyph's three frames: normal, hot, pressed.
constexpr std::array<QRgb, 3> kClose{0xFFE0E000, 0xFF00E0E0, 0xFFE000E0};
constexpr QSize kGlyph(12, 10);

// The frame sections: FORM with EDIT's two rings of the master bitmap as its border, a
// plain FORMTITLE, and a close glyph of three flat frames.
QString frameSections() {
    return QStringLiteral(
               "[FORM]\nSTATES=2\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=0x000000\n"
               "BORDERSMASK=^0024,0000,0036,0006,0002,0002,0002,0002,2,0,0,0\n"
               "[FORMTITLE]\nSTATES=2\nCOLOR=%3\nHOTCOLOR=%4\nFONTCOLOR=0x101010\n"
               "HOTFONTCOLOR=0xF0F0F0\n")
        .arg(flat::skinColour(kFormNormal), flat::skinColour(kFormActive),
             flat::skinColour(kTitleNormal), flat::skinColour(kTitleActive));
}

void writeCloseGlyph(const QString& folder) {
    QImage glyph(kGlyph.width() * 3, kGlyph.height(), QImage::Format_RGB32);
    for (int frame = 0; frame < 3; ++frame)
        for (int y = 0; y < kGlyph.height(); ++y)
            for (int x = 0; x < kGlyph.width(); ++x)
                glyph.setPixel(frame * kGlyph.width() + x, y, kClose[size_t(frame)]);
    glyph.save(folder + QStringLiteral("/FLAT/CLOSE.BMP"), "BMP");
}

class ProviderTest : public ::testing::Test {
protected:
    ProviderTest() {
        flat::writeSkin(folder.path(), frameSections(),
                        QStringLiteral("BICONCLOSE=!CLOSE.BMP!3!0!2\nBIRIGHT=4\nBISPACE=1\n"));
        writeCloseGlyph(folder.path());
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        form.setWindowTitle(QStringLiteral("Окно"));
        label = new QLabel(QStringLiteral("в окне"), &form);
        label->move(10, 10);
        form.resize(300, 200);
        provider = new TsSkinProvider(&form);
        provider->setBorderStyle(bsSingle);  // close alone: no minimize or maximize
    }

    QImage shown() { return form.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // A mouse event at a point of the window; while `origin` is set, of the window as it
    // was placed there (the screen position stays where the mouse is as the window moves).
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
              Qt::MouseButtons held = Qt::NoButton) {
        const QPoint base = origin ? *origin : form.pos();
        QMouseEvent event(type, at - (form.pos() - base), base + at, button, held, Qt::NoModifier);
        QApplication::sendEvent(&form, &event);
    }
    std::optional<QPoint> origin;
    QRect closeRect() const { return provider->titleButtons()[tbClose].Rect; }

    QTemporaryDir folder;
    TsSkinManager manager;
    TForm form;
    QLabel* label = nullptr;
    TsSkinProvider* provider = nullptr;
};

TEST_F(ProviderTest, TheFrameTakesTheDesktopsPlaceAroundTheClientArea) {
    ASSERT_TRUE(provider->skinned());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    const TsFrameSizes& sizes = provider->frameSizes();
    EXPECT_EQ(sizes.Border, 3);
    EXPECT_EQ(sizes.Title, 24);
    EXPECT_EQ(form.innerFrame(), QMargins(3, 27, 3, 3));
    EXPECT_EQ(label->pos(), QPoint(13, 37)) << "the children keep their place in the client area";
    EXPECT_EQ(form.clientRect().size(), form.size() - QSize(6, 30));
    // The close button alone, from the right, centred in the title band.
    EXPECT_FALSE(provider->titleButtons()[tbMaximize].Present);
    // The window keeps its designed size, now with the skin's frame inside it.
    EXPECT_EQ(form.size(), QSize(300 + 8, 200 + 30));
    EXPECT_EQ(closeRect(), QRect(form.width() - 4 - 12, (3 + 24 - 10) / 2 + 2, 12, 10))
        << "a large glyph lower than 16 pixels sits 2 lower";
}

TEST_F(ProviderTest, TheTitleBarShowsTheActiveAndInactiveStates) {
    form.show();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    QImage picture = shown();
    // The border ring of the active frame, the title band, the client background, the
    // close glyph.
    EXPECT_EQ(picture.pixel(0, 100), 0xFF6080A0);
    EXPECT_EQ(picture.pixel(1, 100), 0xFF6080A0);
    EXPECT_EQ(picture.pixel(150, 5), kTitleActive);
    EXPECT_EQ(picture.pixel(150, 100), kFormActive);
    EXPECT_EQ(picture.pixel(closeRect().center()), kClose[0]);

    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&form, &deactivate);
    picture = shown();
    EXPECT_EQ(provider->activeState(), 0);
    EXPECT_EQ(picture.pixel(0, 100), 0xFF405060);
    EXPECT_EQ(picture.pixel(150, 5), kTitleNormal);
    EXPECT_EQ(picture.pixel(150, 100), kFormNormal);
    // An inactive window shows its buttons faded into the title bar.
    const auto half = [](QRgb a, QRgb b) {
        const auto mix = [](int x, int y) { return (x * 128 + y * 127 + 127) >> 8; };
        return qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
    };
    EXPECT_EQ(picture.pixel(closeRect().center()), half(kClose[0], kTitleNormal));
}

TEST_F(ProviderTest, AHotOrPressedButtonIsRedrawnAlone) {
    form.show();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    const QImage before = shown();
    send(QEvent::MouseMove, closeRect().center(), Qt::NoButton);
    const QImage hot = shown();
    for (int y = 0; y < hot.height(); ++y)
        for (int x = 0; x < hot.width(); ++x) {
            if (closeRect().contains(x, y))
                ASSERT_EQ(hot.pixel(x, y), kClose[1]) << x << "," << y;
            else
                ASSERT_EQ(hot.pixel(x, y), before.pixel(x, y)) << x << "," << y;
        }
    send(QEvent::MouseButtonPress, closeRect().center());
    EXPECT_EQ(shown().pixel(closeRect().center()), kClose[2]);

    // Sliding off before the release does nothing; the button is normal again.
    send(QEvent::MouseMove, QPoint(150, 100), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(150, 100));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(shown().pixel(closeRect().center()), kClose[0]);
    // Down and up on the button closes the window.
    send(QEvent::MouseButtonPress, closeRect().center());
    send(QEvent::MouseButtonRelease, closeRect().center());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ProviderTest, TheWindowIsCutToTheFramesShape) {
    form.show();
    QApplication::processEvents();
    shown();  // the shape is worked out as the frame is painted
    const QRegion shape = provider->region();
    ASSERT_FALSE(shape.isEmpty());
    EXPECT_FALSE(shape.contains(QPoint(0, 0))) << "the key corner pixels are cut off";
    EXPECT_FALSE(shape.contains(QPoint(form.width() - 1, form.height() - 1)));
    EXPECT_TRUE(shape.contains(QPoint(1, 0)));
    EXPECT_TRUE(shape.contains(QPoint(0, 1)));
    EXPECT_TRUE(shape.contains(QPoint(150, 100)));
}

TEST_F(ProviderTest, DraggingTheCaptionMovesAndDraggingAnEdgeSizes) {
    provider->setBorderStyle(bsSizeable);
    form.move(100, 100);
    form.show();
    QApplication::processEvents();
    const QPoint start = form.pos();
    origin = start;
    // A click on the caption moves nothing; a drag past a few pixels moves the window (the
    // program moves it itself where no window manager does).
    send(QEvent::MouseButtonPress, QPoint(60, 12));
    send(QEvent::MouseButtonRelease, QPoint(60, 12));
    EXPECT_EQ(form.pos(), start);
    send(QEvent::MouseButtonPress, QPoint(60, 12));
    send(QEvent::MouseMove, QPoint(90, 32), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(90, 32), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(90, 32));
    EXPECT_EQ(form.pos(), start + QPoint(30, 20));

    origin = form.pos();
    const QSize size = form.size();
    const QPoint edge(size.width() - 2, 100);
    EXPECT_EQ(provider->hitTest(edge), HTRIGHT);
    send(QEvent::MouseButtonPress, edge);
    send(QEvent::MouseMove, edge + QPoint(40, 0), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, edge + QPoint(40, 0));
    EXPECT_EQ(form.size(), size + QSize(40, 0));
}

TEST_F(ProviderTest, RemovingTheSkinGivesTheDesktopsFrameBack) {
    form.show();
    shown();
    ASSERT_FALSE(provider->region().isEmpty());
    manager.setActive(false);
    EXPECT_FALSE(provider->skinned());
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(form.mask().isEmpty());
    EXPECT_EQ(form.innerFrame(), QMargins());
    EXPECT_EQ(label->pos(), QPoint(10, 10));
    EXPECT_TRUE(form.isVisible());
    manager.setActive(true);
    EXPECT_TRUE(provider->skinned());
    EXPECT_EQ(label->pos(), QPoint(13, 37));
}

TEST_F(ProviderTest, ADoubleClickOnTheIconClosesTheWindowAndASlowOneOnlyTheMenu) {
    form.show();
    QApplication::processEvents();
    const QRect icon = provider->iconRect();
    ASSERT_FALSE(icon.isEmpty());
    ASSERT_EQ(provider->hitTest(icon.center()), HTSYSMENU);
    TsSystemMenu* menu = provider->systemMenu();
    // The second click of a double click reaches the menu the first one opened.
    const auto secondClick = [&] {
        const QPoint global = form.mapToGlobal(icon.center());
        QMouseEvent press(QEvent::MouseButtonPress, menu->mapFromGlobal(global), global,
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(menu, &press);
        QApplication::processEvents();
    };

    // A second click after the double-click time only closes the menu.
    send(QEvent::MouseButtonPress, icon.center());
    ASSERT_TRUE(menu->isVisible()) << "a click on the icon opens the system menu";
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    secondClick();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(form.isVisible());

    send(QEvent::MouseButtonPress, icon.center());
    ASSERT_TRUE(menu->isVisible());
    secondClick();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(form.isVisible()) << "a double click on the icon closes the window";
}

TEST_F(ProviderTest, AProviderMadeAgainLeavesOneOfEachKeyAndGivesTrackingBack) {
    const auto keys = [this](QKeySequence sequence) {
        int count = 0;
        for (const QShortcut* key : form.findChildren<QShortcut*>())
            count += key->key() == sequence;
        return count;
    };
    const QKeySequence close(Qt::ALT | Qt::Key_F4);
    const QKeySequence menu(Qt::ALT | Qt::Key_Space);
    EXPECT_EQ(keys(close), 1);
    EXPECT_TRUE(form.hasMouseTracking());
    // As the automatic skinning does for a window without a provider of its own when the
    // skin is removed and applied again.
    delete provider;
    EXPECT_EQ(keys(close), 0);
    EXPECT_EQ(keys(menu), 0);
    EXPECT_FALSE(form.hasMouseTracking());
    provider = new TsSkinProvider(&form);
    EXPECT_EQ(keys(close), 1) << "Alt+F4 is not made ambiguous";
    EXPECT_EQ(keys(menu), 1);
    EXPECT_TRUE(form.hasMouseTracking());
    form.show();
    QApplication::setActiveWindow(&form);
    QTest::keyClick(&form, Qt::Key_F4, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_FALSE(form.isVisible()) << "Alt+F4 closes the window";
}

// Counts the skin commands of one kind a control hears.
class CommandCounter : public QObject {
public:
    CommandCounter(QWidget* control, int command) : command_(command) {
        control->installEventFilter(this);
    }
    int heard = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == TsSkinMessage::eventType())
            heard += static_cast<TsSkinMessage*>(event)->Command == command_;
        return false;
    }

private:
    int command_;
};

TEST_F(ProviderTest, EachControlOfAProviderWindowHearsASkinCommandOnce) {
    auto* panel = new TsPanel(&form);
    panel->setGeometry(10, 40, 200, 100);
    auto* inner = new TsButton(panel);
    inner->setGeometry(5, 5, 75, 25);
    auto* button = new TsButton(&form);
    button->setGeometry(220, 40, 75, 25);
    form.show();
    QApplication::processEvents();
    CommandCounter onPanel(panel, TsSkinMessage::AC_REFRESH);
    CommandCounter onInner(inner, TsSkinMessage::AC_REFRESH);
    CommandCounter onButton(button, TsSkinMessage::AC_REFRESH);
    manager.RefreshSkin(false);
    EXPECT_EQ(onPanel.heard, 1);
    EXPECT_EQ(onInner.heard, 1) << "a control inside a panel";
    EXPECT_EQ(onButton.heard, 1);
    EXPECT_TRUE(provider->skinned());
    EXPECT_TRUE(button->Cache().skinned()) << "and each still takes the skin";
}

}  // namespace
