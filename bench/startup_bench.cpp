// Start-up of the real program on the staged demo course, until the splash is first painted.

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

// Starts a program in the demo course's folder and answers the milliseconds until it
// reports its first window painted; negative when it did not.
double untilPainted(const QString& program) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KESTA_REPORT_SPLASH"), QStringLiteral("1"));
    if (!environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QStringLiteral(KESTA_COURSE_DIR));
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    while (!process.canReadLine() && process.waitForReadyRead(10000)) {
    }
    const double painted = double(clock.nsecsElapsed()) / 1e6;
    const bool reported = process.readLine().startsWith("splash painted");
    process.waitForFinished(10000);
    return reported ? painted : -1;
}

// The program until its splash is painted, and a bare Qt widget program until its window
// is, taken in turns so that both see the same machine.
void BM_StartUpUntilSplash(benchmark::State& state) {
    double program = 0, bare = 0;
    int runs = 0;
    for (auto _ : state) {
        const double own = untilPainted(QStringLiteral(KESTA_COURSE_DIR "/kesta"));
        const double plain = untilPainted(QStringLiteral(KESTA_BARE_WIDGET));
        if (own < 0 || plain < 0) {
            state.SkipWithError("a window was not painted");
            break;
        }
        state.SetIterationTime(own / 1e3);
        program += own;
        bare += plain;
        ++runs;
    }
    if (runs == 0) return;
    state.counters["bare_ms"] = bare / runs;
    state.counters["x_bare"] = program / bare;
}
BENCHMARK(BM_StartUpUntilSplash)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
