// The course builder, run as the build runs it: a small course written by the test becomes
// an installation folder, and a faulty one stops the build with every fault named.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/dm.h"
#include "data/password.h"
#include "support/course_fixture.h"
#include "tool_support.h"

namespace {

QStringList column(TConnection& connection, const QString& table, const QString& name) {
    TTable rows(&connection, table);
    rows.open();
    QStringList result;
    for (rows.first(); !rows.eof(); rows.next())
        result.append(rows.fieldByName(name).asString());
    return result;
}

class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        source = folder.filePath(QStringLiteral("src"));
        output = folder.filePath(QStringLiteral("out"));
        write(QStringLiteral("schema.sql"), courseSchema());
    }
    void write(const QString& relative, const QByteArray& bytes) {
        writeFile(source + u'/' + relative, bytes);
    }
    QString out(const QString& relative) const { return output + u'/' + relative; }

    // A course of every kind of source: an introduction and a section with a sub-topic,
    // a picture, a practical lesson, a presentation, a video and two questions.
    void writeCourse() {
        write(QStringLiteral("db/teoria.tsv"),
              "Абсолютный номер\tИндекс\tНазвание темы\tНаименование\tФайл-приложение\n"
              "0\t0\tВведение\tvvedenie.htm\t\n"
              "1\t0\tМодели\tmodeli.htm\tmodeli.pdf\n"
              "2\t1\tМодель OSI\tosi.htm\tmodeli.pdf\n");
        write(QStringLiteral("db/praktika.tsv"),
              "Название темы\tНаименование файла\nРабота 1\tprak1.htm\n");
        write(QStringLiteral("db/presentacia.tsv"),
              "Название темы\tНаименование файла\nМодели\tmodeli.pdf\n");
        write(QStringLiteral("db/video.tsv"),
              "Название темы\tНаименование файла\nПакет\tpaket.mp4\n");
        write(QStringLiteral("pages/Введение.html"), "<h1>Введение</h1><p>Сети.</p>");
        write(QStringLiteral("pages/Модели.html"), "<h1>Модели</h1><p>Уровни.</p>");
        write(QStringLiteral("pages/Модель OSI.html"),
              "<h1>Модель OSI</h1>\n<figure><img src=\"pictures/osi.svg\" alt=\"\">"
              "<figcaption>Рис. 1</figcaption></figure>");
        write(QStringLiteral("pictures/osi.svg"),
              "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 640 320\"/>");
        write(QStringLiteral("documents/prak1.html"),
              "<h1>Работа 1</h1><img src=\"pictures/osi.svg\" alt=\"\">");
        write(QStringLiteral("slides/modeli.txt"), "# Модели\nКурс\n# Уровни\n- семь\n");
        write(QStringLiteral("videos/paket.txt"),
              "title Пакет\nbox a 100 100 100 40 А\nbox b 700 100 100 40 Б\nmove a b 1 IP\n");
        write(QStringLiteral("questions.txt"),
              "Первый?\nA) а\nB) б\nC) в\nD) г\nE) д\nОтвет: C\n\n"
              "Второй?\nA) а\nB) б\nC) в\nD) г\nE) д\nОтвет: E\n");
    }

    QTemporaryDir folder;
    QString source;
    QString output;
};

TEST_F(BuilderTest, EveryKindOfSourceBecomesItsFileOfTheInstallationFolder) {
    writeCourse();
    const BuilderRun run = runBuilder(source, output);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    // Theory pages as saved web pages with their pictures inside, and printable copies
    // that link the pictures copied beside them.
    for (const char* title : {"Введение", "Модели", "Модель OSI"})
        EXPECT_TRUE(QFile::exists(out(QStringLiteral("Data/%1.mht").arg(QString::fromUtf8(title)))))
            << title;
    const MimeMessage page = parseMime(fileBytes(out(QStringLiteral("Data/Модель OSI.mht"))));
    ASSERT_EQ(page.parts.size(), 2);
    EXPECT_TRUE(page.parts[0].body.contains("<h1>Модель OSI</h1>"));
    EXPECT_EQ(page.parts[1].headers.value("content-location"),
              "http://course.invalid/Data/pictures/osi.svg")
        << "the page places itself at its printable copy, Data/osi.htm";
    const QByteArray printable = fileBytes(out(QStringLiteral("Data/osi.htm")));
    EXPECT_TRUE(printable.contains("src=\"pictures/osi.svg\""));
    EXPECT_TRUE(QFile::exists(out(QStringLiteral("Data/pictures/osi.svg"))));
    EXPECT_TRUE(QFile::exists(out(QStringLiteral("Data/vvedenie.htm"))));
    EXPECT_TRUE(fileBytes(out(QStringLiteral("Data/prak1.htm"))).contains("<h1>Работа 1</h1>"));
    EXPECT_EQ(pdfPageCount(fileBytes(out(QStringLiteral("Data/Present/modeli.pdf")))), 2);
    EXPECT_NEAR(probeVideo(out(QStringLiteral("Data/Video/paket.mp4")))
                    .value(QStringLiteral("duration"))
                    .toDouble(),
                3.0, 0.05);

    TConnection connection;
    connection.open(out(QStringLiteral("Kesta.db")), TDataModule1::DatabasePassword);
    EXPECT_EQ(column(connection, QStringLiteral("test"), QStringLiteral("Номер_вопроса")),
              (QStringList{"1", "2"}));
    EXPECT_EQ(column(connection, QStringLiteral("test"), QStringLiteral("Вопрос")),
              (QStringList{"Первый?\nA) а\nB) б\nC) в\nD) г\nE) д",
                           "Второй?\nA) а\nB) б\nC) в\nD) г\nE) д"}));
    EXPECT_EQ(column(connection, QStringLiteral("test"), QStringLiteral("Правильный_ответ")),
              (QStringList{"C", "E"}));
    EXPECT_EQ(column(connection, QStringLiteral("teoria"), QStringLiteral("Название темы")),
              (QStringList{"Введение", "Модели", "Модель OSI"}));
    connection.close();

    // A video newer than its script is kept; an edited script makes it again.
    const QString video = out(QStringLiteral("Data/Video/paket.mp4"));
    const QDateTime made = QFileInfo(video).lastModified();
    const BuilderRun again = runBuilder(source, output);
    ASSERT_EQ(again.exitCode, 0) << again.errors.toStdString();
    EXPECT_TRUE(again.output.contains(QStringLiteral("videos: 1 (1 kept")));
    EXPECT_EQ(QFileInfo(video).lastModified(), made);
    QFile script(source + QStringLiteral("/videos/paket.txt"));
    ASSERT_TRUE(script.open(QIODevice::ReadWrite));
    script.setFileTime(made.addSecs(5), QFileDevice::FileModificationTime);
    script.close();
    EXPECT_TRUE(runBuilder(source, output).output.contains(QStringLiteral("videos: 1 (0 kept")));
}

TEST_F(BuilderTest, FaultsOfTheWholeCourseAreReportedTogetherAndLeaveNoDatabase) {
    writeCourse();
    write(QStringLiteral("db/teoria.tsv"),
          "Абсолютный номер\tИндекс\tНазвание темы\tНаименование\tФайл-приложение\n"
          "0\t0\tВведение\tvvedenie.htm\t\n"
          "1\t0\tМодели\tmodeli.htm\tmodeli.ppt\n"
          "2\t1\tМодель OSI\tosi.htm\t\n"
          "4\t1\tмодели сетей\tseti.htm\t\n"
          "5\t0\tАдреса\tadresa.htm\t\n"
          "6\t1\tIPv4\tipv4.htm\t\n"
          "7\t0\tЧто такое IP?\tip.htm\t\n");
    write(QStringLiteral("pages/модели сетей.html"), "<h1>модели сетей</h1>");
    write(QStringLiteral("pages/Адреса.html"), "<h1>Адресация</h1>");
    write(QStringLiteral("pages/IPv4.html"), "<h1>IPv4</h1><img src=\"pictures/ipv4.svg\">");
    write(QStringLiteral("pages/Маски.html"), "<h1>Маски</h1>");
    write(QStringLiteral("documents/prak1.html"), "<p>Без заголовка</p>");
    write(QStringLiteral("db/dopolnenie.tsv"),
          "Название темы\tНаименование файла\nГлоссарий\tglossariy.htm\n\tmaski.htm\n");
    write(QStringLiteral("videos/paket.txt"), "title Пакет\nmove a b 1 IP\n");
    write(QStringLiteral("questions.txt"), "Вопрос?\nA) а\nB) б\nОтвет: A\n");
    writeFile(out(QStringLiteral("Kesta.db")), "a database of an earlier build");

    const BuilderRun run = runBuilder(source, output);
    EXPECT_EQ(run.exitCode, 1);
    const QString src = source + u'/';
    const QString teoria = src + QStringLiteral("db/teoria.tsv");
    for (const QString& fault : QStringList{
             teoria + QStringLiteral(", line 3: Data/Present/modeli.ppt is made from no source; "
                                     "write slides/modeli.txt"),
             teoria + QStringLiteral(", line 5: Абсолютный номер is \"4\" where the row's "
                                     "position 3 belongs"),
             teoria + QStringLiteral(", line 5: the title \"модели сетей\" begins with \"Модели\""),
             teoria + QStringLiteral(", line 6: Абсолютный номер is \"5\""),
             teoria + QStringLiteral(", line 7: Индекс 1 where the section it follows, 4, belongs"),
             teoria + QStringLiteral(", line 8: the title \"Что такое IP?\" names a file and "
                                     "cannot hold \"?\""),
             teoria + QStringLiteral(", line 8: the topic \"Что такое IP?\" has no page "
                                     "pages/Что такое IP?.html"),
             src + QStringLiteral("pages/Адреса.html: the heading \"Адресация\" is not the "
                                  "topic's title \"Адреса\""),
             src + QStringLiteral("pages/IPv4.html: the picture pictures/ipv4.svg does not exist"),
             src + QStringLiteral("pages/Маски.html: no topic of teoria is titled \"Маски\""),
             src +
                 QStringLiteral("documents/prak1.html, line 1: the fragment must begin with <h1>"),
             src + QStringLiteral("db/dopolnenie.tsv, line 2: Data/glossariy.htm is made from no "
                                  "source; write documents/glossariy.html"),
             src + QStringLiteral("db/dopolnenie.tsv, line 3: no title"),
             src + QStringLiteral("videos/paket.txt, line 2: no box or point named \"a\""),
             src + QStringLiteral("questions.txt, line 4: \"Ответ\" after 2 options"),
         })
        EXPECT_TRUE(run.errors.contains(QStringLiteral("kesta-course-builder: ") + fault))
            << fault.toStdString() << "\n--- in ---\n"
            << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(out(QStringLiteral("Kesta.db"))))
        << "a failed build leaves no database, so the next build runs again";
}

TEST_F(BuilderTest, TheQuestionBankComesFromOneSource) {
    write(QStringLiteral("questions.txt"), "Вопрос?\nA) а\nB) б\nC) в\nD) г\nE) д\nОтвет: A\n");
    write(QStringLiteral("db/test.tsv"), "Вопрос\tПравильный_ответ\nДругой\tB\n");
    const BuilderRun run = runBuilder(source, output);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        run.errors.contains(QStringLiteral("questions.txt and db/test.tsv both hold the "
                                           "question bank")))
        << run.errors.toStdString();
}

TEST_F(BuilderTest, ReadyMadeFilesAndPasswordsOfTheTablesAreKept) {
    write(QStringLiteral("db/users.tsv"),
          "Логин\tПароль\tПримечание\r\nteacher\tсекрет\tadmin\r\n");
    write(QStringLiteral("db/test.tsv"),
          "Вопрос\tПравильный_ответ\tНомер_вопроса\nЧто это?\\nA) сеть\\tB) \\\\узел\tA\t\n");
    write(QStringLiteral("db/teoria.tsv"),
          "Абсолютный номер\tИндекс\tНазвание темы\tНаименование\n0\t0\tСохранённая\tcopy.htm\n");
    write(QStringLiteral("Data/Сохранённая.mht"), "saved elsewhere");
    write(QStringLiteral("Data/Present/Сети.pptx"), "pptx");
    write(QStringLiteral("db/presentacia.tsv"),
          "Название темы\tНаименование файла\nСети\tСети.pptx\n");

    const BuilderRun run = runBuilder(source, output);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(fileBytes(out(QStringLiteral("Data/Сохранённая.mht"))), "saved elsewhere")
        << "a page may come ready-made instead of from pages/";
    EXPECT_TRUE(QFile::exists(out(QStringLiteral("Data/Present/Сети.pptx"))));

    TConnection connection;
    connection.open(out(QStringLiteral("Kesta.db")), TDataModule1::DatabasePassword);
    const QStringList passwords =
        column(connection, QStringLiteral("users"), QStringLiteral("Пароль"));
    ASSERT_EQ(passwords.size(), 1);
    EXPECT_TRUE(passwordMatches(QStringLiteral("секрет"), passwords[0]))
        << "passwords are stored as hashes";
    EXPECT_EQ(column(connection, QStringLiteral("test"), QStringLiteral("Вопрос")),
              QStringList{QStringLiteral("Что это?\nA) сеть\tB) \\узел")});
    EXPECT_EQ(column(connection, QStringLiteral("test"), QStringLiteral("Номер_вопроса")),
              QStringList{QString()})
        << "an empty cell of a number column holds no value";

    // Building again replaces the database rather than adding to it.
    connection.close();
    ASSERT_EQ(runBuilder(source, output).exitCode, 0);
    connection.open(out(QStringLiteral("Kesta.db")), TDataModule1::DatabasePassword);
    EXPECT_EQ(column(connection, QStringLiteral("users"), QStringLiteral("Логин")),
              QStringList{"teacher"});
}

TEST_F(BuilderTest, BadTableRowsStopTheBuildWithTheirPlace) {
    write(QStringLiteral("db/test.tsv"), "Вопрос\tПравильный_ответ\nПервый\tA\nВторой\n");
    BuilderRun run = runBuilder(source, output);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        run.errors.contains(QStringLiteral("db/test.tsv, line 3: 1 cells where the header "
                                           "names 2")))
        << run.errors.toStdString();

    write(QStringLiteral("db/test.tsv"), "Вопрос\tПравильный_ответ\nПервый\tAB\n");
    run = runBuilder(source, output);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("db/test.tsv, line 2: ")) &&
                run.errors.contains(QStringLiteral("Правильный_ответ")))
        << run.errors.toStdString();
}

}  // namespace
