// A bare Qt widget program: one window with a picture the size of the splash, and nothing
// else. The benchmarks measure the program against it in the same run: start-up until the
// first paint (KESTA_REPORT_SPLASH, as the program reports it) and resident memory (it
// waits until it is ended).

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class Picture : public QWidget {
public:
    explicit Picture(const QElapsedTimer& clock) : clock_(clock) {
        image_ = QImage(501, 501, QImage::Format_RGB32);
        image_.fill(qRgb(40, 90, 160));
        setFixedSize(image_.size());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).drawImage(0, 0, image_);
        if (reported_ || !qEnvironmentVariableIsSet("KESTA_REPORT_SPLASH")) return;
        reported_ = true;
        std::printf("splash painted after %lld ms\n", static_cast<long long>(clock_.elapsed()));
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QApplication::quit);
    }

private:
    const QElapsedTimer& clock_;
    QImage image_;
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    Picture window(clock);
    window.show();
    return application.exec();
}
