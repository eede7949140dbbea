#include "platform/date_picker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "platform/short_date.h"

namespace {

// The names of months and days are the course's language where the system has none.
QLocale pickerLocale() {
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::Russian, QLocale::Russia) : system;
}

}  // namespace

TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateEdit(parent) {
    setLocale(pickerLocale());
    setCalendarPopup(true);
    setDisplayFormat(shortDateFormat());
    setDateQuietly(QDate::currentDate());
    if (QCalendarWidget* calendar = calendarWidget()) {
        calendar_ = calendar->window();
        calendar_->installEventFilter(this);
    }
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (!quiet_ && !calendarOpen_) Q_EMIT Change();
    });
}

void TDateTimePicker::setDateQuietly(const QDate& date) {
    quiet_ = true;
    setDate(date);
    quiet_ = false;
}

void TDateTimePicker::showCalendar() {
    if (isReadOnly() || !calendar_ || calendar_->isVisible()) return;
    // The platform opens its calendar for a press on the box's button.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    const QRect button =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    const QPointF at = button.center();
    QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(this, &press);
}

bool TDateTimePicker::calendarShown() const {
    return calendar_ && calendar_->isVisible();
}

bool TDateTimePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == calendar_) {
        // The calendar moves the box's date with its cursor; the change counts once, when
        // it closes.
        if (event->type() == QEvent::Show) {
            calendarOpen_ = true;
            dateAtOpening_ = date();
        } else if (event->type() == QEvent::Hide && calendarOpen_) {
            calendarOpen_ = false;
            if (date() != dateAtOpening_ && !quiet_) Q_EMIT Change();
        }
    }
    return QDateEdit::eventFilter(watched, event);
}

void TDateTimePicker::keyPressEvent(QKeyEvent* event) {
    const bool altDown = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (altDown || (event->key() == Qt::Key_F4 && !(event->modifiers() & Qt::AltModifier))) {
        showCalendar();
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}
