#include "app/registracia.h"

#include "app/course_file.h"

#include <QCloseEvent>

#include "app/accounts.h"
#include "app/class_server.h"
#include "app/design.h"
#include "app/dm.h"
#include "app/globals.h"
#include "app/zastavka.h"
#include "data/database_error.h"
#include "data/password.h"
#include "data/pg_store.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "student/student.h"
#include "teacher/prepodavatel.h"

TForm1* Form1 = nullptr;

namespace {

const QString kWelcome = QStringLiteral("Окно студента: Добро пожаловать, ");

template <class T>
T* place(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* control = new T(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    return control;
}

}  // namespace

TForm1::TForm1() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Авторизация"));
    setFont(pixelFont(QStringLiteral("Times New Roman"), 16));
    setBackgroundColour(this, kFormBackground);
    setCentredOnShow(true);
    createSkinManager();

    const auto label = [this](const char* name, int top, const QString& caption) {
        auto* result = place<TsLabel>(this, name, 10, top, 100, 24);
        result->setText(caption);
        result->setAlignment(Qt::AlignRight | Qt::AlignTop);
        result->setFont(pixelFont(QStringLiteral("Times New Roman"), 19));
        result->setFontColor(kLabelColour);
        return result;
    };
    const auto edit = [this](const char* name, int top) {
        auto* result = place<TsEdit>(this, name, 112, top, 250, 27);
        setBlackOnWhite(result);
        return result;
    };
    const auto button = [this](const char* name, int left, int top, int width,
                               const QString& caption) {
        auto* result = place<TsButton>(this, name, left, top, width, 25);
        result->setText(caption);
        return result;
    };

    // The registration message lies under the row of buttons, which cover most of it.
    sLabel6 = place<TsLabel>(this, "sLabel6", 32, 90, 300, 19);
    sLabel6->setFont(pixelFont(QStringLiteral("Times New Roman"), 16));
    sLabel6->setFontColor(kLabelColour);

    sLabel1 = label("sLabel1", 8, QStringLiteral("Логин:"));
    sEdit1 = edit("sEdit1", 8);
    sLabel2 = label("sLabel2", 48, QStringLiteral("Пароль:"));
    sEdit2 = edit("sEdit2", 48);
    sButton3 = button("sButton3", 16, 88, 129, QStringLiteral("Регистрация"));
    sButton1 = button("sButton1", 200, 88, 75, QStringLiteral("Вход"));
    sButton4 = button("sButton4", 288, 88, 75, QStringLiteral("Выход"));
    sLabel4 = label("sLabel4", 144, QStringLiteral("Логин:"));
    sEdit3 = edit("sEdit3", 144);
    sLabel5 = label("sLabel5", 184, QStringLiteral("Пароль:"));
    sEdit4 = edit("sEdit4", 184);
    sButton2 = button("sButton2", 288, 224, 75, QStringLiteral("Вход"));

    // Passwords are masked as they are typed.
    sEdit2->setEchoMode(QLineEdit::Password);
    sEdit4->setEchoMode(QLineEdit::Password);

    setTabOrder(sEdit1, sEdit2);
    setTabOrder(sEdit2, sButton1);
    setTabOrder(sButton1, sEdit3);
    setTabOrder(sEdit3, sEdit4);
    setTabOrder(sEdit4, sButton2);
    setTabOrder(sButton2, sButton3);
    setTabOrder(sButton3, sButton4);

    connect(sButton1, &QPushButton::clicked, this, &TForm1::sButton1Click);
    connect(sButton2, &QPushButton::clicked, this, &TForm1::sButton2Click);
    connect(sButton3, &QPushButton::clicked, this, &TForm1::sButton3Click);
    connect(sButton4, &QPushButton::clicked, this, &TForm1::sButton4Click);

    resize(377, height());
    setFormHeight(170);
    sEdit1->setFocus();
}

void TForm1::createSkinManager() {
    sSkinManager1 = new TsSkinManager(this);
    // The settings are made as the form stores them: the skin is read as soon as its name is
    // set, and announced to the windows when all settings are made.
    sSkinManager1->beginLoading();
    sSkinManager1->setObjectName(QStringLiteral("sSkinManager1"));
    TsStoredSkin desert;
    desert.Name = QStringLiteral("Desert (internal)");
    desert.MasterBitmap = QImage(QStringLiteral(":/kesta/skin/desert.bmp"));
    desert.Shadow1Color = Qt::black;
    desert.Shadow1Offset = 0;
    desert.Shadow1Transparency = 0;
    sSkinManager1->InternalSkins.append(desert);
    sSkinManager1->MenuSupport.IcoLineSkin = QStringLiteral("ICOLINE");
    QFont extraLine(QStringLiteral("MS Sans Serif"));
    extraLine.setPixelSize(11);
    sSkinManager1->MenuSupport.ExtraLineFont = extraLine;
    sSkinManager1->setSkinDirectory(QStringLiteral("Skins"));
    sSkinManager1->setSkinName(QStringLiteral("WLM"));
    sSkinManager1->setSkinInfo(QStringLiteral("7"));
    for (int kind = 0; kind < ThirdPartyList::Count; ++kind)
        sSkinManager1->ThirdParty.Lists[kind] = QStringLiteral(" ");
    sSkinManager1->ThirdParty.Lists[ThirdPartyList::ThirdButtons] = QStringLiteral("TButton");
    sSkinManager1->loaded();
}

// Looks the account up by login, letter case ignored, and checks the password against
// what is stored. The current row of the users table moves only when both fit.
bool TForm1::findAccount(const QString& login, const QString& password) {
    TTable* users = DataModule1->tblUsers;
    const qint64 before = users->bookmark();
    if (!users->locate(QStringLiteral("Логин"), login, loCaseInsensitive)) return false;
    const QString stored = users->fieldByName(QStringLiteral("Пароль")).asString();
    if (!passwordMatches(password, stored)) {
        if (before >= 0) users->gotoBookmark(before);
        return false;
    }
    // A password kept as typed by an older database is replaced by its hash. The password
    // is right all the same when the hash cannot be saved (a read-only course folder, say):
    // the user signs in and the old value stays for the next time.
    if (!isPasswordHash(stored)) {
        try {
            users->edit();
            users->fieldByName(QStringLiteral("Пароль")).setValue(hashPassword(password));
            users->post();
        } catch (const EDatabaseError& error) {
            users->cancel();
            qWarning("%s", qUtf8Printable(
                               QStringLiteral("Пароль учётной записи «%1» не заменён хэшем: %2")
                                   .arg(login, error.message())));
        }
    }
    return true;
}

void TForm1::sButton1Click() {
    TTable* users = DataModule1->tblUsers;
    std::optional<ServerAccount> account;
    if (PgStore* server = classServer(*DataModule1->ADOConnection1)) {
        // On a class server the server checks the password and signs the connection in.
        account = signInOnServer(*server, sEdit1->text(), sEdit2->text());
    } else {
        // Another computer of the class may have registered the account since start-up.
        users->refresh();
        if (findAccount(sEdit1->text(), sEdit2->text()))
            account = ServerAccount{users->fieldByName(QStringLiteral("Логин")).asString(),
                                    users->fieldByName(QStringLiteral("Примечание")).asString()};
    }
    if (account) DataModule1->AccountLogin = account->login;
    if (!account) {
        MessageBox(QStringLiteral("Вы не зарегистрированы."), TApplication::title(), mbOk);
    } else if (sEdit1->text() == account->login && account->role == QLatin1String("admin")) {
        DataModule1->ADOConnection1->announce(seatAnnouncement(sEdit1->text(), true));
        Form2->show();
        Form2->fillWorkArea();
        reportRepeatedLogins();
    } else {
        DataModule1->ADOConnection1->announce(seatAnnouncement(sEdit1->text(), false));
        setAppDir();
        openStudentWindow(sEdit1->text());
        Form4->WebBrowser1->navigate(AppDir + QStringLiteral("titl.bmp"));
        CurrentLogin = sEdit1->text();
    }
    emptyBoxes();
}

void TForm1::sButton3Click() {
    setFormHeight(300);
    sEdit1->clear();
    sEdit2->clear();
    sButton1->setEnabled(false);
    sEdit3->clear();
    sEdit4->clear();
    sButton2->setEnabled(true);
}

void TForm1::sButton2Click() {
    TTable* users = DataModule1->tblUsers;
    if (registerAccount(*DataModule1->ADOConnection1, users, sEdit3->text(),
                        hashPassword(sEdit4->text())) == Registration::LoginTaken) {
        MessageBox(QStringLiteral("Пользователь с таким логином уже существует"),
                   TApplication::title(), mbOk);
    } else {
        DataModule1->AccountLogin = sEdit3->text();
        sLabel6->setText(QStringLiteral("Регистрация прошла успешно"));
        sButton1->setEnabled(true);
        setFormHeight(170);
        DataModule1->ADOConnection1->announce(seatAnnouncement(sEdit3->text(), false));
        openStudentWindow(sEdit3->text());
        CurrentLogin = sEdit3->text();
    }
    emptyBoxes();
}

void TForm1::reportRepeatedLogins() {
    const QStringList& repeated = DataModule1->repeatedLogins;
    if (repeated.isEmpty()) return;
    MessageBox(QStringLiteral("Несколько учётных записей курса носят один и тот же логин "
                              "(без учёта регистра букв): %1.\n\nВойти можно только в первую "
                              "из них, а результаты всех записываются под одним логином. "
                              "Ничего не удалено; новых записей с этими логинами курс не "
                              "создаст. Лишние записи администратор может удалить из таблицы "
                              "users файла Kesta.db.")
                   .arg(repeated.join(QStringLiteral(", "))),
               TApplication::title(), mbOk | mbIconInformation);
}

void TForm1::sButton4Click() {
    close();
    Form8->close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    TForm::closeEvent(event);
    // Closed through its frame, the sign-in window would leave no window of the program on
    // screen: the program ends, as with "Выход".
    if (event->spontaneous()) Form8->close();
}

void TForm1::openStudentWindow(const QString& login) {
    Form4->show();
    Form4->fillWorkArea();
    Form4->setWindowTitle(kWelcome + login);
}

void TForm1::emptyBoxes() {
    sEdit1->clear();
    sEdit2->clear();
    sEdit3->clear();
    sEdit4->clear();
}
