// The question statistics over 10,000 hand-ins (400,000 answer records): the computation
// alone, as the statistics window runs it off the user-interface thread, for records that
// carry their hand-in and for older records grouped by their runs; and reading the journal
// from the course database, which the window does on opening.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "data/connection.h"
#include "data/sqlite_store.h"
#include "results/hand_in_records.h"
#include "results/journal_snapshot.h"
#include "results/question_stats.h"
#include "server_fixture.h"

namespace {

constexpr int kHandIns = 10000;
constexpr int kPositions = 40;
constexpr int kBank = 200;
const QDate kFirstDay(2026, 1, 1);

struct Journal {
    std::vector<BankQuestion> bank;
    std::vector<AnswerRecord> records;
    std::vector<JournalResult> results;
};

// A journal of 2,000 students over 300 days; answers follow a fixed pattern, so that
// every question has a spread of right and wrong answers.
Journal makeJournal(bool stamped) {
    static const QString options[] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                      QStringLiteral("D"), QStringLiteral("E")};
    static const QStringList letters = gradeLetters();
    Journal journal;
    for (int q = 0; q < kBank; ++q)
        journal.bank.push_back(
            {q + 1, q + 1, QStringLiteral("Вопрос номер %1 о предмете").arg(q + 1)});
    journal.records.reserve(size_t(kHandIns) * kPositions);
    quint32 seed = 12345;
    for (int h = 0; h < kHandIns; ++h) {
        const QString login = QStringLiteral("студент%1").arg(h % 2000);
        const QDate day = kFirstDay.addDays(h % 300);
        int right = 0;
        for (int p = 0; p < kPositions; ++p) {
            seed = seed * 134775813u + 1u;
            const int q = int((seed >> 8) % kBank);
            AnswerRecord record;
            record.handIn = stamped ? h + 1 : 0;
            record.questionKey = stamped ? q + 1 : 0;
            record.login = login;
            record.date = day;
            record.kind = QStringLiteral("Итоговый");
            record.question = journal.bank[size_t(q)].text;
            record.correct = options[q % 5];
            record.given = options[(seed >> 20) % 5 < 3 ? q % 5 : (seed >> 24) % 5];
            right += record.given == record.correct;
            journal.records.push_back(record);
        }
        journal.results.push_back({login, day, letters[right * 11 / 41]});
    }
    return journal;
}

void computeOver(benchmark::State& state, bool stamped) {
    const Journal journal = makeJournal(stamped);
    StatisticsFilter filter;
    filter.from = kFirstDay;
    filter.to = kFirstDay.addDays(400);
    for (auto _ : state) {
        JournalStatistics stats =
            computeStatistics(journal.bank, journal.records, journal.results, filter);
        benchmark::DoNotOptimize(stats);
    }
    state.counters["hand-ins"] = kHandIns;
    state.counters["records"] = double(journal.records.size());
}

void BM_Statistics10kHandIns(benchmark::State& state) {
    computeOver(state, true);
}
BENCHMARK(BM_Statistics10kHandIns)->Unit(benchmark::kMillisecond);

void BM_Statistics10kOlderHandIns(benchmark::State& state) {
    computeOver(state, false);
}
BENCHMARK(BM_Statistics10kOlderHandIns)->Unit(benchmark::kMillisecond);

// Writes the journal to a new course file.
void writeJournal(const Journal& journal, const QString& path) {
    {
        QFile schema(QStringLiteral(KESTA_SCHEMA_FILE));
        schema.open(QIODevice::ReadOnly);
        auto store = SqliteStore::create(path, QStringLiteral("пароль"));
        store->execute(QString::fromUtf8(schema.readAll()));
        const QStringList bank{QStringLiteral("Номер_вопроса"), QStringLiteral("Вопрос"),
                               QStringLiteral("Правильный_ответ")};
        const QStringList records{kHandInColumn,
                                  kQuestionKeyColumn,
                                  QStringLiteral("Логин_студента"),
                                  QStringLiteral("Дата_тестирования"),
                                  QStringLiteral("Вид_тестирования"),
                                  QStringLiteral("Вопрос"),
                                  QStringLiteral("Ответ_студента"),
                                  QStringLiteral("Правильный_ответ")};
        const QStringList results{QStringLiteral("Логин_студента"),
                                  QStringLiteral("Дата_тестирования"), QStringLiteral("Оценка")};
        store->transaction([&] {
            for (const BankQuestion& q : journal.bank)
                store->insertRow(QStringLiteral("test"), bank,
                                 {q.number, q.text, QStringLiteral("A")}, {});
            for (const AnswerRecord& r : journal.records)
                store->insertRow(QStringLiteral("proverka"), records,
                                 {r.handIn, r.questionKey, r.login, r.date, r.kind, r.question,
                                  r.given, r.correct},
                                 {});
            for (const JournalResult& r : journal.results)
                store->insertRow(QStringLiteral("result"), results, {r.login, r.date, r.grade}, {});
        });
    }
}

void BM_ReadJournal10kHandIns(benchmark::State& state) {
    const Journal journal = makeJournal(true);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kesta.db"));
    writeJournal(journal, path);
    TConnection connection;
    if (state.range(0) == 1)
        connection.open(PgStore::connect(serverCopy(path, QStringLiteral("пароль"))));
    else
        connection.open(path, QStringLiteral("пароль"));
    for (auto _ : state) {
        JournalSnapshot snapshot = readJournalSnapshot(connection.store());
        benchmark::DoNotOptimize(snapshot);
    }
    state.counters["records"] = double(journal.records.size());
}
// Arg 0: the course file; arg 1: a class server holding a copy of it.
BENCHMARK(BM_ReadJournal10kHandIns)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the statistics window does for each filter once the journal is open: on the course
// file (arg 0) it counts the snapshot it read; on a class server (arg 1) the server counts
// and the window adds up its figures.
void BM_CountJournal10kHandIns(benchmark::State& state) {
    const Journal journal = makeJournal(true);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kesta.db"));
    writeJournal(journal, path);
    StatisticsFilter filter;
    filter.from = kFirstDay;
    filter.to = kFirstDay.addDays(400);
    if (state.range(0) == 1) {
        auto store = PgStore::connect(serverCopy(path, QStringLiteral("пароль")));
        for (auto _ : state) {
            const CountedJournal counted = countJournal(*store, filter);
            JournalStatistics stats = computeStatistics(counted.bank, counted.olderRecords, {},
                                                        filter, {}, &counted.counted);
            benchmark::DoNotOptimize(stats);
        }
    } else {
        auto store = SqliteStore::open(path, QStringLiteral("пароль"));
        const JournalSnapshot snapshot = readJournalSnapshot(*store);
        for (auto _ : state) {
            JournalStatistics stats =
                computeStatistics(snapshot.bank, snapshot.records, snapshot.results, filter);
            benchmark::DoNotOptimize(stats);
        }
    }
}
BENCHMARK(BM_CountJournal10kHandIns)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
