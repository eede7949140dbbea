// The skinned controls on screen, against the flat skin: each pixel a control shows follows
// from the painting rules, in every state; without a skin a control is its platform control.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "flat_skin.h"
#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sPanel.h"
#include "skin/core/sSkinManager.h"
#include "skin_sheet.h"

namespace {

// One channel mixed as a disabled control blends with what lies behind it.
QRgb halfAndHalf(QRgb own, QRgb behind) {
    const auto mix = [](int a, int b) { return (a * 128 + b * 127 + 127) >> 8; };
    return qRgb(mix(qRed(own), qRed(behind)), mix(qGreen(own), qGreen(behind)),
                mix(qBlue(own), qBlue(behind)));
}

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() {
        flat::writeSkin(folder.path());
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        setBackgroundColour(&form, QColor::fromRgb(flat::Parent));
        form.resize(320, 160);
        form.setFont(pixelFont(QStringLiteral("DejaVu Sans"), 14));
    }

    static QImage picture(QWidget* widget) {
        return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static void enter(QWidget* widget) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(widget, &event);
    }
    static void leave(QWidget* widget) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    }
    // The ring of the border on the left edge, the middle of the section, and whether the
    // window's shape cuts off the outermost corner pixel only.
    static void expectLook(QWidget* control, QRgb ring, QRgb middle) {
        const QImage shown = picture(control);
        const int y = control->height() / 2;
        EXPECT_EQ(shown.pixel(0, y), ring);
        EXPECT_EQ(shown.pixel(1, y), ring);
        EXPECT_EQ(shown.pixel(flat::Margin, flat::Margin), middle);
        EXPECT_EQ(shown.pixel(control->width() - flat::Margin - 1, flat::Margin), middle);
    }

    QTemporaryDir folder;
    TsSkinManager manager;
    TForm form;
};

TEST_F(ControlsTest, ButtonStatesPaintTheirFramesAndColours) {
    TsButton button(&form);
    button.setGeometry(10, 10, 64, 26);
    form.show();
    ASSERT_TRUE(button.Cache().skinned());

    expectLook(&button, flat::Frame[0], flat::Normal);
    // The key pixels of the corners are cut off; the ring itself is not.
    EXPECT_FALSE(button.mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(button.mask().contains(QPoint(63, 25)));
    EXPECT_TRUE(button.mask().contains(QPoint(1, 0)));
    EXPECT_TRUE(button.mask().contains(QPoint(0, 1)));

    enter(&button);
    EXPECT_EQ(button.CurrentState(), 1);
    expectLook(&button, flat::Frame[1], flat::Hot);
    button.setDown(true);
    EXPECT_EQ(button.CurrentState(), 2);
    expectLook(&button, flat::Frame[2], flat::Hot);  // the pressed state uses the hot look
    button.setDown(false);
    leave(&button);
    expectLook(&button, flat::Frame[0], flat::Normal);

    // The one image of a one-state section serves every state.
    button.SkinData.setSkinSection(QStringLiteral("ONESTATE"));
    enter(&button);
    button.setDown(true);
    EXPECT_EQ(button.SkinState(), 0);
    expectLook(&button, 0xFF909090, flat::One);
}

TEST_F(ControlsTest, CaptionsFocusAndTheDisabledLook) {
    TsButton button(&form);
    button.setGeometry(10, 10, 90, 30);
    button.setText(QStringLiteral("Вход"));
    form.show();
    const QImage normal = picture(&button);
    // Full glyph pixels are the section's text colour.
    int textPixels = 0;
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            textPixels += normal.pixel(x, y) == flat::Text;
    EXPECT_GT(textPixels, 10);

    // The focused button is hot, with a dotted rectangle in the hot text colour around its
    // caption: what focus adds is only that outline.
    button.ShowFocus = false;
    button.setFocus();
    QApplication::processEvents();
    const QImage hotWithout = picture(&button);
    button.ShowFocus = true;
    button.Refresh();
    const QImage hotWith = picture(&button);
    QRect outline;
    for (int y = 0; y < hotWith.height(); ++y)
        for (int x = 0; x < hotWith.width(); ++x) {
            if (hotWith.pixel(x, y) == hotWithout.pixel(x, y)) continue;
            EXPECT_EQ(hotWith.pixel(x, y), flat::HotText) << x << "," << y;
            outline |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(outline.isEmpty());
    const QRect caption = button.fontMetrics().boundingRect(
        button.rect(), Qt::AlignCenter | Qt::TextWordWrap, button.text());
    EXPECT_EQ(outline, caption.adjusted(-1, -1, 1, 1)) << "FocusMargin 1 around the caption";
    for (int x = outline.left(); x <= outline.right(); ++x)
        EXPECT_EQ(hotWith.pixel(x, outline.top()) == flat::HotText, (x + outline.top()) % 2 == 0);

    // Disabled: the normal look blended half and half with the parent, the text in its
    // enabled colour under the blend.
    button.setEnabled(false);
    const QImage disabled = picture(&button);
    EXPECT_EQ(disabled.pixel(flat::Margin, flat::Margin), halfAndHalf(flat::Normal, flat::Parent));
    EXPECT_EQ(disabled.pixel(0, 15), halfAndHalf(flat::Frame[0], flat::Parent));
    int blendedText = 0;
    for (int y = 0; y < disabled.height(); ++y)
        for (int x = 0; x < disabled.width(); ++x)
            blendedText += disabled.pixel(x, y) == halfAndHalf(flat::Text, flat::Parent);
    EXPECT_GT(blendedText, 10);
}

TEST_F(ControlsTest, APanelShowsThroughItsTransparentChild) {
    TsPanel panel(&form);
    panel.setGeometry(20, 20, 200, 100);
    TsButton clear(&panel);
    clear.SkinData.setSkinSection(QStringLiteral("CLEAR"));
    clear.setGeometry(30, 40, 50, 20);
    form.show();
    QApplication::processEvents();
    const QImage panelPicture = picture(&panel);
    EXPECT_NE(panelPicture.pixel(5, 10), panelPicture.pixel(5, 90)) << "the panel's gradient";
    const QImage shown = picture(&clear);
    for (const QPoint point : {QPoint(0, 0), QPoint(49, 0), QPoint(10, 19), QPoint(25, 10)})
        EXPECT_EQ(shown.pixel(point), panelPicture.pixel(point + clear.pos())) << point.x();
    EXPECT_TRUE(clear.mask().isEmpty()) << "nothing to cut off without a border";
}

TEST_F(ControlsTest, RemovingTheSkinGivesThePlatformControlBack) {
    TsButton button(&form);
    button.setGeometry(10, 10, 80, 28);
    button.setText(QStringLiteral("Выход"));
    QPushButton platform(&form);
    platform.setGeometry(100, 10, 80, 28);
    platform.setText(QStringLiteral("Выход"));
    form.show();
    expectLook(&button, flat::Frame[0], flat::Normal);
    ASSERT_FALSE(button.mask().isEmpty());

    manager.setActive(false);
    EXPECT_FALSE(button.Cache().skinned());
    EXPECT_EQ(picture(&button), picture(&platform));
    EXPECT_TRUE(button.mask().isEmpty());
    EXPECT_FALSE(button.testAttribute(Qt::WA_OpaquePaintEvent));
    bool clicked = false;
    QObject::connect(&button, &QPushButton::clicked, [&clicked] { clicked = true; });
    button.click();
    EXPECT_TRUE(clicked) << "and it works as one";

    manager.setActive(true);
    ASSERT_TRUE(button.Cache().skinned());
    expectLook(&button, flat::Frame[0], flat::Normal);
    EXPECT_FALSE(button.mask().isEmpty());
}

}  // namespace

namespace {

TEST_F(ControlsTest, CachesReachTheWindowBufferAsThroughThePainter) {
    TsPanel panel(&form);
    panel.setGeometry(150, 20, 150, 120);
    TsButton inner(&panel);
    inner.setGeometry(10, 30, 70, 26);
    inner.setText(QStringLiteral("Да"));
    TsButton outer(&form);
    outer.setGeometry(10, 10, 90, 30);
    outer.setText(QStringLiteral("Нет"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // What the window's buffer shows after a whole repaint and after one that covers only
    // part of the controls (each control's cache copied straight in), and the picture of
    // the form made through the painter.
    for (const QRect& part : {form.rect(), QRect(40, 15, 160, 50)}) {
        form.repaint(part);
        const QImage buffer =
            form.screen()->grabWindow(form.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage throughPainter = picture(&form);
        ASSERT_EQ(buffer.size(), throughPainter.size());
        for (int y = 0; y < buffer.height(); ++y)
            for (int x = 0; x < buffer.width(); ++x)
                ASSERT_EQ(buffer.pixel(x, y), throughPainter.pixel(x, y)) << x << "," << y;
    }
}

}  // namespace
