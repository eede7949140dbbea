#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <ostream>

// Readable Qt values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{' << list.join(QStringLiteral("\", \"")).prepend(u'"').append(u'"').toStdString()
         << '}';
}
inline void PrintTo(const QVariant& value, std::ostream* out) {
    *out << value.typeName() << '(' << value.toString().toStdString() << ')';
}
inline void PrintTo(const QDate& date, std::ostream* out) {
    *out << date.toString(Qt::ISODate).toStdString();
}
