#pragma once

#include <QString>
#include <QStringList>

// Names of tables and columns as SQL reads them, whatever they hold (Russian names with
// spaces, quotes): in double quotes, a quote inside doubled.
inline QString quoted(const QString& name) {
    QString result = name;
    result.replace(u'"', QStringLiteral("\"\""));
    return u'"' + result + u'"';
}

inline QString joinedColumns(const QStringList& columns) {
    QStringList parts;
    for (const QString& column : columns)
        parts.append(quoted(column));
    return parts.join(QStringLiteral(", "));
}
