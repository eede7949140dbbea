#include <QElapsedTimer>
#include <QIcon>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "app/startup.h"
#include "app/zastavka.h"
#include "platform/application.h"
#include "platform/kesta_error.h"
#include "platform/screen_answers.h"
#include "platform/state_probe.h"

namespace {

// With KESTA_REPORT_SPLASH set, the program writes how long it took until the splash was
// first painted, and ends; start-up is measured that way.
class SplashProbe : public QObject {
public:
    explicit SplashProbe(const QElapsedTimer& clock) : clock_(clock) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("splash painted after %lld ms\n", static_cast<long long>(clock_.elapsed()));
            std::fflush(stdout);
            watched->removeEventFilter(this);
            QTimer::singleShot(0, Application, &TApplication::terminate);
        }
        return false;
    }

private:
    const QElapsedTimer& clock_;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    TApplication application(argc, argv);
    installStateProbe();
    // The program's icon, for its windows' title bars and the desktop.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kesta/kesta.png")));
    SplashProbe probe(clock);
    try {
        // The splash is on the screen, painted, while the course opens behind it (the
        // database's key takes a moment to derive); clicks on it wait until every window
        // exists.
        createForms(application, [&probe] {
            if (qEnvironmentVariableIsSet("KESTA_REPORT_SPLASH")) Form8->installEventFilter(&probe);
            Form8->show();
            // Until the splash is on the screen and painted, for at most a moment.
            takeScreenAnswers(200, [] {
                return !Form8->windowHandle() || Form8->windowHandle()->isExposed();
            });
        });
    } catch (const std::exception& error) {
        if (Form8) Form8->hide();
        reportFatalError(exceptionText(error));
        return 1;
    }
    return application.run();
}
