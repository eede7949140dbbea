#include "data/sqlite_store.h"

#include <sqlite3.h>

#include <algorithm>

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <mutex>
#include <thread>

#include "data/database_error.h"
#include "data/sql_names.h"

namespace {

// A Russian explanation of an SQLite failure; the engine's own text is kept beside it.
QString describe(sqlite3* db, int code) {
    const QString engine = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("база данных занята другой программой (%1)").arg(engine);
        case SQLITE_READONLY:
            return QStringLiteral("файл базы данных доступен только для чтения (%1)").arg(engine);
        case SQLITE_FULL:
            return QStringLiteral("на диске нет места (%1)").arg(engine);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("файл базы данных повреждён (%1)").arg(engine);
        case SQLITE_IOERR:
            return QStringLiteral("ошибка чтения или записи файла (%1)").arg(engine);
        case SQLITE_CANTOPEN:
            return QStringLiteral("файл не удаётся открыть (%1)").arg(engine);
        case SQLITE_CONSTRAINT:
            return QStringLiteral("значение нарушает ограничение таблицы (%1)").arg(engine);
        case SQLITE_PERM:
            return QStringLiteral("нет прав доступа к файлу (%1)").arg(engine);
        default:
            return engine;
    }
}

void bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            sqlite3_bind_int64(statement, index, value.toLongLong());
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            sqlite3_bind_double(statement, index, value.toDouble());
            return;
        case QMetaType::QDate: {
            const QByteArray text = value.toDate().toString(Qt::ISODate).toUtf8();
            sqlite3_bind_text(statement, index, text.constData(), int(text.size()),
                              SQLITE_TRANSIENT);
            return;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob(statement, index, bytes.constData(), int(bytes.size()),
                              SQLITE_TRANSIENT);
            return;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(statement, index, text.constData(), int(text.size()),
                              SQLITE_TRANSIENT);
            return;
        }
    }
}

QVariant columnValue(sqlite3_stmt* statement, int index) {
    switch (sqlite3_column_type(statement, index)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(statement, index));
        case SQLITE_FLOAT:
            return sqlite3_column_double(statement, index);
        case SQLITE_TEXT:
            return QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, index)),
                sqlite3_column_bytes(statement, index));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, index)),
                              sqlite3_column_bytes(statement, index));
        default:
            return {};
    }
}

// Resets a cached statement when the call that used it ends, however it ends.
struct StatementUse {
    sqlite3_stmt* statement;
    ~StatementUse() {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};

QString keyPragma(const QString& password) {
    QString escaped = password;
    escaped.replace(u'\'', QStringLiteral("''"));
    return QStringLiteral("PRAGMA key = '%1'").arg(escaped);
}

// Opens the file and applies the key; null when the key does not fit the file.
sqlite3* openWithKey(const QString& path, const QString& password, int flags) {
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (opened != SQLITE_OK) {
        const QString reason = describe(db, opened);
        sqlite3_close(db);
        throw EDatabaseError(
            QStringLiteral("Не удалось открыть базу данных «%1»: %2").arg(path, reason));
    }
    if (!password.isEmpty()) {
        sqlite3_exec(db, keyPragma(password).toUtf8().constData(), nullptr, nullptr, nullptr);
    }
    // The first read waits, as every later one does, while another program commits.
    sqlite3_busy_timeout(db, SqliteStore::kBusyLimitMs);
    const int read =
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (read == SQLITE_NOTADB) {
        sqlite3_close(db);
        return nullptr;
    }
    if (read != SQLITE_OK) {
        const QString reason = describe(db, read);
        sqlite3_close(db);
        throw EDatabaseError(
            QStringLiteral("Не удалось открыть базу данных «%1»: %2").arg(path, reason));
    }
    return db;
}

std::mutex observerLock;
SqliteStore::BusyObserver& busyObserver() {
    static SqliteStore::BusyObserver observer;
    return observer;
}

}  // namespace

void SqliteStore::setBusyObserver(BusyObserver observer) {
    const std::lock_guard<std::mutex> hold(observerLock);
    busyObserver() = std::move(observer);
}

int SqliteStore::busyWait(void* context, int attempt) {
    auto* store = static_cast<SqliteStore*>(context);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (attempt == 0) store->busySince_ = now;
    const qint64 waited = now - store->busySince_;
    if (waited >= kBusyLimitMs) return 0;
    BusyObserver observer;
    {
        const std::lock_guard<std::mutex> hold(observerLock);
        observer = busyObserver();
    }
    if (observer && !observer(int(waited))) return 0;
    if (store->writing_) {
        // A commit waiting for readers to let go: they hold the file for moments only, and
        // no new reader can start meanwhile, so the commit looks again almost at once (and
        // less often when a long read, a whole journal say, is under way).
        std::this_thread::sleep_for(std::chrono::microseconds(attempt < 50 ? 200 : 2000));
    } else {
        // Waiting to write: writes last a few milliseconds. Short steps keep the wait close
        // to first come, first served, against programs that let go and come back at once.
        std::this_thread::sleep_for(std::chrono::milliseconds(attempt < 20 ? 1 : 3));
    }
    return 1;
}

namespace {

void configure(sqlite3* db, SqliteStore* store, int (*wait)(void*, int)) {
    sqlite3_busy_handler(db, wait, store);
    // A read-only file keeps its journal as it is; its writes fail later with a clear error.
    // A file that another program holds in write-ahead mode stays so until the last program
    // lets go of it; the first to open it alone then turns it back.
    sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
}

}  // namespace

std::unique_ptr<SqliteStore> SqliteStore::open(const QString& path, const QString& password) {
    const QFileInfo file(path);
    if (!file.isFile()) {
        throw EDatabaseError(
            QStringLiteral("Не найден файл базы данных «%1» в папке «%2»")
                .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())));
    }
    const QString fullPath = file.absoluteFilePath();
    // An empty file would be taken for a new database and written to; it is refused as it is.
    if (file.size() == 0) {
        throw EDatabaseError(
            QStringLiteral("Файл «%1» пуст: это не база данных курса").arg(fullPath));
    }
    sqlite3* db = openWithKey(fullPath, password, SQLITE_OPEN_READWRITE);
    if (!db && !password.isEmpty()) db = openWithKey(fullPath, QString(), SQLITE_OPEN_READWRITE);
    if (!db) {
        throw EDatabaseError(
            QStringLiteral("Файл «%1» не является базой данных курса или защищён другим паролем")
                .arg(fullPath));
    }
    auto store = std::unique_ptr<SqliteStore>(new SqliteStore(db, fullPath));
    configure(db, store.get(), busyWait);
    return store;
}

std::unique_ptr<SqliteStore> SqliteStore::create(const QString& path, const QString& password) {
    sqlite3* db = openWithKey(path, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!db) {
        throw EDatabaseError(
            QStringLiteral("Файл «%1» уже существует и не является базой данных").arg(path));
    }
    auto store =
        std::unique_ptr<SqliteStore>(new SqliteStore(db, QFileInfo(path).absoluteFilePath()));
    configure(db, store.get(), busyWait);
    return store;
}

SqliteStore::SqliteStore(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

SqliteStore::~SqliteStore() {
    for (sqlite3_stmt* statement : std::as_const(statements_))
        sqlite3_finalize(statement);
    sqlite3_close(db_);
}

void SqliteStore::fail(const QString& what) const {
    throw EDatabaseError(what + QStringLiteral(": ") + describe(db_, sqlite3_errcode(db_)));
}

void SqliteStore::exec(const char* sql, const QString& what) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(what);
}

void SqliteStore::execute(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message);
        sqlite3_free(message);
        throw EDatabaseError(QStringLiteral("Ошибка в описании базы данных: %1").arg(text));
    }
}

QStringList SqliteStore::integrityCheck() {
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA integrity_check", -1, &check, nullptr) != SQLITE_OK)
        fail(QStringLiteral("Не удалось проверить базу данных «%1»").arg(path_));
    QStringList lines;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(check)) == SQLITE_ROW)
        lines.append(QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(check, 0))));
    sqlite3_finalize(check);
    if (step != SQLITE_DONE) fail(QStringLiteral("Не удалось проверить базу данных «%1»").arg(path_));
    return lines;
}

QStringList SqliteStore::tables() {
    const QVector<StoreRow> rows = select(
        QStringLiteral("sqlite_master"),
        QStringLiteral("SELECT rowid, name FROM sqlite_master WHERE type = 'table' AND name NOT "
                       "LIKE 'sqlite_%' AND name <> 'row_keys' ORDER BY rowid"),
        1, nullptr);
    QStringList names;
    for (const StoreRow& row : rows)
        names.append(row.values[0].toString());
    return names;
}

qint64 SqliteStore::keyHighWater(const QString& table) {
    if (!hasCounter(table)) return lastKey(table);
    // A counter remembers its own last number.
    const QVariant name(table);
    const QVector<StoreRow> rows = select(
        table,
        QStringLiteral("SELECT 0, max(coalesce((SELECT seq FROM sqlite_sequence WHERE name = ?), "
                       "0), coalesce((SELECT max(rowid) FROM %1), 0))")
            .arg(quoted(table)),
        1, &name);
    return rows.value(0).values.value(0).toLongLong();
}

void SqliteStore::setKeyHighWater(const QString& table, qint64 key) {
    transaction([&] {
        if (key <= keyHighWater(table)) return;
        if (!hasCounter(table)) {
            noteLastKey(table, key);
            return;
        }
        const QByteArray name = table.toUtf8();
        const QString sql = QStringLiteral(
                                "DELETE FROM sqlite_sequence WHERE name = '%1'; INSERT INTO "
                                "sqlite_sequence (name, seq) VALUES ('%1', %2)")
                                .arg(QString(table).replace(u'\'', QStringLiteral("''")))
                                .arg(key);
        exec(sql.toUtf8().constData(),
             QStringLiteral("Не удалось записать ключ строки таблицы «%1»").arg(table));
    });
}

void SqliteStore::createTable(const QString& table, const QVector<StoreColumn>& columns) {
    QStringList parts;
    for (const StoreColumn& column : columns)
        parts.append(quoted(column.name) + u' ' +
                     (column.counter ? QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT")
                                     : column.declaredType));
    const QString sql =
        QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), parts.join(QStringLiteral(", ")));
    exec(sql.toUtf8().constData(), QStringLiteral("Не удалось создать таблицу «%1»").arg(table));
}

void SqliteStore::copyRow(const QString& table, qint64 key, const QStringList& columns,
                          const QVector<QVariant>& values) {
    QStringList names{QStringLiteral("rowid")};
    QStringList marks{QStringLiteral("?")};
    for (const QString& column : columns) {
        names.append(quoted(column));
        marks.append(QStringLiteral("?"));
    }
    QVector<QVariant> all{QVariant(key)};
    all.append(values);
    runInsert(table,
              QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(table), names.join(QStringLiteral(", ")),
                       marks.join(QStringLiteral(", "))),
              all);
}

sqlite3_stmt* SqliteStore::statement(const QString& sql) {
    if (sqlite3_stmt* cached = statements_.value(sql)) return cached;
    sqlite3_stmt* prepared = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &prepared, nullptr) !=
        SQLITE_OK)
        fail(QStringLiteral("Ошибка в запросе к базе данных «%1»").arg(path_));
    statements_.insert(sql, prepared);
    return prepared;
}

QVector<StoreColumn> SqliteStore::columns(const QString& table) {
    // Prepared afresh each time: the answer is made when the statement is prepared, and
    // another program may have added a column since.
    sqlite3_stmt* info = nullptr;
    const QByteArray text = QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)).toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &info, nullptr) != SQLITE_OK)
        fail(QStringLiteral("Не удалось прочитать описание таблицы «%1»").arg(table));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(info, sqlite3_finalize);
    QVector<StoreColumn> result;
    int keyColumns = 0;
    int keyIndex = -1;
    int step;
    while ((step = sqlite3_step(info)) == SQLITE_ROW) {
        StoreColumn column;
        column.name = columnValue(info, 1).toString();
        column.declaredType = columnValue(info, 2).toString();
        if (sqlite3_column_int(info, 5) > 0) {
            ++keyColumns;
            keyIndex = int(result.size());
        }
        result.append(column);
    }
    if (step != SQLITE_DONE)
        fail(QStringLiteral("Не удалось прочитать описание таблицы «%1»").arg(table));
    if (result.isEmpty())
        throw EDatabaseError(QStringLiteral("В базе данных нет таблицы «%1»").arg(table));
    // A single INTEGER primary key is the row's key itself: the store numbers new rows.
    if (keyColumns == 1 && result[keyIndex].declaredType.trimmed().compare(
                               QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
        result[keyIndex].counter = true;
    return result;
}

QVector<StoreRow> SqliteStore::select(const QString& table, const QString& sql, int count,
                                      const QVariant* bound) {
    sqlite3_stmt* select = statement(sql);
    StatementUse use{select};
    if (bound) bindValue(select, 1, *bound);
    QVector<StoreRow> rows;
    int step;
    while ((step = sqlite3_step(select)) == SQLITE_ROW) {
        StoreRow row;
        row.key = sqlite3_column_int64(select, 0);
        row.values.reserve(count);
        for (int i = 0; i < count; ++i)
            row.values.append(columnValue(select, i + 1));
        rows.append(std::move(row));
    }
    if (step != SQLITE_DONE) fail(QStringLiteral("Не удалось прочитать таблицу «%1»").arg(table));
    return rows;
}

QVector<StoreRow> SqliteStore::readRows(const QString& table, const QStringList& columns) {
    QString sql = QStringLiteral("SELECT rowid");
    if (!columns.isEmpty()) sql += QStringLiteral(", ") + joinedColumns(columns);
    sql += QStringLiteral(" FROM %1 ORDER BY rowid").arg(quoted(table));
    return select(table, sql, int(columns.size()), nullptr);
}

QVector<StoreRow> SqliteStore::readRowsWhere(const QString& table, const QStringList& columns,
                                             const QString& column, const QVariant& value) {
    QString sql = QStringLiteral("SELECT rowid");
    if (!columns.isEmpty()) sql += QStringLiteral(", ") + joinedColumns(columns);
    sql += QStringLiteral(" FROM %1 WHERE %2 IS ? ORDER BY rowid").arg(quoted(table), quoted(column));
    return select(table, sql, int(columns.size()), &value);
}

std::optional<StoreRow> SqliteStore::readRow(const QString& table, qint64 key,
                                             const QStringList& columns) {
    QString sql = QStringLiteral("SELECT rowid");
    if (!columns.isEmpty()) sql += QStringLiteral(", ") + joinedColumns(columns);
    sql += QStringLiteral(" FROM %1 WHERE rowid = ?").arg(quoted(table));
    const QVariant bound(key);
    QVector<StoreRow> rows = select(table, sql, int(columns.size()), &bound);
    if (rows.isEmpty()) return std::nullopt;
    return std::move(rows.front());
}

StoreRow SqliteStore::readStoredRow(const QString& table, qint64 key, const QStringList& columns) {
    std::optional<StoreRow> row = readRow(table, key, columns);
    if (!row) fail(QStringLiteral("Не удалось прочитать новую строку таблицы «%1»").arg(table));
    return std::move(*row);
}

QVariant SqliteStore::maximum(const QString& table, const QString& column) {
    const QString sql =
        QStringLiteral("SELECT 0, max(%1) FROM %2").arg(quoted(column), quoted(table));
    const QVector<StoreRow> rows = select(table, sql, 1, nullptr);
    return rows.isEmpty() ? QVariant() : rows.front().values.value(0);
}

bool SqliteStore::hasCounter(const QString& table) {
    const QVector<StoreColumn> all = columns(table);
    return std::any_of(all.begin(), all.end(), [](const StoreColumn& c) { return c.counter; });
}

qint64 SqliteStore::lastKey(const QString& table) {
    if (!keysTableReady_) {
        exec("CREATE TABLE IF NOT EXISTS row_keys (name TEXT PRIMARY KEY, last INTEGER NOT NULL)",
             QStringLiteral("Не удалось подготовить учёт ключей в базе данных «%1»").arg(path_));
        keysTableReady_ = true;
    }
    const QString sql =
        QStringLiteral("SELECT 0, max(coalesce((SELECT last FROM row_keys WHERE name = ?), 0), "
                       "coalesce((SELECT max(rowid) FROM %1), 0))")
            .arg(quoted(table));
    const QVariant name(table);
    return select(table, sql, 1, &name).value(0).values.value(0).toLongLong();
}

void SqliteStore::noteLastKey(const QString& table, qint64 key) {
    // Called with a key no smaller than lastKey(), so the new figure simply replaces the old.
    sqlite3_stmt* note =
        statement(QStringLiteral("INSERT OR REPLACE INTO row_keys (name, last) VALUES (?, ?)"));
    StatementUse use{note};
    bindValue(note, 1, table);
    sqlite3_bind_int64(note, 2, key);
    if (sqlite3_step(note) != SQLITE_DONE)
        fail(QStringLiteral("Не удалось записать ключ строки таблицы «%1»").arg(table));
}

void SqliteStore::runInsert(const QString& table, const QString& sql,
                            const QVector<QVariant>& values) {
    sqlite3_stmt* insert = statement(sql);
    StatementUse use{insert};
    for (int i = 0; i < values.size(); ++i)
        bindValue(insert, i + 1, values[i]);
    if (sqlite3_step(insert) != SQLITE_DONE)
        fail(QStringLiteral("Не удалось добавить строку в таблицу «%1»").arg(table));
}

StoreRow SqliteStore::insertRow(const QString& table, const QStringList& columns,
                                const QVector<QVariant>& values, const QStringList& readBack) {
    StoreRow stored;
    transaction([&] {
        QStringList names;
        QVector<QVariant> all;
        // A counter numbers the row itself and never reuses a number; any other table's
        // row takes a key no row of it has had.
        const bool counted = hasCounter(table);
        const qint64 key = counted ? 0 : lastKey(table) + 1;
        if (!counted) {
            names.append(QStringLiteral("rowid"));
            all.append(key);
        }
        for (const QString& column : columns)
            names.append(quoted(column));
        all.append(values);
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table));
        } else {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks.append(QStringLiteral("?"));
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(table), names.join(QStringLiteral(", ")),
                           marks.join(QStringLiteral(", ")));
        }
        runInsert(table, sql, all);
        if (!counted) noteLastKey(table, key);
        stored = readStoredRow(table, counted ? sqlite3_last_insert_rowid(db_) : key, readBack);
    });
    return stored;
}

StoreRow SqliteStore::insertRowAfter(const QString& table, qint64 after, const QStringList& columns,
                                     const QVector<QVariant>& values, const QStringList& readBack) {
    if (hasCounter(table)) {
        const QVector<StoreColumn> all = this->columns(table);
        const auto counter =
            std::find_if(all.begin(), all.end(), [](const StoreColumn& c) { return c.counter; });
        throw EDatabaseError(QStringLiteral("Таблица «%1»: порядок строк задаёт счётчик «%2», "
                                            "строку нельзя вставить между другими")
                                 .arg(table, counter->name));
    }
    StoreRow stored;
    transaction([&] {
        if (after > 0 && !readRow(table, after, {})) throw ERowConflict(table);
        // The new row and every row after it take keys above any the table has had: the new
        // row the first, the later rows theirs shifted by one step, which keeps their order.
        const qint64 last = lastKey(table);
        const qint64 key = last + 1;
        const qint64 shift = key - after;
        sqlite3_stmt* update =
            statement(QStringLiteral("UPDATE %1 SET rowid = rowid + ? WHERE rowid > ?")
                          .arg(quoted(table)));
        {
            StatementUse use{update};
            sqlite3_bind_int64(update, 1, shift);
            sqlite3_bind_int64(update, 2, after);
            if (sqlite3_step(update) != SQLITE_DONE)
                fail(QStringLiteral("Не удалось освободить место для строки в таблице «%1»")
                         .arg(table));
        }
        copyRow(table, key, columns, values);
        noteLastKey(table, lastKey(table));
        stored = readStoredRow(table, key, readBack);
    });
    return stored;
}

void SqliteStore::updateRow(const QString& table, qint64 key, const QStringList& columns,
                            const QVector<QVariant>& values) {
    if (columns.isEmpty()) {
        if (!readRow(table, key, {})) throw ERowConflict(table);
        return;
    }
    QStringList assignments;
    for (const QString& column : columns)
        assignments.append(quoted(column) + QStringLiteral(" = ?"));
    sqlite3_stmt* update =
        statement(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                      .arg(quoted(table), assignments.join(QStringLiteral(", "))));
    StatementUse use{update};
    for (int i = 0; i < values.size(); ++i)
        bindValue(update, i + 1, values[i]);
    sqlite3_bind_int64(update, int(values.size()) + 1, key);
    if (sqlite3_step(update) != SQLITE_DONE)
        fail(QStringLiteral("Не удалось сохранить строку таблицы «%1»").arg(table));
    if (sqlite3_changes(db_) != 1) throw ERowConflict(table);
}

void SqliteStore::deleteRow(const QString& table, qint64 key) {
    sqlite3_stmt* remove =
        statement(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(table)));
    StatementUse use{remove};
    sqlite3_bind_int64(remove, 1, key);
    if (sqlite3_step(remove) != SQLITE_DONE)
        fail(QStringLiteral("Не удалось удалить строку таблицы «%1»").arg(table));
    if (sqlite3_changes(db_) != 1) throw ERowConflict(table);
}

void SqliteStore::addColumn(const QString& table, const QString& name,
                            const QString& declaredType) {
    // Adding a column rewrites nothing: the existing rows read it as empty.
    const QString sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                            .arg(quoted(table), quoted(name), declaredType);
    exec(sql.toUtf8().constData(),
         QStringLiteral("Не удалось добавить столбец «%1» в таблицу «%2»").arg(name, table));
}

bool SqliteStore::addUniqueIndex(const QString& table, const QString& index,
                                 const QString& column) {
    const QString sql = QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                            .arg(quoted(index), quoted(table), quoted(column));
    // A file that has the index is not held for writing, so that a read-only one opens.
    const QVariant name(index);
    const QString lookUp =
        QStringLiteral("SELECT 0 FROM sqlite_master WHERE type = 'index' AND name = ?");
    if (!select(table, lookUp, 0, &name).isEmpty()) return true;
    bool made = true;
    transaction([&] {
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
            return;
        if ((sqlite3_errcode(db_) & 0xFF) != SQLITE_CONSTRAINT)
            fail(QStringLiteral("Не удалось создать индекс «%1» таблицы «%2»").arg(index, table));
        made = false;
    });
    return made;
}

void SqliteStore::transaction(const std::function<void()>& step) {
    // The outermost level takes the write lock at once; inner levels are savepoints, so an
    // inner step that fails is undone alone.
    const QByteArray savepoint = "step" + QByteArray::number(transactionDepth_);
    if (transactionDepth_ == 0) {
        exec("BEGIN IMMEDIATE", QStringLiteral("Не удалось начать запись в базу данных"));
        writing_ = true;
        // A read with the lock held brings this program's picture of the tables up to date
        // with what another program may have changed in them (a column added, say), so
        // that the step's checks see the file as it is.
        exec("SELECT 1 FROM sqlite_master LIMIT 1",
             QStringLiteral("Не удалось начать запись в базу данных"));
    } else {
        exec(QByteArray("SAVEPOINT " + savepoint).constData(),
             QStringLiteral("Не удалось начать запись в базу данных"));
    }
    ++transactionDepth_;
    try {
        step();
    } catch (...) {
        --transactionDepth_;
        if (transactionDepth_ == 0) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            writing_ = false;
            // The key table may have been made by the step undone.
            keysTableReady_ = false;
        } else {
            sqlite3_exec(
                db_, QByteArray("ROLLBACK TO " + savepoint + "; RELEASE " + savepoint).constData(),
                nullptr, nullptr, nullptr);
        }
        throw;
    }
    --transactionDepth_;
    if (transactionDepth_ == 0) {
        const int committed = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        writing_ = false;
        if (committed != SQLITE_OK) {
            const QString reason = describe(db_, sqlite3_errcode(db_));
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            keysTableReady_ = false;
            throw EDatabaseError(
                QStringLiteral("Не удалось записать изменения в базу данных: %1").arg(reason));
        }
    } else {
        exec(QByteArray("RELEASE " + savepoint).constData(),
             QStringLiteral("Не удалось записать изменения в базу данных"));
    }
}

void SqliteStore::snapshot(const std::function<void()>& reads) {
    // Inside a transaction the reads see one moment already.
    if (transactionDepth_ > 0) {
        reads();
        return;
    }
    // The first read takes a shared lock that no writer can pass until the end.
    exec("BEGIN DEFERRED", QStringLiteral("Не удалось начать чтение базы данных"));
    ++transactionDepth_;
    try {
        reads();
    } catch (...) {
        --transactionDepth_;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    --transactionDepth_;
    exec("COMMIT", QStringLiteral("Не удалось закончить чтение базы данных"));
}
