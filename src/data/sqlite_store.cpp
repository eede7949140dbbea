#include "data/sqlite_store.h"

#include <sqlite3.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include "data/database_error.h"

namespace {

QString quoted(const QString& name) {
    QString result = name;
    result.replace(u'"', QStringLiteral("\"\""));
    return u'"' + result + u'"';
}

QString joinedColumns(const QStringList& columns) {
    QStringList parts;
    for (const QString& column : columns)
        parts.append(quoted(column));
    return parts.join(QStringLiteral(", "));
}

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

void configure(sqlite3* db) {
    sqlite3_busy_timeout(db, 5000);
    // A read-only file keeps its journal as it is; its writes fail later with a clear error.
    sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
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
    sqlite3* db = openWithKey(fullPath, password, SQLITE_OPEN_READWRITE);
    if (!db && !password.isEmpty()) db = openWithKey(fullPath, QString(), SQLITE_OPEN_READWRITE);
    if (!db) {
        throw EDatabaseError(
            QStringLiteral("Файл «%1» не является базой данных курса или защищён другим паролем")
                .arg(fullPath));
    }
    configure(db);
    return std::unique_ptr<SqliteStore>(new SqliteStore(db, fullPath));
}

std::unique_ptr<SqliteStore> SqliteStore::create(const QString& path, const QString& password) {
    sqlite3* db = openWithKey(path, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (!db) {
        throw EDatabaseError(
            QStringLiteral("Файл «%1» уже существует и не является базой данных").arg(path));
    }
    configure(db);
    return std::unique_ptr<SqliteStore>(new SqliteStore(db, QFileInfo(path).absoluteFilePath()));
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
    sqlite3_stmt* info = statement(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)));
    StatementUse use{info};
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

QVector<StoreRow> SqliteStore::readRows(const QString& table, const QStringList& columns) {
    QString sql = QStringLiteral("SELECT rowid");
    if (!columns.isEmpty()) sql += QStringLiteral(", ") + joinedColumns(columns);
    sql += QStringLiteral(" FROM %1 ORDER BY rowid").arg(quoted(table));
    sqlite3_stmt* select = statement(sql);
    StatementUse use{select};
    QVector<StoreRow> rows;
    const int count = int(columns.size());
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

StoreRow SqliteStore::readRow(const QString& table, qint64 key, const QStringList& columns) {
    QString sql = QStringLiteral("SELECT rowid");
    if (!columns.isEmpty()) sql += QStringLiteral(", ") + joinedColumns(columns);
    sql += QStringLiteral(" FROM %1 WHERE rowid = ?").arg(quoted(table));
    sqlite3_stmt* select = statement(sql);
    StatementUse use{select};
    sqlite3_bind_int64(select, 1, key);
    StoreRow row;
    row.key = key;
    if (sqlite3_step(select) != SQLITE_ROW)
        fail(QStringLiteral("Не удалось прочитать новую строку таблицы «%1»").arg(table));
    for (int i = 0; i < columns.size(); ++i)
        row.values.append(columnValue(select, i + 1));
    return row;
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
        QString sql;
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(table));
        } else {
            QStringList marks;
            for (int i = 0; i < columns.size(); ++i)
                marks.append(QStringLiteral("?"));
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(table), joinedColumns(columns), marks.join(QStringLiteral(", ")));
        }
        runInsert(table, sql, values);
        stored = readRow(table, sqlite3_last_insert_rowid(db_), readBack);
    });
    return stored;
}

StoreRow SqliteStore::insertRowAfter(const QString& table, qint64 after, const QStringList& columns,
                                     const QVector<QVariant>& values, const QStringList& readBack) {
    for (const StoreColumn& column : this->columns(table)) {
        if (column.counter)
            throw EDatabaseError(QStringLiteral("Таблица «%1»: порядок строк задаёт счётчик «%2», "
                                                "строку нельзя вставить между другими")
                                     .arg(table, column.name));
    }
    StoreRow stored;
    transaction([&] {
        // Make room after `after`: the later rows' keys move up by one, through negative
        // values so that no two rows ever share a key on the way.
        for (const char* shift : {"UPDATE %1 SET rowid = -rowid - 1 WHERE rowid > ?",
                                  "UPDATE %1 SET rowid = -rowid WHERE rowid < 0"}) {
            sqlite3_stmt* update = statement(QString::fromLatin1(shift).arg(quoted(table)));
            StatementUse use{update};
            if (sqlite3_bind_parameter_count(update) > 0) sqlite3_bind_int64(update, 1, after);
            if (sqlite3_step(update) != SQLITE_DONE)
                fail(QStringLiteral("Не удалось освободить место для строки в таблице «%1»")
                         .arg(table));
        }
        QStringList marks{QStringLiteral("?")};
        for (int i = 0; i < columns.size(); ++i)
            marks.append(QStringLiteral("?"));
        QStringList names{QStringLiteral("rowid")};
        for (const QString& column : columns)
            names.append(quoted(column));
        QVector<QVariant> all{QVariant(after + 1)};
        all.append(values);
        runInsert(table,
                  QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(table), names.join(QStringLiteral(", ")),
                           marks.join(QStringLiteral(", "))),
                  all);
        stored = readRow(table, after + 1, readBack);
    });
    return stored;
}

void SqliteStore::updateRow(const QString& table, qint64 key, const QStringList& columns,
                            const QVector<QVariant>& values) {
    if (columns.isEmpty()) return;
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
}

void SqliteStore::deleteRow(const QString& table, qint64 key) {
    sqlite3_stmt* remove =
        statement(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(table)));
    StatementUse use{remove};
    sqlite3_bind_int64(remove, 1, key);
    if (sqlite3_step(remove) != SQLITE_DONE)
        fail(QStringLiteral("Не удалось удалить строку таблицы «%1»").arg(table));
}

void SqliteStore::addColumn(const QString& table, const QString& name,
                            const QString& declaredType) {
    // Adding a column rewrites nothing: the existing rows read it as empty.
    const QString sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                            .arg(quoted(table), quoted(name), declaredType);
    exec(sql.toUtf8().constData(),
         QStringLiteral("Не удалось добавить столбец «%1» в таблицу «%2»").arg(name, table));
}

void SqliteStore::transaction(const std::function<void()>& step) {
    // The outermost level takes the write lock at once; inner levels are savepoints, so an
    // inner step that fails is undone alone.
    const QByteArray savepoint = "step" + QByteArray::number(transactionDepth_);
    if (transactionDepth_ == 0)
        exec("BEGIN IMMEDIATE", QStringLiteral("Не удалось начать запись в базу данных"));
    else
        exec(QByteArray("SAVEPOINT " + savepoint).constData(),
             QStringLiteral("Не удалось начать запись в базу данных"));
    ++transactionDepth_;
    try {
        step();
    } catch (...) {
        --transactionDepth_;
        if (transactionDepth_ == 0)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        else
            sqlite3_exec(
                db_, QByteArray("ROLLBACK TO " + savepoint + "; RELEASE " + savepoint).constData(),
                nullptr, nullptr, nullptr);
        throw;
    }
    --transactionDepth_;
    if (transactionDepth_ == 0) {
        if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            const QString reason = describe(db_, sqlite3_errcode(db_));
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw EDatabaseError(
                QStringLiteral("Не удалось записать изменения в базу данных: %1").arg(reason));
        }
    } else {
        exec(QByteArray("RELEASE " + savepoint).constData(),
             QStringLiteral("Не удалось записать изменения в базу данных"));
    }
}
