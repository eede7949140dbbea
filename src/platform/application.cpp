#include "platform/application.h"

#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWidget>

#include "platform/error_report.h"
#include "platform/kesta_error.h"

TApplication* Application = nullptr;

// No graphics context is made at start-up: the browser pane makes the one its engine shares
// with the windows when it shows its first page.
TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Windows are only hidden when closed; the program ends when the main form closes.
    setQuitOnLastWindowClosed(false);
    // The designed fonts by their metric twins, as a desktop without them substitutes.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    Application = this;
}

void TApplication::installToolkitTranslation() {
    if (toolkitTranslated_) return;
    toolkitTranslated_ = true;
    auto* toolkit = new QTranslator(this);
    if (toolkit->load(QStringLiteral("qtbase_ru"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(toolkit);
    else
        delete toolkit;
}

TApplication::~TApplication() {
    destroyForms();
    if (Application == this) Application = nullptr;
}

QString TApplication::title() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void TApplication::adopt(QObject* form) {
    forms_.emplace_back(form);
    if (!mainForm_) {
        if (auto* widget = qobject_cast<QWidget*>(form)) mainForm_ = widget;
    }
}

int TApplication::run() {
    if (terminated_) return 0;
    if (mainForm_) mainForm_->show();
    return exec();
}

void TApplication::terminate() {
    terminated_ = true;
    quit();
}

void TApplication::destroyForms() {
    while (!forms_.empty()) {
        QPointer<QObject> form = forms_.back();
        forms_.pop_back();
        delete form.data();
    }
    mainForm_ = nullptr;
    terminated_ = false;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showErrorReport(exceptionText(error));
    } catch (...) {
        showErrorReport(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}
