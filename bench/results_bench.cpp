// The result journal and the answer analysis over 100,000 rows: opening the teacher's
// review, a date filter, a login search, and the count of correct answers.

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "course_fixture.h"
#include "results/analis.h"
#include "results/result_test_prepod.h"

namespace {

constexpr int kRows = 100000;
const QDate kFirstDay(2026, 1, 1);

void fillJournal(SqliteStore& store) {
    const QStringList result{QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
                             QStringLiteral("Количество вопросов"), QStringLiteral("Оценка"),
                             QStringLiteral("Вид тестирования")};
    const QStringList proverka{
        QStringLiteral("Логин_студента"),   QStringLiteral("Дата_тестирования"),
        QStringLiteral("Ответ_студента"),   QStringLiteral("Правильный_ответ"),
        QStringLiteral("Вид_тестирования"), QStringLiteral("Вопрос")};
    for (int i = 0; i < kRows; ++i) {
        const QString login = QStringLiteral("студент%1").arg(i % 2000);
        const QDate day = kFirstDay.addDays(i % 300);
        store.insertRow(QStringLiteral("result"), result,
                        {login, day, 40, QStringLiteral("B"), QStringLiteral("Итоговый")}, {});
        store.insertRow(QStringLiteral("proverka"), proverka,
                        {login, day, QStringLiteral("ABCDE").mid(i % 5, 1),
                         QStringLiteral("ABCDE").mid(i % 3, 1), QStringLiteral("Итоговый"),
                         QStringLiteral("Вопрос %1").arg(i)},
                        {});
    }
}

// Made once for all the benchmarks here, and removed as the application ends.
Course* course = nullptr;

Course& journal() {
    if (!course) {
        course = new Course(fillJournal);
        qAddPostRoutine([] {
            delete course;
            course = nullptr;
        });
    }
    return *course;
}

void BM_ReviewOpen100k(benchmark::State& state) {
    journal();
    for (auto _ : state) {
        Form11->open();
        QCoreApplication::processEvents();
        state.PauseTiming();
        Form11->hide();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReviewOpen100k)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ReviewDateFilter100k(benchmark::State& state) {
    journal();
    Form11->open();
    int day = 0;
    for (auto _ : state) {
        Form11->DateTimePicker1->setDate(kFirstDay.addDays(day++ % 300));
        QCoreApplication::processEvents();
    }
    Form11->sButton1Click();
}
BENCHMARK(BM_ReviewDateFilter100k)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ReviewLoginSearch100k(benchmark::State& state) {
    journal();
    Form11->open();
    Form11->sButton1Click();
    for (auto _ : state) {
        // A login no row has: the search walks the whole journal.
        Form11->sEdit1->setText(QStringLiteral("СТУДЕНТ-НОВЫЙ"));
        Form11->sEdit1KeyUp();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ReviewLoginSearch100k)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_AnalysisCount100k(benchmark::State& state) {
    journal();
    DataModule1->tblProverka->setFiltered(false);
    for (auto _ : state)
        Form12->countCorrect();
}
BENCHMARK(BM_AnalysisCount100k)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
