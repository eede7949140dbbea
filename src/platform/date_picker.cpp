#include "platform/date_picker.h"

#include "platform/short_date.h"

TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(shortDateFormat());
    setDateQuietly(QDate::currentDate());
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (!quiet_) Q_EMIT Change();
    });
}

void TDateTimePicker::setDateQuietly(const QDate& date) {
    quiet_ = true;
    setDate(date);
    quiet_ = false;
}
