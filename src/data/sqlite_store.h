#pragma once

#include <QHash>
#include <memory>

#include "data/store.h"

struct sqlite3;
struct sqlite3_stmt;

// The store in an SQLite file encrypted with SQLCipher. A file made without a key opens
// as well. The journal is write-ahead, so a save costs one short append rather than a
// rewrite, and a crash never leaves half a transaction in the file.
class SqliteStore : public Store {
public:
    // Opens an existing file; EDatabaseError when it is missing or cannot be read.
    static std::unique_ptr<SqliteStore> open(const QString& path, const QString& password);
    // Makes a new, empty file keyed with the password (an empty password: no encryption).
    static std::unique_ptr<SqliteStore> create(const QString& path, const QString& password);

    ~SqliteStore() override;

    // Runs SQL statements, for building databases.
    void execute(const QString& sql);

    QVector<StoreColumn> columns(const QString& table) override;
    QVector<StoreRow> readRows(const QString& table, const QStringList& columns) override;
    StoreRow insertRow(const QString& table, const QStringList& columns,
                       const QVector<QVariant>& values, const QStringList& readBack) override;
    StoreRow insertRowAfter(const QString& table, qint64 after, const QStringList& columns,
                            const QVector<QVariant>& values, const QStringList& readBack) override;
    void updateRow(const QString& table, qint64 key, const QStringList& columns,
                   const QVector<QVariant>& values) override;
    void deleteRow(const QString& table, qint64 key) override;
    void addColumn(const QString& table, const QString& name, const QString& declaredType) override;
    void transaction(const std::function<void()>& step) override;

private:
    explicit SqliteStore(sqlite3* db, QString path);

    sqlite3_stmt* statement(const QString& sql);
    [[noreturn]] void fail(const QString& what) const;
    void exec(const char* sql, const QString& what);
    StoreRow readRow(const QString& table, qint64 key, const QStringList& columns);
    void runInsert(const QString& table, const QString& sql, const QVector<QVariant>& values);

    sqlite3* db_;
    QString path_;
    QHash<QString, sqlite3_stmt*> statements_;
    int transactionDepth_ = 0;
};
