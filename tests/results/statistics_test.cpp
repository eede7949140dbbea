// The question statistics: the computation over a journal worked out by hand, the grouping
// of older answer records, the grid's sorting, and the statistics window on a course.

#include <QAbstractBarSeries>
#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <cmath>

#include "app/dm.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
#include "results/hand_in_records.h"
#include "results/journal_snapshot.h"
#include "results/question_stats.h"
#include "results/question_stats_model.h"
#include "results/statistics_charts.h"
#include "results/statistika.h"
#include "skin/controls/sChartSkin.h"
#include "skin/core/sSkinManager.h"
#include "support/course_fixture.h"
#include "support/pg_server.h"
#include "teacher/prepodavatel.h"

namespace {

const QDate kMonday(2026, 3, 2);
const QDate kFriday(2026, 3, 6);
const QString kKind = QStringLiteral("Итоговый");

AnswerRecord answer(qint64 handIn, qint64 key, const QString& login, const QDate& date,
                    const char* given, const char* correct) {
    AnswerRecord record;
    record.handIn = handIn;
    record.questionKey = key;
    record.login = login;
    record.date = date;
    record.kind = kKind;
    record.given = given ? QString::fromLatin1(given) : QString();
    record.correct = correct ? QString::fromLatin1(correct) : QString();
    return record;
}

// Three questions; the third is never drawn. Correct answers: A for the first, B for the
// second. Five hand-ins:
//   1 anna   Mon: Q1 A right, Q2 B right               total 2
//   2 boris  Mon: Q1 A right, Q2 C wrong               total 1
//   3 vera   Mon: Q1 D wrong, Q2 B right               total 1
//   4 gleb   Mon: Q1 C wrong, Q2 E wrong               total 0 (every answer wrong)
//   5 anna   Fri: Q1 A right, Q2 B right, Q1 A right   total 3 (Q1 drawn twice)
struct HandMadeJournal {
    std::vector<BankQuestion> bank{{11, 1, QStringLiteral("Столица Франции?")},
                                   {12, 2, QStringLiteral("Сколько будет 2 + 2?")},
                                   {13, 3, QStringLiteral("Вопрос, который не выпадал")}};
    std::vector<AnswerRecord> records{
        answer(1, 11, QStringLiteral("anna"), kMonday, "A", "A"),
        answer(1, 12, QStringLiteral("anna"), kMonday, "B", "B"),
        answer(2, 11, QStringLiteral("boris"), kMonday, "A", "A"),
        answer(2, 12, QStringLiteral("boris"), kMonday, "C", "B"),
        answer(3, 11, QStringLiteral("vera"), kMonday, "D", "A"),
        answer(3, 12, QStringLiteral("vera"), kMonday, "B", "B"),
        answer(4, 11, QStringLiteral("gleb"), kMonday, "C", "A"),
        answer(4, 12, QStringLiteral("gleb"), kMonday, "E", "B"),
        answer(5, 11, QStringLiteral("anna"), kFriday, "A", "A"),
        answer(5, 12, QStringLiteral("anna"), kFriday, "B", "B"),
        answer(5, 11, QStringLiteral("anna"), kFriday, "A", "A"),
    };
    std::vector<JournalResult> results{{QStringLiteral("anna"), kMonday, QStringLiteral("B")},
                                       {QStringLiteral("boris"), kMonday, QStringLiteral("F")},
                                       {QStringLiteral("gleb"), kMonday, QStringLiteral("F")},
                                       {QStringLiteral("anna"), kFriday, QStringLiteral("A-")},
                                       {QStringLiteral("vera"), kMonday, QStringLiteral("?")}};
};

TEST(QuestionStatisticsTest, HandMadeJournalGivesTheFiguresWorkedOutByHand) {
    const HandMadeJournal journal;
    const JournalStatistics stats =
        computeStatistics(journal.bank, journal.records, journal.results, {});
    EXPECT_EQ(stats.handIns, 5);
    EXPECT_EQ(stats.records, 11);
    EXPECT_EQ(stats.ungroupedRecords, 0);
    EXPECT_EQ(stats.unmatchedRecords, 0);
    ASSERT_EQ(stats.questions.size(), 3u);

    // Q1: six records, four right: 4/6. Options A 4, C 1, D 1.
    // x = 1 1 0 0 1 1, y = 2 1 1 0 3 3: n 6, Σx 4, Σy 10, Σy² 24, Σxy 9;
    // r = (6·9 − 4·10) / √((6·4 − 16)(6·24 − 100)) = 14 / √352.
    const QuestionStatistics& q1 = stats.questions[0];
    EXPECT_EQ(q1.key, 11);
    EXPECT_EQ(q1.number, 1);
    EXPECT_EQ(q1.drawn, 6);
    EXPECT_EQ(q1.correct, 4);
    EXPECT_DOUBLE_EQ(q1.difficulty, 4.0 / 6);
    EXPECT_EQ(q1.options, (std::array<int, 5>{4, 0, 1, 1, 0}));
    EXPECT_EQ(q1.otherAnswers, 0);
    EXPECT_NEAR(q1.discrimination, 14 / std::sqrt(352.0), 1e-12);
    EXPECT_NEAR(q1.discrimination, 0.7462, 1e-4);
    EXPECT_FALSE(q1.uncertain());

    // Q2: five records, three right: 0.6. Options B 3, C 1, E 1.
    // x = 1 0 1 0 1, y = 2 1 1 0 3: n 5, Σx 3, Σy 7, Σy² 15, Σxy 6;
    // r = (5·6 − 3·7) / √((5·3 − 9)(5·15 − 49)) = 9 / √156.
    const QuestionStatistics& q2 = stats.questions[1];
    EXPECT_EQ(q2.drawn, 5);
    EXPECT_DOUBLE_EQ(q2.difficulty, 0.6);
    EXPECT_EQ(q2.options, (std::array<int, 5>{0, 3, 1, 0, 1}));
    EXPECT_NEAR(q2.discrimination, 9 / std::sqrt(156.0), 1e-12);
    EXPECT_FALSE(q2.uncertain()) << "five answers are enough";

    // Q3 was never drawn: no difficulty, no discrimination, uncertain.
    const QuestionStatistics& q3 = stats.questions[2];
    EXPECT_EQ(q3.drawn, 0);
    EXPECT_TRUE(std::isnan(q3.difficulty));
    EXPECT_TRUE(std::isnan(q3.discrimination));
    EXPECT_TRUE(q3.uncertain());
    EXPECT_EQ(q3.options, (std::array<int, 5>{}));

    // Grades F to A; the unknown letter "?" is left out.
    std::array<int, 11> grades{};
    grades[0] = 2;  // F
    grades[7] = 1;  // B
    grades[9] = 1;  // A-
    EXPECT_EQ(stats.grades, grades);
}

TEST(QuestionStatisticsTest, FiltersByPeriodAndLoginPrefix) {
    const HandMadeJournal journal;

    // Only the hand-in with every answer wrong: no spread, so no discrimination.
    StatisticsFilter gleb;
    gleb.login = QStringLiteral("gl");
    JournalStatistics stats =
        computeStatistics(journal.bank, journal.records, journal.results, gleb);
    EXPECT_EQ(stats.handIns, 1);
    EXPECT_EQ(stats.questions[0].drawn, 1);
    EXPECT_EQ(stats.questions[0].correct, 0);
    EXPECT_DOUBLE_EQ(stats.questions[0].difficulty, 0.0);
    EXPECT_DOUBLE_EQ(stats.questions[1].difficulty, 0.0);
    EXPECT_TRUE(std::isnan(stats.questions[0].discrimination));
    EXPECT_TRUE(stats.questions[0].uncertain());
    EXPECT_EQ(stats.grades[0], 1);

    // Letter case of the login is ignored; anna answered Q1 right every time.
    StatisticsFilter anna;
    anna.login = QStringLiteral("ANN");
    stats = computeStatistics(journal.bank, journal.records, journal.results, anna);
    EXPECT_EQ(stats.handIns, 2);
    EXPECT_EQ(stats.questions[0].drawn, 3);
    EXPECT_DOUBLE_EQ(stats.questions[0].difficulty, 1.0);
    EXPECT_TRUE(std::isnan(stats.questions[0].discrimination)) << "everybody right: no spread";

    // The period includes both ends.
    StatisticsFilter friday;
    friday.from = kFriday;
    friday.to = kFriday;
    stats = computeStatistics(journal.bank, journal.records, journal.results, friday);
    EXPECT_EQ(stats.handIns, 1);
    EXPECT_EQ(stats.records, 3);
    EXPECT_EQ(stats.grades[9], 1);
    StatisticsFilter beforeMonday;
    beforeMonday.to = kMonday.addDays(-1);
    stats = computeStatistics(journal.bank, journal.records, journal.results, beforeMonday);
    EXPECT_EQ(stats.records, 0);
    EXPECT_EQ(stats.grades, (std::array<int, 11>{}));
}

TEST(QuestionStatisticsTest, OlderRecordsAreGroupedInRunsOfFortyAndTheRestCounted) {
    std::vector<BankQuestion> bank{{1, 1, QStringLiteral("Первый")},
                                   {2, 2, QStringLiteral("Второй")}};
    std::vector<AnswerRecord> records;
    auto old = [&](const QString& login, int n, const char* given) {
        for (int i = 0; i < n; ++i) {
            AnswerRecord record = answer(0, 0, login, kMonday, given, "A");
            record.question = i % 2 ? QStringLiteral("Второй") : QStringLiteral("Первый");
            records.push_back(record);
        }
    };
    old(QStringLiteral("ivan"), 85, "A");  // two hand-ins and five left over
    old(QStringLiteral("petr"), 40, "B");  // one hand-in
    old(QStringLiteral("olga"), 30, "A");  // a run broken by another login...
    old(QStringLiteral("petr"), 40, "B");
    old(QStringLiteral("olga"), 10, "A");  // ...cannot be told to a hand-in
    AnswerRecord gone = answer(0, 0, QStringLiteral("petr"), kFriday, "A", "A");
    gone.question = QStringLiteral("Удалённый вопрос");
    records.push_back(gone);
    AnswerRecord stamped = answer(7, 2, QStringLiteral("ivan"), kFriday, nullptr, "A");
    records.push_back(stamped);

    const JournalStatistics stats = computeStatistics(bank, records, {}, {});
    EXPECT_EQ(stats.handIns, 5) << "ivan 2, petr 2, and the stamped one";
    EXPECT_EQ(stats.records, 207);
    EXPECT_EQ(stats.ungroupedRecords, 5 + 30 + 10 + 1);
    EXPECT_EQ(stats.unmatchedRecords, 1) << "the deleted question is found by no text";
    EXPECT_EQ(stats.questions[0].drawn + stats.questions[1].drawn, 206);
    EXPECT_EQ(stats.questions[1].otherAnswers, 1) << "the stamped record was not answered";
    EXPECT_EQ(stats.questions[0].options[1] + stats.questions[1].options[1], 80);
}

TEST(QuestionStatisticsTest, AnswersCompareAsTheyAreStored) {
    EXPECT_TRUE(answeredCorrectly(answer(0, 0, {}, {}, nullptr, nullptr)));
    EXPECT_FALSE(answeredCorrectly(answer(0, 0, {}, {}, nullptr, "A")));
    EXPECT_FALSE(answeredCorrectly(answer(0, 0, {}, {}, "a", "A")));
    EXPECT_EQ(optionIndex(QStringLiteral("E")), 4);
    EXPECT_EQ(optionIndex(QStringLiteral("А")), -1) << "a Cyrillic look-alike is no option";
    EXPECT_EQ(optionIndex(QStringLiteral("AB")), -1);
}

// The journal counted on a class server gives the figures the file's count gives, for
// every filter: hand-ins, older records grouped by their runs, records found by their
// question's text, a deleted question, logins in Cyrillic of either case.
TEST(QuestionStatisticsTest, AClassServerCountsTheJournalAsTheFileDoes) {
    TestPgServer& server = TestPgServer::shared();
    if (!server.running()) GTEST_SKIP() << server.problem().toStdString();
    QTemporaryDir folder;
    const QString file = folder.filePath(TDataModule1::DatabaseFile);
    makeCourseDatabase(file, TDataModule1::DatabasePassword);
    {
        TConnection connection;
        connection.open(file, TDataModule1::DatabasePassword);
        TTable bank(&connection, QStringLiteral("test"));
        bank.open();
        for (const char* text : {"Первый", "Второй", "Первый", "Не выпадал"})
            bank.appendRows({QStringLiteral("Вопрос"), QStringLiteral("Правильный_ответ")},
                            {{QString::fromUtf8(text), QStringLiteral("A")}});
        const QStringList columns{kHandInColumn,
                                  kQuestionKeyColumn,
                                  QStringLiteral("Логин_студента"),
                                  QStringLiteral("Дата_тестирования"),
                                  QStringLiteral("Вид_тестирования"),
                                  QStringLiteral("Вопрос"),
                                  QStringLiteral("Ответ_студента"),
                                  QStringLiteral("Правильный_ответ")};
        QVector<QVector<QVariant>> rows;
        const auto add = [&](qint64 handIn, qint64 key, const QString& login, const QDate& day,
                             const QString& question, const QVariant& given) {
            rows.append({handIn ? QVariant(handIn) : QVariant(), key ? QVariant(key) : QVariant(),
                         login, day, kKind, question, given, QStringLiteral("A")});
        };
        const QStringList logins{QStringLiteral("Анна"), QStringLiteral("анатолий"),
                                 QStringLiteral("Борис"), QStringLiteral("вера")};
        const char* answers = "AABCADEAAB";
        for (int h = 1; h <= 24; ++h) {
            const QString login = logins[h % 4];
            const QDate day = kMonday.addDays(h % 5);
            for (int p = 0; p < 6; ++p) {
                const int key = 1 + (h * 7 + p * 3) % 3;
                const QVariant given = (h + p) % 11 == 0
                                           ? QVariant()
                                           : QVariant(QString(QLatin1Char(answers[(h * p + h) % 10])));
                // Some hand-ins carry no bank key: their question is found by its text.
                add(h, h % 6 == 0 ? 0 : key, login, day, key == 2 ? QStringLiteral("Второй")
                                                                  : QStringLiteral("Первый"),
                    given);
            }
        }
        add(25, 99, QStringLiteral("Борис"), kFriday, QStringLiteral("Удалённый"), QStringLiteral("A"));
        // Older records: a run of 40 of one login and day, and five left over.
        for (int i = 0; i < 45; ++i)
            add(0, 0, QStringLiteral("Вера"), kMonday, i % 2 ? QStringLiteral("Второй") : QStringLiteral("Первый"),
                QStringLiteral("AB").mid(i % 3 == 0, 1));
        TTable records(&connection, QStringLiteral("proverka"));
        records.open();
        records.appendRows(columns, rows);
        TTable results(&connection, QStringLiteral("result"));
        results.open();
        for (int h = 1; h <= 24; ++h)
            results.appendRows({QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
                                QStringLiteral("Оценка")},
                               {{logins[h % 4], kMonday.addDays(h % 5), gradeLetters()[h % 11]}});
    }
    const JournalSnapshot onFile = readJournalSnapshot(*SqliteStore::open(file, TDataModule1::DatabasePassword));
    ASSERT_EQ(onFile.records.size(), 24u * 6 + 1 + 45);
    const QString connection =
        server.courseCopy(QStringLiteral("statistics_server"), file, TDataModule1::DatabasePassword);
    auto onServer = PgStore::connect(connection);

    std::vector<StatisticsFilter> filters(5);
    filters[1].login = QStringLiteral("АН");  // Анна and анатолий
    filters[2].from = kMonday.addDays(1);
    filters[2].to = kMonday.addDays(3);
    filters[3].login = QStringLiteral("вер");
    filters[3].to = kMonday;
    filters[4].login = QStringLiteral("никто");
    for (size_t f = 0; f < filters.size(); ++f) {
        SCOPED_TRACE(f);
        const JournalStatistics expected = computeStatistics(onFile.bank, onFile.records,
                                                             onFile.results, filters[f]);
        const CountedJournal counted = countJournal(*onServer, filters[f]);
        const JournalStatistics got = computeStatistics(counted.bank, counted.olderRecords, {},
                                                        filters[f], {}, &counted.counted);
        EXPECT_EQ(got.handIns, expected.handIns);
        EXPECT_EQ(got.records, expected.records);
        EXPECT_EQ(got.ungroupedRecords, expected.ungroupedRecords);
        EXPECT_EQ(got.unmatchedRecords, expected.unmatchedRecords);
        EXPECT_EQ(got.grades, expected.grades);
        ASSERT_EQ(got.questions.size(), expected.questions.size());
        for (size_t q = 0; q < got.questions.size(); ++q) {
            const QuestionStatistics& a = got.questions[q];
            const QuestionStatistics& b = expected.questions[q];
            EXPECT_EQ(a.drawn, b.drawn) << "question " << q;
            EXPECT_EQ(a.correct, b.correct) << "question " << q;
            EXPECT_EQ(a.options, b.options) << "question " << q;
            EXPECT_EQ(a.otherAnswers, b.otherAnswers) << "question " << q;
            EXPECT_EQ(std::isnan(a.discrimination), std::isnan(b.discrimination)) << "question " << q;
            if (!std::isnan(b.discrimination)) {
                EXPECT_NEAR(a.discrimination, b.discrimination, 1e-9) << "question " << q;
            }
        }
        if (f == 0) {
            EXPECT_EQ(expected.handIns, 25 + 1) << "24 stamped, the deleted question's, one run";
            EXPECT_FALSE(std::isnan(expected.questions[0].discrimination)) << "a spread to correlate";
            EXPECT_GT(expected.questions[1].otherAnswers, 0) << "unanswered records among them";
        }
    }
    // The window's snapshot of a server's course holds its period and counts on the server.
    QFile named(folder.filePath(TDataModule1::ServerFile));
    ASSERT_TRUE(named.open(QIODevice::WriteOnly));
    named.write(connection.toUtf8());
    named.close();
    QFile::remove(file);
    const JournalSnapshot snapshot = readJournalSnapshot(folder.path());
    ASSERT_TRUE(bool(snapshot.count));
    EXPECT_TRUE(snapshot.records.empty());
    EXPECT_EQ(snapshot.firstDay, kMonday);
    EXPECT_EQ(snapshot.lastDay, kFriday);
    EXPECT_EQ(snapshot.count({}).counted.handIns, 25);
}

TEST(QuestionStatsModelTest, SortsByValuesAndMarksUncertainRows) {
    const HandMadeJournal journal;
    QuestionStatsModel model;
    model.setStatistics(
        computeStatistics(journal.bank, journal.records, journal.results, {}).questions);
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&model);
    sorted.setSortRole(QuestionStatsModel::SortRole);
    sorted.sort(QuestionStatsModel::cDifficulty, Qt::DescendingOrder);
    auto shown = [&](int row, int column) { return sorted.index(row, column).data().toString(); };
    EXPECT_EQ(shown(0, QuestionStatsModel::cNumber), "1");
    EXPECT_EQ(shown(0, QuestionStatsModel::cDifficulty), "67 %");
    EXPECT_EQ(shown(1, QuestionStatsModel::cDifficulty), "60 %");
    EXPECT_EQ(shown(2, QuestionStatsModel::cDifficulty), "—") << "never drawn sorts last";
    EXPECT_EQ(shown(2, QuestionStatsModel::cCertainty), "мало ответов");
    EXPECT_EQ(shown(0, QuestionStatsModel::cDiscrimination), "0,75");
    EXPECT_TRUE(sorted.index(2, 0).data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(sorted.index(0, 0).data(Qt::ForegroundRole).isValid());
    sorted.sort(QuestionStatsModel::cDrawn, Qt::AscendingOrder);
    EXPECT_EQ(shown(0, QuestionStatsModel::cDrawn), "0");
    EXPECT_EQ(shown(2, QuestionStatsModel::cDrawn), "6");
}

TEST(QuestionStatsModelTest, ADiscriminationThatRoundsToZeroHasNoSign) {
    QuestionStatistics q;
    q.drawn = 10;
    q.discrimination = -0.004;
    QuestionStatsModel model;
    model.setStatistics({q});
    EXPECT_EQ(model.index(0, QuestionStatsModel::cDiscrimination).data().toString(), "0,00");
    q.discrimination = -0.006;
    model.setStatistics({q});
    EXPECT_EQ(model.index(0, QuestionStatsModel::cDiscrimination).data().toString(), "-0,01");
}

TEST(StatisticsChartsTest, ALargeBankLabelsEveryFewBarsAndASmallOneEveryBar) {
    std::vector<QuestionStatistics> questions(100);
    for (int i = 0; i < 100; ++i) {
        questions[size_t(i)].number = i + 1;
        questions[size_t(i)].difficulty = i / 100.0;
    }
    std::unique_ptr<QChart> large(makeDifficultyChart(questions));
    auto* numbers = qobject_cast<QCategoryAxis*>(large->axes(Qt::Horizontal).constFirst());
    ASSERT_NE(numbers, nullptr);
    EXPECT_EQ(numbers->categoriesLabels(),
              (QStringList{"10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}));
    EXPECT_DOUBLE_EQ(numbers->endValue(QStringLiteral("10")), 9.0) << "on the tenth bar";
    EXPECT_EQ(large->axes(Qt::Horizontal).size(), 1);

    questions.resize(12);
    std::unique_ptr<QChart> small(makeDifficultyChart(questions));
    auto* every = qobject_cast<QBarCategoryAxis*>(small->axes(Qt::Horizontal).constFirst());
    ASSERT_NE(every, nullptr);
    EXPECT_EQ(every->count(), 12);
    EXPECT_EQ(every->at(11), "12");
}

class StatisticsWindowTest : public CourseTest {
protected:
    void seedJournal() {
        for (int i = 1; i <= 3; ++i)
            seed(QStringLiteral("test"),
                 {{QStringLiteral("Номер_вопроса"), i},
                  {QStringLiteral("Вопрос"), QStringLiteral("Вопрос %1").arg(i)},
                  {QStringLiteral("Правильный_ответ"), QStringLiteral("A")}});
        // Two stamped hand-ins of two records each, and three older records that no run
        // of forty holds.
        const char* answers[] = {"A", "A", "B", "C"};
        for (int i = 0; i < 4; ++i)
            seed(QStringLiteral("proverka"),
                 {{QStringLiteral("Логин_студента"),
                   i < 2 ? QStringLiteral("anna") : QStringLiteral("boris")},
                  {QStringLiteral("Дата_тестирования"), kMonday},
                  {QStringLiteral("Ответ_студента"), QString::fromLatin1(answers[i])},
                  {QStringLiteral("Правильный_ответ"), QStringLiteral("A")},
                  {QStringLiteral("Вид_тестирования"), kKind},
                  {QStringLiteral("Вопрос"), QStringLiteral("Вопрос %1").arg(i % 2 + 1)},
                  {kHandInColumn, i / 2 + 1},
                  {kQuestionKeyColumn, i % 2 + 1}});
        for (int i = 0; i < 3; ++i)
            seed(QStringLiteral("proverka"),
                 {{QStringLiteral("Логин_студента"), QStringLiteral("vera")},
                  {QStringLiteral("Дата_тестирования"), kFriday},
                  {QStringLiteral("Ответ_студента"), QStringLiteral("D")},
                  {QStringLiteral("Правильный_ответ"), QStringLiteral("A")},
                  {QStringLiteral("Вид_тестирования"), kKind},
                  {QStringLiteral("Вопрос"), QStringLiteral("Вопрос 1")}});
        seed(QStringLiteral("result"), {{QStringLiteral("Логин_студента"), QStringLiteral("anna")},
                                        {QStringLiteral("Дата_тестирования"), kMonday},
                                        {QStringLiteral("Оценка"), QStringLiteral("A")}});
    }
};

// On a class server the statistics count a seat's hand-in as soon as the server tells of
// it, under the login typed in the filter.
TEST_F(StatisticsWindowTest, OnAClassServerAHandInIsCountedAsItComes) {
    if (!TestPgServer::shared().running()) GTEST_SKIP() << TestPgServer::shared().problem().toStdString();
    seedJournal();
    const QString course = moveCourseToServer(QStringLiteral("live_statistics"));
    start();
    Form2->N9->trigger();
    Form13->waitForCount();
    EXPECT_EQ(Form13->statistics().handIns, 2);
    QTest::keyClicks(Form13->sEdit1, QStringLiteral("ann"));
    Form13->waitForCount();
    ASSERT_EQ(Form13->statistics().handIns, 1);

    // Another seat stores anna's second hand-in: two records and the result, in one step.
    auto seat = PgStore::connect(course);
    seat->transaction([&] {
        for (int i = 0; i < 2; ++i)
            seat->insertRow(QStringLiteral("proverka"),
                            {QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
                             QStringLiteral("Ответ_студента"), QStringLiteral("Правильный_ответ"),
                             kHandInColumn, kQuestionKeyColumn},
                            {QStringLiteral("anna"), kMonday, QStringLiteral("A"), QStringLiteral("A"), 9, i + 1},
                            {});
        seat->insertRow(QStringLiteral("result"),
                        {QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
                         QStringLiteral("Оценка")},
                        {QStringLiteral("anna"), kMonday, QStringLiteral("A")}, {});
    });
    QElapsedTimer clock;
    clock.start();
    while (Form13->statistics().handIns != 2 && clock.elapsed() < 5000)
        QTest::qWait(20);
    EXPECT_EQ(Form13->statistics().handIns, 2) << "the hand-in was not counted";
    EXPECT_EQ(Form13->sEdit1->text(), QStringLiteral("ann"));
    EXPECT_EQ(Form13->statistics().grades[10], 2) << "anna's two results, graded A";
}

TEST_F(StatisticsWindowTest, OpensFromTheTeacherMenuAndShowsTheJournal) {
    seedJournal();
    start();
    Form2->N9->trigger();
    Form13->waitForCount();
    EXPECT_TRUE(Form13->isVisible());
    EXPECT_EQ(Form13->windowTitle(), "Статистика вопросов");
    EXPECT_EQ(Form13->DateTimePicker1->date(), kMonday) << "the period covers the whole journal";
    EXPECT_GE(Form13->DateTimePicker2->date(), kFriday);

    const JournalStatistics& stats = Form13->statistics();
    EXPECT_EQ(stats.handIns, 2);
    EXPECT_EQ(stats.ungroupedRecords, 3);
    EXPECT_EQ(Form13->sLabel4->text(),
              "Сдач: 2, ответов: 7. Не удалось отнести к сдаче: 3 записи.");
    QAbstractItemModel* grid = Form13->Grid->model();
    ASSERT_EQ(grid->rowCount(), 3);
    // Question 1: anna A right, boris B wrong, vera D three times wrong.
    EXPECT_EQ(grid->index(0, QuestionStatsModel::cDrawn).data().toString(), "5");
    EXPECT_EQ(grid->index(0, QuestionStatsModel::cDifficulty).data().toString(), "20 %");
    EXPECT_EQ(grid->index(0, QuestionStatsModel::cOptionD).data().toString(), "3");
    EXPECT_EQ(grid->index(2, QuestionStatsModel::cCertainty).data().toString(), "мало ответов");
    ASSERT_NE(Form13->ChartGrades->chart(), nullptr);
    EXPECT_EQ(Form13->ChartGrades->chart()->series().size(), 1);
    EXPECT_EQ(Form13->ChartDifficulty->chart()->title(), "Доля верных ответов по вопросам, %");

    // Clicking a column header sorts by it.
    Form13->Grid->sortByColumn(QuestionStatsModel::cDrawn, Qt::DescendingOrder);
    EXPECT_EQ(grid->index(0, QuestionStatsModel::cNumber).data().toString(), "1");
    EXPECT_EQ(grid->index(2, QuestionStatsModel::cDrawn).data().toString(), "0");

    // A login filter narrows the count; "Сбросить фильтр" widens it again.
    Form13->sEdit1->setText(QStringLiteral("BOR"));
    Form13->sEdit1Change();
    Form13->waitForCount();
    EXPECT_EQ(Form13->statistics().handIns, 1);
    EXPECT_EQ(Form13->statistics().records, 2);
    Form13->sButton1->click();
    Form13->waitForCount();
    EXPECT_TRUE(Form13->sEdit1->text().isEmpty());
    EXPECT_EQ(Form13->statistics().records, 7);

    // The period's start after Monday leaves only vera's older records.
    Form13->DateTimePicker1->setDate(kFriday);
    Form13->DateTimePickerChange();
    Form13->waitForCount();
    EXPECT_EQ(Form13->statistics().handIns, 0);
    EXPECT_EQ(Form13->statistics().ungroupedRecords, 3);

    const ExportTable table = Form13->exportTable();
    EXPECT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.charts.size(), 2u);
    EXPECT_TRUE(table.period.startsWith(QStringLiteral("Период: с 06.03.2026 по ")));
}

TEST_F(StatisticsWindowTest, TheChartsWearTheSkinThroughEveryCount) {
    seedJournal();
    start();
    TsSkinManager* manager = TsSkinManager::DefaultManager();
    ASSERT_NE(manager, nullptr);
    ASSERT_TRUE(manager->SkinData().Active) << "the course's skin beside the tests";
    const auto colours = TsChartSkin::coloursFor(manager, QStringLiteral("EDIT"));
    ASSERT_TRUE(colours.has_value());
    const auto bars = [](QChartView* view) {
        const auto* series = static_cast<QAbstractBarSeries*>(view->chart()->series().constFirst());
        return series->barSets().constFirst()->brush().color();
    };
    Form2->N9->trigger();
    Form13->waitForCount();
    // Each count makes new charts; each is dressed as it is shown.
    for (int count = 0; count < 2; ++count) {
        for (QChartView* view : {Form13->ChartGrades, Form13->ChartDifficulty}) {
            EXPECT_TRUE(TsChartSkin::of(view)->skinned());
            EXPECT_EQ(bars(view), colours->Bar);
            EXPECT_EQ(view->chart()->backgroundBrush().color(), colours->Background);
        }
        Form13->sButton1->click();
        Form13->waitForCount();
    }
    // Without the skin the charts have the colours they were made with.
    manager->setActive(false);
    EXPECT_EQ(bars(Form13->ChartGrades), QColor(0x3A, 0x7C, 0xC4));
    EXPECT_EQ(bars(Form13->ChartDifficulty), QColor(0x4C, 0xA6, 0x6B));
    manager->setActive(true);
    EXPECT_EQ(bars(Form13->ChartGrades), colours->Bar);
}

TEST_F(StatisticsWindowTest, AJournalThatCannotBeReadIsToldAndTheLastFiguresStay) {
    seedJournal();
    start();
    Form13->open();
    Form13->waitForCount();
    ASSERT_EQ(Form13->statistics().handIns, 2);
    ASSERT_TRUE(boxes.calls().isEmpty());

    // The count reads through a connection of its own, which finds no file now.
    ASSERT_TRUE(QFile::rename(QStringLiteral("Kesta.db"), QStringLiteral("Kesta.db.away")));
    Form13->open();
    Form13->waitForCount();
    ASSERT_TRUE(QFile::rename(QStringLiteral("Kesta.db.away"), QStringLiteral("Kesta.db")));
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_TRUE(boxes.calls()[0].text.startsWith(
        QStringLiteral("Не удалось прочитать журнал результатов.\n")))
        << boxes.calls()[0].text.toStdString();
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
    EXPECT_EQ(Form13->sLabel4->text(), "Журнал не прочитан.");
    EXPECT_EQ(Form13->statistics().handIns, 2) << "the figures shown before stay";
    EXPECT_EQ(Form13->Grid->model()->rowCount(), 3);

    Form13->open();
    Form13->waitForCount();
    EXPECT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(Form13->statistics().handIns, 2);
}

}  // namespace
