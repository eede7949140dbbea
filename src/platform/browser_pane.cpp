#include "platform/browser_pane.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QOpenGLContext>
#include <QPluginLoader>
#include <QUrl>
#include <QVBoxLayout>
#include <QtGui/private/qopenglcontext_p.h>

#include "platform/browser_engine.h"
#include "platform/paths.h"

namespace {

// The engine shares graphics contexts with the program's windows through one context that
// must exist before the engine starts. The program makes it here, with the first page, and
// not when it starts: until then no graphics driver is loaded at all.
void prepareSharedContext() {
    if (qt_gl_global_share_context()) return;
    // On X11 the engine would otherwise load the desktop's OpenGL driver only to learn its
    // configuration, which it never uses: the pages are drawn in software.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    // The engine draws in software and only asks the context for its format: the context is
    // never made, so no graphics driver is loaded for it.
    auto* context = new QOpenGLContext(qApp);
    context->setFormat(QSurfaceFormat::defaultFormat());
    qt_gl_set_global_share_context(context);
}

}  // namespace

TBrowserEngine* browserEngine(QString* error) {
    static TBrowserEngine* engine = nullptr;
    static QString failure;
    if (engine || !failure.isEmpty()) {
        if (error) *error = failure;
        return engine;
    }
    // The engine's library lies beside the program; the build's programs find it where the
    // build made it.
    QStringList folders{QCoreApplication::applicationDirPath()};
#ifdef KESTA_BROWSER_ENGINE_DIR
    folders.append(QStringLiteral(KESTA_BROWSER_ENGINE_DIR));
#endif
    prepareSharedContext();
    QString reasons;
    for (const QString& folder : folders) {
        const QString file = QDir(folder).filePath(QStringLiteral("libkesta_browser.so"));
        if (!QFileInfo::exists(file)) continue;
        QPluginLoader loader(file);
        engine = qobject_cast<TBrowserEngine*>(loader.instance());
        if (engine) break;
        reasons = loader.errorString();
    }
    if (!engine)
        failure = reasons.isEmpty() ? QStringLiteral("нет библиотеки libkesta_browser.so") : reasons;
    if (error) *error = failure;
    return engine;
}

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QString TWebBrowser::localFile() const {
    return localPath(location_);
}

void TWebBrowser::navigate(const QString& path) {
    location_ = path;
    if (view_) load();
}

void TWebBrowser::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (started_) return;
    started_ = true;
    QString error;
    TBrowserEngine* engine = browserEngine(&error);
    if (!engine) {
        // The pane says why it shows nothing; the rest of the window works as before.
        auto* note = new QLabel(QStringLiteral("Не удалось запустить браузер: %1").arg(error), this);
        note->setAlignment(Qt::AlignCenter);
        note->setWordWrap(true);
        layout()->addWidget(note);
        return;
    }
    view_ = engine->createView(this);
    layout()->addWidget(view_);
    if (!location_.isEmpty()) load();
}

void TWebBrowser::load() {
    if (TBrowserEngine* engine = browserEngine()) engine->load(view_, QUrl::fromLocalFile(localFile()));
}
