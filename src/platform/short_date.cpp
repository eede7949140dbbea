#include "platform/short_date.h"

#include <QLocale>
#include <QRegularExpression>

QString shortDateFormat() {
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
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
