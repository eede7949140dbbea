// The student's heavy commands on the real windows: a test launch on a large bank, the
// hand-in, and building the theory tree of a large course.

#include <benchmark/benchmark.h>

#include "course_fixture.h"
#include "student/student.h"
#include "testing/testing.h"

namespace {

void fillBank(SqliteStore& store, int questions) {
    const QStringList columns{QStringLiteral("Номер_вопроса"), QStringLiteral("Вопрос"),
                              QStringLiteral("Правильный_ответ")};
    for (int i = 0; i < questions; ++i) {
        store.insertRow(
            QStringLiteral("test"), columns,
            {i % 7,
             QStringLiteral("Вопрос номер %1\nA) да\nB) нет\nC) иногда\nD) никогда\nE) всегда")
                 .arg(i),
             QStringLiteral("ABCDE").mid(i % 5, 1)},
            {});
    }
}

// Arg 0: the course file; arg 1: a class server.
void BM_LaunchOnBankOf10000(benchmark::State& state) {
    Course course([](SqliteStore& store) { fillBank(store, 10000); }, state.range(0) == 1);
    for (auto _ : state)
        Form4->N5Click();
}
BENCHMARK(BM_LaunchOnBankOf10000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_HandIn(benchmark::State& state) {
    Course course([](SqliteStore& store) { fillBank(store, 100); }, state.range(0) == 1);
    Form4->N5Click();
    for (int position = 1; position <= 40; ++position) {
        Form6->openPosition(position);
        Form6->sRadioGroup1->setItemIndex(position % 5);
    }
    for (auto _ : state)
        Form6->sButton22Click();
}
BENCHMARK(BM_HandIn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_TheoryTreeOf2000Topics(benchmark::State& state) {
    // An introduction, then 200 sections of 9 topics each, in tree order: 2,001 rows.
    Course course([](SqliteStore& store) {
        const QStringList columns{QStringLiteral("Абсолютный номер"), QStringLiteral("Индекс"),
                                  QStringLiteral("Название темы")};
        store.insertRow(QStringLiteral("teoria"), columns, {0, 0, QStringLiteral("Введение")}, {});
        int position = 1;
        for (int section = 0; section < 200; ++section) {
            const int sectionPosition = position;
            store.insertRow(QStringLiteral("teoria"), columns,
                            {position++, 0, QStringLiteral("Раздел %1").arg(section)}, {});
            for (int topic = 0; topic < 9; ++topic) {
                store.insertRow(QStringLiteral("teoria"), columns,
                                {position++, sectionPosition,
                                 QStringLiteral("Тема %1.%2").arg(section).arg(topic)},
                                {});
            }
        }
    });
    for (auto _ : state)
        Form4->N1Click();
    state.counters["nodes"] = Form4->sTreeView1->topLevelItemCount() + 200 * 9;
}
BENCHMARK(BM_TheoryTreeOf2000Topics)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
