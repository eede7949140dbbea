// Several programs on one course file at once, as separate processes (kesta-seat), and the
// check that tells a sound shared file from a broken one.

#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "app/course_file.h"
#include "app/dm.h"
#include "class_check.h"
#include "data/sqlite_store.h"
#include "support/course_fixture.h"

namespace {

const QString kLogin = QStringLiteral("Логин_студента");
const QString kDate = QStringLiteral("Дата_тестирования");

class ClassTest : public ::testing::Test {
protected:
    ClassTest() {
        path = folder.filePath(TDataModule1::DatabaseFile);
        makeCourseDatabase(path, TDataModule1::DatabasePassword);
        connection.open(path, TDataModule1::DatabasePassword);
    }
    void addQuestions(int count) {
        for (int i = 1; i <= count; ++i)
            addRow(connection, QStringLiteral("test"),
                   {{QStringLiteral("Номер_вопроса"), i},
                    {QStringLiteral("Вопрос"), QStringLiteral("Вопрос %1").arg(i)},
                    {QStringLiteral("Правильный_ответ"), QStringLiteral("A")}});
    }
    // Starts the seats together and waits for all; their standard outputs, in order.
    QStringList runSeats(const QList<QStringList>& commands) {
        std::vector<std::unique_ptr<QProcess>> seats;
        for (const QStringList& command : commands) {
            auto seat = std::make_unique<QProcess>();
            seat->start(QStringLiteral(KESTA_SEAT), QStringList{folder.path()} + command);
            seats.push_back(std::move(seat));
        }
        QStringList outputs;
        for (auto& seat : seats) {
            EXPECT_TRUE(seat->waitForFinished(120000));
            EXPECT_EQ(seat->exitCode(), 0) << seat->readAllStandardError().toStdString();
            outputs.append(QString::fromUtf8(seat->readAllStandardOutput()));
        }
        return outputs;
    }
    QVector<StoreRow> rows(const QString& table, const QStringList& columns) {
        return connection.store().readRows(table, columns);
    }

    QTemporaryDir folder;
    QString path;
    TConnection connection;
};

TEST_F(ClassTest, EightSeatsRegisteringOneLoginAtOnceMakeOneAccount) {
    ASSERT_TRUE(secureUniqueLogins(connection).isEmpty());
    const QStringList spellings{"Вера", "вера", "ВЕРА", "вЕРА", "Вера", "веРа", "ВЕра", "верА"};
    QList<QStringList> commands;
    for (const QString& login : spellings) commands.append({QStringLiteral("register"), login});
    const QStringList outputs = runSeats(commands);
    EXPECT_EQ(outputs.count(QStringLiteral("registered\n")), 1) << outputs.join(u'|').toStdString();
    EXPECT_EQ(outputs.count(QStringLiteral("taken\n")), 7);
    EXPECT_EQ(rows(QStringLiteral("users"), {QStringLiteral("Логин")}).size(), 1);
}

TEST_F(ClassTest, EightSeatsHandingInAtOnceStoreEveryHandInWhole) {
    addQuestions(45);
    QList<QStringList> commands;
    for (int seat = 0; seat < 8; ++seat)
        commands.append({QStringLiteral("hand-in"), QStringLiteral("ученик_%1").arg(seat),
                         QStringLiteral("5")});
    const QStringList outputs = runSeats(commands);

    QSet<qint64> numbers;
    const QRegularExpression line(QStringLiteral("^hand-in (\\d+) \\d+$"),
                                  QRegularExpression::MultilineOption);
    for (const QString& output : outputs) {
        auto it = line.globalMatch(output);
        int told = 0;
        while (it.hasNext()) {
            numbers.insert(it.next().captured(1).toLongLong());
            ++told;
        }
        EXPECT_EQ(told, 5) << output.toStdString();
    }
    EXPECT_EQ(numbers.size(), 40) << "every hand-in has a number of its own";

    EXPECT_EQ(rows(QStringLiteral("result"), {kLogin}).size(), 40);
    QHash<qint64, int> perNumber;
    for (const StoreRow& row : rows(QStringLiteral("proverka"), {QStringLiteral("Номер_сдачи")}))
        ++perNumber[row.values[0].toLongLong()];
    EXPECT_EQ(perNumber.size(), 40);
    for (auto it = perNumber.cbegin(); it != perNumber.cend(); ++it) {
        EXPECT_TRUE(numbers.contains(it.key())) << it.key();
        EXPECT_EQ(it.value(), 40) << it.key();
    }
    auto store = SqliteStore::open(path, TDataModule1::DatabasePassword);
    EXPECT_EQ(checkCourseFile(*store), QStringList{});
}

TEST_F(ClassTest, TheCheckFindsEveryBrokenRule) {
    // A sound file first: a hand-in of 40 records with its result, a tree, a bank.
    addQuestions(3);
    const QDate day(2026, 12, 1);
    addRow(connection, QStringLiteral("result"),
           {{kLogin, QStringLiteral("анна")}, {kDate, day},
            {QStringLiteral("Вид тестирования"), QStringLiteral("Итоговый")}});
    for (int i = 0; i < 40; ++i)
        addRow(connection, QStringLiteral("proverka"),
               {{kLogin, QStringLiteral("анна")}, {kDate, day},
                {QStringLiteral("Вид_тестирования"), QStringLiteral("Итоговый")},
                {QStringLiteral("Номер_сдачи"), 7}});
    const auto topic = [this](int number, int parent) {
        addRow(connection, QStringLiteral("teoria"),
               {{QStringLiteral("Абсолютный номер"), number}, {QStringLiteral("Индекс"), parent}});
    };
    topic(0, 0);
    topic(1, 0);
    topic(2, 1);
    topic(3, 2);
    auto store = SqliteStore::open(path, TDataModule1::DatabasePassword);
    ASSERT_EQ(checkCourseFile(*store), QStringList{});

    // Then one fault of each kind.
    addRow(connection, QStringLiteral("proverka"),
           {{kLogin, QStringLiteral("борис")}, {kDate, day}, {QStringLiteral("Номер_сдачи"), 8}});
    addRow(connection, QStringLiteral("result"),
           {{kLogin, QStringLiteral("вера")}, {kDate, day}});
    topic(5, 0);  // numbered past a gap
    topic(6, 1);  // under a section that is not above it
    addRow(connection, QStringLiteral("test"), {{QStringLiteral("Номер_вопроса"), 2}});
    addRow(connection, QStringLiteral("users"), {{QStringLiteral("Логин"), QStringLiteral("Ёж")}});
    addRow(connection, QStringLiteral("users"), {{QStringLiteral("Логин"), QStringLiteral("ёж")}});
    for (int i = 1; i <= 3; ++i)
        addRow(connection, QStringLiteral("testing"),
               {{QStringLiteral("Номер"), i}, {QStringLiteral("Рабочее_место"), 99}});
    const QStringList findings = checkCourseFile(*store);
    const QStringList expected{
        "У сдачи №8 1 записей ответов вместо 40.",
        "«вера, 2026-12-01, »: 1 результатов и 0 записей ответов.",
        "«борис, 2026-12-01, »: 0 результатов и 1 записей ответов.",
        "Тема на месте 4 имеет номер 5.",
        "Тема на месте 5 имеет номер 6.",
        "Тема №6 стоит не под своим разделом №1.",
        "В базе вопросов номер 2 идёт после номера 3.",
        "Логин «ёж» есть у нескольких учётных записей.",
        "У рабочего места 99 в текущем тесте 3 строк.",
    };
    for (const QString& finding : expected)
        EXPECT_TRUE(findings.contains(finding)) << finding.toStdString() << "\nfound:\n"
                                                << findings.join(u'\n').toStdString();
    EXPECT_EQ(findings.size(), expected.size()) << findings.join(u'\n').toStdString();
}

}  // namespace
