#include "tsv.h"

#include <QFileInfo>

#include "data/connection.h"
#include "data/password.h"
#include "data/table.h"
#include "files.h"

QString TsvTable::cell(const Row& row, const QString& columnName) const {
    const int index = column(columnName);
    if (index < 0) fail(QStringLiteral("%1: no column %2").arg(path, columnName));
    return row.cells[index];
}

QString TsvTable::place(const Row& row) const {
    return QStringLiteral("%1, line %2").arg(path).arg(row.line);
}

QString unescapeCell(const QString& cell) {
    QString result;
    result.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] == u'\\' && i + 1 < cell.size()) {
            const QChar next = cell[++i];
            result += next == u't' ? QChar(u'\t') : next == u'n' ? QChar(u'\n') : next;
        } else {
            result += cell[i];
        }
    }
    return result;
}

TsvTable readTsv(const QString& path) {
    TsvTable table;
    table.path = path;
    table.name = QFileInfo(path).completeBaseName();
    const QStringList lines = textLines(readText(path));
    for (int number = 0; number < lines.size(); ++number) {
        if (lines[number].isEmpty()) continue;
        const QStringList cells = lines[number].split(u'\t');
        if (table.columns.isEmpty()) {
            table.columns = cells;
            continue;
        }
        if (cells.size() != table.columns.size())
            fail(QStringLiteral("%1, line %2: %3 cells where the header names %4")
                     .arg(path)
                     .arg(number + 1)
                     .arg(cells.size())
                     .arg(table.columns.size()));
        TsvTable::Row row{number + 1, {}};
        for (const QString& cell : cells)
            row.cells.append(unescapeCell(cell));
        table.rows.append(row);
    }
    return table;
}

void loadTable(TConnection& connection, const TsvTable& source) {
    if (source.columns.isEmpty()) return;
    TTable table(&connection, source.name);
    table.open();
    for (const QString& column : source.columns)
        table.fieldByName(column);  // every column must exist
    const int password =
        source.name == QLatin1String("users") ? source.column(QStringLiteral("Пароль")) : -1;
    connection.transaction([&] {
        for (const TsvTable::Row& row : source.rows) {
            try {
                table.append();
                for (int i = 0; i < source.columns.size(); ++i) {
                    const QString& value = row.cells[i];
                    table.fieldByName(source.columns[i])
                        .setValue(i == password ? hashPassword(value) : value);
                }
                table.post();
            } catch (const KestaError& error) {
                fail(source.place(row) + QStringLiteral(": ") + error.message());
            }
        }
    });
}
