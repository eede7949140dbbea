#include "platform/browser_pane.h"

#include <unistd.h>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "platform/paths.h"

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
    if (view_) return;
    // The engine's sandbox cannot run for the superuser; everywhere else it stays on.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    view_ = new QWebEngineView(this);
    layout()->addWidget(view_);
    if (!location_.isEmpty()) load();
}

void TWebBrowser::load() {
    view_->load(QUrl::fromLocalFile(localFile()));
}
