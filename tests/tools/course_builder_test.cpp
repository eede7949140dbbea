// The course builder, run as the build runs it, and the demo course it stages.

#include <QDir>
#include <QFile>
#include <QProcess>

#include "app/dm.h"
#include "data/password.h"
#include "support/course_fixture.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int runBuilder(const QString& source, const QString& output, QString* errors) {
    QProcess builder;
    builder.start(QStringLiteral(KESTA_COURSE_BUILDER), {source, output});
    EXPECT_TRUE(builder.waitForFinished(60000));
    *errors = QString::fromLocal8Bit(builder.readAllStandardError());
    return builder.exitCode();
}

QStringList column(TConnection& connection, const QString& table, const QString& name) {
    TTable rows(&connection, table);
    rows.open();
    QStringList result;
    for (rows.first(); !rows.eof(); rows.next())
        result.append(rows.fieldByName(name).asString());
    return result;
}

TEST(CourseBuilderTest, BuildsTheDatabaseFromTheSourcesAndCopiesTheDocuments) {
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("src"));
    const QString output = folder.filePath(QStringLiteral("out"));
    QFile::copy(QStringLiteral(KESTA_SCHEMA_FILE), source + QStringLiteral("/schema.sql"));
    QDir().mkpath(source);
    QFile::copy(QStringLiteral(KESTA_SCHEMA_FILE), source + QStringLiteral("/schema.sql"));
    writeFile(source + QStringLiteral("/db/users.tsv"),
              "Логин\tПароль\tПримечание\r\nteacher\tсекрет\tadmin\r\n");
    writeFile(source + QStringLiteral("/db/test.tsv"),
              "Вопрос\tПравильный_ответ\tНомер_вопроса\nЧто это?\\nA) сеть\\tB) \\\\узел\tA\t\n");
    writeFile(source + QStringLiteral("/Data/Present/Сети.pptx"), "pptx");

    QString errors;
    ASSERT_EQ(runBuilder(source, output, &errors), 0) << errors.toStdString();
    EXPECT_TRUE(QFile::exists(output + QStringLiteral("/Data/Present/Сети.pptx")));

    TConnection connection;
    connection.open(output + QStringLiteral("/Kesta.db"), TDataModule1::DatabasePassword);
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
    ASSERT_EQ(runBuilder(source, output, &errors), 0);
    connection.close();
    connection.open(output + QStringLiteral("/Kesta.db"), TDataModule1::DatabasePassword);
    EXPECT_EQ(column(connection, QStringLiteral("users"), QStringLiteral("Логин")),
              QStringList{"teacher"});
}

TEST(CourseBuilderTest, BadSourceRowsStopTheBuildWithTheirPlace) {
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("src"));
    QDir().mkpath(source);
    QFile::copy(QStringLiteral(KESTA_SCHEMA_FILE), source + QStringLiteral("/schema.sql"));
    writeFile(source + QStringLiteral("/db/test.tsv"),
              "Вопрос\tПравильный_ответ\nПервый\tA\nВторой\n");
    QString errors;
    EXPECT_NE(runBuilder(source, folder.filePath(QStringLiteral("out")), &errors), 0);
    EXPECT_TRUE(errors.contains(QStringLiteral("row 3"))) << errors.toStdString();

    writeFile(source + QStringLiteral("/db/test.tsv"), "Вопрос\tПравильный_ответ\nПервый\tAB\n");
    EXPECT_NE(runBuilder(source, folder.filePath(QStringLiteral("out")), &errors), 0);
    EXPECT_TRUE(errors.contains(QStringLiteral("Правильный_ответ"))) << errors.toStdString();
}

TEST(DemoCourseTest, StagedCourseHasTheAccountsTheReadmeNames) {
    const QString course = QStringLiteral(KESTA_COURSE_DIR);
    for (const char* file : {"kesta", "Kesta.db", "titl.bmp", "Data/titl1.bmp"})
        EXPECT_TRUE(QFile::exists(course + u'/' + QLatin1String(file))) << file;
    TConnection connection;
    connection.open(course + QStringLiteral("/Kesta.db"), TDataModule1::DatabasePassword);
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
}

}  // namespace
