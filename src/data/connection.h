#pragma once

#include <QObject>
#include <functional>
#include <memory>

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
    // When it fails, every open table object reads its table again, so that no snapshot
    // shows what the file does not hold.
    void transaction(const std::function<void()>& step);

    // Every open table object on the same table as `changed`, other than it, reads its table
    // again: rows were renumbered under them.
    void reloadOthers(const TTable* changed);

private:
    friend class TTable;
    void attach(TTable* table);
    void detach(TTable* table);

    std::unique_ptr<Store> store_;
    QList<TTable*> tables_;
};
