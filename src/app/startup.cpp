#include "app/startup.h"

#include <cstdio>

#include "app/busy_notice.h"
#include "app/dm.h"
#include "app/registracia.h"
#include "app/zastavka.h"
#include "platform/application.h"
#include "platform/error_report.h"
#include "results/analis.h"
#include "results/result_test.h"
#include "results/result_test_prepod.h"
#include "results/statistika.h"
#include "skin/forms/sSkinProvider.h"
#include "student/student.h"
#include "teacher/basatest.h"
#include "teacher/newinsert.h"
#include "teacher/prepodavatel.h"
#include "testing/testing.h"

namespace {
// Every window but the splash draws its frame from the skin.
void giveSkinProvider(TForm* form, TsBorderStyle border = bsSizeable) {
    auto* provider = new TsSkinProvider(form);
    provider->setBorderStyle(border);
}
}  // namespace

void createForms(TApplication& application, const std::function<void()>& splashMade) {
    application.createForm(Form8);
    if (splashMade) splashMade();
    application.installToolkitTranslation();
    application.createForm(Form1);
    giveSkinProvider(Form1, bsSingle);
    // Opening the course may already have to wait for another computer of the class.
    application.createForm(BusyNotice);
    giveSkinProvider(BusyNotice, bsDialog);
    installBusyNotice();
    application.createForm(DataModule1);
    application.createForm(Form2);
    giveSkinProvider(Form2);
    application.createForm(Form3);
    giveSkinProvider(Form3);
    application.createForm(Form4);
    giveSkinProvider(Form4);
    application.createForm(Form5);
    giveSkinProvider(Form5, bsDialog);
    application.createForm(Form6);
    giveSkinProvider(Form6, bsSingle);
    application.createForm(Form10);
    giveSkinProvider(Form10);
    application.createForm(Form11);
    giveSkinProvider(Form11);
    application.createForm(Form12);
    giveSkinProvider(Form12);
    application.createForm(Form13);
    giveSkinProvider(Form13);
}

void destroyForms(TApplication& application) {
    application.destroyForms();
    Form8 = nullptr;
    Form1 = nullptr;
    BusyNotice = nullptr;
    DataModule1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form5 = nullptr;
    Form6 = nullptr;
    Form10 = nullptr;
    Form11 = nullptr;
    Form12 = nullptr;
    Form13 = nullptr;
}

void reportFatalError(const QString& text) {
    const QString message = errorReportText(text);
    std::fprintf(stderr, "%s: %s\n", qPrintable(TApplication::title()),
                 message.toLocal8Bit().constData());
    std::fflush(stderr);
    showErrorReport(text);
}
