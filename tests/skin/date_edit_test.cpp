// The skinned date edit and its calendar against the flat skin with sections of their own for
// the drop-down button, the tool bar and its buttons: the box, the button and the calendar's
// parts in their states pixel by pixel, a day picked by the mouse or the keys reported once,
// and without a skin the platform's date picker again.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QCursor>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "flat_skin.h"
#include "platform/form.h"
#include "platform/skin_message.h"
#include "skin/controls/sCalendar.h"
#include "skin/controls/sDateEdit.h"
#include "skin/core/sSkinManager.h"
#include "skin_sheet.h"

namespace {

constexpr QRgb EditRing = 0xFF405060;  // EDIT's border, normal
constexpr QRgb EditHotRing = 0xFF6080A0;
constexpr QRgb Button = 0xFF8C5028;  // COMBOBTN normal
constexpr QRgb ButtonHot = 0xFF28508C;
constexpr QRgb Bar = 0xFF3C783C;         // TOOLBAR
constexpr QRgb ToolButton = 0xFFB4783C;  // TOOLBUTTON normal
constexpr QRgb ToolButtonHot = 0xFF3C78B4;
constexpr std::array<QRgb, 3> Glyph{0xFFD02090, 0xFF20D090, 0xFF9020D0};
constexpr int GlyphSize = 5;

QString extraSections() {
    using flat::skinColour;
    // The buttons take BUTTON's three rings, so that each state shows in its ring.
    const QString rings = QStringLiteral("^0000,0000,0018,0006,0002,0002,0002,0002,3,0,0,0");
    QString text;
    text += QStringLiteral("[COMBOBOX]\nPARENTCLASS=EDIT\nGLYPHMASK=!GLYPH.BMP!3!0!2\n");
    text += QStringLiteral("[COMBOBTN]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\nBORDERSMASK=%3\n")
                .arg(skinColour(Button), skinColour(ButtonHot), rings);
    text += QStringLiteral("[TOOLBAR]\nSTATES=1\nCOLOR=%1\nFONTCOLOR=%2\n")
                .arg(skinColour(Bar), skinColour(flat::Text));
    text += QStringLiteral(
                "[TOOLBUTTON]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=%3\nHOTFONTCOLOR=%3\n"
                "BORDERSMASK=%4\n")
                .arg(skinColour(ToolButton), skinColour(ToolButtonHot), skinColour(flat::HotText),
                     rings);
    return text;
}

// The combo arrow: three frames side by side, one colour each.
void writeGlyph(const QString& skin) {
    QImage glyph(3 * GlyphSize, GlyphSize, QImage::Format_RGB32);
    QPainter frames(&glyph);
    for (size_t f = 0; f < Glyph.size(); ++f)
        frames.fillRect(int(f) * GlyphSize, 0, GlyphSize, GlyphSize, QColor::fromRgb(Glyph[f]));
    frames.end();
    glyph.save(skin + QStringLiteral("/GLYPH.BMP"), "BMP");
}

QImage picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage picture(TsCalendarPopup* calendar) {
    Bitmap32 shown = calendar->Picture();
    return shown.image().convertToFormat(QImage::Format_RGB32).copy();
}

int count(const QImage& image, QRgb colour, const QRect& area) {
    const QRect r = area & image.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

class DateEditTest : public ::testing::Test {
protected:
    DateEditTest() {
        QCursor::setPos(2000, 2000);
        flat::writeSkin(folder.path(), extraSections());
        writeGlyph(folder.path() + QStringLiteral("/FLAT"));
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        setBackgroundColour(&form, QColor::fromRgb(flat::Parent));
        form.resize(420, 300);
        form.setFont(pixelFont(QStringLiteral("DejaVu Sans"), 14));
        edit.setGeometry(10, 10, 137, 24);
        edit.setLocale(QLocale(QLocale::Russian, QLocale::Russia));
        edit.setDateQuietly(kDay);
        form.show();
        QApplication::processEvents();
        edit.clearFocus();
    }

    TsCalendarPopup* openCalendar() {
        edit.showCalendar();
        QApplication::processEvents();
        return edit.Calendar();
    }

    static void enter(QWidget* widget) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(widget, &event);
    }

    // A Wednesday in a month whose page begins with days of the month before.
    static inline const QDate kDay{2026, 3, 11};

    QTemporaryDir folder;
    TsSkinManager manager;
    TForm form;
    TsDateEdit edit{&form};
};

TEST(CalendarLayoutTest, PartsLieInsideTheRingInOrder) {
    const TsCalendarLayout layout = CalendarLayout(QSize(30, 20), QMargins(2, 3, 4, 5));
    EXPECT_EQ(layout.Bar, QRect(2, 3, 214, 26));
    EXPECT_EQ(layout.Buttons[TsCalendarLayout::cbPrevYear], QRect(4, 5, 22, 22));
    EXPECT_EQ(layout.Buttons[TsCalendarLayout::cbPrevMonth], QRect(27, 5, 22, 22));
    EXPECT_EQ(layout.Buttons[TsCalendarLayout::cbNextMonth], QRect(169, 5, 22, 22));
    EXPECT_EQ(layout.Buttons[TsCalendarLayout::cbNextYear], QRect(192, 5, 22, 22));
    EXPECT_EQ(layout.Title, QRect(49, 3, 120, 26)) << "between the month buttons";
    EXPECT_EQ(layout.Header, QRect(4, 31, 210, 20));
    EXPECT_EQ(layout.Days, QRect(4, 51, 210, 120));
    EXPECT_EQ(layout.Size, QSize(220, 178)) << "the ring's margins around it all";
    EXPECT_EQ(layout.dayRect(8), QRect(34, 71, 30, 20)) << "second week, second day";
    EXPECT_EQ(layout.dayAt(QPoint(34, 71)), 8);
    EXPECT_EQ(layout.dayAt(QPoint(213, 170)), 41);
    EXPECT_EQ(layout.dayAt(QPoint(20, 40)), -1) << "the week-day row is no day";
    EXPECT_EQ(layout.buttonAt(QPoint(170, 6)), TsCalendarLayout::cbNextMonth);
    EXPECT_EQ(layout.buttonAt(QPoint(100, 10)), -1);
}

TEST(CalendarLayoutTest, PagesBeginWithTheWeekAndKeysMoveTheCursor) {
    EXPECT_EQ(CalendarFirstShown(2026, 3, Qt::Monday), QDate(2026, 2, 23));
    EXPECT_EQ(CalendarFirstShown(2026, 3, Qt::Sunday), QDate(2026, 3, 1));
    EXPECT_EQ(CalendarFirstShown(2026, 6, Qt::Monday), QDate(2026, 6, 1)) << "a Monday the 1st";

    const QDate end(2026, 1, 31);
    EXPECT_EQ(CalendarStep(end, Qt::Key_Right, {}), QDate(2026, 2, 1));
    EXPECT_EQ(CalendarStep(end, Qt::Key_Up, {}), QDate(2026, 1, 24));
    EXPECT_EQ(CalendarStep(end, Qt::Key_PageDown, {}), QDate(2026, 2, 28)) << "a shorter month";
    EXPECT_EQ(CalendarStep(QDate(2028, 2, 29), Qt::Key_PageUp, Qt::ControlModifier),
              QDate(2027, 2, 28));
    EXPECT_EQ(CalendarStep(QDate(2028, 2, 10), Qt::Key_End, {}), QDate(2028, 2, 29));
    EXPECT_EQ(CalendarStep(QDate(2028, 2, 10), Qt::Key_Home, {}), QDate(2028, 2, 1));
    EXPECT_FALSE(CalendarStep(end, Qt::Key_A, {}).isValid());
}

TEST_F(DateEditTest, BoxAndButtonFollowTheStateAndTheCalendar) {
    ASSERT_TRUE(edit.Cache().skinned());
    const TsComboBoxLayout layout = edit.Layout();
    EXPECT_EQ(layout.Button, QRect(118, 2, 17, 20));
    EXPECT_EQ(edit.findChild<QLineEdit*>()->geometry(), layout.Text)
        << "the date is written where the picture leaves room for it";

    const auto expectLook = [&](int box, int button) {
        const QImage shown = picture(&edit);
        EXPECT_EQ(shown.pixel(0, 12), box == 0 ? EditRing : EditHotRing) << box;
        EXPECT_EQ(shown.pixel(2, 2), box == 0 ? flat::Edit : flat::EditHot) << box;
        const QRect b = layout.Button;
        EXPECT_EQ(shown.pixel(b.left(), b.center().y()), flat::Frame[size_t(button)]) << button;
        EXPECT_EQ(shown.pixel(b.left() + 3, b.top() + 3), button == 0 ? Button : ButtonHot);
        EXPECT_EQ(shown.pixel(b.center()), Glyph[size_t(button)]) << "the arrow, centred";
    };
    expectLook(0, 0);
    enter(&edit);
    expectLook(1, 1);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&edit, &leave);
    expectLook(0, 0);
    edit.setFocus();
    expectLook(1, 1);
    EXPECT_GT(count(picture(&edit), flat::EditText, layout.Text), 10)
        << "the date in the section's text colour";

    openCalendar();
    ASSERT_TRUE(edit.Calendar()->isVisible());
    EXPECT_EQ(edit.ButtonState(), 2);
    expectLook(edit.CurrentState(), 2);
    edit.Calendar()->close();
    EXPECT_EQ(edit.ButtonState(), edit.CurrentState());
}

TEST_F(DateEditTest, EveryPartOfTheCalendarIsTheSkins) {
    TsCalendarPopup* calendar = openCalendar();
    ASSERT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->Cursor(), kDay);
    EXPECT_EQ(calendar->Month(), 3);
    const TsCalendarLayout& layout = calendar->Layout();
    EXPECT_GE(calendar->geometry().top(), edit.mapToGlobal(QPoint(0, edit.height())).y())
        << "it drops down under the box";

    QImage shown = picture(calendar);
    EXPECT_EQ(shown.pixel(0, shown.height() / 2), EditRing) << "framed as an edit";
    EXPECT_EQ(shown.pixel(layout.Days.left() - 1, layout.Days.bottom()), flat::Edit);
    EXPECT_EQ(shown.pixel(layout.Title.left() + 1, layout.Bar.top()), Bar);
    const QRect next = layout.Buttons[TsCalendarLayout::cbNextMonth];
    EXPECT_EQ(shown.pixel(next.left(), next.center().y()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(next.left() + 2, next.top() + 2), ToolButton);
    const int arrow = count(shown, flat::HotText, next);
    EXPECT_GT(arrow, 3) << "its arrow in the button's text colour";
    EXPECT_GE(count(shown, flat::HotText, layout.Buttons[TsCalendarLayout::cbNextYear]),
              2 * arrow - 2)
        << "a year's step shows two arrows";
    EXPECT_GT(count(shown, flat::Text, layout.Title), 10) << "the month in the bar's colour";
    EXPECT_GT(count(shown, flat::EditText, layout.Header), 20) << "the week-day names";

    // The cursor's day is the selection's; a day of February is faded, one of March is not.
    const int marked = int(calendar->DayAt(0).daysTo(kDay));
    const QRect cell = layout.dayRect(marked);
    EXPECT_EQ(shown.pixel(cell.left() + 1, cell.top() + 1), flat::Selection);
    EXPECT_GT(count(shown, flat::SelectionText, cell), 5);
    ASSERT_EQ(calendar->DayAt(0), QDate(2026, 2, 23));
    const QRect february = layout.dayRect(0);
    const QRect march = layout.dayRect(int(calendar->DayAt(0).daysTo(QDate(2026, 3, 19))));
    EXPECT_EQ(count(shown, flat::EditText, february), 0);
    EXPECT_GT(february.width() * february.height() - count(shown, flat::Edit, february), 5)
        << "but it is written";
    EXPECT_GT(count(shown, flat::EditText, march), 5);

    // Hovered and pressed, the month button shows its states; released, the month turns.
    QTest::mouseMove(calendar, next.center());
    EXPECT_EQ(calendar->ButtonState(TsCalendarLayout::cbNextMonth), 1);
    shown = picture(calendar);
    EXPECT_EQ(shown.pixel(next.left(), next.center().y()), flat::Frame[1]);
    EXPECT_EQ(shown.pixel(next.left() + 2, next.top() + 2), ToolButtonHot);
    QTest::mousePress(calendar, Qt::LeftButton, {}, next.center());
    EXPECT_EQ(picture(calendar).pixel(next.left(), next.center().y()), flat::Frame[2]);
    QTest::mouseRelease(calendar, Qt::LeftButton, {}, next.center());
    EXPECT_EQ(calendar->Month(), 4);
    EXPECT_EQ(calendar->Cursor(), QDate(2026, 4, 11));
    EXPECT_EQ(edit.date(), kDay) << "turning a page picks nothing";
    calendar->close();
}

TEST_F(DateEditTest, TodayIsFramedInTheTextColour) {
    const QDate today = QDate::currentDate();
    const QDate other = today.day() <= 14 ? today.addDays(7) : today.addDays(-7);
    edit.setDateQuietly(other);
    TsCalendarPopup* calendar = openCalendar();
    const QRect cell = calendar->Layout().dayRect(int(calendar->DayAt(0).daysTo(today)));
    const QImage shown = picture(calendar);
    EXPECT_EQ(shown.pixel(cell.left() + 1, cell.center().y()), flat::EditText);
    EXPECT_EQ(shown.pixel(cell.right() - 1, cell.top() + 1), flat::EditText);
    EXPECT_EQ(shown.pixel(cell.left(), cell.center().y()), flat::Edit) << "inside the cell";
    calendar->close();
}

TEST_F(DateEditTest, APickedDayIsReportedOnce) {
    QSignalSpy changes(&edit, &TDateTimePicker::Change);
    edit.setDateQuietly(QDate(2026, 3, 12));
    edit.setDateQuietly(kDay);
    EXPECT_EQ(changes.count(), 0) << "dates set in code are not the user's";

    // By the mouse: a click on a day.
    TsCalendarPopup* calendar = openCalendar();
    const QRect day20 =
        calendar->Layout().dayRect(int(calendar->DayAt(0).daysTo(QDate(2026, 3, 20))));
    QTest::mouseClick(calendar, Qt::LeftButton, {}, day20.center());
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(edit.date(), QDate(2026, 3, 20));
    EXPECT_EQ(changes.count(), 1);

    // By the keys: Alt+Down opens, the cursor wanders without changing the date, Enter picks.
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(calendar->isVisible());
    QTest::keyClick(calendar, Qt::Key_Right);
    QTest::keyClick(calendar, Qt::Key_Right);
    QTest::keyClick(calendar, Qt::Key_PageDown);
    QTest::keyClick(calendar, Qt::Key_Up);
    EXPECT_EQ(calendar->Cursor(), QDate(2026, 4, 15));
    EXPECT_EQ(edit.date(), QDate(2026, 3, 20));
    EXPECT_EQ(changes.count(), 1);
    QTest::keyClick(calendar, Qt::Key_Return);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(edit.date(), QDate(2026, 4, 15));
    EXPECT_EQ(changes.count(), 2);

    // Esc closes it untouched; picking the day already shown changes nothing.
    QTest::keyClick(&edit, Qt::Key_F4);
    ASSERT_TRUE(calendar->isVisible());
    QTest::keyClick(calendar, Qt::Key_Left);
    QTest::keyClick(calendar, Qt::Key_Escape);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(edit.date(), QDate(2026, 4, 15));
    edit.showCalendar();
    QTest::keyClick(calendar, Qt::Key_Space);
    EXPECT_EQ(changes.count(), 2);

    // The box's own keys still step the date, each step a change.
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.date(), QDate(2026, 4, 16));
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(DateEditTest, AnOpenCalendarFollowsANewSkin) {
    TsCalendarPopup* calendar = openCalendar();
    const QPoint field(calendar->Layout().Days.left() - 1, calendar->Layout().Days.bottom());
    ASSERT_EQ(picture(calendar).pixel(field), flat::Edit);
    // The same skin again with its colours turned: the box and the calendar change alike.
    manager.setHueOffset(120);
    QApplication::processEvents();
    ASSERT_TRUE(calendar->isVisible());
    const QRgb turned = picture(&edit).pixel(2, 2);
    EXPECT_NE(turned, flat::Edit);
    EXPECT_EQ(picture(calendar).pixel(field), turned);
    calendar->close();
}

TEST_F(DateEditTest, ItAnswersTheEngineSkinnedOrNot) {
    EXPECT_EQ(TsSkinMessage::ask(&edit, TsSkinMessage::AC_CTRLHANDLED), 1);
    EXPECT_EQ(TsSkinMessage::ask(edit.Calendar(), TsSkinMessage::AC_CTRLHANDLED), 1);
    manager.setActive(false);
    EXPECT_EQ(TsSkinMessage::ask(&edit, TsSkinMessage::AC_CTRLHANDLED), 1);
    EXPECT_TRUE(TsSkinMessage::isSkinnedControl(&edit));
}

TEST_F(DateEditTest, RemovingTheSkinGivesThePlatformPickerBack) {
    TDateTimePicker platform(&form);
    platform.setGeometry(160, 10, 137, 24);
    platform.setLocale(edit.locale());
    platform.setDateQuietly(kDay);
    platform.show();
    TsCalendarPopup* calendar = openCalendar();
    ASSERT_TRUE(calendar->isVisible());

    manager.setActive(false);
    QApplication::processEvents();
    EXPECT_FALSE(calendar->isVisible()) << "the skin's calendar goes with the skin";
    EXPECT_FALSE(edit.Cache().skinned());
    EXPECT_EQ(edit.style(), QApplication::style());
    EXPECT_EQ(picture(&edit), picture(&platform));

    // The platform's calendar opens instead, and a day picked in it counts once.
    QSignalSpy changes(&edit, &TDateTimePicker::Change);
    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(calendar->isVisible());
    ASSERT_TRUE(edit.calendarShown());
    QCalendarWidget* platformCalendar = edit.calendarWidget();
    platformCalendar->setSelectedDate(kDay.addDays(1));
    platformCalendar->setSelectedDate(kDay.addDays(2));
    EXPECT_EQ(changes.count(), 0) << "not while it is open";
    platformCalendar->window()->close();
    EXPECT_FALSE(edit.calendarShown());
    EXPECT_EQ(edit.date(), kDay.addDays(2));
    EXPECT_EQ(changes.count(), 1);

    manager.setActive(true);
    QApplication::processEvents();
    ASSERT_TRUE(edit.Cache().skinned());
    edit.clearFocus();
    EXPECT_NE(edit.style(), QApplication::style());
    EXPECT_EQ(picture(&edit).pixel(0, 12), EditRing);
    EXPECT_EQ(picture(&edit).pixel(edit.Layout().Button.center()), Glyph[0]);
    edit.showCalendar();
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_EQ(picture(calendar).pixel(0, calendar->height() / 2), EditRing);
    calendar->close();
}

}  // namespace
