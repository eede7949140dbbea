#pragma once

#include <QDate>
#include <QLocale>
#include <QMargins>
#include <QRect>
#include <QWidget>

#include "imaging/bitmap32.h"
#include "skin/core/sCommonData.h"

class TsSkinManager;

// Where the parts of a month's calendar lie: the navigation bar on top (a year back and a
// month back on the left, a month and a year on on the right, the month's name between
// them), the row of week-day names under it and six weeks of days below, all inside the
// border's ring.
struct TsCalendarLayout {
    enum TButton { cbPrevYear, cbPrevMonth, cbNextMonth, cbNextYear, cbCount };
    static constexpr int Weeks = 6;

    QSize Size;
    QRect Bar;
    QRect Buttons[cbCount];
    QRect Title;
    QRect Header;
    QRect Days;
    QSize Cell;

    // The cell of the day at `index` (0..41, a week a row).
    QRect dayRect(int index) const;
    // The day's index under `point`, or -1.
    int dayAt(QPoint point) const;
    // The button under `point`, or -1.
    int buttonAt(QPoint point) const;
};
TsCalendarLayout CalendarLayout(QSize cell, const QMargins& border);

// The first day a month's page shows: the first day of the week that holds the 1st.
QDate CalendarFirstShown(int year, int month, Qt::DayOfWeek firstDay);
// Where a key moves the calendar's cursor from `from`: a day by the arrows left and right, a
// week up and down, a month by PageUp and PageDown (a year with Ctrl), the month's first
// and last day by Home and End. Invalid for any other key.
QDate CalendarStep(const QDate& from, int key, Qt::KeyboardModifiers modifiers);

// The calendar that drops down from a skinned date edit, drawn from the skin: the frame and
// the field as an edit's, the navigation bar as a tool bar with tool buttons, the days in
// the edit's colours with the cursor's day marked by the skin's selection, today framed and
// the days of the neighbouring months faded. Its cursor follows the keys and the month
// buttons; only a click on a day, Enter or Space picks a date, Esc closes it untouched.
class TsCalendarPopup : public QWidget {
    Q_OBJECT

public:
    explicit TsCalendarPopup(QWidget* owner);

    // The frame and the field of the calendar: the "EDIT" section, the same as the box it
    // drops from and as a combo box's list, so that the open calendar reads as one piece with
    // the box and the days stand on the colour the box's text stands on.
    TsCommonData SkinData;

    // Opens under `anchor` (a rectangle on the screen; above it where the screen ends below)
    // with the cursor on `date`, within the range of dates that may be picked.
    void popup(const QRect& anchor, const QDate& date, const QDate& minimum, const QDate& maximum);

    QDate Cursor() const { return cursor_; }
    // The month shown.
    int Year() const { return year_; }
    int Month() const { return month_; }
    const TsCalendarLayout& Layout() const { return layout_; }
    // The state a navigation button is drawn in: 2 pressed, 1 under the mouse, else 0.
    int ButtonState(int button) const;
    // The day shown at a cell's index.
    QDate DayAt(int index) const;

    // The picture of the calendar as it is drawn now.
    const Bitmap32& Picture();

Q_SIGNALS:
    // A day was picked (the calendar has closed).
    void picked(const QDate& date);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void relayout();
    void moveCursor(const QDate& date);
    void pick(const QDate& date);
    void turn(int button);
    void changed();
    void paintLook(Bitmap32& cache);
    void paintBar(Bitmap32& cache, const TsSkinManager& manager);
    void paintDays(Bitmap32& cache, const TsSkinManager& manager);

    TsCalendarLayout layout_;
    QDate cursor_;
    QDate minimum_;
    QDate maximum_;
    int year_ = 0;
    int month_ = 0;
    int hot_ = -1;
    int pressed_ = -1;
    Bitmap32 cache_;
};
