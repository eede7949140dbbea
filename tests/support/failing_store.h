#pragma once

#include <functional>
#include <memory>

#include "data/connection.h"
#include "data/store.h"

// A store that passes everything to the real one and fails the k-th write from the moment
// it is armed, as a full disk or a locked file would: the write throws EDatabaseError and
// reaches the real store not at all.
class FailingStore : public Store {
public:
    explicit FailingStore(std::unique_ptr<Store> inner) : inner_(std::move(inner)) {}

    // Fails the k-th write from now on (1: the next one); 0 disarms.
    void failWrite(int k) {
        failAt_ = k;
        writes_ = 0;
    }
    int writes() const { return writes_; }

    static const QString& message();

    QVector<StoreColumn> columns(const QString& table) override { return inner_->columns(table); }
    QVector<StoreRow> readRows(const QString& table, const QStringList& columns) override {
        return inner_->readRows(table, columns);
    }
    QVector<StoreRow> readRowsWhere(const QString& table, const QStringList& columns,
                                    const QString& column, const QVariant& value) override {
        return inner_->readRowsWhere(table, columns, column, value);
    }
    std::optional<StoreRow> readRow(const QString& table, qint64 key,
                                    const QStringList& columns) override {
        return inner_->readRow(table, key, columns);
    }
    QVariant maximum(const QString& table, const QString& column) override {
        return inner_->maximum(table, column);
    }
    StoreRow insertRow(const QString& table, const QStringList& columns,
                       const QVector<QVariant>& values, const QStringList& readBack) override;
    StoreRow insertRowAfter(const QString& table, qint64 after, const QStringList& columns,
                            const QVector<QVariant>& values, const QStringList& readBack) override;
    void updateRow(const QString& table, qint64 key, const QStringList& columns,
                   const QVector<QVariant>& values) override;
    void deleteRow(const QString& table, qint64 key) override;
    void addColumn(const QString& table, const QString& name,
                   const QString& declaredType) override {
        write();
        inner_->addColumn(table, name, declaredType);
    }
    bool addUniqueIndex(const QString& table, const QString& index,
                        const QString& column) override {
        write();
        return inner_->addUniqueIndex(table, index, column);
    }
    void transaction(const std::function<void()>& step) override { inner_->transaction(step); }
    void snapshot(const std::function<void()>& reads) override { inner_->snapshot(reads); }
    void announce(const QString& who) override { inner_->announce(who); }

private:
    void write();

    std::unique_ptr<Store> inner_;
    int failAt_ = 0;
    int writes_ = 0;
};

// Puts a failing store under the connection's table objects and answers it.
FailingStore& injectFailures(TConnection& connection);

// Runs a command as the message loop runs a user's command, so that an error it raises
// goes to the general error report.
void runAsCommand(const std::function<void()>& command);
