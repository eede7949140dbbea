// The browser engine of the pane: Qt WebEngine, in a library of its own.

#include <unistd.h>
#include <QByteArray>
#include <QObject>
#include <QQuickWindow>
#include <QUrl>
#include <QWebEngineView>

#include "platform/browser_engine.h"

namespace {

// The engine's switches, set in one place: the course's pages are drawn in software (no GPU
// process), by one renderer process for all of them.
void configureEngine() {
    static bool configured = false;
    if (configured) return;
    configured = true;
    // The engine's sandbox cannot run for the superuser; everywhere else it stays on.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) {
        QByteArray flags =
            "--disable-gpu --disable-gpu-compositing --renderer-process-limit=1 "
            "--disable-extensions --disable-background-networking --disable-component-update";
        // The zygotes only serve to start sandboxed helpers quickly; without the sandbox the
        // one renderer is started on its own, and two resident helper processes are saved.
        if (qgetenv("QTWEBENGINE_DISABLE_SANDBOX") == "1") flags += " --no-zygote";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
    // The pane's scene is drawn by Qt Quick's software renderer: no OpenGL context, so no
    // graphics driver is loaded for it.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

class WebEngineBrowser : public QObject, public TBrowserEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TBrowserEngine_iid)
    Q_INTERFACES(TBrowserEngine)

public:
    QWidget* createView(QWidget* parent) override {
        configureEngine();
        return new QWebEngineView(parent);
    }
    void load(QWidget* view, const QUrl& url) override {
        if (auto* engine = qobject_cast<QWebEngineView*>(view)) engine->load(url);
    }
};

}  // namespace

#include "web_engine.moc"
