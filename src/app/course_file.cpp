#include "app/course_file.h"

#include <QDateTime>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include "data/connection.h"
#include "results/hand_in_records.h"

const QString kSeatColumn = QStringLiteral("Рабочее_место");

namespace {

const QString kUsers = QStringLiteral("users");
const QString kLogin = QStringLiteral("Логин");
constexpr qint64 kStaleSeconds = 24 * 60 * 60;

struct Column {
    QString table;
    QString name;
    QString type;
};

bool hasColumn(Store& store, const Column& wanted) {
    for (const StoreColumn& column : store.columns(wanted.table)) {
        if (column.name == wanted.name) return true;
    }
    return false;
}

}  // namespace

qint64 seatToken() {
    static const qint64 token = [] {
        const qint64 started = QDateTime::currentSecsSinceEpoch();
        return (started << 16) | qint64(QRandomGenerator::system()->bounded(1, 0x10000));
    }();
    return token;
}

bool seatIsStale(const QVariant& token) {
    if (token.isNull() || !token.isValid()) return true;
    const qint64 started = token.toLongLong() >> 16;
    return QDateTime::currentSecsSinceEpoch() - started > kStaleSeconds;
}

void upgradeCourseFile(TConnection& connection) {
    Store& store = connection.store();
    // Answer records carry their hand-in and question (both together or neither); the
    // running test's rows carry their program.
    const QList<Column> needed{
        {QStringLiteral("proverka"), kHandInColumn, QStringLiteral("INTEGER")},
        {QStringLiteral("proverka"), kQuestionKeyColumn, QStringLiteral("INTEGER")},
        {QStringLiteral("testing"), kSeatColumn, QStringLiteral("INTEGER")},
    };
    bool complete = true;
    for (const Column& column : needed)
        complete = complete && hasColumn(store, column);
    // A file that has them all is not held for writing at all, so that a read-only course
    // folder still opens.
    if (complete) return;
    store.transaction([&] {
        for (const Column& column : needed) {
            if (!hasColumn(store, column)) store.addColumn(column.table, column.name, column.type);
        }
    });
}

QStringList secureUniqueLogins(TConnection& connection) {
    Store& store = connection.store();
    if (store.addUniqueIndex(kUsers, QStringLiteral("users_login"), kLogin, true)) return {};
    QStringList repeated;
    QHash<QString, QString> first;  // the first login stored, by its letters case-folded
    QSet<QString> told;
    for (const StoreRow& row : store.readRows(kUsers, {kLogin})) {
        const QString login = row.values.value(0).toString();
        const QString folded = login.toCaseFolded();
        const auto found = first.constFind(folded);
        if (found == first.constEnd()) {
            first.insert(folded, login);
        } else if (!told.contains(folded)) {
            told.insert(folded);
            repeated.append(*found);
        }
    }
    return repeated;
}
