#include "data/course_copy.h"

#include <QFile>
#include <QFileInfo>

#include "data/database_error.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"

namespace {

// Copies the rows of one table from one store to the other, in stored order, under their
// keys; the counter is the key and is not written.
template <class From, class To>
void copyTable(From& from, To& to, const QString& table, const CopyProgress& progress) {
    const QVector<StoreColumn> columns = from.columns(table);
    to.createTable(table, columns);
    QStringList written;
    for (const StoreColumn& column : columns)
        if (!column.counter) written.append(column.name);
    const QVector<StoreRow> rows = from.readRows(table, written);
    const qint64 total = rows.size();
    if (progress) progress(table, 0, total);
    qint64 done = 0;
    for (const StoreRow& row : rows) {
        to.copyRow(table, row.key, written, row.values);
        if (progress && (++done % 500 == 0 || done == total)) progress(table, done, total);
    }
    to.setKeyHighWater(table, from.keyHighWater(table));
}

}  // namespace

void uploadCourse(SqliteStore& file, PgStore& server, const CopyProgress& progress) {
    if (!server.tables().isEmpty())
        throw EDatabaseError(QStringLiteral(
            "На сервере уже есть курс: копировать можно только в пустую базу данных"));
    file.snapshot([&] {
        server.transaction([&] {
            for (const QString& table : file.tables())
                copyTable(file, server, table, progress);
        });
    });
}

void downloadCourse(PgStore& server, const QString& path, const QString& password,
                    const CopyProgress& progress) {
    if (QFileInfo::exists(path))
        throw EDatabaseError(QStringLiteral("Файл «%1» уже существует").arg(path));
    const QStringList tables = server.tables();
    if (tables.isEmpty()) throw EDatabaseError(QStringLiteral("На сервере нет курса"));
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    try {
        {
            auto file = SqliteStore::create(part, password);
            server.snapshot([&] {
                file->transaction([&] {
                    for (const QString& table : tables)
                        copyTable(server, *file, table, progress);
                });
            });
        }
        if (!QFile::rename(part, path))
            throw EDatabaseError(QStringLiteral("Не удалось записать файл «%1»").arg(path));
    } catch (...) {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
        throw;
    }
}
