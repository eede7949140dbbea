#pragma once

#include <QDateEdit>

// The date picker: a date box with a calendar that drops down. Only a change made by the
// user is reported; setting the date in code is not.
class TDateTimePicker : public QDateEdit {
    Q_OBJECT

public:
    explicit TDateTimePicker(QWidget* parent = nullptr);

    // Sets the date without reporting a change.
    void setDateQuietly(const QDate& date);

Q_SIGNALS:
    void Change();

private:
    bool quiet_ = false;
};
