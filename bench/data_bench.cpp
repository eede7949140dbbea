// The table objects over a course database of realistic size: opening a table of 100,000
// rows, a prefix look-up over it, and single-row saves, each written to the file at once.

#include <benchmark/benchmark.h>

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include "app/dm.h"
#include "data/connection.h"
#include "data/sqlite_store.h"
#include "data/table.h"
#include "server_fixture.h"

namespace {

constexpr int kRows = 100000;

// A keyed course database whose result journal holds 100,000 rows, made once.
struct BigCourse {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("Kesta.db"));

    BigCourse() {
        QFile schema(QStringLiteral(KESTA_SCHEMA_FILE));
        schema.open(QIODevice::ReadOnly);
        auto store = SqliteStore::create(path, TDataModule1::DatabasePassword);
        store->execute(QString::fromUtf8(schema.readAll()));
        const QStringList columns{QStringLiteral("Логин_студента"),
                                  QStringLiteral("Дата_тестирования"),
                                  QStringLiteral("Количество вопросов"), QStringLiteral("Оценка"),
                                  QStringLiteral("Вид тестирования")};
        store->transaction([&] {
            const QDate first(2026, 1, 1);
            for (int i = 0; i < kRows; ++i) {
                store->insertRow(QStringLiteral("result"), columns,
                                 {QStringLiteral("студент%1").arg(i), first.addDays(i % 365), 40,
                                  QStringLiteral("B"), QStringLiteral("Итоговый")},
                                 {});
            }
        });
    }
};

BigCourse& bigCourse() {
    static BigCourse course;
    return course;
}

// Arg 0: the course file; arg 1: a class server holding a copy of it.
void BM_OpenTable100k(benchmark::State& state) {
    TConnection connection;
    if (state.range(0) == 1) {
        static const QString server = serverCopy(bigCourse().path);
        connection.open(PgStore::connect(server));
    } else {
        connection.open(bigCourse().path, TDataModule1::DatabasePassword);
    }
    TTable result(&connection, QStringLiteral("result"));
    for (auto _ : state) {
        result.open();
        benchmark::DoNotOptimize(result.recordCount());
        state.PauseTiming();
        result.close();
        state.ResumeTiming();
    }
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_OpenTable100k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PrefixLookUp100k(benchmark::State& state) {
    TConnection connection;
    connection.open(bigCourse().path, TDataModule1::DatabasePassword);
    TTable result(&connection, QStringLiteral("result"));
    result.open();
    // The last row of the table: the look-up walks all of it.
    const QString wanted = QStringLiteral("СТУДЕНТ%1").arg(kRows - 1);
    for (auto _ : state) {
        result.first();
        benchmark::DoNotOptimize(result.locate(QStringLiteral("Логин_студента"), wanted, loPrefix));
    }
}
BENCHMARK(BM_PrefixLookUp100k)->Unit(benchmark::kMillisecond);

void BM_SaveRows10k(benchmark::State& state) {
    TConnection connection;
    connection.open(bigCourse().path, TDataModule1::DatabasePassword);
    TTable result(&connection, QStringLiteral("result"));
    result.open();
    const QDate day(2026, 12, 9);
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) {
            result.append();
            result.fieldByName(QStringLiteral("Логин_студента")).setValue(QStringLiteral("новый"));
            result.fieldByName(QStringLiteral("Дата_тестирования")).setValue(day);
            result.fieldByName(QStringLiteral("Количество вопросов")).setValue(40);
            result.post();
        }
    }
    state.counters["saves"] = 10000;
}
BENCHMARK(BM_SaveRows10k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
