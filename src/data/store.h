#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

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
class Store {
public:
    virtual ~Store() = default;

    virtual QVector<StoreColumn> columns(const QString& table) = 0;
    virtual QVector<StoreRow> readRows(const QString& table, const QStringList& columns) = 0;
    // Adds a row and returns it as stored, with the requested columns (counters assigned).
    virtual StoreRow insertRow(const QString& table, const QStringList& columns,
                               const QVector<QVariant>& values, const QStringList& readBack) = 0;
    // Adds a row directly after the row with key `after` in stored order (0: before all
    // rows), and returns it as stored. The keys of the rows after it change.
    virtual StoreRow insertRowAfter(const QString& table, qint64 after, const QStringList& columns,
                                    const QVector<QVariant>& values,
                                    const QStringList& readBack) = 0;
    virtual void updateRow(const QString& table, qint64 key, const QStringList& columns,
                           const QVector<QVariant>& values) = 0;
    virtual void deleteRow(const QString& table, qint64 key) = 0;
    // Adds a column, empty in every existing row; the rows and the other columns stay as they are.
    virtual void addColumn(const QString& table, const QString& name,
                           const QString& declaredType) = 0;
    // Runs a step that either is written as a whole or, when it throws, not at all.
    virtual void transaction(const std::function<void()>& step) = 0;
};
