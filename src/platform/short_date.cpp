#include "platform/short_date.h"

#include <QLocale>
#include <QRegularExpression>

QString shortDateFormat() {
    // A system without a language of its own gets the course's: Russian.
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::Russian, QLocale::Russia);
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) {
        static const QRegularExpression years(QStringLiteral("y+"));
        format.replace(years, QStringLiteral("yyyy"));
    }
    return format;
}

QString formatShortDate(const QDate& date) {
    return date.toString(shortDateFormat());
}

QDate parseShortDate(const QString& text) {
    return QDate::fromString(text.trimmed(), shortDateFormat());
}
