// The student window: its lists, the theory tree, documents in the pane or handed to the
// desktop, printing through the word processor, and its panels.

#include <QFile>
#include <QProcessEnvironment>
#include <QTest>
#include <QThread>

#include "app/dm.h"
#include "app/globals.h"
#include "platform/kesta_error.h"
#include "platform/paths.h"
#include "platform/shell_open.h"
#include "student/student.h"
#include "support/course_fixture.h"
#include "testing/testing.h"

namespace {

const QString kTitle = QStringLiteral("Название темы");

class StudentWindowTest : public CourseTest {
protected:
    void topic(const QString& title, int index, const QString& printable = QString()) {
        seed(QStringLiteral("teoria"), {{kTitle, title},
                                        {QStringLiteral("Индекс"), index},
                                        {QStringLiteral("Наименование"), printable}});
    }
    void document(const QString& table, const QString& title, const QString& file) {
        seed(table, {{kTitle, title}, {QStringLiteral("Наименование файла"), file}});
    }
    // The tree as text: one line per node, indented by level.
    static QStringList tree() {
        QStringList lines;
        for (QTreeWidgetItemIterator it(Form4->sTreeView1); *it; ++it) {
            int depth = 0;
            for (auto* p = (*it)->parent(); p; p = p->parent())
                ++depth;
            lines.append(QString(depth * 2, u' ') + (*it)->text(0));
        }
        return lines;
    }
    static void click(const QString& caption) {
        const auto found =
            Form4->sTreeView1->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(found.isEmpty()) << caption.toStdString();
        Form4->sTreeView1->setCurrentItem(found.first());
        Form4->sTreeView1Click();
    }
    static QString pane() { return Form4->WebBrowser1->locationURL(); }
    void open() {
        start();
        Form4->show();
    }
};

TEST_F(StudentWindowTest, TheoryTreePutsTopicsUnderTheirSections) {
    topic(QStringLiteral("Введение"), 0);
    topic(QStringLiteral("Модели"), 0);
    topic(QStringLiteral("OSI"), 1);
    topic(QStringLiteral("TCP/IP"), 1);
    topic(QStringLiteral("Адресация"), 0);
    topic(QStringLiteral("IPv4"), 4);
    topic(QStringLiteral("Маски"), 5);  // a topic under a topic: position 5 is IPv4
    open();
    EXPECT_FALSE(Form4->sPanel1->isVisible()) << "only the menu bar until a list is chosen";
    Form4->N1->trigger();
    EXPECT_EQ(MaterialKind, 1);
    EXPECT_EQ(tree(), (QStringList{"Введение", "Модели", "  OSI", "  TCP/IP", "Адресация", "  IPv4",
                                   "    Маски"}));
    EXPECT_FALSE(Form4->sTreeView1->topLevelItem(1)->isExpanded()) << "sections start collapsed";
    EXPECT_TRUE(Form4->sPanel1->isVisible());
    EXPECT_TRUE(Form4->sPanel2->isVisible());
    EXPECT_TRUE(Form4->sBitBtn1->isEnabled());
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\titl1.bmp"));

    click(QStringLiteral("TCP/IP"));
    EXPECT_EQ(SelectedTopic, "TCP/IP");
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\TCP/IP.mht"));
}

TEST_F(StudentWindowTest, IndexBeyondTheNodesSoFarStopsTheTree) {
    topic(QStringLiteral("Первая"), 0);
    topic(QStringLiteral("Вторая"), 0);
    topic(QStringLiteral("Раньше раздела"), 3);
    topic(QStringLiteral("Раздел"), 0);
    open();
    Form4->N2->trigger();
    try {
        Form4->N1Click();
        FAIL() << "the tree was built";
    } catch (const KestaError& error) {
        EXPECT_EQ(error.message(), "Invalid index");
    }
    EXPECT_EQ(tree(), (QStringList{"Первая", "Вторая"})) << "the nodes added before stay";
    EXPECT_EQ(MaterialKind, 1);
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\titl1.bmp"))
        << "the pane keeps its previous document";
}

TEST_F(StudentWindowTest, PrefixLookUpShowsTheFirstRowThatBeginsWithTheTitle) {
    topic(QStringLiteral("Тема 10"), 0);
    topic(QStringLiteral("Тема 1"), 0);
    topic(QStringLiteral("тема 1"), 0);
    open();
    Form4->N1->trigger();
    click(QStringLiteral("Тема 1"));
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\Тема 10.mht"));
    EXPECT_EQ(SelectedTopic, "Тема 1");

    // A click on empty space shows the selected node's document again.
    Form4->WebBrowser1->navigate(QString());
    Form4->show();
    QTest::mouseClick(Form4->sTreeView1->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\Тема 10.mht"));
}

TEST_F(StudentWindowTest, DocumentListsShowInThePaneOrGoToTheDesktop) {
    document(QStringLiteral("praktika"), QStringLiteral("Работа 1"), QStringLiteral("prak1.htm"));
    document(QStringLiteral("praktika"), QStringLiteral("Работа 1"), QStringLiteral("другой.htm"));
    document(QStringLiteral("dopolnenie"), QStringLiteral("Глоссарий"),
             QStringLiteral("gloss.htm"));
    document(QStringLiteral("presentacia"), QStringLiteral("Модели"), QStringLiteral("models.odp"));
    document(QStringLiteral("video"), QStringLiteral("Кадр"), QStringLiteral("frame.webm"));
    open();
    ShellOpenRecorder shell;

    Form4->N2->trigger();
    EXPECT_EQ(tree(), (QStringList{"Работа 1", "Работа 1"}));
    Form4->sTreeView1->setCurrentItem(Form4->sTreeView1->topLevelItem(1));
    Form4->sTreeView1Click();
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\prak1.htm"))
        << "the first row with that title wins";

    Form4->N3->trigger();
    EXPECT_EQ(MaterialKind, 3);
    click(QStringLiteral("Глоссарий"));
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\gloss.htm"));

    Form4->N4->trigger();
    EXPECT_EQ(MaterialKind, 4);
    EXPECT_FALSE(Form4->sPanel2->isVisible());
    EXPECT_FALSE(Form4->sBitBtn1->isEnabled());
    click(QStringLiteral("Модели"));
    Form4->N6->trigger();
    EXPECT_EQ(MaterialKind, 5);
    click(QStringLiteral("Кадр"));
    ASSERT_EQ(shell.calls().size(), 2);
    EXPECT_EQ(shell.calls()[0].path, "Data\\Present\\models.odp")
        << "taken from the working folder";
    EXPECT_EQ(shell.calls()[1].path, "Data\\Video\\frame.webm");
    EXPECT_EQ(shell.calls()[1].showMode, 5);
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\titl1.bmp")) << "the pane stays as it was";

    Form4->N2->trigger();
    EXPECT_TRUE(Form4->sPanel2->isVisible());
    EXPECT_TRUE(Form4->sBitBtn1->isEnabled());

    // An empty catalogue gives an empty tree and still the title picture.
    Form4->WebBrowser1->navigate(QString());
    DataModule1->tblVideo->first();
    DataModule1->tblVideo->deleteRecord();
    Form4->N6->trigger();
    EXPECT_EQ(Form4->sTreeView1->topLevelItemCount(), 0);
    EXPECT_EQ(pane(), AppDir + QStringLiteral("Data\\titl1.bmp"));
}

TEST_F(StudentWindowTest, ClosingTheWindowHidesItsPanelsAndTheTestHidesThemToo) {
    seed(QStringLiteral("test"), {{QStringLiteral("Вопрос"), QStringLiteral("?")}});
    open();
    Form4->N1->trigger();
    Form4->close();
    EXPECT_FALSE(Form4->isVisible());
    Form4->show();
    EXPECT_FALSE(Form4->sPanel1->isVisible());
    EXPECT_FALSE(Form4->sPanel2->isVisible());
    Form4->N2->trigger();
    Form4->N5->trigger();
    EXPECT_FALSE(Form4->sPanel1->isVisible());
    EXPECT_FALSE(Form4->sPanel2->isVisible());
}

// A stand-in for the word processor on PATH that writes down how it was started.
class FakeWordProcessor {
public:
    FakeWordProcessor() : previousPath_(qgetenv("PATH")) {
        log_ = folder_.filePath(QStringLiteral("calls.txt"));
        const QString script = folder_.filePath(QStringLiteral("soffice"));
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + log_ + "'\n").toUtf8());
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        qputenv("PATH", folder_.path().toUtf8() + ':' + previousPath_);
    }
    ~FakeWordProcessor() { qputenv("PATH", previousPath_); }

    // The command lines it was started with, waiting a little for them to arrive.
    QStringList calls(int expected) const {
        for (int i = 0; i < 100; ++i) {
            QFile file(log_);
            if (file.open(QIODevice::ReadOnly)) {
                const QStringList lines =
                    QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
                if (lines.size() >= expected) return lines;
            }
            QThread::msleep(50);
        }
        return {};
    }

private:
    QTemporaryDir folder_;
    QString log_;
    QByteArray previousPath_;
};

TEST_F(StudentWindowTest, PrintHandsTheDocumentToTheWordProcessor) {
    topic(QStringLiteral("Сети"), 0, QStringLiteral("seti.doc"));
    document(QStringLiteral("praktika"), QStringLiteral("Сети и кабели"),
             QStringLiteral("kabel.odt"));
    open();
    FakeWordProcessor writer;
    setAppDir();
    const QString data = QFileInfo(AppDir + QStringLiteral("Data")).absoluteFilePath();

    Form4->N1->trigger();
    click(QStringLiteral("Сети"));
    Form4->sBitBtn1->click();
    // The topic's printable file, not the page the click showed.
    EXPECT_EQ(writer.calls(1),
              QStringList{QStringLiteral("--writer ") + data + QStringLiteral("/seti.doc")});

    // The title clicked in one list is looked up in the next one.
    Form4->N2->trigger();
    Form4->sBitBtn1->click();
    EXPECT_EQ(writer.calls(2).value(1),
              QStringLiteral("--writer ") + data + QStringLiteral("/kabel.odt"));
}

TEST_F(StudentWindowTest, PrintWithoutAWordProcessorIsAClearError) {
    topic(QStringLiteral("Сети"), 0, QStringLiteral("seti.doc"));
    open();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    Form4->N1->trigger();
    Form4->show();
    QTest::mouseClick(Form4->sBitBtn1, Qt::LeftButton);
    qputenv("PATH", path);
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_TRUE(boxes.calls()[0].text.startsWith(
        QStringLiteral("Не удалось запустить текстовый процессор")))
        << boxes.calls()[0].text.toStdString();
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
}

}  // namespace
