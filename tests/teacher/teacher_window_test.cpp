// The teacher window: its catalogues and button states, the topic tree kept in order through
// the new-topic dialog and deletions, and the test bank editor.

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include "app/dm.h"
#include "app/globals.h"
#include "platform/paths.h"
#include "platform/shell_open.h"
#include "student/student.h"
#include "support/course_fixture.h"
#include "support/failing_store.h"
#include "teacher/basatest.h"
#include "teacher/newinsert.h"
#include "teacher/prepodavatel.h"
#include "teacher/topic_catalogue.h"

namespace {

const QString kTitle = QStringLiteral("Название темы");

class TeacherTest : public CourseTest {
protected:
    void topic(int number, int parent, const QString& title) {
        seed(QStringLiteral("teoria"), {{QStringLiteral("Абсолютный номер"), number},
                                        {QStringLiteral("Индекс"), parent},
                                        {kTitle, title}});
    }
    // The usual course: an introduction, then two sections with two topics each.
    void seedTree() {
        topic(0, 0, QStringLiteral("Введение"));
        topic(1, 0, QStringLiteral("Модели"));
        topic(2, 1, QStringLiteral("OSI"));
        topic(3, 1, QStringLiteral("TCP/IP"));
        topic(4, 0, QStringLiteral("Адресация"));
        topic(5, 4, QStringLiteral("IPv4"));
        topic(6, 4, QStringLiteral("IPv6"));
    }
    void open() {
        start();
        Form2->show();
    }
    // Buttons as a string: A(dd) D(elete) E(dit) S(ave), lower case when disabled, then the
    // grid's flag: r read-only, w editable.
    static QString buttons() {
        QString text;
        text += Form2->sButton1->isEnabled() ? u'A' : u'a';
        text += Form2->sButton2->isEnabled() ? u'D' : u'd';
        text += Form2->sButton4->isEnabled() ? u'E' : u'e';
        text += Form2->sButton3->isEnabled() ? u'S' : u's';
        text += Form2->DBGrid1->readOnly() ? u'r' : u'w';
        return text;
    }
    // The student's tree, built from the topic table as the student window builds it.
    static QStringList studentTree() {
        Form4->N1Click();
        QStringList lines;
        for (QTreeWidgetItemIterator it(Form4->sTreeView1); *it; ++it)
            lines.append(((*it)->parent() ? QStringLiteral("  ") : QString()) + (*it)->text(0));
        return lines;
    }
    static QStringList numbers() {
        QStringList rows;
        TTable* teoria = DataModule1->tblTeoria;
        for (teoria->first(); !teoria->eof(); teoria->next())
            rows.append(
                QStringLiteral("%1/%2")
                    .arg(teoria->fieldByName(QStringLiteral("Абсолютный номер")).asInteger())
                    .arg(teoria->fieldByName(QStringLiteral("Индекс")).asInteger()));
        return rows;
    }
    static void addTopic(const QString& title, const QString& section) {
        Form2->sButton1->click();
        Form5->sEdit1->setText(title);
        Form5->sComboBox1->setEditText(section);
        Form5->sEdit2->setText(title + QStringLiteral(".htm"));
        Form5->sButton1->click();
    }
    static void selectTopic(const QString& title) {
        ASSERT_TRUE(DataModule1->tblTeoria->locate(kTitle, title));
    }
};

TEST_F(TeacherTest, ButtonStatesFollowTheTableOfActions) {
    seedTree();
    seed(QStringLiteral("dopolnenie"), {{kTitle, QStringLiteral("Глоссарий")}});
    seed(QStringLiteral("video"), {{kTitle, QStringLiteral("Кадр")}});
    open();
    EXPECT_EQ(buttons(), "adesr");
    EXPECT_FALSE(Form2->DBGrid1->isVisible());

    Form2->N3->trigger();
    EXPECT_EQ(MaterialKind, 3);
    EXPECT_EQ(buttons(), "ADesr");
    EXPECT_TRUE(Form2->DBGrid1->isVisible());
    EXPECT_EQ(DataModule1->tblDopolnenie->sort(), "Номер");

    Form2->DBGrid1CellClick();
    EXPECT_EQ(buttons(), "ADEsr");
    Form2->sButton4->click();
    EXPECT_EQ(buttons(), "ADESw");
    Form2->sButton3->click();
    EXPECT_EQ(buttons(), "ADEsr");
    Form2->sButton4->click();
    Form2->N2->trigger();
    EXPECT_EQ(buttons(), "ADesw") << "choosing a catalogue leaves the grid's flag alone";

    Form2->DBGrid1CellClick();
    EXPECT_EQ(buttons(), "ADEsr");
    Form2->sButton1->click();  // adding a practical lesson
    EXPECT_EQ(buttons(), "adESw");
    EXPECT_EQ(DataModule1->tblPraktika->state(), DataSetState::Insert);
    Form2->DBGrid1CellClick();
    EXPECT_EQ(buttons(), "aDESw") << "an addition under way keeps the grid editable";
    boxes.queueAnswer(idYes);
    Form2->sButton2->click();  // deleting discards the row being added
    EXPECT_EQ(buttons(), "aDESr");
    EXPECT_EQ(DataModule1->tblPraktika->recordCount(), 0);
    EXPECT_EQ(DataModule1->tblPraktika->state(), DataSetState::Browse);

    Form2->N8->trigger();
    Form2->DBGrid1CellClick();
    EXPECT_EQ(buttons(), "aDesr") << "after a click in the video list only deleting stays";

    Form2->N6->trigger();
    EXPECT_EQ(buttons(), "adesr");
    EXPECT_FALSE(Form2->DBGrid1->isVisible());
    EXPECT_TRUE(Form3->isVisible());
}

TEST_F(TeacherTest, CataloguesAreEditedInTheGridAndSavedWithTheButton) {
    seed(QStringLiteral("presentacia"),
         {{kTitle, QStringLiteral("Модели")},
          {QStringLiteral("Наименование файла"), QStringLiteral("m.pdf")}});
    open();
    Form2->N4->trigger();
    Form2->sButton1->click();
    TTable* presentacia = DataModule1->tblPresentacia;
    presentacia->fieldByName(kTitle).setValue(QStringLiteral("Адресация"));
    presentacia->fieldByName(QStringLiteral("Наименование файла"))
        .setValue(QStringLiteral("a.pdf"));
    Form2->sButton3->click();
    EXPECT_EQ(presentacia->recordCount(), 2);
    EXPECT_EQ(presentacia->fieldByName(QStringLiteral("Номер")).asInteger(), 2);

    // "No" to the delete question drops an unsaved change.
    presentacia->edit();
    presentacia->fieldByName(kTitle).setValue(QStringLiteral("Изменено"));
    boxes.queueAnswer(idNo);
    Form2->sButton2->click();
    EXPECT_EQ(boxes.calls().last().text, "Удалить запись?");
    EXPECT_EQ(boxes.calls().last().flags, unsigned(mbYesNo | mbIconInformation));
    EXPECT_EQ(presentacia->fieldByName(kTitle).asString(), "Адресация");
    EXPECT_EQ(presentacia->recordCount(), 2);

    // A double click on a presentation opens it through the desktop.
    ShellOpenRecorder shell;
    presentacia->first();
    Form2->DBGrid1DblClick();
    ASSERT_EQ(shell.calls().size(), 1);
    EXPECT_EQ(shell.calls()[0].path, "Data\\Present\\m.pdf");
}

TEST_F(TeacherTest, NewTopicsKeepTheTreeInOrder) {
    seedTree();
    open();
    Form2->N1->trigger();
    Form2->sButton1->click();
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_EQ(Form5->sComboBox1->count(), 3) << "only sections are offered";
    Form5->close();

    addTopic(QStringLiteral("Ethernet"), QStringLiteral("мод"));  // typed in lower case, a prefix
    EXPECT_EQ(buttons(), "Adesw") << "the dialog gives back adding; deleting stays off";
    addTopic(QStringLiteral("Безопасность"), QString());
    addTopic(QStringLiteral("Угрозы"), QStringLiteral("Безопасность"));
    addTopic(QStringLiteral("Ещё раздел"),
             QStringLiteral("Введение"));  // position 0 holds no sub-topics
    EXPECT_EQ(studentTree(),
              (QStringList{"Введение", "Модели", "  OSI", "  TCP/IP", "  Ethernet", "Адресация",
                           "  IPv4", "  IPv6", "Безопасность", "  Угрозы", "Ещё раздел"}));
    EXPECT_EQ(numbers(), (QStringList{"0/0", "1/0", "2/1", "3/1", "4/1", "5/0", "6/5", "7/5", "8/0",
                                      "9/8", "10/0"}));

    // A section text that matches no title is refused and stores nothing.
    const int rows = DataModule1->tblTeoria->recordCount();
    addTopic(QStringLiteral("Потерянная"), QStringLiteral("Нет такого"));
    EXPECT_TRUE(boxes.texts().last().contains(QStringLiteral("Нет такого")));
    EXPECT_EQ(DataModule1->tblTeoria->recordCount(), rows);

    // The tree order survives in the file.
    DataModule1->tblTeoria->refresh();
    EXPECT_EQ(studentTree().mid(2, 3), (QStringList{"  OSI", "  TCP/IP", "  Ethernet"}));
}

TEST_F(TeacherTest, FirstTopicOfAnEmptyCatalogueIsNumberedZero) {
    open();
    Form2->N1->trigger();
    addTopic(QStringLiteral("Введение"), QString());
    EXPECT_EQ(numbers(), QStringList{"0/0"});
}

TEST_F(TeacherTest, DeletingASectionTakesItsTopicsAndRenumbers) {
    seedTree();
    open();
    Form2->N1->trigger();
    selectTopic(QStringLiteral("Модели"));
    boxes.queueAnswer(idYes);
    Form2->sButton2->click();
    EXPECT_EQ(boxes.calls().last().text,
              "Удалить запись? Вместе с темой будут удалены все входящие разделы.");
    EXPECT_EQ(studentTree(), (QStringList{"Введение", "Адресация", "  IPv4", "  IPv6"}));
    EXPECT_EQ(numbers(), (QStringList{"0/0", "1/0", "2/1", "3/1"}));

    selectTopic(QStringLiteral("IPv4"));
    boxes.queueAnswer(idYes);
    Form2->sButton2->click();
    EXPECT_EQ(boxes.calls().last().text, "Удалить запись?");
    EXPECT_EQ(numbers(), (QStringList{"0/0", "1/0", "2/1"}));
    EXPECT_EQ(studentTree(), (QStringList{"Введение", "Адресация", "  IPv6"}));

    // "No" keeps the row and drops the pending edit.
    selectTopic(QStringLiteral("IPv6"));
    Form2->DBGrid1CellClick();
    Form2->sButton4->click();
    DataModule1->tblTeoria->fieldByName(kTitle).setValue(QStringLiteral("изменено"));
    boxes.queueAnswer(idNo);
    Form2->sButton2->click();
    EXPECT_EQ(DataModule1->tblTeoria->fieldByName(kTitle).asString(), "IPv6");
    EXPECT_EQ(DataModule1->tblTeoria->recordCount(), 3);
}

TEST_F(TeacherTest, DeletingTheFirstSectionOfTheDemoCourseTakesThatRowAlone) {
    // The demo course's topics, as the course is delivered.
    QFile tsv(QFileInfo(QStringLiteral(KESTA_SCHEMA_FILE)).dir().filePath("db/teoria.tsv"));
    ASSERT_TRUE(tsv.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList header = QString::fromUtf8(tsv.readLine()).trimmed().split(u'\t');
    int rows = 0;
    while (!tsv.atEnd()) {
        const QStringList cells = QString::fromUtf8(tsv.readLine()).chopped(1).split(u'\t');
        QVariantMap row;
        for (int i = 0; i < header.size() && i < cells.size(); ++i)
            row.insert(header[i], cells[i]);
        seed(QStringLiteral("teoria"), row);
        ++rows;
    }
    ASSERT_GT(rows, 20);
    open();
    const QStringList tree = studentTree();
    ASSERT_FALSE(tree[0].startsWith(u' '));
    ASSERT_TRUE(tree[2].startsWith(u' ')) << "the second section holds sub-topics";

    Form2->N1->trigger();
    DataModule1->tblTeoria->first();
    boxes.queueAnswer(idYes);
    Form2->sButton2->click();
    ASSERT_EQ(boxes.calls().size(), 2);
    EXPECT_EQ(boxes.calls()[0].text,
              "Удалить запись? Вместе с темой будут удалены все входящие разделы.");
    // Every other row stays, in tree order. The section that now stands first cannot hold
    // sub-topics (an Индекс of 0 means "no parent"), so its own become sections, and the
    // teacher is told; every later section keeps its sub-topics.
    EXPECT_EQ(boxes.calls()[1].text,
              "Раздел «Сетевые модели» стал первым в курсе. Первый раздел не может содержать "
              "вложенных тем, поэтому его темы стали отдельными разделами.");
    QStringList expected = tree.mid(1);
    for (int i = 1; i < expected.size() && expected[i].startsWith(u' '); ++i)
        expected[i] = expected[i].trimmed();
    EXPECT_EQ(studentTree(), expected);
    EXPECT_EQ(studentTree().filter(QRegularExpression("^  ")).size(),
              tree.filter(QRegularExpression("^  ")).size() - 3);
    QStringList numbered;
    int section = 0;
    for (int position = 0; position < rows - 1; ++position) {
        const bool sub = expected[position].startsWith(u' ');
        if (!sub) section = position;
        numbered.append(QStringLiteral("%1/%2").arg(position).arg(sub ? section : 0));
    }
    EXPECT_EQ(numbers(), numbered);
    DataModule1->tblTeoria->refresh();
    EXPECT_EQ(studentTree(), expected) << "and so in the file";

    // Deleting the new first section, now without sub-topics, takes that row alone and says
    // nothing more.
    DataModule1->tblTeoria->first();
    boxes.clear();
    boxes.queueAnswer(idYes);
    Form2->sButton2->click();
    EXPECT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(studentTree(), expected.mid(1));
}

TEST_F(TeacherTest, NewTopicThatFailsPartWayStoresNothingAndNoBoxWaitsInsideAWrite) {
    seedTree();
    open();
    // No question is ever asked while the database is held for writing.
    int boxesInsideWrites = 0;
    boxes.setWatcher([&](const MessageBoxCall&) {
        if (DataModule1->ADOConnection1->inTransaction()) ++boxesInsideWrites;
    });
    Form2->N1->trigger();
    addTopic(QStringLiteral("Потерянная"), QStringLiteral("Нет такого"));
    EXPECT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxesInsideWrites, 0);
    EXPECT_TRUE(Form5->isVisible()) << "the dialog stays for another section text";

    // The new sub-topic of "Модели" is one insertion and four renumbered rows after it.
    const QStringList before = numbers();
    const QStringList tree = studentTree();
    FailingStore& store = injectFailures(*DataModule1->ADOConnection1);
    for (const int failing : {1, 2, 5}) {
        SCOPED_TRACE(failing);
        boxes.clear();
        store.failWrite(failing);
        Form2->sButton1->click();
        Form5->sEdit1->setText(QStringLiteral("Ethernet"));
        Form5->sComboBox1->setEditText(QStringLiteral("Модели"));
        QTest::mouseClick(Form5->sButton1, Qt::LeftButton);
        ASSERT_EQ(boxes.calls().size(), 1);
        EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
        EXPECT_TRUE(Form5->isVisible()) << "the dialog keeps what was typed";
        EXPECT_EQ(Form5->sEdit1->text(), "Ethernet");
        EXPECT_EQ(numbers(), before);
        EXPECT_EQ(studentTree(), tree);
        EXPECT_EQ(DataModule1->tblTeoria->state(), DataSetState::Browse);
    }
    EXPECT_EQ(store.writes(), 5) << "the last case failed the last renumbered row";
    EXPECT_EQ(boxesInsideWrites, 0);
    DataModule1->tblTeoria->refresh();
    EXPECT_EQ(studentTree(), tree) << "the file holds the tree as it was";
    store.failWrite(0);
    QTest::mouseClick(Form5->sButton1, Qt::LeftButton);
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_EQ(studentTree().mid(1, 4), (QStringList{"Модели", "  OSI", "  TCP/IP", "  Ethernet"}));
}

TEST_F(TeacherTest, RenumberingPutsOrphansUnderTheNearestSection) {
    topic(0, 0, QStringLiteral("Введение"));
    topic(7, 0, QStringLiteral("Раздел"));
    topic(7, 7, QStringLiteral("Тема"));
    topic(3, 9, QStringLiteral("Сирота"));
    start();
    topics::renumber(DataModule1->tblTeoria);
    EXPECT_EQ(numbers(), (QStringList{"0/0", "1/0", "2/1", "3/1"}));
}

class BankEditorTest : public CourseTest {
protected:
    void seedBank(int questions) {
        for (int i = 1; i <= questions; ++i)
            seed(QStringLiteral("test"),
                 {{QStringLiteral("Вопрос"), QStringLiteral("Вопрос %1").arg(i)},
                  {QStringLiteral("Правильный_ответ"), QStringLiteral("ABCDE").mid(i % 5, 1)}});
    }
    static QString state() {
        QString text = QStringLiteral("%1|%2|").arg(Form3->sLabel1->text(), Form3->sLabel2->text());
        for (TsButton* button : {Form3->sButton6, Form3->sButton4, Form3->sButton5, Form3->sButton7,
                                 Form3->sButton1, Form3->sButton2, Form3->sButton3})
            text += button->isEnabled() ? u'1' : u'0';
        return text;
    }
};

TEST_F(BankEditorTest, PagingAddingSavingAndDeleting) {
    seedBank(40);
    start();
    Form2->N6->trigger();
    EXPECT_EQ(state(), "Вопрос №1|Всего вопросов: 40|1011111");
    EXPECT_EQ(Form3->sMemo1->toPlainText(), "Вопрос 1");
    EXPECT_EQ(Form3->sRadioGroup1->ItemIndex(), 1);

    Form3->sButton5->click();
    Form3->sButton5->click();
    EXPECT_EQ(state(), "Вопрос №3|Всего вопросов: 40|1111111");
    EXPECT_EQ(Form3->sRadioGroup1->ItemIndex(), 3)
        << "the third question's stored code selects its option";

    // Saving the third question numbers it as the last one.
    Form3->sRadioGroup1->setItemIndex(4);
    Form3->sButton3->click();
    EXPECT_EQ(state(), "Вопрос №40|Всего вопросов: 40|1101111");
    EXPECT_EQ(Form3->sMemo1->toPlainText(), "Вопрос 3");
    EXPECT_EQ(DataModule1->tblTest->fieldByName(QStringLiteral("Правильный_ответ")).asString(),
              "E");
    EXPECT_EQ(DataModule1->tblTest->fieldByName(QStringLiteral("Номер_вопроса")).asInteger(), 0);

    Form3->sButton7->click();
    EXPECT_EQ(state(), "Вопрос №40|Всего вопросов: 40|1101111");
    Form3->sButton4->click();
    EXPECT_EQ(state(), "Вопрос №39|Всего вопросов: 40|1111111");

    Form3->sButton1->click();
    EXPECT_EQ(state(), "Вопрос №41|Всего вопросов: 40|1001001");
    EXPECT_TRUE(Form3->sMemo1->toPlainText().isEmpty());
    EXPECT_EQ(Form3->sRadioGroup1->ItemIndex(), -1);
    Form3->sMemo1->setPlainText(QStringLiteral("Новый вопрос"));
    Form3->sButton3->click();
    EXPECT_EQ(state(), "Вопрос №41|Всего вопросов: 41|1101111");
    EXPECT_TRUE(DataModule1->tblTest->fieldByName(QStringLiteral("Правильный_ответ")).isNull())
        << "no option chosen: no correct answer";

    // A question without a stored code leaves the previous selection.
    Form3->sButton6->click();
    EXPECT_EQ(Form3->sRadioGroup1->ItemIndex(), 1);
    Form3->sButton7->click();
    EXPECT_EQ(Form3->sRadioGroup1->ItemIndex(), 1);

    boxes.queueAnswer(idYes);
    Form3->sButton2->click();
    EXPECT_EQ(state(), "Вопрос №41|Всего вопросов: 40|1101111")
        << "the number stays, the total drops";
    EXPECT_EQ(Form3->sMemo1->toPlainText(), "Вопрос 40")
        << "the question before the deleted last one";
}

TEST_F(BankEditorTest, EmptyBankShowsAnEmptyBox) {
    start();
    Form2->N6->trigger();
    EXPECT_EQ(state(), "Вопрос №1|Всего вопросов: 0|1011111");
    EXPECT_TRUE(Form3->sMemo1->toPlainText().isEmpty());
    Form3->sMemo1->setPlainText(QStringLiteral("Первый"));
    Form3->sRadioGroup1->setItemIndex(0);
    Form3->sButton3->click();
    EXPECT_EQ(state(), "Вопрос №1|Всего вопросов: 1|1101111");
}

}  // namespace
