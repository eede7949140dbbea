#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TConnection;

// The rows of one db/<table>.tsv file: one row per line, cells separated by tabs, the first
// line naming the columns. In a cell, \t, \n and \\ stand for a tab, a line break and a
// backslash. Blank lines are skipped.
struct TsvTable {
    struct Row {
        int line = 0;  // in the file, from 1
        QStringList cells;
    };

    QString path;
    QString name;  // the table's, from the file name
    QStringList columns;
    QList<Row> rows;

    // The column's position, -1 when the header does not name it.
    int column(const QString& name) const { return int(columns.indexOf(name)); }
    // The cell of a column the header must name; fails naming the file otherwise.
    QString cell(const Row& row, const QString& columnName) const;
    // "db/teoria.tsv, line 4": where a row comes from, for messages.
    QString place(const Row& row) const;
};

QString unescapeCell(const QString& cell);
// Reads and checks the shape of a .tsv file: every row has as many cells as the header.
TsvTable readTsv(const QString& path);

// Adds the rows to the table of the same name through the program's table objects, which
// convert each value to its column's kind. Passwords of `users` are stored as hashes.
void loadTable(TConnection& connection, const TsvTable& table);
