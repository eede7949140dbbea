#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>
#include <vector>

#include "data/store.h"

class TTable;

// The connection to the course's store; the table objects work through it.
class TConnection : public QObject {
    Q_OBJECT

public:
    explicit TConnection(QObject* parent = nullptr);
    ~TConnection() override;

    // Opens the SQLite file keyed with the password; EDatabaseError when it cannot.
    void open(const QString& fileName, const QString& password);
    void open(std::unique_ptr<Store> store);
    // Closes every table object of the connection, then the store.
    void close();
    bool connected() const { return bool(store_); }

    // EDatabaseError when not connected.
    Store& store() const;

    // Runs a step of several writes as one transaction: written as a whole or not at all.
    // When it fails, the table objects on the tables the step wrote to read them again and
    // go back to the row, and the pending row, they had when the step began, so that no
    // snapshot shows what the file does not hold. Objects on other tables keep everything,
    // a pending row included. Steps may nest.
    void transaction(const std::function<void()>& step);
    bool inTransaction() const { return !frames_.empty(); }

    // Tells the store who works through this program now (see Store::announce).
    void announce(const QString& who);

    // Puts a layer around the store (a fault injector in tests, a log); the table objects
    // stay open.
    void wrapStore(const std::function<std::unique_ptr<Store>(std::unique_ptr<Store>)>& wrap);

    // Every open table object on the same table as `changed`, other than it, reads its table
    // again: rows were renumbered under them.
    void reloadOthers(const TTable* changed);

private:
    friend class TTable;
    void attach(TTable* table);
    void detach(TTable* table);
    // A table object is about to write to its table.
    void noteWrite(const QString& table);

    struct SavedTable;
    // One running transaction: what the open table objects showed when it began, and the
    // tables written to since.
    struct Frame {
        std::vector<SavedTable> saved;
        QSet<QString> written;
    };

    std::unique_ptr<Store> store_;
    QList<TTable*> tables_;
    std::vector<Frame> frames_;
};
