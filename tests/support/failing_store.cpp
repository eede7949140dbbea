#include "support/failing_store.h"

#include <QCoreApplication>

#include "data/database_error.h"

const QString& FailingStore::message() {
    static const QString text = QStringLiteral("Диск переполнен");
    return text;
}

void FailingStore::write() {
    ++writes_;
    if (failAt_ > 0 && writes_ == failAt_) throw EDatabaseError(message());
}

StoreRow FailingStore::insertRow(const QString& table, const QStringList& columns,
                                 const QVector<QVariant>& values, const QStringList& readBack) {
    write();
    return inner_->insertRow(table, columns, values, readBack);
}

StoreRow FailingStore::insertRowAfter(const QString& table, qint64 after,
                                      const QStringList& columns, const QVector<QVariant>& values,
                                      const QStringList& readBack) {
    write();
    return inner_->insertRowAfter(table, after, columns, values, readBack);
}

void FailingStore::updateRow(const QString& table, qint64 key, const QStringList& columns,
                             const QVector<QVariant>& values) {
    write();
    inner_->updateRow(table, key, columns, values);
}

void FailingStore::deleteRow(const QString& table, qint64 key) {
    write();
    inner_->deleteRow(table, key);
}

FailingStore& injectFailures(TConnection& connection) {
    FailingStore* failing = nullptr;
    connection.wrapStore([&failing](std::unique_ptr<Store> inner) {
        auto wrapped = std::make_unique<FailingStore>(std::move(inner));
        failing = wrapped.get();
        return wrapped;
    });
    return *failing;
}

void runAsCommand(const std::function<void()>& command) {
    bool ran = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            ran = true;
            command();
        },
        Qt::QueuedConnection);
    while (!ran)
        QCoreApplication::processEvents();
}
