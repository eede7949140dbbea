// Who may do what on a class server set up by kesta-admin, tried with real connections under
// a student's and a teacher's login role: the answer key stays off the student's reach, a
// student signs in, registers and hands in only through the server's functions and sees only
// their own results, and the server grades a hand-in as the program does.

#include <gtest/gtest.h>

#include <QProcess>
#include <QRandomGenerator>
#include <map>
#include <set>

#include "app/accounts.h"
#include "app/class_server.h"
#include "data/database_error.h"
#include "data/field.h"
#include "data/password.h"
#include "data/pg_store.h"
#include "support/pg_server.h"
#include "testing/testing.h"

namespace {

const QString kTest = QStringLiteral("test");

class ServerRolesTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestPgServer& server = TestPgServer::shared();
        if (!server.running()) GTEST_SKIP() << server.problem().toStdString();
        static int databases = 0;
        const QString name = QStringLiteral("roles_%1").arg(++databases);
        owner = server.createDatabase(name);
        QProcess admin;
        admin.start(QStringLiteral(KESTA_ADMIN), {QStringLiteral("init"), owner, QStringLiteral("Учитель")});
        admin.write("пароль учителя\n");
        admin.closeWriteChannel();
        ASSERT_TRUE(admin.waitForFinished(120000));
        ASSERT_EQ(admin.exitCode(), 0) << admin.readAllStandardError().toStdString();
        // Login roles of a seat and of a teacher's computer, members of the course's roles.
        auto pg = PgStore::connect(owner);
        pg->execute(QStringLiteral("DROP ROLE IF EXISTS seat_%1, desk_%1; CREATE ROLE seat_%1 LOGIN IN "
                                   "ROLE kesta_student; CREATE ROLE desk_%1 LOGIN IN ROLE kesta_teacher")
                        .arg(databases));
        seat = owner + QStringLiteral(" user=seat_%1").arg(databases);
        desk = owner + QStringLiteral(" user=desk_%1").arg(databases);
        const QStringList columns{QStringLiteral("Номер_вопроса"), QStringLiteral("Вопрос"),
                                  QStringLiteral("Правильный_ответ")};
        for (int i = 1; i <= 60; ++i)
            bankKeys.append(pg->insertRow(kTest, columns,
                                          {i, QStringLiteral("Вопрос %1").arg(i),
                                           i % 13 == 0 ? QVariant() : QVariant(OptionCodes[size_t(i % 5)])},
                                          {QStringLiteral("Номер")})
                                .values[0]
                                .toLongLong());
    }
    // Signs a connection in, registers and hands in as the program does; the rows the
    // server answered.
    static QVector<QVector<QVariant>> signIn(PgStore& store, const QString& login, const QString& password) {
        const std::optional<ServerAccount> account = signInOnServer(store, login, password);
        if (!account) return {};
        return {{account->login, account->role}};
    }
    static bool registerStudent(PgStore& store, const QString& login, const QString& password) {
        return registerOnServer(store, login, hashPassword(password));
    }
    static QVector<QVariant> handIn(PgStore& store, const QStringList& keys, const QStringList& answers) {
        QList<qint64> questions;
        for (const QString& key : keys)
            questions.append(key.toLongLong());
        const ServerHandIn stored = handInOnServer(store, questions, answers, QDate(2026, 12, 11),
                                                   QStringLiteral("Итоговый"));
        return {stored.correct, stored.letter, stored.number};
    }

    QString owner;
    QString seat;
    QString desk;
    QVector<qint64> bankKeys;
};

TEST_F(ServerRolesTest, AStudentReadsTheQuestionsButNeitherTheKeyNorAnythingToChange) {
    auto student = PgStore::connect(seat);
    // The bank shows a student its questions; the answer key is no column of it.
    QStringList names;
    for (const StoreColumn& column : student->columns(kTest))
        names.append(column.name);
    EXPECT_EQ(names, (QStringList{QStringLiteral("Номер"), QStringLiteral("Номер_вопроса"), QStringLiteral("Вопрос")}));
    EXPECT_EQ(student->readRows(kTest, {QStringLiteral("Вопрос")}).size(), 60);
    EXPECT_EQ(student->readRows(QStringLiteral("teoria"), {}).size(), 0);
    const auto refused = [&](const std::function<void()>& step, const char* what) {
        try {
            step();
            ADD_FAILURE() << what << ": allowed";
        } catch (const EDatabaseError& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("нет прав"))) << what << ": "
                                                                           << error.message().toStdString();
        }
    };
    refused([&] { student->readRows(kTest, {QStringLiteral("Правильный_ответ")}); }, "the answer key");
    refused([&] { student->query(QStringLiteral("SELECT * FROM test"), {}); }, "the whole bank");
    refused([&] { student->readRows(QStringLiteral("users"), {QStringLiteral("Пароль")}); }, "the accounts");
    refused([&] { student->query(QStringLiteral("SELECT * FROM kesta_sessions"), {}); }, "the sign-ins");
    refused([&] { student->updateRow(kTest, bankKeys[0], {QStringLiteral("Вопрос")}, {QStringLiteral("?")}); },
            "a question");
    refused([&] { student->insertRow(QStringLiteral("teoria"), {QStringLiteral("Название темы")}, {QStringLiteral("x")}, {}); },
            "a topic");
    refused([&] {
        student->insertRow(QStringLiteral("result"), {QStringLiteral("Логин_студента"), QStringLiteral("Оценка")},
                           {QStringLiteral("кто-то"), QStringLiteral("A")}, {});
    }, "a result row");
    refused([&] {
        student->query(QStringLiteral("INSERT INTO users (\"Логин\", \"Примечание\") VALUES ('взломщик', 'admin')"), {});
    }, "an account");
    refused([&] {
        student->query(QStringLiteral("INSERT INTO kesta_sessions VALUES (pg_backend_pid(), now(), 'Учитель')"), {});
    }, "a sign-in of its own making");
    // The running test is the student's to write.
    const qint64 row = student->insertRow(QStringLiteral("testing"), {QStringLiteral("Номер"), QStringLiteral("Номер1")},
                                          {1, bankKeys[0]}, {}).key;
    student->updateRow(QStringLiteral("testing"), row, {QStringLiteral("Ответ")}, {QStringLiteral("B")});
    student->deleteRow(QStringLiteral("testing"), row);
    // Handing in is for a signed-in student only.
    EXPECT_THROW(handIn(*student, {QString::number(bankKeys[0])}, {QStringLiteral("A")}), EDatabaseError);
}

TEST_F(ServerRolesTest, StudentsSignInRegisterAndSeeOnlyTheirOwnResults) {
    auto anna = PgStore::connect(seat);
    EXPECT_TRUE(registerStudent(*anna, QStringLiteral("Анна"), QStringLiteral("секрет")));
    EXPECT_FALSE(registerStudent(*anna, QStringLiteral("АННА"), QStringLiteral("другой"))) << "letter case is no new login";
    auto boris = PgStore::connect(seat);
    EXPECT_TRUE(registerStudent(*boris, QStringLiteral("Борис"), QStringLiteral("пароль")));

    // A wrong password signs nobody in; the right one does, with the account's role.
    auto again = PgStore::connect(seat);
    EXPECT_TRUE(signIn(*again, QStringLiteral("анна"), QStringLiteral("не тот")).isEmpty());
    EXPECT_TRUE(signIn(*again, QStringLiteral("Нет такой"), QStringLiteral("секрет")).isEmpty());
    const auto signedIn = signIn(*again, QStringLiteral("анна"), QStringLiteral("секрет"));
    ASSERT_EQ(signedIn.size(), 1);
    EXPECT_EQ(signedIn[0][0].toString(), QStringLiteral("Анна"));
    EXPECT_EQ(signedIn[0][1].toString(), QStringLiteral("student"));
    // A stored hash is no password: it does not sign in when typed.
    auto teacher = PgStore::connect(desk);
    const QString stored = teacher->readRowsWhere(QStringLiteral("users"), {QStringLiteral("Пароль")},
                                                  QStringLiteral("Логин"), QStringLiteral("Анна"))
                               .value(0)
                               .values.value(0)
                               .toString();
    ASSERT_TRUE(isPasswordHash(stored));
    EXPECT_TRUE(signIn(*boris, QStringLiteral("Анна"), stored).isEmpty());

    QStringList keys;
    QStringList answers;
    for (int i = 0; i < 40; ++i) {
        keys.append(QString::number(bankKeys[i]));
        answers.append(QStringLiteral("A"));
    }
    const QVector<QVariant> annas = handIn(*again, keys, answers);
    ASSERT_EQ(annas.size(), 3);
    handIn(*boris, keys, answers);
    // Each sees their own result and answer records, the correct answers in them; the
    // teacher sees both.
    for (const auto& [store, login] : std::vector<std::pair<PgStore*, QString>>{
             {again.get(), QStringLiteral("Анна")}, {boris.get(), QStringLiteral("Борис")}}) {
        const auto results = store->readRows(QStringLiteral("result"), {QStringLiteral("Логин_студента")});
        ASSERT_EQ(results.size(), 1);
        EXPECT_EQ(results[0].values[0].toString(), login);
        const auto records = store->readRows(QStringLiteral("proverka"),
                                             {QStringLiteral("Логин_студента"), QStringLiteral("Правильный_ответ")});
        EXPECT_EQ(records.size(), 40);
        for (const StoreRow& record : records)
            EXPECT_EQ(record.values[0].toString(), login);
    }
    EXPECT_EQ(teacher->readRows(QStringLiteral("result"), {}).size(), 2);
    EXPECT_EQ(teacher->readRows(QStringLiteral("proverka"), {}).size(), 80);
    // The teacher's window clears the journal; a student cannot.
    EXPECT_THROW(again->deleteRow(QStringLiteral("result"), teacher->readRows(QStringLiteral("result"), {})[0].key),
                 EDatabaseError);
    teacher->deleteRow(QStringLiteral("result"), teacher->readRows(QStringLiteral("result"), {})[0].key);
    EXPECT_EQ(teacher->readRows(QStringLiteral("result"), {}).size(), 1);
}

TEST_F(ServerRolesTest, TheServerGradesAThousandSheetsAsTheProgramDoes) {
    auto teacher = PgStore::connect(desk);
    std::map<qint64, QVariant> key;
    for (const StoreRow& row : teacher->readRows(kTest, {QStringLiteral("Правильный_ответ")}))
        key[row.key] = row.values[0];
    // A question deleted since the launch counts as not correct.
    teacher->deleteRow(kTest, bankKeys[7]);
    key.erase(bankKeys[7]);

    auto student = PgStore::connect(seat);
    ASSERT_TRUE(registerStudent(*student, QStringLiteral("Вера"), QStringLiteral("пароль")));
    QRandomGenerator random(20261211);
    std::set<qint64> numbers;
    for (int sheet = 0; sheet < 1000; ++sheet) {
        QStringList keys;
        QStringList answers;
        int correct = 0;
        // Sheets from all wrong to all right, with unanswered questions among them.
        const int skill = sheet % 11;
        for (int position = 0; position < TForm6::kPositions; ++position) {
            const qint64 drawn = bankKeys[random.bounded(bankKeys.size())];
            const auto known = key.find(drawn);
            QString answer;
            if (random.bounded(10) == 0) {
                answer = QString();
            } else if (known != key.end() && int(random.bounded(10)) < skill && !known->second.isNull()) {
                answer = known->second.toString();
            } else {
                answer = OptionCodes[size_t(random.bounded(5))];
            }
            if (known != key.end() && valuesEqual(answer.isNull() ? QVariant() : QVariant(answer), known->second))
                ++correct;
            keys.append(QString::number(drawn));
            answers.append(answer);
        }
        const QVector<QVariant> stored = handIn(*student, keys, answers);
        ASSERT_EQ(stored.size(), 3);
        EXPECT_EQ(stored[0].toInt(), correct) << "sheet " << sheet;
        EXPECT_EQ(stored[1].toString(),
                  QString::fromUtf8(gradeFor(correct * 100.0 / TForm6::kPositions).letter))
            << "sheet " << sheet << ", " << correct << " correct";
        EXPECT_TRUE(numbers.insert(stored[2].toLongLong()).second) << "hand-in numbers are not given twice";
    }
    EXPECT_EQ(teacher->readRows(QStringLiteral("result"), {}).size(), 1000);
    EXPECT_EQ(teacher->readRows(QStringLiteral("proverka"), {}).size(), 40000);
}

}  // namespace
