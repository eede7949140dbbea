// Sign-in, registration and the window flow around them, on the real windows and a real
// course database.

#include <qpa/qwindowsysteminterface.h>
#include <QScreen>
#include <QTest>

#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/busy_notice.h"
#include "app/dm.h"
#include "app/globals.h"
#include "app/registracia.h"
#include "app/zastavka.h"
#include "data/password.h"
#include "data/sqlite_store.h"
#include "platform/application.h"
#include "platform/paths.h"
#include "student/student.h"
#include "support/course_fixture.h"
#include "support/failing_store.h"
#include "teacher/prepodavatel.h"

namespace {

const QString kNotRegistered = QStringLiteral("Вы не зарегистрированы.");
const QString kTaken = QStringLiteral("Пользователь с таким логином уже существует");

class SignInTest : public CourseTest {
protected:
    void SetUp() override {
        CourseTest::SetUp();
        addAccount(QStringLiteral("Teacher"), QStringLiteral("Секрет"), QStringLiteral("admin"));
        addAccount(QStringLiteral("Иван"), QStringLiteral("пароль"), QStringLiteral("student"));
    }

    void signIn(const QString& login, const QString& password) {
        Form1->sEdit1->setText(login);
        Form1->sEdit2->setText(password);
        Form1->sButton1->click();
    }
    // Opens the registration boxes and types into them.
    static void typeRegistration(const QString& login, const QString& password) {
        Form1->sButton3->click();
        Form1->sEdit3->setText(login);
        Form1->sEdit4->setText(password);
    }
    void registerAccount(const QString& login, const QString& password) {
        typeRegistration(login, password);
        Form1->sButton2->click();
    }
    static QString currentLogin() {
        return DataModule1->tblUsers->fieldByName(QStringLiteral("Логин")).asString();
    }
    static bool boxesEmpty() {
        return Form1->sEdit1->text().isEmpty() && Form1->sEdit2->text().isEmpty() &&
               Form1->sEdit3->text().isEmpty() && Form1->sEdit4->text().isEmpty();
    }
    static void expectCentred(QWidget* window) {
        const QPoint offset =
            window->frameGeometry().center() - window->screen()->availableGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2) << "centred on the screen, to the pixel";
    }
    // The next control the Tab key reaches.
    static QWidget* nextTabStop(QWidget* widget) {
        QWidget* next = widget->nextInFocusChain();
        while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        return next;
    }
    static void closeThroughFrame(QWidget* window) {
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            window->windowHandle());
    }
};

TEST_F(SignInTest, SplashClickLeadsToTheCentredSignInWindow) {
    start();
    Form8->show();
    EXPECT_EQ(Form8->size(), QSize(501, 501));
    EXPECT_FALSE(Form1->isVisible());
    QTest::mouseClick(Form8->Image1, Qt::LeftButton, {}, QPoint(490, 490));
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_EQ(Form1->windowTitle(), "Авторизация");
    // As designed, the whole window with the skin's frame inside it.
    ASSERT_TRUE(Form1->hasInnerFrame());
    EXPECT_EQ(Form1->width(), 385);
    EXPECT_EQ(Form1->formHeight(), 170);
    EXPECT_EQ(Form1->clientRect().size(), QSize(385 - 2 * 3, 170 - 3 - 24 - 3))
        << "a single border: the dialog frame and the caption";
    expectCentred(Form1);
}

TEST_F(SignInTest, TeacherSignsInToTheTeacherWindow) {
    start();
    Form1->show();
    signIn(QStringLiteral("Teacher"), QStringLiteral("Секрет"));
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_EQ(Form2->frameGeometry(), Form2->screen()->availableGeometry());
    EXPECT_TRUE(Form1->isVisible()) << "sign-in stays open behind the workspace";
    EXPECT_TRUE(CurrentLogin.isEmpty()) << "a teacher's sign-in leaves CurrentLogin alone";
    EXPECT_EQ(currentLogin(), "Teacher");
    EXPECT_TRUE(boxesEmpty());
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST_F(SignInTest, StudentSignsInToTheStudentWindow) {
    start();
    signIn(QStringLiteral("Иван"), QStringLiteral("пароль"));
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_EQ(Form4->windowTitle(), "Окно студента: Добро пожаловать, Иван");
    EXPECT_EQ(Form4->frameGeometry(), Form4->screen()->availableGeometry());
    EXPECT_EQ(Form4->WebBrowser1->locationURL(), AppDir + QStringLiteral("titl.bmp"));
    EXPECT_FALSE(Form4->sPanel1->isVisible()) << "the document panel stays hidden";
    EXPECT_EQ(CurrentLogin, "Иван");
    EXPECT_EQ(currentLogin(), "Иван");
    EXPECT_TRUE(boxesEmpty());
}

TEST_F(SignInTest, UnknownAccountOrWrongPasswordIsRefused) {
    start();
    DataModule1->tblUsers->first();
    signIn(QStringLiteral("Иван"), QStringLiteral("Пароль"));
    signIn(QStringLiteral("Пётр"), QStringLiteral("пароль"));
    ASSERT_EQ(boxes.calls().size(), 2);
    for (const auto& call : boxes.calls()) {
        EXPECT_EQ(call.text, kNotRegistered);
        EXPECT_EQ(call.caption, TApplication::title());
        EXPECT_EQ(call.flags, unsigned(mbOk)) << "an OK button and no icon";
    }
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_EQ(currentLogin(), "Teacher")
        << "a refused sign-in leaves the current account row alone";
    EXPECT_TRUE(CurrentLogin.isEmpty());
    EXPECT_TRUE(boxesEmpty());
}

TEST_F(SignInTest, OnlyAnExactTeacherAccountOpensTheTeacherWindow) {
    addAccount(QStringLiteral("Anna"), QStringLiteral("a"), QStringLiteral("Admin"));
    addAccount(QStringLiteral("Olga"), QStringLiteral("o"), QStringLiteral("admin "));
    addAccount(QStringLiteral("Pavel"), QStringLiteral("p"), QString());
    start();
    for (const auto& [login, password] : {std::pair{"Anna", "a"}, {"Olga", "o"}, {"Pavel", "p"}}) {
        Form4->hide();
        signIn(QString::fromLatin1(login), QString::fromLatin1(password));
        EXPECT_TRUE(Form4->isVisible()) << login;
        EXPECT_FALSE(Form2->isVisible()) << login;
    }
    // The teacher's login typed in another letter case finds the account but takes the
    // student path, with the login as typed.
    Form4->hide();
    signIn(QStringLiteral("TEACHER"), QStringLiteral("Секрет"));
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(CurrentLogin, "TEACHER");
    EXPECT_EQ(Form4->windowTitle(), "Окно студента: Добро пожаловать, TEACHER");
}

TEST_F(SignInTest, OlderPlainPasswordSignsInAndIsReplacedByItsHash) {
    addPlainAccount(QStringLiteral("old"), QStringLiteral("plain"), QStringLiteral("student"));
    start();
    signIn(QStringLiteral("old"), QStringLiteral("Plain"));
    EXPECT_EQ(boxes.texts(), QStringList{kNotRegistered}) << "letter case counts in passwords";
    signIn(QStringLiteral("old"), QStringLiteral("plain"));
    EXPECT_TRUE(Form4->isVisible());
    const QString stored = DataModule1->tblUsers->fieldByName(QStringLiteral("Пароль")).asString();
    EXPECT_TRUE(isPasswordHash(stored));
    EXPECT_TRUE(passwordMatches(QStringLiteral("plain"), stored));
    DataModule1->tblUsers->refresh();
    EXPECT_TRUE(
        isPasswordHash(DataModule1->tblUsers->fieldByName(QStringLiteral("Пароль")).asString()))
        << "the hash is in the file";
}

TEST_F(SignInTest, PlainPasswordThatCannotBeReplacedStillSignsIn) {
    addPlainAccount(QStringLiteral("old"), QStringLiteral("plain"), QStringLiteral("student"));
    start();
    FailingStore& store = injectFailures(*DataModule1->ADOConnection1);
    store.failWrite(1);  // the hash cannot be saved, as in a read-only course folder
    runAsCommand([this] { signIn(QStringLiteral("old"), QStringLiteral("plain")); });
    EXPECT_TRUE(boxes.texts().isEmpty()) << "nothing is reported to the user";
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(CurrentLogin, "old");
    EXPECT_EQ(currentLogin(), "old") << "the account is the current row for the result views";
    TTable* users = DataModule1->tblUsers;
    EXPECT_EQ(users->state(), DataSetState::Browse) << "no edit is left pending";
    EXPECT_EQ(users->fieldByName(QStringLiteral("Пароль")).asString(), "plain");
    EXPECT_EQ(store.writes(), 1);

    // Next time the file can be written, the value is replaced.
    Form4->close();
    store.failWrite(0);
    signIn(QStringLiteral("old"), QStringLiteral("plain"));
    EXPECT_TRUE(Form4->isVisible());
    users->refresh();
    EXPECT_TRUE(isPasswordHash(users->fieldByName(QStringLiteral("Пароль")).asString()));
}

TEST_F(SignInTest, RegistrationCreatesAStudentAccountAndOpensTheStudentWindow) {
    start();
    Form1->show();
    Form1->sEdit1->setText(QStringLiteral("typed"));
    Form1->sButton3->click();
    EXPECT_EQ(Form1->formHeight(), 300);
    EXPECT_FALSE(Form1->sButton1->isEnabled());
    EXPECT_TRUE(Form1->sButton2->isEnabled());
    EXPECT_TRUE(Form1->sEdit1->text().isEmpty());

    Form1->sEdit3->setText(QStringLiteral("Мария"));
    Form1->sEdit4->setText(QStringLiteral("м123"));
    Form1->sButton2->click();
    EXPECT_EQ(Form1->sLabel6->text(), "Регистрация прошла успешно");
    EXPECT_EQ(Form1->formHeight(), 170);
    EXPECT_TRUE(Form1->sButton1->isEnabled());
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(Form4->windowTitle(), "Окно студента: Добро пожаловать, Мария");
    EXPECT_EQ(CurrentLogin, "Мария");
    EXPECT_TRUE(boxesEmpty());

    TTable* users = DataModule1->tblUsers;
    EXPECT_EQ(currentLogin(), "Мария") << "the new row is current";
    EXPECT_EQ(users->fieldByName(QStringLiteral("Примечание")).asString(), "student");
    EXPECT_TRUE(passwordMatches(QStringLiteral("м123"),
                                users->fieldByName(QStringLiteral("Пароль")).asString()));

    // The new account signs in like any other.
    Form4->hide();
    signIn(QStringLiteral("Мария"), QStringLiteral("м123"));
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST_F(SignInTest, TakenLoginIsRefusedInAnyLetterCase) {
    start();
    registerAccount(QStringLiteral("иван"), QStringLiteral("другой"));
    EXPECT_EQ(boxes.texts(), QStringList{kTaken});
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk));
    EXPECT_EQ(DataModule1->tblUsers->recordCount(), 2) << "nothing is stored";
    EXPECT_EQ(Form1->formHeight(), 300);
    EXPECT_FALSE(Form1->sButton1->isEnabled());
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_TRUE(boxesEmpty());

    // Only a successful registration gives sign-in back.
    Form1->sEdit3->setText(QStringLiteral("Иван2"));
    Form1->sEdit4->setText(QStringLiteral("x"));
    Form1->sButton2->click();
    EXPECT_TRUE(Form1->sButton1->isEnabled());
}

TEST_F(SignInTest, EmptyBoxesRegisterAnEmptyAccountOnce) {
    start();
    registerAccount(QString(), QString());
    EXPECT_TRUE(boxes.calls().isEmpty());
    EXPECT_EQ(Form4->windowTitle(), "Окно студента: Добро пожаловать, ");
    Form4->hide();
    signIn(QString(), QString());
    EXPECT_TRUE(Form4->isVisible());
    registerAccount(QString(), QString());
    EXPECT_EQ(boxes.texts(), QStringList{kTaken});
}

// Another computer holding the course file for writing, as a long write of its own would:
// from a thread with its own connection, for the given time.
class FileHolder {
public:
    explicit FileHolder(std::chrono::milliseconds time)
        : thread_([this, time] {
              auto store =
                  SqliteStore::open(TDataModule1::DatabaseFile, TDataModule1::DatabasePassword);
              store->transaction([&] {
                  held_ = true;
                  std::this_thread::sleep_for(time);
              });
          }) {
        while (!held_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FileHolder() { thread_.join(); }

private:
    std::atomic<bool> held_{false};
    std::thread thread_;
};

TEST_F(SignInTest, RegistrationWaitsForAFileHeldElsewhereAndShowsTheWait) {
    start();
    Form1->show();
    typeRegistration(QStringLiteral("Мария"), QStringLiteral("м123"));
    bool shown = false;
    QString told;
    {
        const FileHolder holder(std::chrono::milliseconds(1500));
        QTimer::singleShot(1000, [&] {
            shown = BusyNotice->isVisible();
            told = BusyNotice->sLabel1->text();
        });
        QTest::mouseClick(Form1->sButton2, Qt::LeftButton);
    }
    EXPECT_TRUE(shown) << "the wait is shown while it lasts";
    EXPECT_TRUE(told.startsWith(
        QStringLiteral("База данных курса занята другим компьютером. Ожидание: ")))
        << told.toStdString();
    EXPECT_TRUE(boxes.calls().isEmpty()) << boxes.texts().join(u'|').toStdString();
    EXPECT_TRUE(Form4->isVisible()) << "registered once the file was free";
    EXPECT_TRUE(QTest::qWaitFor([] { return !BusyNotice->isVisible(); }, 2000))
        << "the notice goes once the wait is over";
}

TEST_F(SignInTest, GivingUpTheWaitStoresNothingAndLeavesNothingPending) {
    start();
    Form1->show();
    typeRegistration(QStringLiteral("Мария"), QStringLiteral("м123"));
    QElapsedTimer clock;
    {
        const FileHolder holder(std::chrono::milliseconds(4000));
        QTimer::singleShot(900, [] { BusyNotice->sButton1->click(); });
        clock.start();
        QTest::mouseClick(Form1->sButton2, Qt::LeftButton);
        EXPECT_LT(clock.elapsed(), 3000) << "the command ends when the wait is given up";
    }
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_TRUE(boxes.texts()[0].contains(QStringLiteral("база данных занята")))
        << boxes.texts()[0].toStdString();
    EXPECT_FALSE(Form4->isVisible());
    TTable* users = DataModule1->tblUsers;
    EXPECT_EQ(users->state(), DataSetState::Browse) << "the failed save dropped its row";
    EXPECT_EQ(users->recordCount(), 2);

    // Signing in with the boxes left as typed saves nothing either: there is no such account.
    Form1->sButton1->setEnabled(true);
    signIn(QStringLiteral("Мария"), QStringLiteral("м123"));
    EXPECT_FALSE(Form4->isVisible());
    users->refresh();
    EXPECT_EQ(users->recordCount(), 2);
}

TEST_F(SignInTest, TeacherIsToldOfLoginsThatSeveralAccountsShareAndNothingIsDeleted) {
    // A file from before logins were kept unique.
    addAccount(QStringLiteral("ИВАН"), QStringLiteral("другой"), QStringLiteral("student"));
    start();
    EXPECT_EQ(DataModule1->tblUsers->recordCount(), 3);
    signIn(QStringLiteral("Teacher"), QStringLiteral("Секрет"));
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_TRUE(boxes.calls()[0].text.startsWith(
        QStringLiteral("Несколько учётных записей курса носят один и тот же логин (без учёта "
                       "регистра букв): Иван.")))
        << boxes.calls()[0].text.toStdString();
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconInformation));
    EXPECT_TRUE(Form2->isVisible()) << "the teacher goes on to the teacher window";
    EXPECT_EQ(DataModule1->tblUsers->recordCount(), 3);
    // A student is not told.
    Form2->hide();
    boxes.clear();
    signIn(QStringLiteral("Иван"), QStringLiteral("пароль"));
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST_F(SignInTest, PasswordsAreMaskedAndTheKeyboardOrderIsAsDesigned) {
    start();
    EXPECT_EQ(Form1->sEdit2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Form1->sEdit4->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Form1->sEdit1->echoMode(), QLineEdit::Normal);
    const QList<QWidget*> order{Form1->sEdit1, Form1->sEdit2,   Form1->sButton1, Form1->sEdit3,
                                Form1->sEdit4, Form1->sButton2, Form1->sButton3, Form1->sButton4};
    for (int i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(nextTabStop(order[i]), order[i + 1]) << order[i]->objectName().toStdString();

    // Enter on the focused sign-in button presses it.
    Form1->show();
    QApplication::setActiveWindow(Form1);
    Form1->sEdit1->setText(QStringLiteral("Иван"));
    Form1->sEdit2->setText(QStringLiteral("пароль"));
    Form1->sButton1->setFocus();
    QTest::keyClick(Form1->sButton1, Qt::Key_Return);
    EXPECT_TRUE(Form4->isVisible());
}

TEST_F(SignInTest, ClosingTheStudentWindowBringsSignInBackForAnotherAccount) {
    start();
    Form1->show();
    signIn(QStringLiteral("Иван"), QStringLiteral("пароль"));
    closeThroughFrame(Form4);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Application->terminated());
    EXPECT_TRUE(boxesEmpty());
    signIn(QStringLiteral("Teacher"), QStringLiteral("Секрет"));
    EXPECT_TRUE(Form2->isVisible());
    closeThroughFrame(Form2);
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Application->terminated());
}

TEST_F(SignInTest, ExitCommandsEndTheProgram) {
    start();
    Form1->show();
    Form1->sButton4->click();
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(Application->terminated());
}

TEST_F(SignInTest, StudentExitClosesTheTablesAndEndsTheProgram) {
    start();
    signIn(QStringLiteral("Иван"), QStringLiteral("пароль"));
    Form4->N9->trigger();
    EXPECT_TRUE(Application->terminated());
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_FALSE(DataModule1->tblUsers->active());
    EXPECT_FALSE(DataModule1->tblProverka->active());
    EXPECT_TRUE(DataModule1->tblTesting->active())
        << "the student's exit leaves the scratch table to the end";
}

TEST_F(SignInTest, TeacherExitClosesItsTablesAndEndsTheProgram) {
    start();
    signIn(QStringLiteral("Teacher"), QStringLiteral("Секрет"));
    Form2->N7->trigger();
    EXPECT_TRUE(Application->terminated());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(DataModule1->tblTema->active());
    EXPECT_TRUE(DataModule1->tblVideo->active());
}

TEST_F(SignInTest, ClosingSignInThroughItsFrameEndsTheProgram) {
    start();
    Form1->show();
    closeThroughFrame(Form1);
    EXPECT_TRUE(Application->terminated());
}

}  // namespace
