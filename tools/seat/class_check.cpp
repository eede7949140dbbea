#include "class_check.h"

#include <QDate>
#include <QHash>
#include <QMap>
#include <QSet>

#include "app/course_file.h"
#include "data/sqlite_store.h"
#include "results/hand_in_records.h"

namespace {

constexpr int kQuestions = 40;

QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

// The same student, day and kind of test, as the result and its records name them.
QString handInKey(const QVariant& login, const QVariant& day, const QVariant& kind) {
    return text(login) + u'\x1f' + day.toDate().toString(Qt::ISODate) + u'\x1f' + text(kind);
}

void checkHandIns(Store& store, QStringList& findings) {
    const QVector<StoreRow> records = store.readRows(
        QStringLiteral("proverka"),
        {kHandInColumn, QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
         QStringLiteral("Вид_тестирования")});
    QMap<qint64, int> perNumber;
    QHash<qint64, QString> owner;
    QHash<QString, int> recordsPerKey;
    for (const StoreRow& row : records) {
        const QString key = handInKey(row.values[1], row.values[2], row.values[3]);
        ++recordsPerKey[key];
        if (row.values[0].isNull()) continue;  // records of an older version's hand-ins
        const qint64 number = row.values[0].toLongLong();
        ++perNumber[number];
        const auto known = owner.constFind(number);
        if (known == owner.constEnd())
            owner.insert(number, key);
        else if (*known != key)
            findings.append(QStringLiteral("Сдача №%1 записана на разных студентов или даты.")
                                .arg(number));
    }
    for (auto it = perNumber.cbegin(); it != perNumber.cend(); ++it) {
        if (it.value() != kQuestions)
            findings.append(QStringLiteral("У сдачи №%1 %2 записей ответов вместо %3.")
                                .arg(it.key())
                                .arg(it.value())
                                .arg(kQuestions));
    }
    const QVector<StoreRow> results = store.readRows(
        QStringLiteral("result"), {QStringLiteral("Логин_студента"),
                                   QStringLiteral("Дата_тестирования"),
                                   QStringLiteral("Вид тестирования")});
    QHash<QString, int> resultsPerKey;
    for (const StoreRow& row : results)
        ++resultsPerKey[handInKey(row.values[0], row.values[1], row.values[2])];
    QSet<QString> keys;
    for (auto it = resultsPerKey.cbegin(); it != resultsPerKey.cend(); ++it) keys.insert(it.key());
    for (auto it = recordsPerKey.cbegin(); it != recordsPerKey.cend(); ++it) keys.insert(it.key());
    for (const QString& key : std::as_const(keys)) {
        const int stored = resultsPerKey.value(key);
        const int recorded = recordsPerKey.value(key);
        if (stored * kQuestions != recorded)
            findings.append(QStringLiteral("«%1»: %2 результатов и %3 записей ответов.")
                                .arg(QString(key).replace(u'\x1f', QStringLiteral(", ")))
                                .arg(stored)
                                .arg(recorded));
    }
}

void checkTopics(Store& store, QStringList& findings) {
    const QVector<StoreRow> rows = store.readRows(
        QStringLiteral("teoria"), {QStringLiteral("Абсолютный номер"), QStringLiteral("Индекс")});
    QSet<qint64> subtree;  // the numbers of the current section's rows
    for (int position = 0; position < rows.size(); ++position) {
        const qint64 number = rows[position].values[0].toLongLong();
        const qint64 parent = rows[position].values[1].toLongLong();
        if (rows[position].values[0].isNull() || number != position) {
            findings.append(QStringLiteral("Тема на месте %1 имеет номер %2.")
                                .arg(position)
                                .arg(text(rows[position].values[0])));
        }
        if (parent == 0) {
            subtree = {number};
        } else if (!subtree.contains(parent)) {
            findings.append(QStringLiteral("Тема №%1 стоит не под своим разделом №%2.")
                                .arg(number)
                                .arg(parent));
        } else {
            subtree.insert(number);
        }
    }
}

void checkBank(Store& store, QStringList& findings) {
    const QVector<StoreRow> rows =
        store.readRows(QStringLiteral("test"), {QStringLiteral("Номер_вопроса")});
    qint64 last = 0;
    for (const StoreRow& row : rows) {
        const qint64 number = row.values[0].toLongLong();
        if (number == 0) continue;
        if (number <= last)
            findings.append(QStringLiteral("В базе вопросов номер %1 идёт после номера %2.")
                                .arg(number)
                                .arg(last));
        last = number;
    }
}

void checkLogins(Store& store, QStringList& findings) {
    QSet<QString> seen;
    for (const StoreRow& row : store.readRows(QStringLiteral("users"), {QStringLiteral("Логин")})) {
        const QString folded = text(row.values[0]).toCaseFolded();
        if (seen.contains(folded))
            findings.append(
                QStringLiteral("Логин «%1» есть у нескольких учётных записей.").arg(text(row.values[0])));
        seen.insert(folded);
    }
}

void checkRunningTests(Store& store, QStringList& findings) {
    QMap<qint64, int> perSeat;
    for (const StoreRow& row : store.readRows(QStringLiteral("testing"), {kSeatColumn}))
        ++perSeat[row.values[0].toLongLong()];
    for (auto it = perSeat.cbegin(); it != perSeat.cend(); ++it) {
        if (it.value() != kQuestions)
            findings.append(QStringLiteral("У рабочего места %1 в текущем тесте %2 строк.")
                                .arg(it.key())
                                .arg(it.value()));
    }
}

}  // namespace

QStringList courseFileFindings(Store& store) {
    QStringList findings;
    store.snapshot([&] {
        checkHandIns(store, findings);
        checkTopics(store, findings);
        checkBank(store, findings);
        checkLogins(store, findings);
        checkRunningTests(store, findings);
    });
    return findings;
}

QStringList checkCourseFile(SqliteStore& store) {
    QStringList findings;
    const QStringList structure = store.integrityCheck();
    if (structure != QStringList{QStringLiteral("ok")})
        for (const QString& line : structure)
            findings.append(QStringLiteral("Структура файла: ") + line);
    findings.append(courseFileFindings(store));
    return findings;
}
