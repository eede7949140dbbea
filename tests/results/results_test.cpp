// The result journal, the answer analysis, and the data-aware controls they use: the grid,
// the record navigator and the memo.

#include <QElapsedTimer>
#include <QTest>
#include <functional>

#include "app/dm.h"
#include "data/pg_store.h"
#include "app/globals.h"
#include "app/registracia.h"
#include "platform/short_date.h"
#include "results/analis.h"
#include "results/result_test.h"
#include "results/result_test_prepod.h"
#include "student/student.h"
#include "support/course_fixture.h"
#include "support/pg_server.h"
#include "teacher/prepodavatel.h"

namespace {

const QString kLogin = QStringLiteral("Логин_студента");
const QString kDate = QStringLiteral("Дата_тестирования");
const QDate kMonday(2026, 12, 7);

class ResultsTest : public CourseTest {
protected:
    void SetUp() override {
        CourseTest::SetUp();
        addAccount(QStringLiteral("O'Neil"), QStringLiteral("p"), QStringLiteral("student"));
        addAccount(QStringLiteral("ivan"), QStringLiteral("p"), QStringLiteral("student"));
        addAccount(QStringLiteral("teacher"), QStringLiteral("t"), QStringLiteral("admin"));
    }
    void result(const QString& login, const QDate& date, const QString& grade) {
        seed(QStringLiteral("result"), {{kLogin, login},
                                        {kDate, date},
                                        {QStringLiteral("Оценка"), grade},
                                        {QStringLiteral("Количество вопросов"), 40}});
    }
    void record(const QString& login, const QDate& date, const QVariant& given,
                const QVariant& correct) {
        QVariantMap row;
        row.insert(kLogin, login);
        row.insert(kDate, date);
        row.insert(QStringLiteral("Ответ_студента"), given);
        row.insert(QStringLiteral("Правильный_ответ"), correct);
        row.insert(QStringLiteral("Вопрос"), QString(QStringLiteral("Вопрос для ") + login));
        seed(QStringLiteral("proverka"), row);
    }
    static void signIn(const QString& login, const QString& password) {
        Form1->sEdit1->setText(login);
        Form1->sEdit2->setText(password);
        Form1->sButton1->click();
    }
    static QStringList logins(TTable* table) {
        QStringList rows;
        for (table->first(); !table->eof(); table->next())
            rows.append(table->fieldByName(kLogin).asString());
        return rows;
    }
};

TEST_F(ResultsTest, StudentSeesOnlyOwnResultsAndTheFilterStays) {
    result(QStringLiteral("O'Neil"), kMonday, QStringLiteral("A"));
    result(QStringLiteral("ivan"), kMonday, QStringLiteral("F"));
    result(QStringLiteral("O'Neil"), kMonday.addDays(1), QStringLiteral("B"));
    addAccount(QStringLiteral("petr"), QStringLiteral("p"), QStringLiteral("student"));
    start();
    signIn(QStringLiteral("O'Neil"), QStringLiteral("p"));
    Form4->N14->trigger();
    EXPECT_TRUE(Form10->isVisible());
    EXPECT_EQ(Form10->DBGrid1->model()->rowCount(), 2) << "the apostrophe in the login is doubled";
    EXPECT_EQ(Form10->DBGrid1->model()->columnCount(), 5) << "every column of the journal";

    // The teacher's review opened later in the run still shows that student's rows.
    signIn(QStringLiteral("teacher"), QStringLiteral("t"));
    Form2->N5->trigger();
    EXPECT_EQ(Form11->DBGrid1->model()->rowCount(), 2);
    Form11->sButton1->click();
    EXPECT_EQ(Form11->DBGrid1->model()->rowCount(), 3);
    EXPECT_EQ(DataModule1->tblResult->recNo(), 1);

    // A student without results sees an empty grid, and the next student only his own row.
    signIn(QStringLiteral("petr"), QStringLiteral("p"));
    Form4->N14->trigger();
    EXPECT_EQ(Form10->DBGrid1->model()->rowCount(), 0);
    EXPECT_EQ(DataModule1->tblResult->recordCount(), 0);
    signIn(QStringLiteral("ivan"), QStringLiteral("p"));
    Form4->N14->trigger();
    EXPECT_EQ(Form10->DBGrid1->model()->rowCount(), 1);
    EXPECT_EQ(logins(DataModule1->tblResult), QStringList{"ivan"});
}

// Lets the event loop run until the condition holds, for at most five seconds.
bool eventually(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 5000) return false;
        QTest::qWait(20);
    }
    return true;
}

// On a class server the teacher's review follows the hand-ins of the seats as they come,
// under the teacher's filter and on the teacher's row, and leaves a row being edited alone
// until it is saved; the line under the grid counts the seats taking the test.
TEST_F(ResultsTest, TheReviewOnAClassServerFollowsTheSeatsHandIns) {
    TestPgServer& server = TestPgServer::shared();
    if (!server.running()) GTEST_SKIP() << server.problem().toStdString();
    const QDate today = QDate::currentDate();
    result(QStringLiteral("anna"), today, QStringLiteral("A"));
    result(QStringLiteral("ivan"), today, QStringLiteral("B"));
    const QString course = moveCourseToServer(QStringLiteral("live_review"));
    start();
    Form11->open();
    TTable* journal = DataModule1->tblResult;
    Form11->DateTimePicker1->setDate(today.addDays(-1));
    Form11->DateTimePicker1->setDate(today);
    ASSERT_TRUE(journal->filtered());
    journal->last();
    const qint64 mine = journal->bookmark();
    ASSERT_TRUE(eventually([] { return Form11->sLabel3->text() == QStringLiteral("Тест проходят сейчас: 0"); }))
        << Form11->sLabel3->text().toStdString();

    // A seat launches a test and hands it in; an old result is added on another day.
    auto seat = PgStore::connect(course);
    seat->announce(QStringLiteral("1 S petr"));
    seat->insertRow(QStringLiteral("testing"), {QStringLiteral("Номер")}, {1}, {});
    ASSERT_TRUE(eventually([] { return Form11->sLabel3->text() == QStringLiteral("Тест проходят сейчас: 1"); }))
        << Form11->sLabel3->text().toStdString();
    const QStringList columns{kLogin, kDate, QStringLiteral("Оценка")};
    seat->transaction([&] {
        seat->insertRow(QStringLiteral("result"), columns, {QStringLiteral("petr"), today, QStringLiteral("C")}, {});
        seat->insertRow(QStringLiteral("result"), columns,
                        {QStringLiteral("olga"), today.addDays(-3), QStringLiteral("D")}, {});
    });
    ASSERT_TRUE(eventually([&] { return journal->recordCount() == 3; })) << journal->recordCount();
    EXPECT_EQ(logins(journal), (QStringList{"anna", "ivan", "petr"})) << "the day's filter stays";
    journal->gotoBookmark(mine);
    EXPECT_EQ(journal->bookmark(), mine);

    // The teacher edits a grade; a hand-in meanwhile waits until the edit is saved.
    journal->first();
    const qint64 edited = journal->bookmark();
    QTest::qWait(200);  // the notices of the first hand-in are all heard
    journal->edit();
    journal->fieldByName(QStringLiteral("Оценка")).setValue(QStringLiteral("A-"));
    seat->insertRow(QStringLiteral("result"), columns, {QStringLiteral("vera"), today, QStringLiteral("B")}, {});
    QTest::qWait(500);
    EXPECT_EQ(journal->state(), DataSetState::Edit);
    EXPECT_EQ(journal->fieldByName(QStringLiteral("Оценка")).asString(), QStringLiteral("A-"));
    EXPECT_EQ(journal->recordCount(), 3);
    journal->post();
    ASSERT_TRUE(eventually([&] { return journal->recordCount() == 4; })) << journal->recordCount();
    EXPECT_EQ(journal->bookmark(), edited) << "the edited row stays current";
    EXPECT_EQ(seat->readRow(QStringLiteral("result"), edited, {QStringLiteral("Оценка")})->values[0].toString(),
              QStringLiteral("A-"));
}

TEST_F(ResultsTest, TeacherSearchesByLoginFiltersByDateAndClears) {
    result(QStringLiteral("anna"), kMonday, QStringLiteral("A"));
    result(QStringLiteral("Ivanov"), kMonday, QStringLiteral("B"));
    result(QStringLiteral("ivan"), kMonday.addDays(1), QStringLiteral("C"));
    result(QStringLiteral("petr"), kMonday.addDays(1), QStringLiteral("D"));
    start();
    Form11->open();
    EXPECT_TRUE(Form11->isVisible());
    EXPECT_EQ(Form11->DateTimePicker1->date(), QDate::currentDate());
    EXPECT_FALSE(DataModule1->tblResult->filtered()) << "setting the date in code filters nothing";

    QTest::keyClicks(Form11->sEdit1, QStringLiteral("IVA"));
    EXPECT_EQ(DataModule1->tblResult->recNo(), 2)
        << "the first login that begins with the text, any case";
    EXPECT_EQ(Form11->DBGrid1->currentIndex().row(), 1) << "the grid follows";
    QTest::keyClicks(Form11->sEdit1, QStringLiteral("x"));
    EXPECT_EQ(DataModule1->tblResult->recNo(), 2) << "a prefix no row has leaves the row";
    EXPECT_EQ(Form11->DBGrid1->model()->rowCount(), 4) << "the search never filters";

    Form11->DateTimePicker1->setDate(kMonday.addDays(1));
    EXPECT_EQ(logins(DataModule1->tblResult), (QStringList{"ivan", "petr"}));
    Form11->sButton3->click();
    EXPECT_EQ(DataModule1->tblResult->recordCount(), 0);
    Form11->sButton1->click();
    EXPECT_EQ(logins(DataModule1->tblResult), (QStringList{"anna", "Ivanov"}))
        << "only that day's rows went";
    Form11->sButton3->click();
    DataModule1->tblResult->refresh();
    EXPECT_EQ(DataModule1->tblResult->recordCount(), 0) << "without a filter every result goes";

    Form11->sButton2->click();
    EXPECT_FALSE(Form11->isVisible());
}

TEST_F(ResultsTest, AnalysisCountsTheStudentsCorrectAnswersAndClearsOnlyThem) {
    record(QStringLiteral("O'Neil"), kMonday, QStringLiteral("A"), QStringLiteral("A"));
    record(QStringLiteral("O'Neil"), kMonday, QStringLiteral("B"), QStringLiteral("C"));
    record(QStringLiteral("O'Neil"), kMonday.addDays(1), QVariant(), QVariant());
    record(QStringLiteral("O'Neil"), kMonday.addDays(1), QVariant(), QStringLiteral("D"));
    record(QStringLiteral("ivan"), kMonday, QStringLiteral("E"), QStringLiteral("E"));
    record(QStringLiteral("ivan"), kMonday.addDays(1), QStringLiteral("a"), QStringLiteral("A"));
    start();
    signIn(QStringLiteral("O'Neil"), QStringLiteral("p"));
    Form4->N15->trigger();
    EXPECT_TRUE(Form12->isVisible());
    EXPECT_EQ(Form12->DBGrid1->model()->columnCount(), 5);
    EXPECT_EQ(Form12->DBGrid1->model()->rowCount(), 4);
    EXPECT_EQ(Form12->sEdit1->text(), "2")
        << "two empty answers count as equal; other students never count";
    EXPECT_EQ(Form12->sDBMemo1->toPlainText(), "Вопрос для O'Neil");

    Form12->DateTimePicker1->setDate(kMonday);
    EXPECT_EQ(logins(DataModule1->tblProverka), (QStringList{"O'Neil", "O'Neil", "ivan"}));
    EXPECT_EQ(Form12->sEdit1->text(), "2");

    Form12->sButton3->click();
    EXPECT_EQ(logins(DataModule1->tblProverka), QStringList{"ivan"})
        << "only the student's own rows of that day";
    EXPECT_EQ(Form12->sEdit1->text(), "2") << "the count is not recomputed";
    Form12->sButton1->click();
    EXPECT_EQ(DataModule1->tblProverka->recordCount(), 4);
    EXPECT_EQ(Form12->sEdit1->text(), "2");
}

TEST_F(ResultsTest, GridEditsInPlaceAndSavesWhenTheRowIsLeft) {
    seed(QStringLiteral("praktika"), {{QStringLiteral("Название темы"), QStringLiteral("Первая")}});
    seed(QStringLiteral("praktika"), {{QStringLiteral("Название темы"), QStringLiteral("Вторая")}});
    start();
    Form2->show();
    Form2->N2->trigger();
    TDBGrid* grid = Form2->DBGrid1;
    DataGridModel* model = grid->gridModel();
    ASSERT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Название темы");
    EXPECT_GT(grid->columnWidth(1), grid->columnWidth(2))
        << "the title is declared 100 characters wide";

    Form2->DBGrid1CellClick();
    Form2->sButton4->click();  // editable
    EXPECT_FALSE(model->flags(model->index(0, 0)) & Qt::ItemIsEditable)
        << "a counter is not typed into";
    EXPECT_TRUE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable);
    model->setData(model->index(0, 1), QStringLiteral("Первая!"), Qt::EditRole);
    TTable* praktika = DataModule1->tblPraktika;
    EXPECT_EQ(praktika->state(), DataSetState::Edit);
    grid->setCurrentIndex(model->index(1, 1));
    EXPECT_EQ(praktika->state(), DataSetState::Browse) << "leaving the row saved it";
    EXPECT_EQ(praktika->recNo(), 2);
    praktika->refresh();
    praktika->first();
    EXPECT_EQ(praktika->fieldByName(QStringLiteral("Название темы")).asString(), "Первая!");
    EXPECT_EQ(grid->currentIndex().row(), 0) << "the grid follows the table's moves";

    Form2->sButton3->click();
    EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable) << "read-only again";
}

TEST(NavigatorTest, LayoutSpreadsTheRemainderAndHidesButtons) {
    TsDBNavigator navigator;
    navigator.setVisibleButtons(navButtonBit(nbFirst) | navButtonBit(nbPrior) |
                                navButtonBit(nbNext) | navButtonBit(nbLast) |
                                navButtonBit(nbInsert) | navButtonBit(nbDelete));
    navigator.resize(240, 25);
    QList<int> widths;
    for (int kind = nbFirst; kind <= nbDelete; ++kind) {
        const QRect geometry = navigator.button(TNavigateBtn(kind))->geometry();
        widths.append(geometry.width());
        EXPECT_EQ(geometry.height(), 22);
        EXPECT_EQ(geometry.top(), 1);
    }
    EXPECT_EQ(widths, (QList<int>{40, 39, 40, 40, 39, 40}));
    EXPECT_EQ(navigator.button(nbFirst)->x(), 1);
    EXPECT_EQ(navigator.button(nbDelete)->geometry().right(), 238);
    EXPECT_EQ(navigator.button(nbEdit)->x(), 241) << "hidden buttons lie beyond the right edge";
    EXPECT_EQ(navigator.minimumSize(), QSize(6 * 6 + 2, 6 + 2));
}

class NavigatorDataTest : public DatabaseTest {};

TEST_F(NavigatorDataTest, EnablingFollowsTheDataSetAndDeleteAsks) {
    auto result = table(QStringLiteral("result"));
    TDataSource source;
    source.setDataSet(result.get());
    TsDBNavigator navigator;
    navigator.setDataSource(&source);
    const auto enabled = [&navigator] {
        QString text;
        for (int kind = 0; kind < kNavigateButtons; ++kind)
            text += navigator.button(TNavigateBtn(kind))->isEnabled() ? u'1' : u'0';
        return text;
    };
    EXPECT_EQ(enabled(), "0000101001") << "an empty table: no moves and nothing to delete";

    add(QStringLiteral("result"), {{kLogin, QStringLiteral("a")}});
    add(QStringLiteral("result"), {{kLogin, QStringLiteral("b")}});
    result->refresh();
    result->first();
    EXPECT_EQ(enabled(), "0011111001");
    navigator.BtnClick(nbNext);
    navigator.BtnClick(nbNext);
    EXPECT_EQ(enabled(), "1100111001") << "at the end";
    navigator.BtnClick(nbEdit);
    EXPECT_EQ(enabled(), "1100110111") << "in edit mode";
    navigator.BtnClick(nbCancel);

    MessageBoxRecorder boxes;
    QList<TNavigateBtn> clicks;
    QObject::connect(&navigator, &TsDBNavigator::OnClick,
                     [&clicks](TNavigateBtn kind) { clicks.append(kind); });
    boxes.queueAnswer(idCancel);
    navigator.BtnClick(nbDelete);
    EXPECT_EQ(result->recordCount(), 2) << "Cancel keeps the row";
    EXPECT_EQ(clicks, QList<TNavigateBtn>{nbDelete}) << "and OnClick still runs";
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].text, "Delete record?");
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOkCancel | mbIconQuestion));
    navigator.BtnClick(nbDelete);
    EXPECT_EQ(result->recordCount(), 1);

    // A source switched off disables every button, and switched on gives them back.
    const QString before = enabled();
    source.setEnabled(false);
    EXPECT_EQ(enabled(), "0000000000");
    source.setEnabled(true);
    EXPECT_EQ(enabled(), before);
    result->setReadOnly(true);
    EXPECT_EQ(enabled(), "1111000000") << "a table that cannot be changed: only moves";
    result->setReadOnly(false);
    EXPECT_EQ(enabled(), before);
}

TEST_F(NavigatorDataTest, KeyboardMovesTheFocusAmongVisibleButtons) {
    auto result = table(QStringLiteral("result"));
    add(QStringLiteral("result"), {{kLogin, QStringLiteral("a")}});
    add(QStringLiteral("result"), {{kLogin, QStringLiteral("b")}});
    result->refresh();
    TDataSource source;
    source.setDataSet(result.get());
    TsDBNavigator navigator;
    navigator.setDataSource(&source);
    navigator.setVisibleButtons(navButtonBit(nbFirst) | navButtonBit(nbNext) |
                                navButtonBit(nbLast));
    navigator.show();
    QApplication::setActiveWindow(&navigator);
    navigator.setFocus();
    QTest::keyClick(&navigator, Qt::Key_Left);
    EXPECT_EQ(navigator.focusedButton(), nbFirst) << "no wrap at the first button";
    QTest::keyClick(&navigator, Qt::Key_Right);
    EXPECT_EQ(navigator.focusedButton(), nbNext) << "hidden buttons are skipped";
    QTest::keyClick(&navigator, Qt::Key_Space);
    EXPECT_EQ(result->recNo(), 2);
}

}  // namespace
