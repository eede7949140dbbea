// A class on one course file: what a hand-in costs with every commit on the disk, against
// the write-ahead log with relaxed syncing the file used before, and eight seats (separate
// processes) handing in at once.

#include <benchmark/benchmark.h>

#include <QDate>
#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

#include "app/course_file.h"
#include "course_fixture.h"
#include "results/hand_in_records.h"

namespace {

const QStringList kResultColumns{QStringLiteral("Логин_студента"),
                                 QStringLiteral("Дата_тестирования"),
                                 QStringLiteral("Количество вопросов"), QStringLiteral("Оценка")};
// Made on first use: the name of the hand-in column is another file's constant.
const QStringList& recordColumns() {
    static const QStringList columns{QStringLiteral("Логин_студента"),
                                     QStringLiteral("Дата_тестирования"),
                                     QStringLiteral("Ответ_студента"),
                                     QStringLiteral("Правильный_ответ"), kHandInColumn};
    return columns;
}

std::unique_ptr<SqliteStore> courseFile(const QString& path) {
    QFile schema(QStringLiteral(KESTA_SCHEMA_FILE));
    schema.open(QIODevice::ReadOnly);
    auto store = SqliteStore::create(path, TDataModule1::DatabasePassword);
    store->execute(QString::fromUtf8(schema.readAll()));
    return store;
}

// What a hand-in writes: the result and 40 answer records, in one transaction.
void writeHandIn(Store& store, qint64 number) {
    store.transaction([&] {
        store.insertRow(QStringLiteral("result"), kResultColumns,
                        {QStringLiteral("ученик"), QDate::currentDate(), 40, QStringLiteral("B")},
                        {});
        for (int i = 0; i < 40; ++i)
            store.insertRow(QStringLiteral("proverka"), recordColumns(),
                            {QStringLiteral("ученик"), QDate::currentDate(),
                             QStringLiteral("A"), QStringLiteral("B"), number},
                            {});
    });
}

// Arg 0: the file as it is kept now (rollback journal, full sync); 1: as it was (write-ahead
// log, normal sync), set on the same connection afterwards.
void BM_HandInCommit(benchmark::State& state) {
    QTemporaryDir folder;
    auto store = courseFile(folder.filePath(QStringLiteral("Kesta.db")));
    if (state.range(0) == 1)
        store->execute(QStringLiteral("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL"));
    qint64 number = 0;
    for (auto _ : state)
        writeHandIn(*store, ++number);
    state.SetLabel(state.range(0) == 0 ? "rollback journal, synchronous=FULL"
                                       : "WAL, synchronous=NORMAL");
}
BENCHMARK(BM_HandInCommit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(50);

// Seats, each a kesta-seat process, on one course with a bank of 100 questions: each
// launches the test and answers it, then all hand in at the same moment, `each` times over
// (`together`), or each hands in as soon as it has answered, the course never idle. On the
// course file or on a class server. Reports the hand-ins' latency and how many were lost.
void seatsHandingIn(benchmark::State& state, int seats, int each, qint64 periodMs, bool together,
                    bool onServer) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        const QString path = folder.filePath(TDataModule1::DatabaseFile);
        {
            auto store = courseFile(path);
            store->transaction([&] {
                for (int i = 1; i <= 100; ++i)
                    store->insertRow(QStringLiteral("test"),
                                     {QStringLiteral("Номер_вопроса"), QStringLiteral("Вопрос"),
                                      QStringLiteral("Правильный_ответ")},
                                     {i, QStringLiteral("Вопрос %1").arg(i), QStringLiteral("A")},
                                     {});
            });
        }
        if (onServer) moveCourseToServer(folder.path());
        state.ResumeTiming();
        std::vector<std::unique_ptr<QProcess>> processes;
        // Time for every seat to start before the first hand-in.
        const qint64 start = QDateTime::currentMSecsSinceEpoch() + 1000 + 150 * seats;
        for (int seat = 0; seat < seats; ++seat) {
            auto process = std::make_unique<QProcess>();
            QStringList arguments{folder.path(), QStringLiteral("hand-in"),
                                  QStringLiteral("ученик_%1").arg(seat), QString::number(each)};
            if (together) arguments << QString::number(start) << QString::number(periodMs);
            process->start(QStringLiteral(KESTA_SEAT), arguments);
            processes.push_back(std::move(process));
        }
        std::vector<double> latencies;
        const QRegularExpression line(QStringLiteral("^hand-in \\d+ (\\d+)$"),
                                      QRegularExpression::MultilineOption);
        for (auto& process : processes) {
            process->waitForFinished(600000);
            auto it = line.globalMatch(QString::fromUtf8(process->readAllStandardOutput()));
            while (it.hasNext()) latencies.push_back(it.next().captured(1).toDouble() / 1000.0);
        }
        state.PauseTiming();
        auto store = openCourse(folder.path());
        const auto results = store->readRows(QStringLiteral("result"), {});
        const auto records = store->readRows(QStringLiteral("proverka"), {});
        std::sort(latencies.begin(), latencies.end());
        const auto at = [&](double share) {
            return latencies.empty() ? 0.0
                                     : latencies[std::min(latencies.size() - 1,
                                                          size_t(share * double(latencies.size())))];
        };
        state.counters["hand_ins"] = double(latencies.size());
        state.counters["p50_ms"] = at(0.50);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = latencies.empty() ? 0.0 : latencies.back();
        state.counters["lost"] = double(seats * each) - double(results.size());
        state.counters["lost_records"] = double(seats * each * 40) - double(records.size());
        state.ResumeTiming();
    }
}

// Eight seats on the course file, 10 hand-ins each: together (arg 1) or non-stop (arg 0).
void BM_EightSeatsHandingIn(benchmark::State& state) {
    // Enough for eight seats to launch and answer between two hand-ins.
    seatsHandingIn(state, 8, 10, 2000, state.range(0) == 1, false);
}
BENCHMARK(BM_EightSeatsHandingIn)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(2);

// A class of thirty seats handing in at the same moment, 5 times over, on the course file
// (arg 0) and on a class server (arg 1).
void BM_ThirtySeatsHandingInTogether(benchmark::State& state) {
    seatsHandingIn(state, 30, 5, 4000, true, state.range(0) == 1);
}
BENCHMARK(BM_ThirtySeatsHandingInTogether)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
