#pragma once

#include <QDate>
#include <QString>

// The system's short date format, as filters and grids write dates (Russian where the
// system sets no language). A two-digit year is widened to four digits so that a written
// date always reads back as the same day.
QString shortDateFormat();
QString formatShortDate(const QDate& date);
// An invalid date when the text is not a date in the short format.
QDate parseShortDate(const QString& text);
