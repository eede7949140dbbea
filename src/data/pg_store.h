#pragma once

#include <QHash>
#include <utility>
#include <memory>

#include "data/store.h"

struct pg_conn;

// The course on a PostgreSQL server, which every seat of a class reaches over the network.
// It keeps the tables and columns of the course file, their rows in stored order and the
// same promises about keys: each table has a hidden key column `kesta_key`, numbered from a
// sequence of its own, so that a key is never given again, and rows are read in key order.
// Tables whose key is a counter show that key in their counter column. The columns' types
// as the course declares them are kept in the table `kesta_columns`, so the tables above the
// store see the same fields on either store.
//
// Writing steps are serialised among all the seats by one lock of the server's, held from
// the step's first read or change of stored rows to its end, as the course file is held for
// writing: a check made in a step still holds when the step writes. A step that only adds
// rows (a hand-in) reads nothing that another could change, so it does not wait for the
// lock, and the hand-ins of a class are written side by side.
class PgStore : public Store {
public:
    // Connects to the server named by a libpq connection string ("host=… dbname=…") or by
    // a service name of pg_service.conf; EDatabaseError ("Не удалось подключиться к серверу
    // курса …: <reason>") when it cannot be reached.
    static std::unique_ptr<PgStore> connect(const QString& server);
    // How a connection string or a service name reads for libpq.
    static QString connectionString(const QString& server);

    ~PgStore() override;

    // Runs SQL statements, for setting a server up.
    void execute(const QString& sql);
    // Runs one statement that reads, with its parameters ($1, $2, ...), and answers its rows,
    // for counting on the server what would take long to read row by row.
    QVector<QVector<QVariant>> query(const QString& sql, const QVector<QVariant>& parameters);
    // Runs one statement that writes (a function of the server's, say) and answers its rows.
    // Unlike a read it is never sent twice: a connection lost on the way leaves it unknown
    // whether the server did it, and that is told.
    QVector<QVector<QVariant>> call(const QString& sql, const QVector<QVariant>& parameters);
    // Makes a table of the course with these columns (a counter column numbers the rows).
    void createTable(const QString& table, const QVector<StoreColumn>& columns);
    // The course's tables on the server, in the order they were made.
    QStringList tables();
    // For copying a course whole: the largest key a table's rows have ever had, and a row
    // written under the key it has elsewhere (its counter showing that key).
    qint64 keyHighWater(const QString& table);
    void setKeyHighWater(const QString& table, qint64 key);
    void copyRow(const QString& table, qint64 key, const QStringList& columns,
                 const QVector<QVariant>& values);

    QVector<StoreColumn> columns(const QString& table) override;
    QVector<StoreRow> readRows(const QString& table, const QStringList& columns) override;
    QVector<StoreRow> readRowsWhere(const QString& table, const QStringList& columns,
                                    const QString& column, const QVariant& value) override;
    std::optional<StoreRow> readRow(const QString& table, qint64 key,
                                    const QStringList& columns) override;
    QVariant maximum(const QString& table, const QString& column) override;
    // From a sequence of the server's for the column, made on first use from its largest value.
    qint64 newNumber(const QString& table, const QString& column) override;
    StoreRow insertRow(const QString& table, const QStringList& columns,
                       const QVector<QVariant>& values, const QStringList& readBack) override;
    // The rows go to the server in one statement.
    QVector<StoreRow> insertRows(const QString& table, const QStringList& columns,
                                 const QVector<QVector<QVariant>>& rows,
                                 const QStringList& readBack) override;
    StoreRow insertRowAfter(const QString& table, qint64 after, const QStringList& columns,
                            const QVector<QVariant>& values, const QStringList& readBack) override;
    void updateRow(const QString& table, qint64 key, const QStringList& columns,
                   const QVector<QVariant>& values) override;
    void deleteRow(const QString& table, qint64 key) override;
    // The rows are changed by one statement.
    void updateRows(const QString& table, const QStringList& columns, const QVector<qint64>& keys,
                    const QVector<QVector<QVariant>>& rows) override;
    void addColumn(const QString& table, const QString& name, const QString& declaredType) override;
    bool addUniqueIndex(const QString& table, const QString& index,
                        const QString& column) override;
    void transaction(const std::function<void()>& step) override;
    void snapshot(const std::function<void()>& reads) override;
    // Who works through this connection is kept on the server (table kesta_seats), where the
    // administrator sees it, for as long as the connection lasts.
    void announce(const QString& who) override;

    // Asks the server to tell this connection of the notices on these channels.
    void listen(const QStringList& channels);
    // The connection's socket, which becomes readable when the server has sent a notice.
    int socket() const;
    // The channels of the notices that arrived since the last call, each once.
    QStringList takeNotices();

    // The programs connected to the course now, each as it announced itself (empty for one
    // where nobody has signed in yet), the longest connected first.
    QStringList connectedSeats();

private:
    class Result;

    PgStore(pg_conn* connection, QString server);

    // Runs one statement with its parameters; EDatabaseError naming `what` when it fails.
    // A statement that may be sent again (it starts a step, or only reads outside one) is,
    // once, when the connection to the server was lost.
    Result run(const QString& sql, const QVector<QVariant>& parameters, const QString& what,
               bool retry = false);
    QVector<StoreRow> select(const QString& sql, const QVector<QVariant>& parameters, int count,
                             const QString& what);
    QString counterOf(const QString& table);
    static QVector<QVector<QVariant>> rowsOf(const Result& result);
    StoreRow insertWithKey(const QString& table, qint64 key, const QStringList& columns,
                           const QVector<QVariant>& values, const QStringList& readBack);
    // An insert of `rows` rows that answers each row's key and the columns read back.
    QString insertStatement(const QString& table, bool withKey, const QStringList& columns,
                            const QStringList& readBack, qsizetype rows = 1);
    StoreRow insertReturning(const QString& table, const QString& sql,
                             const QVector<QVariant>& values, int readBack);
    qint64 nextKey(const QString& table);
    // Inside a writing step, takes the lock that serialises the steps of all the seats, once.
    // Every statement of a step takes it first, but for those run by `lockFree`.
    void holdWriteLock();
    template <typename F>
    auto lockFree(F&& statements) {
        const bool was = std::exchange(lockFree_, true);
        struct Restore {
            bool& flag;
            bool was;
            ~Restore() { flag = was; }
        } restore{lockFree_, was};
        return statements();
    }
    // Outside a step the connection is checked and made again once when the server was lost.
    void ensureConnected();
    // The session's settings, given again whenever the connection is made.
    void settle();

    pg_conn* connection_;
    QString server_;
    int transactionDepth_ = 0;
    bool lockPending_ = false;  // a writing step has begun and not taken the lock yet
    bool lockFree_ = false;     // the statements run now only add rows or read the catalogue
    QString announced_;
    QStringList listening_;
    QHash<QString, QString> counters_;  // each table's counter column, empty for none
};
