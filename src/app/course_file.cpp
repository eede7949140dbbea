#include "app/course_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include "app/accounts.h"
#include "app/dm.h"
#include "data/connection.h"
#include "data/database_error.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
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
        // A class starts its seats within the same second: 31 random bits keep two of them
        // from sharing a mark (with 16, thirty seats shared one once in 150 starts).
        const qint64 started = QDateTime::currentSecsSinceEpoch();
        return (started << 31) | qint64(QRandomGenerator::system()->bounded(1u, 0x80000000u));
    }();
    return token;
}

bool seatIsStale(const QVariant& token) {
    if (token.isNull() || !token.isValid()) return true;
    const qint64 started = token.toLongLong() >> 31;
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
        {kUsers, kLoginKeyColumn, QStringLiteral("TEXT")},
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

namespace {

// What the accounts' keys should be: each login's key in the first account that has it (an
// account holding the key already keeps it), empty in the others.
struct LoginKeys {
    QVector<QPair<qint64, QVariant>> changes;  // account, the key it should hold
    QStringList repeated;
};

LoginKeys plannedKeys(Store& store) {
    const QVector<StoreRow> rows = store.readRows(kUsers, {kLogin, kLoginKeyColumn});
    const auto keyOf = [](const StoreRow& row) { return loginKey(row.values.value(0).toString()); };
    const auto holdsOwnKey = [&](const StoreRow& row) {
        const QVariant& stored = row.values.value(1);
        return !stored.isNull() && stored.toString() == keyOf(row);
    };
    // By key, the account that keeps it: one holding it already, else the first stored.
    QHash<QString, const StoreRow*> holder;
    for (const StoreRow& row : rows)
        if (holdsOwnKey(row) && !holder.contains(keyOf(row))) holder.insert(keyOf(row), &row);
    for (const StoreRow& row : rows)
        if (!holder.contains(keyOf(row))) holder.insert(keyOf(row), &row);
    LoginKeys plan;
    QSet<QString> told;
    for (const StoreRow& row : rows) {
        const QString key = keyOf(row);
        const StoreRow* keeper = holder.value(key);
        const bool keeps = keeper == &row;
        if (keeps != holdsOwnKey(row) || (!keeps && !row.values.value(1).isNull()))
            plan.changes.append({row.key, keeps ? QVariant(key) : QVariant()});
        // Each repeated login once, as the account that keeps the key has it.
        if (!keeps && !told.contains(key)) {
            told.insert(key);
            plan.repeated.append(keeper->values.value(0).toString());
        }
    }
    return plan;
}

}  // namespace

QStringList secureUniqueLogins(TConnection& connection) {
    Store& store = connection.store();
    const QString index = QStringLiteral("users_login");
    LoginKeys plan = plannedKeys(store);
    if (plan.changes.isEmpty()) {
        store.addUniqueIndex(kUsers, index, kLoginKeyColumn);
        return plan.repeated;
    }
    // Planned again with the file held, as another program may be doing the same.
    store.transaction([&] {
        plan = plannedKeys(store);
        for (const auto& [account, key] : std::as_const(plan.changes))
            store.updateRow(kUsers, account, {kLoginKeyColumn}, {key});
        store.addUniqueIndex(kUsers, index, kLoginKeyColumn);
    });
    return plan.repeated;
}

QString courseServer(const QString& serverFile) {
    QFile file(serverFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw EDatabaseError(QStringLiteral("Не удалось прочитать файл «%1»: %2")
                                 .arg(serverFile, file.errorString()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        if (!text.isEmpty() && !text.startsWith(u'#')) return text;
    }
    throw EDatabaseError(
        QStringLiteral("Файл «%1» не называет сервер курса").arg(QFileInfo(serverFile).fileName()));
}

std::unique_ptr<Store> openCourse(const QString& folder) {
    const QDir dir(folder);
    const QString file = dir.filePath(TDataModule1::DatabaseFile);
    const QString server = dir.filePath(TDataModule1::ServerFile);
    if (!QFileInfo::exists(file) && QFileInfo::exists(server))
        return PgStore::connect(courseServer(server));
    return SqliteStore::open(file, TDataModule1::DatabasePassword);
}

QString seatAnnouncement(const QString& login, bool teacher) {
    return QStringLiteral("%1 %2 %3").arg(seatToken()).arg(teacher ? u'T' : u'S').arg(login);
}

AnnouncedSeat seatOfAnnouncement(const QString& text) {
    AnnouncedSeat seat;
    const QStringList parts = text.split(u' ');
    if (parts.size() < 3) return seat;
    seat.mark = parts[0].toLongLong();
    seat.teacher = parts[1] == QLatin1String("T");
    seat.login = parts.mid(2).join(u' ');
    return seat;
}
