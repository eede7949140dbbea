// kesta-admin run as an administrator runs it, on a server of the test's own: init makes an
// empty course with its teacher, upload copies the demo course there, download brings it
// back as a file a seat opens alone; failures are told in Russian and change nothing.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "data/password.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
#include "support/pg_server.h"

namespace {

struct AdminRun {
    int status = -1;
    QString error;
};

AdminRun admin(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    process.start(QStringLiteral(KESTA_ADMIN), arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

template <class S>
QMap<QString, qsizetype> rowCounts(S& store) {
    QMap<QString, qsizetype> counts;
    for (const QString& table : store.tables())
        counts.insert(table, store.readRows(table, {}).size());
    return counts;
}

class AdminTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestPgServer::shared().running())
            GTEST_SKIP() << TestPgServer::shared().problem().toStdString();
    }
    QTemporaryDir folder;
};

TEST_F(AdminTest, InitMakesAnEmptyCourseWithItsTeacher) {
    const QString server = TestPgServer::shared().createDatabase(QStringLiteral("admin_init"));
    AdminRun run = admin({QStringLiteral("init"), server, QStringLiteral("Петрова")}, "секрет\n");
    ASSERT_EQ(run.status, 0) << run.error.toStdString();
    auto pg = PgStore::connect(server);
    EXPECT_TRUE(pg->tables().contains(QStringLiteral("proverka")));
    const QVector<StoreRow> users = pg->readRows(
        QStringLiteral("users"), {QStringLiteral("Логин"), QStringLiteral("Пароль"), QStringLiteral("Примечание")});
    ASSERT_EQ(users.size(), 1);
    EXPECT_EQ(users[0].values[0].toString(), QStringLiteral("Петрова"));
    EXPECT_TRUE(passwordMatches(QStringLiteral("секрет"), users[0].values[1].toString()));
    EXPECT_EQ(users[0].values[2].toString(), QStringLiteral("admin"));
    EXPECT_TRUE(pg->readRows(QStringLiteral("test"), {}).isEmpty());

    run = admin({QStringLiteral("init"), server}, "другой\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.error.contains(QStringLiteral("На сервере уже есть курс"))) << run.error.toStdString();
    EXPECT_EQ(pg->readRows(QStringLiteral("users"), {}).size(), 1);
}

TEST_F(AdminTest, UploadThenDownloadBringsTheDemoCourseBack) {
    const QString server = TestPgServer::shared().createDatabase(QStringLiteral("admin_copy"));
    const QString demo = QStringLiteral(KESTA_COURSE_DIR "/Kesta.db");
    AdminRun run = admin({QStringLiteral("upload"), server, demo});
    ASSERT_EQ(run.status, 0) << run.error.toStdString();
    EXPECT_TRUE(run.error.contains(QStringLiteral("test: "))) << "progress is shown";
    const QString back = folder.filePath(QStringLiteral("Kesta.db"));
    run = admin({QStringLiteral("download"), server, back});
    ASSERT_EQ(run.status, 0) << run.error.toStdString();

    auto original = SqliteStore::open(demo, QStringLiteral("Ломтеривка"));
    auto copy = SqliteStore::open(back, QStringLiteral("Ломтеривка"));
    const QMap<QString, qsizetype> counts = rowCounts(*original);
    EXPECT_GT(counts.value(QStringLiteral("test")), 40);
    EXPECT_EQ(rowCounts(*copy), counts);
    EXPECT_EQ(copy->readRows(QStringLiteral("test"), {QStringLiteral("Вопрос")}).last().values,
              original->readRows(QStringLiteral("test"), {QStringLiteral("Вопрос")}).last().values);

    // A second download does not overwrite the file, and the file is left whole.
    run = admin({QStringLiteral("download"), server, back});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.error.contains(QStringLiteral("уже существует"))) << run.error.toStdString();
    EXPECT_EQ(rowCounts(*SqliteStore::open(back, QStringLiteral("Ломтеривка"))), counts);
}

TEST_F(AdminTest, AnUnreachableServerIsToldInRussian) {
    const AdminRun run = admin({QStringLiteral("download"), QStringLiteral("host=/nonexistent dbname=kesta"),
                           folder.filePath(QStringLiteral("x.db"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.error.startsWith(QStringLiteral("Не удалось подключиться к серверу курса"))) << run.error.toStdString();
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("x.db"))));
    EXPECT_EQ(admin({QStringLiteral("copy")}).status, 2) << "a wrong command shows the usage";
}

TEST_F(AdminTest, SeatsTellsWhoIsSignedInAndWhoIsTakingTheTest) {
    const QString server = TestPgServer::shared().createDatabase(QStringLiteral("admin_seats"));
    ASSERT_EQ(admin({QStringLiteral("init"), server}, "учитель\n").status, 0);
    // Four programs: one before anyone signed in, a student with a test running (3 of 40
    // answered), a student reading the course, the teacher.
    auto waiting = PgStore::connect(server);
    auto testing = PgStore::connect(server);
    auto reading = PgStore::connect(server);
    auto teacher = PgStore::connect(server);
    testing->announce(QStringLiteral("1001 S Иванов"));
    reading->announce(QStringLiteral("1002 S Петров"));
    teacher->announce(QStringLiteral("1003 T teacher"));
    for (int position = 1; position <= 40; ++position)
        testing->insertRow(QStringLiteral("testing"),
                           {QStringLiteral("Номер"), QStringLiteral("Ответ"), QStringLiteral("Рабочее_место")},
                           {position, position <= 3 ? QStringLiteral("A") : QString(), 1001}, {});
    const AdminRun run = [&] {
        QProcess process;
        process.start(QStringLiteral(KESTA_ADMIN), {QStringLiteral("seats"), server});
        process.waitForFinished(60000);
        return AdminRun{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
    }();
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.error.split(u'\n', Qt::SkipEmptyParts),
              (QStringList{QStringLiteral("Подключено программ: 4, из них без входа: 1"),
                           QStringLiteral("Иванов — проходит тест (ответов: 3 из 40)"),
                           QStringLiteral("Петров — работает с курсом"),
                           QStringLiteral("teacher — преподаватель")}));
}

}  // namespace
