// kesta-course-builder SOURCE OUTPUT
//
// Makes a course installation folder from the course sources: the database Kesta.db,
// created from SOURCE/schema.sql, keyed with the course's database password and filled
// from SOURCE/db/<table>.tsv, and copies of SOURCE/Data and SOURCE/Skins.
//
// A .tsv file holds one row per line, columns separated by tabs, the first line naming the
// columns. In a cell, \t, \n and \\ stand for a tab, a line break and a backslash. An empty
// cell is an empty text in a text column and no value in any other. Passwords in
// users.tsv are stored as their hashes.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

#include "app/dm.h"
#include "data/connection.h"
#include "data/password.h"
#include "data/sqlite_store.h"
#include "data/table.h"
#include "platform/kesta_error.h"

namespace {

[[noreturn]] void fail(const QString& message) {
    throw KestaError(message);
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return QString::fromUtf8(file.readAll());
}

QString unescape(const QString& cell) {
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

// Adds the rows of one .tsv file to its table; returns how many.
int loadTable(TConnection& connection, const QString& path) {
    const QString tableName = QFileInfo(path).completeBaseName();
    QStringList lines = readText(path).split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
    }
    lines.removeAll(QString());
    if (lines.isEmpty()) return 0;
    const QStringList columns = lines.takeFirst().split(u'\t');

    TTable table(&connection, tableName);
    table.open();
    for (const QString& column : columns)
        table.fieldByName(column);  // every column must exist
    const bool users = tableName == QLatin1String("users");
    connection.transaction([&] {
        for (int number = 0; number < lines.size(); ++number) {
            const QStringList cells = lines[number].split(u'\t');
            if (cells.size() != columns.size())
                fail(QStringLiteral("%1, row %2: %3 cells where the header names %4")
                         .arg(path)
                         .arg(number + 2)
                         .arg(cells.size())
                         .arg(columns.size()));
            table.append();
            for (int i = 0; i < columns.size(); ++i) {
                QString value = unescape(cells[i]);
                if (users && columns[i] == QStringLiteral("Пароль")) value = hashPassword(value);
                table.fieldByName(columns[i]).setValue(value);
            }
            table.post();
        }
    });
    return int(lines.size());
}

void copyTree(const QString& from, const QString& to) {
    if (!QFileInfo(from).isDir()) return;
    QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        if (!QFile::copy(source, target))
            fail(QStringLiteral("cannot copy %1 to %2").arg(source, target));
    }
}

void build(const QString& source, const QString& output) {
    if (!QDir().mkpath(output)) fail(QStringLiteral("cannot create %1").arg(output));
    const QString database = output + QStringLiteral("/") + TDataModule1::DatabaseFile;
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(database + QLatin1String(suffix));

    TConnection connection;
    {
        auto store = SqliteStore::create(database, TDataModule1::DatabasePassword);
        store->execute(readText(source + QStringLiteral("/schema.sql")));
        connection.open(std::move(store));
    }
    const QDir tables(source + QStringLiteral("/db"));
    for (const QString& name :
         tables.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name)) {
        const int rows = loadTable(connection, tables.filePath(name));
        std::printf("  %s: %d rows\n", qPrintable(QFileInfo(name).completeBaseName()), rows);
    }
    connection.close();

    copyTree(source + QStringLiteral("/Data"), output + QStringLiteral("/Data"));
    copyTree(source + QStringLiteral("/Skins"), output + QStringLiteral("/Skins"));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: kesta-course-builder SOURCE OUTPUT\n");
        return 2;
    }
    try {
        build(arguments[1], arguments[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kesta-course-builder: %s\n",
                     exceptionText(error).toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
