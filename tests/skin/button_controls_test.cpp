// The button-like controls, the containers, labels and the record navigator against the flat
// skin: the pixels each shows in its states follow from the painting rules; the radio group
// reports choices as the windows rely on; without a skin each is its platform control.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "flat_skin.h"
#include "platform/form.h"
#include "skin/controls/sBitBtn.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sDBNavigator.h"
#include "skin/controls/sGroupBox.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sRadioGroup.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/core/sSkinManager.h"
#include "skin_sheet.h"

namespace {

// Colours of the sections this file adds to the flat skin, as the screen shows them.
constexpr QRgb Tool = 0xFF6E5AA0;        // TOOLBUTTON at rest (a flat button shows none of it)
constexpr QRgb ToolHot = 0xFFA0C85A;     // TOOLBUTTON hot and pressed
constexpr QRgb Bar = 0xFF284678;         // TOOLBAR
constexpr QRgb GroupText = 0xFF1E8C46;   // GROUPBOX text, given to what shows it
constexpr QRgb Giving = 0xFFDC3C8C;      // a panel section that gives its text colour
constexpr QRgb GivingText = 0xFFFFF050;  // and that colour
constexpr std::array<QRgb, 3> On{0xFFC80000, 0xFFC8C800, 0xFF00C8C8};   // RADIOCHECKED frames
constexpr std::array<QRgb, 3> Off{0xFF500000, 0xFF505000, 0xFF005050};  // RADIOUNCHECKED
constexpr QRgb Ink = 0xFF00B4F0;                                        // a picture's colour
constexpr QRgb Ink2 = 0xFFF0B400;                                       // a second one
constexpr int Mark = 8;  // the radio marks are 8 by 8, their top-left pixel the key

QString skinText() {
    using flat::skinColour;
    const QString ring3 = QStringLiteral("^0000,0000,0018,0006,0002,0002,0002,0002,3,0,0,0");
    const QString ring1 = QStringLiteral("^0000,0000,0006,0006,0002,0002,0002,0002,1,0,0,0");
    QString text;
    text += QStringLiteral(
                "[SPEEDBUTTON]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=%3\nHOTFONTCOLOR=%4\n"
                "BORDERSMASK=%5\n")
                .arg(skinColour(flat::Normal), skinColour(flat::Hot), skinColour(flat::Text),
                     skinColour(flat::HotText), ring3);
    text += QStringLiteral(
                "[TOOLBUTTON]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=%3\nHOTFONTCOLOR=%4\n"
                "SHOWFOCUS=1\nBORDERSMASK=%5\n")
                .arg(skinColour(Tool), skinColour(ToolHot), skinColour(flat::Text),
                     skinColour(flat::HotText), ring3);
    text += QStringLiteral("[TOOLBAR]\nSTATES=1\nCOLOR=%1\nFONTCOLOR=%2\n")
                .arg(skinColour(Bar), skinColour(flat::Text));
    text += QStringLiteral(
                "[GROUPBOX]\nSTATES=1\nTRANSPARENCY=100\nFONTCOLOR=%1\nGIVEOWNFONT=1\n"
                "BORDERSMASK=%2\n")
                .arg(skinColour(GroupText), ring1);
    text += QStringLiteral(
                "[CHECKBOX]\nSTATES=2\nTRANSPARENCY=100\nHOTTRANSPARENCY=100\nFONTCOLOR=%1\n"
                "HOTFONTCOLOR=%2\nSHOWFOCUS=1\n[RADIOBUTTON]\nPARENTCLASS=CHECKBOX\n")
                .arg(skinColour(flat::Text), skinColour(flat::HotText));
    text += QStringLiteral("[GIVING]\nSTATES=1\nCOLOR=%1\nFONTCOLOR=%2\nGIVEOWNFONT=1\n")
                .arg(skinColour(Giving), skinColour(GivingText));
    text += QStringLiteral(
        "[GLOBALINFO]\nRADIOCHECKED=!RADIOON.BMP!3!0!2\nRADIOUNCHECKED=!RADIOOFF.BMP!3!0!2\n");
    return text;
}

// Three frames of a radio mark side by side, each of one colour but its key corner.
void writeMarks(const QString& path, const std::array<QRgb, 3>& frames) {
    QImage marks(3 * Mark, Mark, QImage::Format_RGB32);
    for (int f = 0; f < 3; ++f)
        for (int y = 0; y < Mark; ++y)
            for (int x = 0; x < Mark; ++x)
                marks.setPixel(f * Mark + x, y,
                               x == 0 && y == 0 ? qRgb(255, 0, 255) : frames[size_t(f)]);
    marks.save(path, "BMP");
}

QImage solid(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// One channel mixed as a disabled control blends with what lies behind it.
QRgb halfAndHalf(QRgb own, QRgb behind) {
    const auto mix = [](int a, int b) { return (a * 128 + b * 127 + 127) >> 8; };
    return qRgb(mix(qRed(own), qRed(behind)), mix(qGreen(own), qGreen(behind)),
                mix(qBlue(own), qBlue(behind)));
}

// Whether a pixel lies halfway between two colours, to a step of rounding.
bool halfway(QRgb pixel, QRgb a, QRgb b) {
    const auto near = [](int p, int x, int y) { return std::abs(2 * p - x - y) <= 2; };
    return near(qRed(pixel), qRed(a), qRed(b)) && near(qGreen(pixel), qGreen(a), qGreen(b)) &&
           near(qBlue(pixel), qBlue(a), qBlue(b));
}

class ButtonControlsTest : public ::testing::Test {
protected:
    ButtonControlsTest() {
        flat::writeSkin(folder.path(), skinText());
        writeMarks(folder.path() + QStringLiteral("/FLAT/RADIOON.BMP"), On);
        writeMarks(folder.path() + QStringLiteral("/FLAT/RADIOOFF.BMP"), Off);
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        setBackgroundColour(&form, QColor::fromRgb(flat::Parent));
        form.resize(480, 200);
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
    static int count(const QImage& image, QRgb colour) {
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found += image.pixel(x, y) == colour;
        return found;
    }
    // The ring of the border on the left edge and the middle of the section.
    static void expectLook(QWidget* control, QRgb ring, QRgb middle) {
        const QImage shown = picture(control);
        const int y = control->height() / 2;
        EXPECT_EQ(shown.pixel(0, y), ring);
        EXPECT_EQ(shown.pixel(1, y), ring);
        EXPECT_EQ(shown.pixel(flat::Margin, flat::Margin), middle);
    }

    QTemporaryDir folder;
    TsSkinManager manager;
    TForm form;
};

TEST_F(ButtonControlsTest, SpeedButtonStatesWithoutFocusOfItsOwn) {
    TsSpeedButton button(&form);
    button.setGeometry(10, 10, 40, 24);
    TsSpeedButton sibling(&form);
    sibling.setGeometry(60, 10, 40, 24);
    form.show();
    ASSERT_TRUE(button.Cache().skinned());
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
    expectLook(&button, flat::Frame[0], flat::Normal);
    EXPECT_FALSE(button.mask().contains(QPoint(0, 0))) << "cut to the border's corners";

    enter(&button);
    expectLook(&button, flat::Frame[1], flat::Hot);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(20, 12));
    expectLook(&button, flat::Frame[2], flat::Hot);
    bool clicked = false;
    QObject::connect(&button, &QToolButton::clicked, [&clicked] { clicked = true; });
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(20, 12));
    EXPECT_TRUE(clicked);
    expectLook(&button, flat::Frame[1], flat::Hot);
    // The mouse reaching a sibling speed button takes the hot look from this one.
    enter(&sibling);
    EXPECT_EQ(button.CurrentState(), 0);
    expectLook(&button, flat::Frame[0], flat::Normal);
    leave(&sibling);

    button.Down = true;
    button.Refresh();
    expectLook(&button, flat::Frame[2], flat::Hot);
    button.Down = false;

    // A check button stays down from one click to the next.
    button.ButtonStyle = TsSpeedButton::tbsCheck;
    button.click();
    EXPECT_TRUE(button.Down);
    expectLook(&button, flat::Frame[2], flat::Hot);
    button.click();
    EXPECT_FALSE(button.Down);
    expectLook(&button, flat::Frame[0], flat::Normal);

    // Flat: the parent at rest, the section under the mouse.
    button.setAutoRaise(true);
    button.Refresh();
    const QImage flatLook = picture(&button);
    EXPECT_EQ(flatLook.pixel(0, 12), flat::Parent);
    EXPECT_EQ(flatLook.pixel(20, 12), flat::Parent);
    enter(&button);
    expectLook(&button, flat::Frame[1], flat::Hot);
    leave(&button);

    button.setAutoRaise(false);
    button.setEnabled(false);
    EXPECT_EQ(picture(&button).pixel(flat::Margin, flat::Margin),
              halfAndHalf(flat::Normal, flat::Parent));
}

TEST_F(ButtonControlsTest, SpeedButtonCaptionSeparatorAndDropDown) {
    TsSpeedButton button(&form);
    button.setGeometry(10, 10, 120, 26);
    button.setText(QStringLiteral("Найти"));
    form.show();
    EXPECT_GT(count(picture(&button), flat::Text), 10);
    button.ShowCaption = false;
    button.Refresh();
    EXPECT_EQ(count(picture(&button), flat::Text), 0);

    // A press on the arrow part opens the menu instead of clicking.
    QMenu menu;
    menu.addAction(QStringLiteral("Пункт"));
    button.ButtonStyle = TsSpeedButton::tbsDropDown;
    button.DropdownMenu = &menu;
    int clicks = 0;
    QObject::connect(&button, &QToolButton::clicked, [&clicks] { ++clicks; });
    EXPECT_EQ(button.dropDownArea(), QRect(105, 0, 15, 26));
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(112, 13));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(clicks, 0);
    menu.hide();
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(40, 13));
    EXPECT_EQ(clicks, 1);

    // A separator is a gap: it shows its parent and answers no click.
    button.ButtonStyle = TsSpeedButton::tbsSeparator;
    button.Refresh();
    const QImage gap = picture(&button);
    EXPECT_EQ(count(gap, flat::Parent), gap.width() * gap.height());
    EXPECT_TRUE(button.mask().isEmpty()) << "no border, no shape";
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(40, 13));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonControlsTest, BitBtnPlacesItsPictureAsABitmapButton) {
    TsBitBtn button(&form);
    button.setGeometry(10, 10, 90, 30);
    button.setText(QStringLiteral("Открыть"));
    button.setGlyph(solid(QSize(10, 8), Ink));
    form.show();
    ASSERT_TRUE(button.Cache().skinned());
    const int textWidth = button.fontMetrics()
                              .boundingRect(QRect(0, 0, 76, 100), Qt::AlignTop, button.text())
                              .width();
    // Margin -1: picture, 4 pixels of spacing and caption centred together.
    const int x = (90 - (10 + 4 + textWidth) + 1) / 2, y = (30 - 8 + 1) / 2;
    const auto expectPicture = [&button](QPoint at, QRgb colour) {
        const QImage shown = picture(&button);
        EXPECT_EQ(shown.pixel(at), colour) << at.x() << "," << at.y();
        EXPECT_EQ(shown.pixel(at + QPoint(9, 7)), colour);
        EXPECT_NE(shown.pixel(at - QPoint(1, 0)), colour);
        EXPECT_NE(shown.pixel(at + QPoint(10, 0)), colour);
    };
    expectPicture(QPoint(x, y), Ink);
    EXPECT_GT(count(picture(&button), flat::Text), 10);
    // Pressed, picture and caption move one pixel right and down.
    button.setDown(true);
    expectLook(&button, flat::Frame[2], flat::Hot);
    expectPicture(QPoint(x + 1, y + 1), Ink);
    button.setDown(false);

    // The default button counts as hot while no other button has the focus.
    button.setDefault(true);
    expectLook(&button, flat::Frame[1], flat::Hot);
    button.setDefault(false);
    expectLook(&button, flat::Frame[0], flat::Normal);

    button.Layout = blGlyphTop;
    button.resize(90, 50);
    const int height = button.fontMetrics().height();
    expectPicture(QPoint((90 - 10 + 1) / 2, (50 - (8 + 4 + height) + 1) / 2), Ink);
    button.resize(90, 30);
    button.Layout = blGlyphRight;
    button.Margin = 3;
    button.Refresh();
    expectPicture(QPoint(90 - 3 - 10, y), Ink);

    // At the very edge the border goes over the picture, or under it.
    button.Layout = blGlyphLeft;
    button.Margin = 0;
    button.Refresh();
    QImage edge = picture(&button);
    EXPECT_EQ(edge.pixel(0, 15), flat::Frame[0]);
    EXPECT_EQ(edge.pixel(1, 15), flat::Frame[0]);
    EXPECT_EQ(edge.pixel(2, 15), Ink);
    button.DrawOverBorder = false;
    button.Refresh();
    edge = picture(&button);
    EXPECT_EQ(edge.pixel(0, 15), Ink);
    EXPECT_EQ(edge.pixel(1, 15), Ink);

    // An image list's picture wins over the glyph.
    TsImageList images(QSize(10, 8));
    images.add(solid(QSize(10, 8), Ink2));
    button.Images = &images;
    button.ImageIndex = 0;
    button.Refresh();
    EXPECT_EQ(picture(&button).pixel(4, 15), Ink2);
}

TEST_F(ButtonControlsTest, BitBtnPictureLooksByState) {
    TsBitBtn button(&form);
    button.setGeometry(10, 10, 60, 30);
    button.setGlyph(solid(QSize(10, 8), Ink));
    form.show();
    const QPoint inside((60 - 10 + 1) / 2 + 4, (30 - 8 + 1) / 2 + 4);
    EXPECT_EQ(picture(&button).pixel(inside), Ink);

    // Grey at rest, in colour under the mouse; faded at rest by Blend.
    button.Grayed = true;
    button.Refresh();
    const QRgb grey = picture(&button).pixel(inside);
    EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey));
    enter(&button);
    EXPECT_EQ(picture(&button).pixel(inside), Ink);
    leave(&button);
    button.Grayed = false;
    button.Blend = 50;
    button.Refresh();
    EXPECT_TRUE(halfway(picture(&button).pixel(inside), Ink, flat::Normal));
    button.Blend = 0;

    // Disabled: the button blended with the parent and the picture half over that; a strip
    // with a disabled frame of its own shows that frame as it is.
    button.setEnabled(false);
    const QRgb behind = halfAndHalf(flat::Normal, flat::Parent);
    EXPECT_EQ(picture(&button).pixel(flat::Margin, flat::Margin), behind);
    EXPECT_TRUE(halfway(picture(&button).pixel(inside), Ink, behind));
    QImage strip(20, 8, QImage::Format_ARGB32);
    strip.fill(Ink);
    for (int y = 0; y < 8; ++y)
        for (int x = 10; x < 20; ++x)
            strip.setPixel(x, y, Ink2);
    button.setGlyph(strip, 2);
    EXPECT_EQ(picture(&button).pixel(inside), Ink2);

    // OnPaint sees the finished picture and may draw on it.
    button.setEnabled(true);
    QObject::connect(&button, &TsBitBtn::OnPaint,
                     [](Bitmap32& cache) { cache.setPixel(4, 4, 0xFF123456); });
    button.Refresh();
    EXPECT_EQ(picture(&button).pixel(4, 4), 0xFF123456);
}

TEST(BitmapButtonLayoutTest, PlacesPictureAndCaptionAsTheClassicButton) {
    const QRect client(0, 0, 100, 40);
    const QSize glyph(16, 16), text(30, 14);
    const auto at = [&](TButtonLayout layout, int margin, int spacing, bool rtl = false) {
        const TsGlyphPlacement p =
            BitmapButtonLayout(client, glyph, text, layout, margin, spacing, rtl);
        return std::pair{p.Glyph.topLeft(), p.Text.topLeft()};
    };
    EXPECT_EQ(at(blGlyphLeft, -1, 4), std::pair(QPoint(25, 12), QPoint(45, 13)));
    EXPECT_EQ(at(blGlyphLeft, -1, -1), std::pair(QPoint(18, 12), QPoint(52, 13)))
        << "the free space cut in three";
    EXPECT_EQ(at(blGlyphLeft, 5, -1), std::pair(QPoint(5, 12), QPoint(45, 13)));
    EXPECT_EQ(at(blGlyphLeft, -1, 4, true), std::pair(QPoint(59, 12), QPoint(25, 13)))
        << "right-to-left puts the picture on the right";
    EXPECT_EQ(at(blGlyphBottom, 2, 4), std::pair(QPoint(42, 22), QPoint(35, 4)));
    const TsGlyphPlacement alone =
        BitmapButtonLayout(QRect(10, 5, 100, 40), glyph, QSize(), blGlyphLeft, -1, 4, false);
    EXPECT_EQ(alone.Glyph.topLeft(), QPoint(10 + 42, 5 + 12)) << "no spacing without caption";
}

TEST_F(ButtonControlsTest, GroupBoxFrameCaptionBoxAndTheStripAbove) {
    TsGroupBox box(&form);
    box.setTitle(QStringLiteral("Группа"));
    box.setGeometry(10, 10, 200, 90);
    form.show();
    ASSERT_TRUE(box.Cache().skinned());
    const int top = box.captionHeight() / 2;
    QImage shown = picture(&box);
    EXPECT_EQ(shown.pixel(100, top - 1), flat::Parent) << "the strip above shows the parent";
    EXPECT_EQ(shown.pixel(190, top), flat::Frame[0]) << "the frame from half the caption down";
    EXPECT_EQ(shown.pixel(0, top + 20), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(2, top + 20), flat::Parent) << "a frame over the parent";
    EXPECT_GT(count(shown, GroupText), 10);
    EXPECT_TRUE(box.mask().isEmpty());

    const int width = box.fontMetrics().size(Qt::TextSingleLine, box.title()).width();
    const std::pair<TsCaptionLayout, int> layouts[] = {
        {clTopLeft, 6}, {clTopCenter, (200 - width - 10) / 2}, {clTopRight, 200 - width - 14}};
    for (const auto& [layout, left] : layouts) {
        box.CaptionLayout = layout;
        box.Refresh();
        shown = picture(&box);
        const QRect caption = box.captionRect();
        EXPECT_EQ(caption, QRect(left, 0, width + 8, box.captionHeight())) << layout;
        // The box cuts the frame's top edge, showing the parent.
        EXPECT_EQ(shown.pixel(caption.left() - 1, top), flat::Frame[0]) << layout;
        EXPECT_EQ(shown.pixel(caption.left(), top), flat::Parent) << layout;
        EXPECT_EQ(shown.pixel(caption.right(), top), flat::Parent) << layout;
        EXPECT_EQ(shown.pixel(caption.right() + 1, top), flat::Frame[0]) << layout;
    }

    box.CaptionLayout = clTopLeft;
    box.CaptionYOffset = -2;
    box.Refresh();
    shown = picture(&box);
    EXPECT_EQ(shown.pixel(190, 0), flat::Frame[0]) << "above its place, the frame from the top";
    EXPECT_EQ(shown.pixel(190, top), flat::Parent);

    EXPECT_EQ(GroupCaptionLeft(50, 80, clTopRight, false), 0) << "never below 0";
    EXPECT_EQ(GroupCaptionLeft(200, 50, clTopLeft, true), 136) << "right-to-left swaps the ends";
    EXPECT_EQ(GroupCaptionLeft(200, 50, clTopRight, true), 6);
}

TEST_F(ButtonControlsTest, RadioItemsShowTheSkinsMarksInTheirStates) {
    TsRadioGroup group(&form);
    group.setGeometry(16, 20, 393, 49);
    group.setItems({"A", "B", "C", "D", "E"});
    group.setColumns(5);
    form.show();
    const QList<QRect> places =
        RadioGroupLayout(QSize(393, 49), 5, 5, group.fontMetrics().height(), false);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(group.button(i)->geometry(), places[i]);
        EXPECT_EQ(places[i].left(), 8 + 76 * i) << "five columns of (393 - 10) / 5";
    }
    group.setItemIndex(1);
    TsGroupButton* item = group.button(1);
    ASSERT_TRUE(item->Cache().skinned());
    EXPECT_EQ(item->SkinData.SkinSection(), "RADIOBUTTON");
    const QPoint mark = item->glyphRect(item->size()).topLeft();
    EXPECT_EQ(mark, QPoint(2, (item->height() - Mark) / 2));
    const auto markColour = [mark](QWidget* button) {
        return picture(button).pixel(mark + QPoint(3, 3));
    };
    EXPECT_EQ(markColour(item), On[0]);
    EXPECT_EQ(markColour(group.button(0)), Off[0]);
    EXPECT_EQ(picture(item).pixel(mark), flat::Parent) << "the key corner shows what is behind";
    enter(group.button(0));
    EXPECT_EQ(markColour(group.button(0)), Off[1]);
    group.button(0)->setDown(true);
    EXPECT_EQ(markColour(group.button(0)), Off[2]);
    group.button(0)->setDown(false);
    leave(group.button(0));

    // The caption writes in the colours of the group that shows through the item.
    EXPECT_GT(count(picture(item), GroupText), 5);

    // Marks of its own win over the skin's.
    item->setGlyphChecked(solid(QSize(Mark, Mark), Ink));
    EXPECT_EQ(markColour(item), Ink);
}

TEST_F(ButtonControlsTest, RadioGroupReportsChoicesAndMayRefuseThem) {
    TsRadioGroup group(&form);
    group.setGeometry(16, 20, 393, 49);
    group.setItems({"A", "B", "C", "D", "E"});
    group.setColumns(5);
    form.show();
    int clicks = 0;
    QObject::connect(&group, &TsRadioGroup::Click, [&clicks] { ++clicks; });

    // A click anywhere on the item chooses it, also beside its caption.
    TsGroupButton* item = group.button(2);
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(item->width() - 3, item->height() / 2));
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    item->click();
    EXPECT_EQ(clicks, 1) << "the chosen item again changes nothing";
    group.setItemIndex(3);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(group.button(3)->isChecked());
    EXPECT_FALSE(item->isChecked());
    group.setItemIndex(-1);
    EXPECT_EQ(clicks, 2) << "clearing reports nothing";
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(group.button(i)->isChecked());

    QList<int> asked;
    QObject::connect(&group, &TsRadioGroup::OnChanging, [&asked](int index, bool& allow) {
        asked.append(index);
        allow = index != 4;
    });
    group.button(4)->click();
    EXPECT_EQ(asked, QList<int>{4});
    EXPECT_FALSE(group.button(4)->isChecked()) << "a refused choice does not take effect";
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(clicks, 2);
    group.button(1)->click();
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicks, 3);

    group.setEnabled(false);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(group.button(i)->isEnabled()) << "enabled with the group";
}

TEST_F(ButtonControlsTest, LabelsTakeTheirParentsTextColourWhileSkinned) {
    TsPanel panel(&form);
    panel.SkinData.setSkinSection(QStringLiteral("GIVING"));
    panel.setGeometry(0, 0, 240, 60);
    TsLabel onPanel(&panel);
    onPanel.move(8, 8);
    onPanel.setCaption(QStringLiteral("Найти по дате:"));
    TsLabel onForm(&form);
    onForm.move(8, 100);
    onForm.setFontColor(QColor(43, 53, 77));
    onForm.setCaption(QStringLiteral("Верно"));
    TsGroupBox box(&form);
    box.setGeometry(250, 0, 200, 90);
    TsLabel inBox(&box);
    inBox.move(8, 32);
    inBox.setCaption(QStringLiteral("Оценка"));
    form.show();
    const auto colour = [](const TsLabel& label) {
        return label.palette().color(QPalette::WindowText).rgb();
    };
    EXPECT_EQ(colour(onPanel), GivingText);
    EXPECT_GT(count(picture(&onPanel), GivingText), 5);
    EXPECT_EQ(colour(inBox), GroupText);
    EXPECT_EQ(colour(onForm), flat::Text) << "no skinned parent: the skin's text colour";

    manager.setActive(false);
    EXPECT_EQ(colour(onForm), qRgb(43, 53, 77)) << "the colour the window gave it";
    EXPECT_EQ(colour(onPanel), ToQColor(clWindowText).rgb());
    EXPECT_EQ(colour(inBox), ToQColor(clWindowText).rgb());
    manager.setActive(true);
    EXPECT_EQ(colour(onPanel), GivingText);
    EXPECT_EQ(colour(onForm), flat::Text);

    onForm.setUseSkinColor(false);
    EXPECT_EQ(colour(onForm), qRgb(43, 53, 77));

    // A named section is painted behind the text.
    TsLabel plate(&form);
    plate.SkinSection = QStringLiteral("ONESTATE");
    plate.AutoSize = false;
    plate.setGeometry(8, 130, 120, 24);
    plate.setText(QStringLiteral("Я"));
    plate.show();
    const QImage shown = picture(&plate);
    EXPECT_EQ(shown.pixel(110, 12), flat::One);
    EXPECT_EQ(shown.pixel(119, 12), 0xFF909090u) << "ONESTATE's ring";
}

TEST_F(ButtonControlsTest, NavigatorButtonsAreFlatUntilHoveredAndBlendedWhenDisabled) {
    TsDBNavigator navigator(&form);
    navigator.SkinData.setSkinSection(QStringLiteral("TOOLBAR"));
    navigator.setVisibleButtons(navButtonBit(nbFirst) | navButtonBit(nbPrior) |
                                navButtonBit(nbNext) | navButtonBit(nbLast) |
                                navButtonBit(nbInsert) | navButtonBit(nbDelete));
    navigator.setGeometry(8, 8, 240, 25);
    TsImageList images(QSize(8, 8));
    for (int i = 0; i < kNavigateButtons; ++i)
        images.add(solid(QSize(8, 8), i == 1 ? Ink2 : Ink));
    navigator.setImages(&images);
    form.show();
    ASSERT_TRUE(navigator.Cache().skinned());
    QList<int> widths;
    for (int kind = nbFirst; kind <= nbDelete; ++kind)
        widths.append(navigator.button(TNavigateBtn(kind))->width());
    EXPECT_EQ(widths, (QList<int>{40, 39, 40, 40, 39, 40}));
    EXPECT_EQ(picture(&navigator).pixel(0, 12), Bar);

    TsNavButton* first = navigator.button(nbFirst);
    EXPECT_EQ(first->SkinData.SkinSection(), "TOOLBUTTON");
    EXPECT_EQ(first->SkinData.kind(), 92);
    const QPoint centre((first->width() - 8 + 1) / 2 + 3, (first->height() - 8 + 1) / 2 + 3);
    // No data set: every button is disabled, blended into the bar with its picture.
    ASSERT_FALSE(first->isEnabled());
    QImage shown = picture(first);
    EXPECT_EQ(shown.pixel(3, 12), halfAndHalf(Bar, Bar));
    EXPECT_TRUE(halfway(shown.pixel(centre), Ink, Bar));
    EXPECT_TRUE(halfway(picture(navigator.button(nbPrior)).pixel(centre), Ink2, Bar))
        << "the second picture of the list on the second button";

    first->setEnabled(true);
    shown = picture(first);
    EXPECT_EQ(shown.pixel(0, 11), Bar) << "flat at rest";
    EXPECT_EQ(shown.pixel(3, 11), Bar);
    EXPECT_EQ(shown.pixel(centre), Ink);
    EXPECT_EQ(count(shown, flat::Text), 0) << "no caption";
    enter(first);
    expectLook(first, flat::Frame[1], ToolHot);
    leave(first);

    // The button with the navigator's keyboard focus shows a dotted frame.
    QApplication::setActiveWindow(&form);
    navigator.setFocus();
    ASSERT_TRUE(first->focusShown());
    shown = picture(first);
    EXPECT_EQ(shown.pixel(2, 2), flat::Text);
    EXPECT_EQ(shown.pixel(3, 2), Bar);
}

// Counts the paints a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(ButtonControlsTest, TheDefaultButtonsHotLookFollowsTheFocus) {
    auto* ok = new TsButton(&form);
    ok->setGeometry(10, 10, 75, 25);
    ok->setDefault(true);
    auto* other = new TsButton(&form);
    other->setGeometry(100, 10, 75, 25);
    auto* box = new QLineEdit(&form);
    box->setGeometry(200, 10, 100, 25);
    form.show();
    QApplication::setActiveWindow(&form);
    box->setFocus();
    QApplication::processEvents();
    const auto middle = [ok] { return picture(ok).pixel(flat::Margin, flat::Margin); };
    ASSERT_EQ(middle(), flat::Hot) << "Enter in the text box presses the default button";

    PaintCounter counter(ok);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0) << "the default button repaints as the focus goes to a button";
    EXPECT_EQ(middle(), flat::Normal);
    counter.paints = 0;
    box->setFocus();
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0) << "and again as it comes back to the text box";
    EXPECT_EQ(middle(), flat::Hot);
}

TEST_F(ButtonControlsTest, RemovingTheSkinGivesThePlatformControlsBack) {
    TsBitBtn bitBtn(&form);
    bitBtn.setGeometry(10, 10, 80, 28);
    bitBtn.setText(QStringLiteral("Печать"));
    QPushButton pushButton(&form);
    pushButton.setGeometry(100, 10, 80, 28);
    pushButton.setText(QStringLiteral("Печать"));
    TsSpeedButton speedButton(&form);
    speedButton.setGeometry(10, 50, 60, 22);
    speedButton.setText(QStringLiteral("…"));
    QToolButton toolButton(&form);
    toolButton.setGeometry(100, 50, 60, 22);
    toolButton.setText(QStringLiteral("…"));
    toolButton.setToolButtonStyle(Qt::ToolButtonTextOnly);
    TsGroupBox groupBox(&form);
    groupBox.setTitle(QStringLiteral("Результат"));
    groupBox.setGeometry(10, 80, 160, 60);
    QGroupBox platformBox(&form);
    platformBox.setTitle(QStringLiteral("Результат"));
    platformBox.setGeometry(200, 80, 160, 60);
    TsRadioButton radio(QStringLiteral("Да"), &form);
    radio.move(10, 150);
    QRadioButton platformRadio(QStringLiteral("Да"), &form);
    platformRadio.move(200, 150);
    form.show();
    ASSERT_TRUE(speedButton.Cache().skinned());
    expectLook(&speedButton, flat::Frame[0], flat::Normal);
    ASSERT_FALSE(speedButton.mask().isEmpty());
    ASSERT_TRUE(radio.Cache().skinned());

    manager.setActive(false);
    EXPECT_EQ(picture(&bitBtn), picture(&pushButton));
    EXPECT_EQ(picture(&speedButton), picture(&toolButton));
    EXPECT_EQ(picture(&groupBox), picture(&platformBox));
    platformRadio.resize(platformRadio.sizeHint());
    EXPECT_EQ(radio.size(), platformRadio.size()) << "auto-sized as the platform's button";
    EXPECT_EQ(picture(&radio), picture(&platformRadio));
    for (QWidget* control : {static_cast<QWidget*>(&bitBtn), static_cast<QWidget*>(&speedButton),
                             static_cast<QWidget*>(&groupBox), static_cast<QWidget*>(&radio)}) {
        EXPECT_TRUE(control->mask().isEmpty()) << control->metaObject()->className();
        EXPECT_FALSE(control->testAttribute(Qt::WA_OpaquePaintEvent));
    }
    bool toggled = false;
    QObject::connect(&radio, &QRadioButton::toggled, [&toggled] { toggled = true; });
    QTest::mouseClick(&radio, Qt::LeftButton, {}, QPoint(8, radio.height() / 2));
    EXPECT_TRUE(toggled) << "and works as one";

    manager.setActive(true);
    ASSERT_TRUE(speedButton.Cache().skinned());
    expectLook(&speedButton, flat::Frame[0], flat::Normal);
    EXPECT_FALSE(speedButton.mask().isEmpty());
    expectLook(&bitBtn, flat::Frame[0], flat::Normal);
    EXPECT_EQ(picture(&groupBox).pixel(0, groupBox.captionHeight() / 2 + 20), flat::Frame[0]);
}

}  // namespace
