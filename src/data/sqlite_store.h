#pragma once

#include <QHash>
#include <memory>

#include "data/store.h"

struct sqlite3;
struct sqlite3_stmt;

// The store in an SQLite file encrypted with SQLCipher. A file made without a key opens
// as well. The file may lie in a shared folder that a whole class opens at once, so it
// keeps a rollback journal (a write-ahead log needs memory shared on one computer) and
// every commit reaches the disk before it is reported done. A program that finds the file
// held by another waits for it, telling the busy observer, rather than fail at once.
//
// Tables whose key is a counter number their rows themselves and never reuse a number;
// for the others the file keeps the last key given in the table `row_keys`, so that a key
// stays unused once its row is deleted.
class SqliteStore : public Store {
public:
    // Told, on the thread that waits, how long a call has waited for another program to let
    // go of the file; it may show that, and it is called again every few milliseconds while
    // the wait lasts. It answers false to give up the wait at once.
    using BusyObserver = std::function<bool(int waitedMs)>;
    static void setBusyObserver(BusyObserver observer);
    // How long a call waits for the file before it fails with "база данных занята".
    static constexpr int kBusyLimitMs = 60000;

    // Opens an existing file; EDatabaseError when it is missing or cannot be read.
    static std::unique_ptr<SqliteStore> open(const QString& path, const QString& password);
    // Makes a new, empty file keyed with the password (an empty password: no encryption).
    static std::unique_ptr<SqliteStore> create(const QString& path, const QString& password);

    ~SqliteStore() override;

    // Runs SQL statements, for building databases.
    void execute(const QString& sql);

    // The file's own check of its structure: {"ok"} for a sound file, else what is wrong.
    QStringList integrityCheck();

    // For copying a course whole: the course's tables in the order they were made, the
    // largest key a table's rows have ever had, a table made with these columns (a counter
    // numbering its rows), and a row written under the key it has elsewhere.
    QStringList tables();
    qint64 keyHighWater(const QString& table);
    void setKeyHighWater(const QString& table, qint64 key);
    void createTable(const QString& table, const QVector<StoreColumn>& columns);
    void copyRow(const QString& table, qint64 key, const QStringList& columns,
                 const QVector<QVariant>& values);

    QVector<StoreColumn> columns(const QString& table) override;
    QVector<StoreRow> readRows(const QString& table, const QStringList& columns) override;
    QVector<StoreRow> readRowsWhere(const QString& table, const QStringList& columns,
                                    const QString& column, const QVariant& value) override;
    std::optional<StoreRow> readRow(const QString& table, qint64 key,
                                    const QStringList& columns) override;
    QVariant maximum(const QString& table, const QString& column) override;
    StoreRow insertRow(const QString& table, const QStringList& columns,
                       const QVector<QVariant>& values, const QStringList& readBack) override;
    StoreRow insertRowAfter(const QString& table, qint64 after, const QStringList& columns,
                            const QVector<QVariant>& values, const QStringList& readBack) override;
    void updateRow(const QString& table, qint64 key, const QStringList& columns,
                   const QVector<QVariant>& values) override;
    void deleteRow(const QString& table, qint64 key) override;
    void addColumn(const QString& table, const QString& name, const QString& declaredType) override;
    bool addUniqueIndex(const QString& table, const QString& index,
                        const QString& column) override;
    void transaction(const std::function<void()>& step) override;
    void snapshot(const std::function<void()>& reads) override;

private:
    explicit SqliteStore(sqlite3* db, QString path);
    static int busyWait(void* store, int attempt);

    sqlite3_stmt* statement(const QString& sql);
    [[noreturn]] void fail(const QString& what) const;
    void exec(const char* sql, const QString& what);
    StoreRow readStoredRow(const QString& table, qint64 key, const QStringList& columns);
    QVector<StoreRow> select(const QString& table, const QString& sql, int count,
                             const QVariant* bound);
    void runInsert(const QString& table, const QString& sql, const QVector<QVariant>& values);
    bool hasCounter(const QString& table);
    // The largest key any row of the table has had, as the file remembers it.
    qint64 lastKey(const QString& table);
    void noteLastKey(const QString& table, qint64 key);

    sqlite3* db_;
    QString path_;
    QHash<QString, sqlite3_stmt*> statements_;
    int transactionDepth_ = 0;
    bool keysTableReady_ = false;  // `row_keys` exists in the file, as far as this program knows
    qint64 busySince_ = 0;         // when the current wait for the file began, in ms
    bool writing_ = false;         // this program holds the file for writing
};
