#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <optional>

// A column as the store defines it.
struct StoreColumn {
    QString name;
    QString declaredType;  // as written in the table's definition, for example "VARCHAR(150)"
    bool counter = false;  // the store assigns its value to each new row; it cannot be written
};

// A row as the store holds it: its key and the values of the requested columns.
struct StoreRow {
    qint64 key = 0;
    QVector<QVariant> values;
};

// The one narrow interface through which the table objects reach the course's store.
// Values cross it as null, qlonglong, double, QString, QDate or QByteArray; rows come in
// stored order, the order in which they were added. Every call that writes is one
// transaction of its own unless it runs inside transaction().
//
// Several programs may work on one store at once. A row's key names that row alone for as
// long as the store lives: a key is never given to another row, not even after its row is
// deleted. A write that names a key no row has any more changes nothing and throws
// ERowConflict.
class Store {
public:
    virtual ~Store() = default;

    virtual QVector<StoreColumn> columns(const QString& table) = 0;
    virtual QVector<StoreRow> readRows(const QString& table, const QStringList& columns) = 0;
    // The rows whose `column` holds `value` (an empty value: the rows where it is empty).
    virtual QVector<StoreRow> readRowsWhere(const QString& table, const QStringList& columns,
                                            const QString& column, const QVariant& value) = 0;
    // The row with this key as it is stored now; nothing when there is none.
    virtual std::optional<StoreRow> readRow(const QString& table, qint64 key,
                                            const QStringList& columns) = 0;
    // The largest value of a column, empty for an empty table.
    virtual QVariant maximum(const QString& table, const QString& column) = 0;
    // A number for a new group of rows in an integer column (a hand-in's records, say): larger
    // than any the column held when it was first asked for and than any answered before, and
    // never answered twice, not even to programs asking at the same moment. Asked for inside a step, so that the rows it numbers are written
    // with it or not at all. Where steps run one at a time, the largest value plus one is
    // such a number; a store whose steps run side by side keeps a counter of its own.
    virtual qint64 newNumber(const QString& table, const QString& column) {
        return maximum(table, column).toLongLong() + 1;
    }
    // Adds a row and returns it as stored, with the requested columns (counters assigned).
    virtual StoreRow insertRow(const QString& table, const QStringList& columns,
                               const QVector<QVariant>& values, const QStringList& readBack) = 0;
    // Adds several rows at once, in the order given, each after the last, and returns them
    // as stored; all of them or none. Stores that can send them together do.
    virtual QVector<StoreRow> insertRows(const QString& table, const QStringList& columns,
                                         const QVector<QVector<QVariant>>& rows,
                                         const QStringList& readBack) {
        QVector<StoreRow> stored;
        stored.reserve(rows.size());
        transaction([&] {
            for (const QVector<QVariant>& values : rows)
                stored.append(insertRow(table, columns, values, readBack));
        });
        return stored;
    }
    // Adds a row directly after the row with key `after` in stored order (0: before all
    // rows), and returns it as stored. The rows after it are given new keys, so that a
    // write naming one of them by its old key fails rather than reach another row;
    // ERowConflict when no row has the key `after`.
    virtual StoreRow insertRowAfter(const QString& table, qint64 after, const QStringList& columns,
                                    const QVector<QVariant>& values,
                                    const QStringList& readBack) = 0;
    // Each changes exactly the row with this key; ERowConflict when there is none.
    virtual void updateRow(const QString& table, qint64 key, const QStringList& columns,
                           const QVector<QVariant>& values) = 0;
    virtual void deleteRow(const QString& table, qint64 key) = 0;
    // Changes several rows at once, each row with its key, the same columns in each; all of
    // them or none (ERowConflict when a key names no row). Stores that can send them
    // together do.
    virtual void updateRows(const QString& table, const QStringList& columns,
                            const QVector<qint64>& keys, const QVector<QVector<QVariant>>& rows) {
        transaction([&] {
            for (qsizetype i = 0; i < keys.size(); ++i)
                updateRow(table, keys[i], columns, rows.value(i));
        });
    }
    // Adds a column, empty in every existing row; the rows and the other columns stay as they are.
    virtual void addColumn(const QString& table, const QString& name,
                           const QString& declaredType) = 0;
    // Makes the values of a column unique among the table's rows (empty values excepted)
    // under an index of this name; from then on the store refuses a row that would repeat a
    // value. False, and nothing changed, while the rows already repeat one.
    virtual bool addUniqueIndex(const QString& table, const QString& index,
                                const QString& column) = 0;
    // Runs a step that either is written as a whole or, when it throws, not at all. No other
    // program writes between its reads and its writes, so a check it makes still holds when
    // it writes.
    virtual void transaction(const std::function<void()>& step) = 0;
    // Runs reads that see the store as of one moment, none of another program's writes half
    // way through them.
    virtual void snapshot(const std::function<void()>& reads) = 0;
    // Tells the store who works through this program now (a seat's mark and the signed-in
    // login), for a store that shows its administrator who is connected; others ignore it.
    virtual void announce(const QString& who) { (void)who; }
};
