#pragma once

#include <QApplication>
#include <QPointer>
#include <vector>

#include <QWidget>

// The application object: creates the forms in order, knows the main form, runs the
// message loop and ends the program. Every exception that escapes a command ends up in
// notify(), which shows it in the general error report and lets the program go on.
class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The program's title: the executable's file name without its extension.
    static QString title();
    // The toolkit's own texts (its file dialog, the edit boxes' context menus) in Russian, as
    // the program's are; without the translation installed they stay as they are. Done once
    // the splash is on the screen, before the windows that show such texts are made.
    void installToolkitTranslation();

    // Creates a form (or the data module) and keeps it until destroyForms(). The first
    // form created is the main form; closing it ends the program.
    template <class T>
    void createForm(T*& instance) {
        instance = new T();
        adopt(instance);
    }

    QWidget* mainForm() const { return mainForm_; }

    // Shows the main form and runs the message loop until the program ends.
    int run();

    // Ends the program: the message loop stops as soon as the current command returns.
    void terminate();
    bool terminated() const { return terminated_; }

    // Destroys the forms and the data module, the last created first; a new set of forms
    // may then be created.
    void destroyForms();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void adopt(QObject* form);

    std::vector<QPointer<QObject>> forms_;
    QPointer<QWidget> mainForm_;
    bool terminated_ = false;
    bool toolkitTranslated_ = false;
};

extern TApplication* Application;
