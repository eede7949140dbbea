// The demo course as the build stages it, seen through the real student window over a copy
// of its database: the theory tree, each topic's page and printable copy, every document the
// lists name, and the question bank.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <array>
#include <utility>

#include "app/dm.h"
#include "app/globals.h"
#include "app/startup.h"
#include "data/password.h"
#include "platform/application.h"
#include "platform/paths.h"
#include "platform/shell_open.h"
#include "student/student.h"
#include "support/course_fixture.h"
#include "tool_support.h"

namespace {

const QString kTitle = QStringLiteral("Название темы");
const QString kFileName = QStringLiteral("Наименование файла");

QString course() {
    return QStringLiteral(KESTA_COURSE_DIR);
}

// The staged file a path of the program names: a pane location under AppDir, or a path
// relative to the working folder as the shell gets it.
QString stagedFile(QString path) {
    if (path.startsWith(AppDir)) path = path.mid(AppDir.size());
    return course() + u'/' + path.replace(u'\\', u'/');
}

QString documentTitle(const QByteArray& html) {
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"));
    return title.match(QString::fromUtf8(html)).captured(1);
}

int wordCount(const QString& html) {
    static const QRegularExpression head(QStringLiteral("<head>.*</head>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression word(QStringLiteral("[\\w-]+"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    const QString text = QString(html).remove(head).remove(tags);
    int count = 0;
    for (auto it = word.globalMatch(text); it.hasNext(); it.next())
        ++count;
    return count;
}

class DemoCourseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QFile::copy(course() + QStringLiteral("/Kesta.db"),
                                folder.filePath(QStringLiteral("Kesta.db"))))
            << "the course is staged in " << course().toStdString();
        previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
        CurrentLogin.clear();
        MaterialKind = 0;
        SelectedTopic.clear();
        createForms(*Application);
        started = true;
    }
    void TearDown() override {
        if (started) destroyForms(*Application);
        QDir::setCurrent(previousFolder);
    }

    // Clicks a node of the student window's tree, as the student does.
    static void click(QTreeWidgetItem* node) {
        Form4->sTreeView1->setCurrentItem(node);
        Form4->sTreeView1Click();
    }
    static QString pane() { return Form4->WebBrowser1->locationURL(); }

    // The rows of a table, in stored order.
    static QList<QVariantMap> rows(TTable* table, const QStringList& columns) {
        QList<QVariantMap> result;
        for (table->first(); !table->eof(); table->next()) {
            QVariantMap row;
            for (const QString& name : columns)
                row.insert(name, table->fieldByName(name).value());
            result.append(row);
        }
        return result;
    }

    QTemporaryDir folder;
    QString previousFolder;
    bool started = false;
};

TEST_F(DemoCourseTest, TheoryTreePlacesEverySubTopicUnderItsOwnSection) {
    const QList<QVariantMap> topics =
        rows(DataModule1->tblTeoria,
             {QStringLiteral("Абсолютный номер"), QStringLiteral("Индекс"), kTitle});
    // Each section with the sub-topics whose Индекс is the section's number.
    QList<std::pair<QString, QStringList>> expected;
    QMap<qlonglong, int> sections;  // Абсолютный номер: place in `expected`
    for (int i = 0; i < topics.size(); ++i) {
        const QVariantMap& row = topics[i];
        EXPECT_EQ(row.value(QStringLiteral("Абсолютный номер")).toLongLong(), i);
        const qlonglong index = row.value(QStringLiteral("Индекс")).toLongLong();
        if (index == 0) {
            sections.insert(i, int(expected.size()));
            expected.append({row.value(kTitle).toString(), {}});
        } else {
            ASSERT_TRUE(sections.contains(index)) << row.value(kTitle).toString().toStdString();
            EXPECT_EQ(sections.value(index), expected.size() - 1)
                << row.value(kTitle).toString().toStdString() << " follows its own section";
            expected[sections.value(index)].second.append(row.value(kTitle).toString());
        }
    }

    Form4->N1Click();
    QList<std::pair<QString, QStringList>> shown;
    int subTopics = 0;
    int sectionsWithTopics = 0;
    for (int i = 0; i < Form4->sTreeView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* section = Form4->sTreeView1->topLevelItem(i);
        shown.append({section->text(0), {}});
        for (int j = 0; j < section->childCount(); ++j) {
            shown.last().second.append(section->child(j)->text(0));
            EXPECT_EQ(section->child(j)->childCount(), 0) << "two levels only";
        }
        subTopics += section->childCount();
        sectionsWithTopics += section->childCount() > 0 ? 1 : 0;
    }
    EXPECT_EQ(shown, expected);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.first().second.isEmpty()) << "the first row is an introduction";
    EXPECT_GE(sectionsWithTopics, 5);
    EXPECT_GE(subTopics, 15);
}

TEST_F(DemoCourseTest, EveryTopicShowsItsOwnPageWithItsPicturesAndHasAPrintableCopy) {
    const QList<QVariantMap> topics = rows(
        DataModule1->tblTeoria, {kTitle, QStringLiteral("Наименование"), QStringLiteral("Индекс")});
    Form4->N1Click();
    QList<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(Form4->sTreeView1); *it; ++it)
        nodes.append(*it);
    ASSERT_EQ(nodes.size(), topics.size());

    QMap<QString, int> pictures;  // pictures of each section's pages, by section title
    QString section;
    for (QTreeWidgetItem* node : nodes) {
        const QString title = node->text(0);
        const QString where = title + QStringLiteral(": ");
        click(node);
        const QString page = stagedFile(pane());
        EXPECT_EQ(QFileInfo(page).fileName(), title + QStringLiteral(".mht"))
            << "the look-up by the beginning of the title finds the topic's own row";
        const MimeMessage archive = parseMime(fileBytes(page));
        if (archive.parts.isEmpty()) {
            ADD_FAILURE() << where.toStdString() << "no saved page " << page.toStdString();
            continue;
        }
        const QByteArray html = archive.parts[0].body;
        EXPECT_EQ(documentTitle(html), title.toHtmlEscaped());
        const int words = wordCount(QString::fromUtf8(html));
        EXPECT_TRUE(words >= 400 && words <= 1500) << where.toStdString() << words << " words";

        const QUrl base = QUrl::fromEncoded(archive.parts[0].headers.value("content-location"));
        static const QRegularExpression img(QStringLiteral("<img[^>]*\\ssrc=[\"']([^\"']+)"));
        QStringList wanted;
        for (auto it = img.globalMatch(QString::fromUtf8(html)); it.hasNext();) {
            const QString url = base.resolved(QUrl(it.next().captured(1))).toString();
            if (!wanted.contains(url)) wanted.append(url);
        }
        QStringList held;
        for (int i = 1; i < archive.parts.size(); ++i) {
            held.append(
                QUrl::fromEncoded(archive.parts[i].headers.value("content-location")).toString());
            EXPECT_TRUE(archive.parts[i].headers.value("content-type").startsWith("image/"));
            EXPECT_FALSE(archive.parts[i].body.isEmpty());
        }
        wanted.sort();
        held.sort();
        EXPECT_EQ(held, wanted) << where.toStdString() << "every picture inside, each once";

        if (!node->parent()) section = title;
        pictures[section] += int(held.size());
    }
    for (auto it = pictures.cbegin(); it != pictures.cend(); ++it) {
        if (it.key() == topics.first().value(kTitle).toString()) continue;  // the introduction
        EXPECT_GT(it.value(), 0) << it.key().toStdString() << ": a picture in every section";
    }

    // Printing hands Data\<Наименование> to the word processor.
    for (const QVariantMap& topic : topics) {
        const QByteArray printable =
            fileBytes(course() + QStringLiteral("/Data/") +
                      topic.value(QStringLiteral("Наименование")).toString());
        EXPECT_EQ(documentTitle(printable), topic.value(kTitle).toString().toHtmlEscaped());
    }
}

TEST_F(DemoCourseTest, EveryDocumentOfTheListsIsThereAsItsOwnRowNamesIt) {
    ShellOpenRecorder shell;
    struct List {
        void (TForm4::*open)();
        TTable* table;
        int least;
    };
    const std::array<List, 4> lists{{{&TForm4::N2Click, DataModule1->tblPraktika, 6},
                                     {&TForm4::N3Click, DataModule1->tblDopolnenie, 4},
                                     {&TForm4::N4Click, DataModule1->tblPresentacia, 3},
                                     {&TForm4::N6Click, DataModule1->tblVideo, 2}}};
    for (const List& list : lists) {
        const QList<QVariantMap> documents = rows(list.table, {kTitle, kFileName});
        EXPECT_GE(documents.size(), list.least) << list.table->tableName().toStdString();
        (Form4->*list.open)();
        ASSERT_EQ(Form4->sTreeView1->topLevelItemCount(), documents.size());
        for (int i = 0; i < documents.size(); ++i) {
            const QString name = documents[i].value(kFileName).toString();
            click(Form4->sTreeView1->topLevelItem(i));
            const bool shown =
                list.table == DataModule1->tblPraktika || list.table == DataModule1->tblDopolnenie;
            const QString path = stagedFile(shown ? pane() : shell.calls().last().path);
            EXPECT_EQ(QFileInfo(path).fileName(), name) << "the row's own file";
            const QByteArray bytes = fileBytes(path);
            if (bytes.isEmpty()) {
                ADD_FAILURE() << "missing " << path.toStdString();
                continue;
            }
            if (list.table == DataModule1->tblPresentacia) {
                EXPECT_GE(pdfPageCount(bytes), 2) << name.toStdString();
            } else if (list.table == DataModule1->tblVideo) {
                const QMap<QString, QString> probe = probeVideo(path);
                EXPECT_EQ(probe.value(QStringLiteral("codec_name")), "h264");
                const double seconds = probe.value(QStringLiteral("duration")).toDouble();
                EXPECT_TRUE(seconds >= 6 && seconds <= 12) << name.toStdString() << seconds;
            } else {
                EXPECT_EQ(documentTitle(bytes).isEmpty(), false) << name.toStdString();
            }
        }
    }
}

TEST_F(DemoCourseTest, BankHoldsAHundredQuestionsOfFiveOptionsWithAnswersSpreadEvenly) {
    const QList<QVariantMap> questions =
        rows(DataModule1->tblTest, {QStringLiteral("Номер_вопроса"), QStringLiteral("Вопрос"),
                                    QStringLiteral("Правильный_ответ")});
    EXPECT_EQ(questions.size(), 100);
    QMap<QString, int> answers;
    const QString letters = QStringLiteral("ABCDE");
    for (int i = 0; i < questions.size(); ++i) {
        const QVariantMap& question = questions[i];
        const QString text = question.value(QStringLiteral("Вопрос")).toString();
        EXPECT_EQ(question.value(QStringLiteral("Номер_вопроса")).toInt(), i + 1);
        const QString answer = question.value(QStringLiteral("Правильный_ответ")).toString();
        EXPECT_TRUE(answer.size() == 1 && letters.contains(answer)) << text.toStdString();
        ++answers[answer];
        // The question's own lines, then the options A) to E), one each, in order.
        const QStringList lines = text.split(u'\n');
        ASSERT_GE(lines.size(), 6) << text.toStdString();
        for (int k = 0; k < 5; ++k) {
            const QString option = lines[lines.size() - 5 + k];
            EXPECT_TRUE(option.startsWith(letters[k] + QStringLiteral(") ")) && option.size() > 3)
                << text.toStdString();
        }
        for (int k = 0; k < lines.size() - 5; ++k)
            EXPECT_FALSE(
                QRegularExpression(QStringLiteral("^[A-E]\\) ")).match(lines[k]).hasMatch())
                << text.toStdString();
        EXPECT_FALSE(lines.first().trimmed().isEmpty());
    }
    for (const QChar letter : letters)
        EXPECT_EQ(answers.value(letter), 20) << "answer " << QString(letter).toStdString();
}

TEST(StagedCourseTest, HoldsTheProgramItsPicturesTheAccountsTheReadmeNamesAndNoResults) {
    for (const char* file : {"kesta", "Kesta.db", "titl.bmp", "Data/titl1.bmp"})
        EXPECT_TRUE(QFile::exists(course() + u'/' + QLatin1String(file))) << file;
    TConnection connection;
    connection.open(course() + QStringLiteral("/Kesta.db"), TDataModule1::DatabasePassword);
    TTable users(&connection, QStringLiteral("users"));
    users.open();
    ASSERT_TRUE(users.locate(QStringLiteral("Логин"), QStringLiteral("teacher")));
    EXPECT_EQ(users.fieldByName(QStringLiteral("Примечание")).asString(), "admin");
    EXPECT_TRUE(passwordMatches(QStringLiteral("teacher"),
                                users.fieldByName(QStringLiteral("Пароль")).asString()));
    ASSERT_TRUE(users.locate(QStringLiteral("Логин"), QStringLiteral("student")));
    EXPECT_TRUE(passwordMatches(QStringLiteral("student"),
                                users.fieldByName(QStringLiteral("Пароль")).asString()));
    EXPECT_NE(users.fieldByName(QStringLiteral("Примечание")).asString(), "admin");
    for (const char* table : {"result", "proverka", "testing"}) {
        TTable rows(&connection, QLatin1String(table));
        rows.open();
        EXPECT_EQ(rows.recordCount(), 0) << table;
    }
}

}  // namespace
