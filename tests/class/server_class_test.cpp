// A class on a class server: thirty seats as separate processes (kesta-seat), each with a
// connection of its own, register, launch and hand in at once; then seats and the server
// itself are killed in the middle of hand-ins, and no hand-in is left half stored.

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QThread>

#include "app/course_file.h"
#include "app/dm.h"
#include "class_check.h"
#include "data/course_copy.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
#include "support/course_fixture.h"
#include "support/pg_server.h"

namespace {

class ServerClassTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestPgServer::shared().running())
            GTEST_SKIP() << TestPgServer::shared().problem().toStdString();
        // A course of 100 questions, copied to a database of its own; the seats' folder names
        // the server and holds no course file.
        QTemporaryDir source;
        const QString file = source.filePath(QStringLiteral("Kesta.db"));
        makeCourseDatabase(file, TDataModule1::DatabasePassword);
        {
            TConnection connection;
            connection.open(file, TDataModule1::DatabasePassword);
            for (int i = 1; i <= 100; ++i)
                addRow(connection, QStringLiteral("test"),
                       {{QStringLiteral("Номер_вопроса"), i},
                        {QStringLiteral("Вопрос"), QStringLiteral("Вопрос %1").arg(i)},
                        {QStringLiteral("Правильный_ответ"), QStringLiteral("ABCDE").mid(i % 5, 1)}});
        }
        server = TestPgServer::shared().courseCopy(
            QStringLiteral("class_%1").arg(QRandomGenerator::global()->bounded(1000000)), file,
            TDataModule1::DatabasePassword);
        QFile named(folder.filePath(TDataModule1::ServerFile));
        ASSERT_TRUE(named.open(QIODevice::WriteOnly));
        named.write(server.toUtf8() + '\n');
    }
    std::unique_ptr<QProcess> startSeat(const QStringList& command) {
        auto seat = std::make_unique<QProcess>();
        seat->start(QStringLiteral(KESTA_SEAT), QStringList{folder.path()} + command);
        return seat;
    }
    QStringList check() {
        auto store = openCourse(folder.path());
        return courseFileFindings(*store);
    }

    QTemporaryDir folder;
    QString server;
};

TEST_F(ServerClassTest, ThirtySeatsHandingInAtOnceStoreEveryHandInWhole) {
    constexpr int kSeats = 30;
    // Every seat hands in at the same moment, a little after all have started.
    const qint64 start = QDateTime::currentMSecsSinceEpoch() + 8000;
    std::vector<std::unique_ptr<QProcess>> seats;
    for (int seat = 0; seat < kSeats; ++seat)
        seats.push_back(startSeat({QStringLiteral("hand-in"), QStringLiteral("ученик_%1").arg(seat),
                                   QStringLiteral("1"), QString::number(start), QStringLiteral("1000")}));
    QSet<qint64> numbers;
    const QRegularExpression line(QStringLiteral("^hand-in (\\d+) \\d+$"), QRegularExpression::MultilineOption);
    for (auto& seat : seats) {
        ASSERT_TRUE(seat->waitForFinished(180000));
        EXPECT_EQ(seat->exitCode(), 0) << seat->readAllStandardError().toStdString();
        const QRegularExpressionMatch match = line.match(QString::fromUtf8(seat->readAllStandardOutput()));
        ASSERT_TRUE(match.hasMatch());
        numbers.insert(match.captured(1).toLongLong());
    }
    EXPECT_EQ(numbers.size(), kSeats) << "every hand-in has a number of its own";

    auto store = openCourse(folder.path());
    EXPECT_EQ(store->readRows(QStringLiteral("users"), {}).size(), kSeats);
    EXPECT_EQ(store->readRows(QStringLiteral("result"), {}).size(), kSeats);
    EXPECT_EQ(store->readRows(QStringLiteral("proverka"), {}).size(), kSeats * 40);
    EXPECT_EQ(courseFileFindings(*store), QStringList{});
}

TEST_F(ServerClassTest, KillsOfSeatsAndOfTheServerLeaveNoHandInHalfStored) {
    QRandomGenerator random(20261211);
    int serverKills = 0;
    for (int round = 0; round < 10; ++round) {
        // Four seats handing in without a pause; then, mid-work, one of them or the server
        // goes at once.
        std::vector<std::unique_ptr<QProcess>> seats;
        for (int seat = 0; seat < 4; ++seat)
            seats.push_back(startSeat({QStringLiteral("hand-in"),
                                       QStringLiteral("ученик_%1_%2").arg(round).arg(seat),
                                       QStringLiteral("50")}));
        // Until the first hand-ins are through, so that the kill falls among them.
        ASSERT_TRUE(seats[0]->waitForReadyRead(60000)) << seats[0]->readAllStandardError().toStdString();
        QThread::msleep(random.bounded(5, 120));
        const bool killServer = round % 3 == 1;
        if (killServer) {
            ++serverKills;
            ASSERT_TRUE(TestPgServer::shared().stop(true));
            ASSERT_TRUE(TestPgServer::shared().start());
        } else {
            seats[random.bounded(4)]->kill();
        }
        for (auto& seat : seats) {
            seat->kill();
            seat->waitForFinished(30000);
        }
        EXPECT_EQ(check(), QStringList{}) << "after round " << round;
    }
    EXPECT_EQ(serverKills, 3);
    auto store = openCourse(folder.path());
    EXPECT_GT(store->readRows(QStringLiteral("result"), {}).size(), 10) << "the seats did hand in";
}

}  // namespace
