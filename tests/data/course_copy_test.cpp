// A course copied from its file to a class server and back: every table and row in stored
// order under the same keys, the record of keys given kept; nothing half-written when a copy
// fails; the class server named by a working folder's Kesta.server.

#include <QFile>
#include <QTemporaryDir>

#include "app/course_file.h"
#include "data/course_copy.h"
#include "data/database_error.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
#include "support/course_fixture.h"
#include "support/pg_server.h"

namespace {

int databases = 0;

// Every table's rows with their keys, as text, for comparing whole courses.
template <class S>
QStringList dump(S& store) {
    QStringList lines;
    for (const QString& table : store.tables()) {
        QStringList names;
        for (const StoreColumn& column : store.columns(table))
            names.append(column.name + u':' + column.declaredType + (column.counter ? u'*' : u' '));
        lines.append(table + u' ' + names.join(u','));
        QStringList plain;
        for (const StoreColumn& column : store.columns(table))
            if (!column.counter) plain.append(column.name);
        for (const StoreRow& row : store.readRows(table, plain)) {
            QStringList values;
            for (const QVariant& value : row.values)
                values.append(value.isNull() ? QStringLiteral("<null>")
                              : value.typeId() == QMetaType::QDate ? value.toDate().toString(Qt::ISODate)
                                                                    : value.toString());
            lines.append(QString::number(row.key) + u' ' + values.join(u'|'));
        }
        lines.append(QStringLiteral("keys given: ") + QString::number(store.keyHighWater(table)));
    }
    return lines;
}

class CourseCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestPgServer::shared().running())
            GTEST_SKIP() << TestPgServer::shared().problem().toStdString();
        server = TestPgServer::shared().createDatabase(QStringLiteral("copy_%1").arg(++databases));
        path = folder.filePath(QStringLiteral("Kesta.db"));
        makeCourseDatabase(path, QStringLiteral("Ломтеривка"));
        TConnection connection;
        connection.open(path, QStringLiteral("Ломтеривка"));
        for (int i = 1; i <= 5; ++i)
            addRow(connection, QStringLiteral("test"),
                   {{QStringLiteral("Номер_вопроса"), i},
                    {QStringLiteral("Вопрос"), QStringLiteral("Вопрос %1\nA) да").arg(i)},
                    {QStringLiteral("Правильный_ответ"), QStringLiteral("A")}});
        addRow(connection, QStringLiteral("result"),
               {{QStringLiteral("Логин_студента"), QStringLiteral("иванов")},
                {QStringLiteral("Дата_тестирования"), QDate(2026, 12, 11)},
                {QStringLiteral("Количество вопросов"), 31},
                {QStringLiteral("Оценка"), QStringLiteral("B")}});
        addRow(connection, QStringLiteral("teoria"), {{QStringLiteral("Название темы"), QStringLiteral("Модели")}});
        addRow(connection, QStringLiteral("teoria"), {{QStringLiteral("Название темы"), QStringLiteral("OSI")}});
        // The last question and topic are gone: their keys must stay given.
        Store& store = connection.store();
        const QVector<StoreRow> questions = store.readRows(QStringLiteral("test"), {});
        store.deleteRow(QStringLiteral("test"), questions.last().key);
        const QVector<StoreRow> topics = store.readRows(QStringLiteral("teoria"), {});
        store.deleteRow(QStringLiteral("teoria"), topics.last().key);
    }

    QTemporaryDir folder;
    QString path;
    QString server;
};

TEST_F(CourseCopyTest, UploadThenDownloadGivesTheSameCourse) {
    auto file = SqliteStore::open(path, QStringLiteral("Ломтеривка"));
    const QStringList original = dump(*file);
    auto pg = PgStore::connect(server);
    QStringList told;
    uploadCourse(*file, *pg, [&](const QString& table, qint64 done, qint64 total) {
        told.append(QStringLiteral("%1 %2/%3").arg(table).arg(done).arg(total));
    });
    EXPECT_TRUE(told.contains(QStringLiteral("test 4/4"))) << told.join(u';').toStdString();
    EXPECT_EQ(dump(*pg), original);

    const QString back = folder.filePath(QStringLiteral("back.db"));
    downloadCourse(*pg, back, QStringLiteral("Ломтеривка"));
    auto copy = SqliteStore::open(back, QStringLiteral("Ломтеривка"));
    EXPECT_EQ(dump(*copy), original);
    EXPECT_FALSE(QFile::exists(back + QStringLiteral(".part")));

    // New rows on the server go on after the copied ones, in a table with rows deleted and
    // in one without.
    const qint64 lastResult = file->readRows(QStringLiteral("result"), {}).last().key;
    EXPECT_GT(pg->insertRow(QStringLiteral("result"), {QStringLiteral("Оценка")}, {QStringLiteral("A")}, {}).key,
              lastResult);
    // Keys once given stay given on the server and in the file brought back.
    const qint64 deleted = file->keyHighWater(QStringLiteral("test"));
    EXPECT_GT(pg->insertRow(QStringLiteral("test"), {QStringLiteral("Вопрос")}, {QStringLiteral("новый")}, {}).key,
              deleted);
    EXPECT_GT(copy->insertRow(QStringLiteral("teoria"), {QStringLiteral("Индекс")}, {0}, {}).key,
              file->keyHighWater(QStringLiteral("teoria")));

    // Neither copy goes over a course already there.
    EXPECT_THROW(uploadCourse(*file, *pg), EDatabaseError);
    EXPECT_THROW(downloadCourse(*pg, back, QStringLiteral("Ломтеривка")), EDatabaseError);
    EXPECT_EQ(dump(*copy).size(), original.size() + 1);
}

TEST_F(CourseCopyTest, AFailedUploadLeavesTheServerEmpty) {
    // A table of the same name already on the server stops the copy part way.
    auto pg = PgStore::connect(server);
    pg->execute(QStringLiteral("CREATE TABLE video (x integer)"));
    auto file = SqliteStore::open(path, QStringLiteral("Ломтеривка"));
    EXPECT_THROW(uploadCourse(*file, *pg), EDatabaseError);
    EXPECT_TRUE(pg->tables().isEmpty()) << "nothing of the course is left on the server";
    EXPECT_THROW(pg->readRows(QStringLiteral("users"), {}), EDatabaseError);

    const QString back = folder.filePath(QStringLiteral("back.db"));
    EXPECT_THROW(downloadCourse(*pg, back, QString()), EDatabaseError) << "no course to bring back";
    EXPECT_FALSE(QFile::exists(back));
    EXPECT_FALSE(QFile::exists(back + QStringLiteral(".part")));
}

TEST(CourseServerFileTest, NamesTheFirstLineThatIsNotAComment) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kesta.server"));
    EXPECT_THROW(courseServer(path), EDatabaseError) << "no file";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# the class server\n\n  host=server.school dbname=kesta  \nignored\n");
    file.close();
    EXPECT_EQ(courseServer(path), QStringLiteral("host=server.school dbname=kesta"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("# nothing\n\n");
    file.close();
    try {
        courseServer(path);
        ADD_FAILURE() << "a file naming no server was taken";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Файл «Kesta.server» не называет сервер курса"));
    }
}

}  // namespace
