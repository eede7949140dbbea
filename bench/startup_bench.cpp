// Start-up of the real program on the staged demo course, until the splash is first painted.

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

void BM_StartUpUntilSplash(benchmark::State& state) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KESTA_REPORT_SPLASH"), QStringLiteral("1"));
    if (!environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess kesta;
        kesta.setProcessEnvironment(environment);
        kesta.setWorkingDirectory(QStringLiteral(KESTA_COURSE_DIR));
        QElapsedTimer clock;
        clock.start();
        kesta.start(QStringLiteral(KESTA_COURSE_DIR "/kesta"), {});
        while (!kesta.canReadLine() && kesta.waitForReadyRead(10000)) {
        }
        const qint64 painted = clock.nsecsElapsed();
        if (!kesta.readLine().startsWith("splash painted")) {
            state.SkipWithError("the splash was not painted");
            break;
        }
        state.SetIterationTime(double(painted) / 1e9);
        kesta.waitForFinished(10000);
    }
}
BENCHMARK(BM_StartUpUntilSplash)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
