#include "data/connection.h"

#include "data/database_error.h"
#include "data/sqlite_store.h"
#include "data/table.h"

TConnection::TConnection(QObject* parent) : QObject(parent) {}

TConnection::~TConnection() {
    close();
    for (TTable* table : std::as_const(tables_))
        table->connection_ = nullptr;
}

void TConnection::open(const QString& fileName, const QString& password) {
    open(SqliteStore::open(fileName, password));
}

void TConnection::open(std::unique_ptr<Store> store) {
    close();
    store_ = std::move(store);
}

void TConnection::close() {
    if (!store_) return;
    for (TTable* table : std::as_const(tables_))
        table->close();
    store_.reset();
}

Store& TConnection::store() const {
    if (!store_) throw EDatabaseError(QStringLiteral("Нет соединения с базой данных"));
    return *store_;
}

void TConnection::transaction(const std::function<void()>& step) {
    try {
        store().transaction(step);
    } catch (...) {
        for (TTable* table : std::as_const(tables_))
            table->reload();
        throw;
    }
}

void TConnection::reloadOthers(const TTable* changed) {
    for (TTable* table : std::as_const(tables_)) {
        if (table != changed && table->tableName() == changed->tableName()) table->reload();
    }
}

void TConnection::attach(TTable* table) {
    tables_.append(table);
}

void TConnection::detach(TTable* table) {
    tables_.removeOne(table);
}
