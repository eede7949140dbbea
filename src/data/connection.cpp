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

struct TConnection::SavedTable {
    QPointer<TTable> table;
    TTable::Position position;
};

void TConnection::transaction(const std::function<void()>& step) {
    Store& writer = store();
    Frame frame;
    for (TTable* table : std::as_const(tables_)) {
        if (table->active()) frame.saved.push_back({table, table->position()});
    }
    frames_.push_back(std::move(frame));
    try {
        writer.transaction(step);
    } catch (...) {
        Frame failed = std::move(frames_.back());
        frames_.pop_back();
        if (!frames_.empty()) frames_.back().written.unite(failed.written);
        for (const SavedTable& saved : failed.saved) {
            if (!saved.table || !failed.written.contains(saved.table->tableName())) continue;
            // The failure being reported is the one that counts; a table that cannot be
            // read again now keeps the snapshot it has.
            try {
                saved.table->restorePosition(saved.position);
            } catch (...) {
            }
        }
        throw;
    }
    Frame done = std::move(frames_.back());
    frames_.pop_back();
    if (!frames_.empty()) frames_.back().written.unite(done.written);
}

void TConnection::noteWrite(const QString& table) {
    if (!frames_.empty()) frames_.back().written.insert(table);
}

void TConnection::wrapStore(
    const std::function<std::unique_ptr<Store>(std::unique_ptr<Store>)>& wrap) {
    if (!store_) throw EDatabaseError(QStringLiteral("Нет соединения с базой данных"));
    store_ = wrap(std::move(store_));
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

void TConnection::announce(const QString& who) {
    // Only the administrator's list of seats depends on it: a store that cannot take the
    // name now does not keep anyone from working.
    if (!store_) return;
    try {
        store_->announce(who);
    } catch (const EDatabaseError&) {
    }
}
