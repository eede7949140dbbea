#include "results/journal_snapshot.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "app/course_file.h"
#include "data/database_error.h"
#include "data/pg_store.h"
#include "data/sql_names.h"
#include "data/store.h"
#include "results/hand_in_records.h"

namespace {

const QString kRecords = QStringLiteral("proverka");
const QString kLogin = QStringLiteral("Логин_студента");
const QString kDate = QStringLiteral("Дата_тестирования");
const QString kQuestion = QStringLiteral("Вопрос");
const QString kGiven = QStringLiteral("Ответ_студента");
const QString kCorrect = QStringLiteral("Правильный_ответ");

const QStringList& bankColumns() {
    static const QStringList columns{QStringLiteral("Номер"), QStringLiteral("Номер_вопроса"),
                                     kQuestion};
    return columns;
}
const QStringList& recordColumns() {
    static const QStringList columns{kHandInColumn, kQuestionKeyColumn, kLogin,  kDate,
                                     QStringLiteral("Вид_тестирования"), kQuestion, kGiven,
                                     kCorrect};
    return columns;
}

// A stored value as text; an empty value of the database stays a null text.
QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

BankQuestion bankQuestion(const QVector<QVariant>& values) {
    return {values[0].toLongLong(), values[1].toInt(), text(values[2])};
}

AnswerRecord answerRecord(const QVector<QVariant>& values) {
    return {values[0].toLongLong(), values[1].toLongLong(), text(values[2]), values[3].toDate(),
            text(values[4]),         text(values[5]),        text(values[6]), text(values[7])};
}

void readTables(Store& store, JournalSnapshot& snapshot) {
    const QVector<StoreRow> bank = store.readRows(QStringLiteral("test"), bankColumns());
    snapshot.bank.reserve(size_t(bank.size()));
    for (const StoreRow& row : bank)
        snapshot.bank.push_back(bankQuestion(row.values));

    const QVector<StoreRow> records = store.readRows(kRecords, recordColumns());
    snapshot.records.reserve(size_t(records.size()));
    for (const StoreRow& row : records)
        snapshot.records.push_back(answerRecord(row.values));

    const QVector<StoreRow> results =
        store.readRows(QStringLiteral("result"), {kLogin, kDate, QStringLiteral("Оценка")});
    snapshot.results.reserve(size_t(results.size()));
    for (const StoreRow& row : results)
        snapshot.results.push_back(
            {text(row.values[0]), row.values[1].toDate(), text(row.values[2])});
}

// The condition of a filter on a table's rows, with its values as $1 (from), $2 (to) and
// $3 (the logins that count, a JSON array; empty for all).
QString filterCondition(const QString& alias) {
    const QString date = alias + u'.' + quoted(kDate);
    const QString login = alias + u'.' + quoted(kLogin);
    return QStringLiteral("($1::date IS NULL OR %1 >= $1::date) AND ($2::date IS NULL OR %1 <= "
                          "$2::date) AND ($3::jsonb IS NULL OR %2 IN (SELECT "
                          "jsonb_array_elements_text($3::jsonb)))")
        .arg(date, login);
}

// The filter's values. The logins are picked here, as the file's count picks them, so that
// letter case is compared the same way whatever the server's language settings.
QVector<QVariant> filterValues(PgStore& store, const StatisticsFilter& filter) {
    QVariant logins;
    if (!filter.login.isEmpty()) {
        QJsonArray accepted;
        const auto known = store.query(
            QStringLiteral("SELECT %1 FROM proverka WHERE %1 IS NOT NULL UNION SELECT %1 FROM "
                           "result WHERE %1 IS NOT NULL")
                .arg(quoted(kLogin)),
            {});
        for (const QVector<QVariant>& row : known) {
            const QString login = row[0].toString();
            if (login.startsWith(filter.login, Qt::CaseInsensitive)) accepted.append(login);
        }
        logins = QString::fromUtf8(QJsonDocument(accepted).toJson(QJsonDocument::Compact));
    }
    return {filter.from.isValid() ? QVariant(filter.from) : QVariant(),
            filter.to.isValid() ? QVariant(filter.to) : QVariant(), logins};
}

}  // namespace

JournalSnapshot readJournalSnapshot(Store& store) {
    JournalSnapshot snapshot;
    // The three tables are read at one moment: a hand-in stored meanwhile is counted in
    // all of them or in none.
    store.snapshot([&] { readTables(store, snapshot); });
    return snapshot;
}

JournalSnapshot readJournalSnapshot(const QString& folder) {
    std::unique_ptr<Store> store = openCourse(folder);
    auto* server = dynamic_cast<PgStore*>(store.get());
    if (!server) return readJournalSnapshot(*store);
    // Reading a large journal over the network takes longer than counting it where it is.
    JournalSnapshot snapshot;
    const auto period = server->query(
        QStringLiteral("SELECT min(d), max(d) FROM (SELECT %1 AS d FROM proverka UNION ALL SELECT "
                       "%1 FROM result) AS days")
            .arg(quoted(kDate)),
        {});
    snapshot.firstDay = period.value(0).value(0).toDate();
    snapshot.lastDay = period.value(0).value(1).toDate();
    snapshot.count = [folder](const StatisticsFilter& filter) {
        std::unique_ptr<Store> store = openCourse(folder);
        auto* server = dynamic_cast<PgStore*>(store.get());
        if (!server)
            throw EDatabaseError(QStringLiteral("Курс папки «%1» больше не на сервере").arg(folder));
        return countJournal(*server, filter);
    };
    return snapshot;
}

CountedJournal countJournal(PgStore& store, const StatisticsFilter& filter) {
    CountedJournal journal;
    store.snapshot([&] {
        const QVector<QVariant> values = filterValues(store, filter);
        for (const StoreRow& row : store.readRows(QStringLiteral("test"), bankColumns()))
            journal.bank.push_back(bankQuestion(row.values));

        // Records without a hand-in number are grouped by their runs in stored order, as the
        // file's count groups them.
        const auto older = store.query(
            QStringLiteral("SELECT %1 FROM proverka WHERE coalesce(%2, 0) = 0 ORDER BY kesta_key")
                .arg(joinedColumns(recordColumns()), quoted(kHandInColumn)),
            {});
        for (const QVector<QVariant>& row : older)
            journal.olderRecords.push_back(answerRecord(row));

        // The others, a question at a time: a record without a bank key finds its question by
        // its text, the first of that text in the bank; x is 1 for a correct answer, y the
        // total score of the record's hand-in.
        QStringList options;
        for (const char* option : {"A", "B", "C", "D", "E"})
            options.append(QStringLiteral("count(*) FILTER (WHERE r.g = '%1')").arg(QLatin1String(option)));
        const QString sql =
            QStringLiteral(
                "WITH r AS (SELECT p.%1 AS h, CASE WHEN coalesce(p.%2, 0) <> 0 THEN p.%2 ELSE "
                "(SELECT b.\"Номер\" FROM test b WHERE b.%3 = p.%3 ORDER BY b.kesta_key LIMIT 1) "
                "END AS q, p.%4 AS g, CASE WHEN p.%4 IS NOT DISTINCT FROM p.%5 THEN 1 ELSE 0 END "
                "AS x FROM proverka p WHERE coalesce(p.%1, 0) <> 0 AND %6), "
                "t AS (SELECT h, sum(x)::float8 AS y FROM r GROUP BY h) "
                "SELECT coalesce(r.q, 0), count(*), sum(r.x), %7, sum(t.y), sum(t.y * t.y), "
                "sum(r.x * t.y), (SELECT count(*) FROM t) FROM r JOIN t ON t.h = r.h GROUP BY r.q")
                .arg(quoted(kHandInColumn), quoted(kQuestionKeyColumn), quoted(kQuestion),
                     quoted(kGiven), quoted(kCorrect), filterCondition(QStringLiteral("p")),
                     options.join(QStringLiteral(", ")));
        CountedRecords& counted = journal.counted;
        for (const QVector<QVariant>& row : store.query(sql, values)) {
            CountedQuestion question;
            question.key = row[0].toLongLong();
            question.drawn = int(row[1].toLongLong());
            question.correct = int(row[2].toLongLong());
            for (int o = 0; o < 5; ++o)
                question.options[size_t(o)] = int(row[3 + o].toLongLong());
            question.y = row[8].toDouble();
            question.yy = row[9].toDouble();
            question.xy = row[10].toDouble();
            counted.handIns = int(row[11].toLongLong());
            counted.records += question.drawn;
            counted.questions.push_back(question);
        }
        const QStringList letters = gradeLetters();
        const auto grades = store.query(
            QStringLiteral("SELECT r.\"Оценка\", count(*) FROM result r WHERE %1 GROUP BY 1")
                .arg(filterCondition(QStringLiteral("r"))),
            values);
        for (const QVector<QVariant>& row : grades) {
            const qsizetype letter = letters.indexOf(text(row[0]));
            if (letter >= 0) counted.grades[size_t(letter)] += int(row[1].toLongLong());
        }
    });
    return journal;
}
