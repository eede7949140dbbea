// The final test: the generator, the launch and its draw, the test window, hand-in and the
// records it leaves.

#include <QTest>

#include "app/course_file.h"
#include "app/dm.h"
#include "app/globals.h"
#include "data/database_error.h"
#include "student/student.h"
#include "support/course_fixture.h"
#include "support/failing_store.h"
#include "testing/testing.h"

namespace {

TEST(RandomTest, SequenceStartsFromZeroAndStaysInRange) {
    RandomSeed = 0;
    EXPECT_EQ(RandomBelow(100), 0u) << "the first call after start returns 0";
    EXPECT_EQ(RandomSeed, 1u);
    RandomSeed = 0;
    QList<quint32> numbers;
    for (int i = 0; i < 40; ++i)
        numbers.append(RandomBelow(100) + 1);
    EXPECT_EQ(numbers.mid(0, 5), (QList<quint32>{1, 4, 87, 21, 28}));
    EXPECT_EQ(numbers[13], 85u);
    EXPECT_EQ(numbers[21], 85u);
    for (const quint32 n : {0u, 1u})
        EXPECT_EQ(RandomBelow(n), 0u);
    for (int i = 0; i < 1000; ++i)
        EXPECT_LT(RandomBelow(7), 7u);
    RandomSeed = 0xFFFFFFFFu;
    EXPECT_EQ(RandomBelow(0xFFFFFFFFu),
              quint32((quint64(0xFFFFFFFFu) * (0xFFFFFFFFu * 134775813u + 1u)) >> 32))
        << "the seed wraps at 2^32";
}

TEST(GradeTest, BandEdgesOfFortyQuestions) {
    const std::pair<int, const char*> cases[] = {{0, "F"},   {19, "F"},  {20, "D"},  {21, "D"},
                                                 {22, "D+"}, {24, "C-"}, {26, "C"},  {28, "C+"},
                                                 {30, "B-"}, {32, "B"},  {34, "B+"}, {36, "A-"},
                                                 {37, "A-"}, {38, "A"},  {40, "A"}};
    for (const auto& [correct, letter] : cases)
        EXPECT_STREQ(gradeFor(correct * 100.0 / 40).letter, letter) << correct;
    EXPECT_STREQ(gradeFor(100).caption, "Оценка: 5, A (4.0)");
    EXPECT_STREQ(gradeFor(52.5).caption, "Оценка: 3, D (1.0)");
}

class TestWindowTest : public CourseTest {
protected:
    // A bank of n questions whose correct answers run A, B, C, D, E, A, ...
    void seedBank(int n, int firstNumber = 0) {
        for (int i = 0; i < n; ++i) {
            seed(QStringLiteral("test"),
                 {{QStringLiteral("Номер_вопроса"), firstNumber ? firstNumber : i + 1},
                  {QStringLiteral("Вопрос"), QStringLiteral("Вопрос %1").arg(i + 1)},
                  {QStringLiteral("Правильный_ответ"), OptionCodes[size_t(i % 5)]}});
        }
    }
    // The keys drawn for positions 1..40, in position order.
    static QList<qlonglong> drawnKeys() {
        TTable* testing = DataModule1->tblTesting;
        QList<qlonglong> keys;
        testing->first();
        for (int i = 0; i < testing->recordCount(); ++i) {
            EXPECT_EQ(testing->fieldByName(QStringLiteral("Номер")).asInteger(), i + 1);
            keys.append(testing->fieldByName(QStringLiteral("Номер1")).asInteger());
            testing->next();
        }
        return keys;
    }
    static QString answerOf(int position) {
        TTable* testing = DataModule1->tblTesting;
        testing->locate(QStringLiteral("Номер"), position);
        return testing->fieldByName(QStringLiteral("Ответ")).asString();
    }
    static void choose(int item) { Form6->sRadioGroup1->button(item)->click(); }
    void launch() {
        Form4->show();
        Form4->N5->trigger();
    }
};

TEST_F(TestWindowTest, FirstLaunchDrawsFortyQuestionsReproducibly) {
    seedBank(100);
    start();
    launch();
    EXPECT_EQ(TestTopic, "Итоговый");
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_TRUE(Form6->sPanel1->isVisible());
    EXPECT_EQ(Form6->windowTitle(), "Тестирование: Итоговое");
    const QList<qlonglong> keys = drawnKeys();
    ASSERT_EQ(keys.size(), 40);
    // The bank's keys are 1..100 in stored order, so a key equals its question number.
    EXPECT_EQ(keys.mid(0, 5), (QList<qlonglong>{1, 4, 87, 21, 28}));
    EXPECT_EQ(keys[13], 85);
    EXPECT_EQ(keys[21], 85);
    EXPECT_EQ(DataModule1->tblTesting->recNo(), 40) << "the draw leaves position 40 current";

    // A second launch in the same run continues the sequence and deletes the first draw.
    launch();
    const QList<qlonglong> second = drawnKeys();
    EXPECT_EQ(second.size(), 40);
    EXPECT_NE(second, keys);
    RandomSeed = 0;
    for (int i = 0; i < 40; ++i)
        RandomBelow(100);
    EXPECT_EQ(second[0], qlonglong(RandomBelow(100)) + 1);
}

TEST_F(TestWindowTest, SmallBanksRepeatQuestionsAndTheBankIsRenumberedWithoutGaps) {
    seedBank(1);
    start();
    launch();
    EXPECT_EQ(drawnKeys(), QList<qlonglong>(40, 1));

    // Numbers 5, 5, 9 become 1, 2, 3 in stored order.
    TTable* test = DataModule1->tblTest;
    test->first();
    test->edit();
    test->fieldByName(QStringLiteral("Номер_вопроса")).setValue(5);
    test->post();
    for (const int number : {5, 9}) {
        test->append();
        test->fieldByName(QStringLiteral("Номер_вопроса")).setValue(number);
        test->fieldByName(QStringLiteral("Правильный_ответ")).setValue(QStringLiteral("A"));
        test->post();
    }
    launch();
    QList<qlonglong> numbers;
    for (test->first(); !test->eof(); test->next())
        numbers.append(test->fieldByName(QStringLiteral("Номер_вопроса")).asInteger());
    EXPECT_EQ(numbers, (QList<qlonglong>{1, 2, 3}));
    EXPECT_EQ(DataModule1->tblTesting->recordCount(), 40);
}

TEST_F(TestWindowTest, BankOfThirtyNineStillGivesFortyPositions) {
    seedBank(39, 7);
    start();
    launch();
    const QList<qlonglong> keys = drawnKeys();
    ASSERT_EQ(keys.size(), 40);
    for (const qlonglong key : keys)
        EXPECT_TRUE(key >= 1 && key <= 39) << key;
}

TEST_F(TestWindowTest, EmptyBankRefusesTheTestBeforeAnythingChanges) {
    seed(QStringLiteral("testing"), {{QStringLiteral("Номер"), 1},
                                     {QStringLiteral("Номер1"), 7},
                                     {kSeatColumn, seatToken()}});
    start();
    // A test window left open from before goes away with the refusal.
    Form6->show();
    launch();
    EXPECT_EQ(boxes.texts(), QStringList{"В базе тестов нет вопросов."});
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_TRUE(TestTopic.isEmpty());
    EXPECT_EQ(RandomSeed, 0u) << "nothing was drawn";
    EXPECT_EQ(drawnKeys(), QList<qlonglong>{7}) << "the scratch table is left as it was";
}

// Every write of a launch, in order: the old test's rows deleted, the bank renumbered (nine
// writes: the fifth question holds 5 already), the 40 positions added. A failure at any of them leaves the bank, the scratch table and the
// generator as they were, and the error goes to the general report.
TEST_F(TestWindowTest, LaunchThatFailsPartWayLeavesEverythingAsItWas) {
    for (int position = 1; position <= 2; ++position)
        seed(QStringLiteral("testing"), {{QStringLiteral("Номер"), position},
                                         {QStringLiteral("Номер1"), 7},
                                         {QStringLiteral("Ответ"), QStringLiteral("C")},
                                         {kSeatColumn, seatToken()}});
    seedBank(10, 5);
    start();
    FailingStore& store = injectFailures(*DataModule1->ADOConnection1);
    const auto bankNumbers = [] {
        TTable fresh(DataModule1->ADOConnection1, QStringLiteral("test"));
        fresh.open();
        QList<qlonglong> numbers;
        for (fresh.first(); !fresh.eof(); fresh.next())
            numbers.append(fresh.fieldByName(QStringLiteral("Номер_вопроса")).asInteger());
        return numbers;
    };
    const QList<qlonglong> fives(10, 5);
    for (const int failing : {1, 2, 3, 7, 11, 12, 30, 51}) {
        SCOPED_TRACE(failing);
        boxes.clear();
        store.failWrite(failing);
        runAsCommand([this] { launch(); });
        ASSERT_EQ(boxes.calls().size(), 1);
        EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
        EXPECT_TRUE(boxes.texts()[0].contains(FailingStore::message()));
        EXPECT_FALSE(Form6->isVisible());
        EXPECT_TRUE(TestTopic.isEmpty());
        EXPECT_EQ(RandomSeed, 0u);
        EXPECT_EQ(drawnKeys(), (QList<qlonglong>{7, 7}));
        EXPECT_EQ(answerOf(2), "C");
        EXPECT_EQ(bankNumbers(), fives);
        TTable* test = DataModule1->tblTest;
        QList<qlonglong> shown;
        for (test->first(); !test->eof(); test->next())
            shown.append(test->fieldByName(QStringLiteral("Номер_вопроса")).asInteger());
        EXPECT_EQ(shown, fives) << "the bank's table object shows what the file holds";
    }
    EXPECT_EQ(store.writes(), 51) << "the last case failed the launch's last write";

    store.failWrite(0);
    boxes.clear();
    runAsCommand([this] { launch(); });
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_TRUE(Form6->isVisible());
    const QList<qlonglong> keys = drawnKeys();
    ASSERT_EQ(keys.size(), 40);
    EXPECT_EQ(keys[0], 1) << "the first draw after start, as if nothing had failed";
}

TEST_F(TestWindowTest, FailedRelaunchKeepsTheRunningTestAndItsPendingAnswer) {
    seedBank(100);
    start();
    launch();
    const QList<qlonglong> keys = drawnKeys();
    const quint32 seedAfterFirst = RandomSeed;
    Form6->openPosition(3);
    choose(2);
    FailingStore& store = injectFailures(*DataModule1->ADOConnection1);
    store.failWrite(5);  // the fourth row of the old test to be deleted
    runAsCommand([this] { launch(); });
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
    EXPECT_TRUE(Form6->isVisible()) << "the running test goes on";
    EXPECT_FALSE(Form6->questionButton(3)->isEnabled()) << "its window is not reset";
    EXPECT_EQ(RandomSeed, seedAfterFirst);
    TTable* testing = DataModule1->tblTesting;
    EXPECT_EQ(testing->state(), DataSetState::Edit) << "the chosen answer still waits";
    EXPECT_EQ(testing->fieldByName(QStringLiteral("Ответ")).asString(), "C");
    store.failWrite(0);
    EXPECT_EQ(drawnKeys(), keys);
    EXPECT_EQ(answerOf(3), "C");
}

TEST_F(TestWindowTest, HandInThatFailsPartWaySavesNoResultAndNoRecord) {
    seedBank(100);
    CurrentLogin = QStringLiteral("Иван");
    start();
    CurrentLogin = QStringLiteral("Иван");
    launch();
    Form6->openPosition(1);
    choose(0);
    Form6->openPosition(2);  // saves the answer
    FailingStore& store = injectFailures(*DataModule1->ADOConnection1);
    for (const int failing : {1, 2, 20, 41}) {
        SCOPED_TRACE(failing);
        boxes.clear();
        store.failWrite(failing);
        QTest::mouseClick(Form6->sButton22, Qt::LeftButton);
        ASSERT_EQ(boxes.calls().size(), 1);
        EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
        EXPECT_TRUE(boxes.texts()[0].contains(FailingStore::message()));
        EXPECT_EQ(DataModule1->tblResult->recordCount(), 0);
        EXPECT_EQ(DataModule1->tblProverka->recordCount(), 0);
        EXPECT_EQ(DataModule1->tblResult->state(), DataSetState::Browse);
        EXPECT_EQ(Form6->sLabel2->text(), "Верно") << "no grade is shown for a failed hand-in";
        EXPECT_EQ(Form6->sLabel3->text(), "Оценка");
    }
    for (const char* table : {"result", "proverka"}) {
        TTable fresh(DataModule1->ADOConnection1, QLatin1String(table));
        fresh.open();
        EXPECT_EQ(fresh.recordCount(), 0) << table;
    }
    store.failWrite(0);
    boxes.clear();
    QTest::mouseClick(Form6->sButton22, Qt::LeftButton);
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(DataModule1->tblResult->recordCount(), 1);
    EXPECT_EQ(DataModule1->tblProverka->recordCount(), 40);
    EXPECT_EQ(Form6->sLabel2->text(), "Верно: 1");
}

TEST_F(TestWindowTest, OpeningPositionsRecordsAnswersInEditMode) {
    seedBank(100);
    start();
    launch();
    // Before any position is opened, a choice goes to position 40.
    choose(1);
    Form6->questionButton(7)->click();
    EXPECT_EQ(answerOf(40), "B");
    Form6->questionButton(7)->click();  // disabled: a position opens once per test
    Form6->openPosition(7);
    EXPECT_EQ(Form6->sRadioGroup1->ItemIndex(), -1);
    EXPECT_EQ(Form6->sMemo1->toPlainText(), "Вопрос 32") << "position 7 holds the seventh draw";
    choose(2);
    EXPECT_EQ(DataModule1->tblTesting->state(), DataSetState::Edit)
        << "the answer waits for the next move";
    choose(3);
    QTest::mouseClick(Form6->questionButton(12), Qt::LeftButton);
    EXPECT_FALSE(Form6->questionButton(7)->isEnabled());
    EXPECT_FALSE(Form6->questionButton(12)->isEnabled());
    EXPECT_EQ(Form6->sRadioGroup1->ItemIndex(), -1) << "the choice is cleared for the new position";
    EXPECT_EQ(answerOf(7), "D") << "choosing again overwrites";

    EXPECT_EQ(answerOf(40), "B");
    Form6->questionButton(40)->click();
    EXPECT_EQ(Form6->sRadioGroup1->ItemIndex(), 1) << "a recorded answer is shown selected";

    // A new launch enables every button again and deletes the answers.
    launch();
    EXPECT_TRUE(Form6->questionButton(7)->isEnabled());
    EXPECT_EQ(answerOf(7), QString());
    EXPECT_TRUE(Form6->sMemo1->toPlainText().isEmpty());
}

TEST_F(TestWindowTest, HandInScoresRecordsAndCanBeRepeated) {
    seedBank(100);
    CurrentLogin = QStringLiteral("Иван");
    start();
    CurrentLogin = QStringLiteral("Иван");
    launch();
    Form6->sButton22->click();
    EXPECT_EQ(Form6->sLabel2->text(), "Верно: 0");
    EXPECT_EQ(Form6->sLabel3->text(), "Оценка: 2, F (0)");

    // Answer every position correctly but one.
    TTable* test = DataModule1->tblTest;
    for (int position = 1; position <= 40; ++position) {
        Form6->openPosition(position);
        test->locate(QStringLiteral("Номер"),
                     DataModule1->tblTesting->fieldByName(QStringLiteral("Номер1")).value());
        const QString correct = test->fieldByName(QStringLiteral("Правильный_ответ")).asString();
        const int item =
            int(std::find(OptionCodes.begin(), OptionCodes.end(), correct) - OptionCodes.begin());
        choose(position == 40 ? (item + 1) % 5 : item);
    }
    Form6->sButton22->click();
    EXPECT_EQ(Form6->sLabel2->text(), "Верно: 39");
    EXPECT_EQ(Form6->sLabel3->text(), "Оценка: 5, A (4.0)");
    EXPECT_TRUE(Form6->sButton22->isEnabled());
    EXPECT_EQ(DataModule1->tblTesting->recNo(), 40) << "after hand-in the last position is current";
    Form6->sButton22->click();

    TTable* result = DataModule1->tblResult;
    ASSERT_EQ(result->recordCount(), 3);
    QStringList grades;
    for (result->first(); !result->eof(); result->next()) {
        grades.append(result->fieldByName(QStringLiteral("Оценка")).asString());
        EXPECT_EQ(result->fieldByName(QStringLiteral("Логин_студента")).asString(), "Иван");
        EXPECT_EQ(result->fieldByName(QStringLiteral("Дата_тестирования")).asDate(),
                  QDate::currentDate());
        EXPECT_EQ(result->fieldByName(QStringLiteral("Количество вопросов")).asInteger(), 40);
        EXPECT_EQ(result->fieldByName(QStringLiteral("Вид тестирования")).asString(), "Итоговый");
    }
    EXPECT_EQ(grades, (QStringList{"F", "A", "A"}));

    // Every hand-in records each position's answer for the answer analysis.
    TTable* proverka = DataModule1->tblProverka;
    ASSERT_EQ(proverka->recordCount(), 120);
    proverka->last();
    EXPECT_EQ(proverka->fieldByName(QStringLiteral("Вид_тестирования")).asString(), "Итоговый");
    EXPECT_NE(proverka->fieldByName(QStringLiteral("Ответ_студента")).asString(),
              proverka->fieldByName(QStringLiteral("Правильный_ответ")).asString());
    EXPECT_TRUE(proverka->fieldByName(QStringLiteral("Вопрос"))
                    .asString()
                    .startsWith(QStringLiteral("Вопрос ")));

    // Each hand-in numbers its 40 records, and each record names its bank question.
    TTable* testing = DataModule1->tblTesting;
    proverka->first();
    for (int record = 0; record < 120; ++record, proverka->next()) {
        ASSERT_EQ(proverka->fieldByName(QStringLiteral("Номер_сдачи")).asInteger(), record / 40 + 1)
            << record;
        testing->setRecNo(record % 40 + 1);
        EXPECT_EQ(proverka->fieldByName(QStringLiteral("Номер_в_базе")).asInteger(),
                  testing->fieldByName(QStringLiteral("Номер1")).asInteger())
            << record;
    }
}

TEST_F(TestWindowTest, EmptyAnswersDeletedQuestionsAndLookAlikeCodes) {
    // Key 1 has no correct answer, key 2 a lower-case code, key 3 a Cyrillic "А".
    seed(QStringLiteral("test"), {{QStringLiteral("Вопрос"), QStringLiteral("без ответа")}});
    seed(QStringLiteral("test"), {{QStringLiteral("Правильный_ответ"), QStringLiteral("a")}});
    seed(QStringLiteral("test"), {{QStringLiteral("Правильный_ответ"), QStringLiteral("А")}});
    start();
    launch();
    const QList<qlonglong> keys = drawnKeys();
    const int blank = int(keys.count(1));
    for (int position = 1; position <= 40; ++position) {
        Form6->openPosition(position);
        if (keys[position - 1] != 1) choose(0);
    }
    Form6->sButton22->click();
    EXPECT_EQ(Form6->sLabel2->text(), QStringLiteral("Верно: %1").arg(blank))
        << "only unanswered questions without a correct answer count";
}

TEST_F(TestWindowTest, QuestionDeletedAfterTheLaunchShowsNoTextAndIsNotCorrect) {
    seedBank(1);
    start();
    launch();
    Form6->openPosition(1);
    EXPECT_EQ(Form6->sMemo1->toPlainText(), "Вопрос 1");
    choose(0);
    TTable* test = DataModule1->tblTest;
    test->first();
    test->deleteRecord();
    Form6->openPosition(2);
    EXPECT_TRUE(Form6->sMemo1->toPlainText().isEmpty());
    Form6->sButton22->click();
    EXPECT_EQ(Form6->sLabel2->text(), "Верно: 0");
    TTable* proverka = DataModule1->tblProverka;
    proverka->first();
    EXPECT_EQ(proverka->fieldByName(QStringLiteral("Ответ_студента")).asString(), "A");
    EXPECT_TRUE(proverka->fieldByName(QStringLiteral("Вопрос")).asString().isEmpty());
}

}  // namespace
