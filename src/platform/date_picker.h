#pragma once

#include <QDate>
#include <QDateEdit>
#include <QPointer>

// The date picker: a date box with a calendar that drops down (by a click on its button, or
// by Alt+Down or F4). Only a change made by the user is reported, and a day picked in the
// calendar once, when the calendar closes, however the cursor wandered in it; setting the
// date in code is not reported.
class TDateTimePicker : public QDateEdit {
    Q_OBJECT

public:
    explicit TDateTimePicker(QWidget* parent = nullptr);

    // Sets the date without reporting a change.
    void setDateQuietly(const QDate& date);

    // Opens the calendar under the box.
    virtual void showCalendar();
    // Whether the calendar is open.
    virtual bool calendarShown() const;

Q_SIGNALS:
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool quiet_ = false;
    // The platform's calendar window, and the date the box held when it opened.
    QPointer<QWidget> calendar_;
    bool calendarOpen_ = false;
    QDate dateAtOpening_;
};
