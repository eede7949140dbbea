// Answer records and their hand-in: the columns an older course database gains, without
// losing a record, and the numbering of hand-ins.

#include "results/hand_in_records.h"
#include "app/course_file.h"
#include "data/sqlite_store.h"
#include "support/course_fixture.h"

namespace {

// A course database written before answer records carried their hand-in.
class OlderCourseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("Kesta.db"));
        auto store = SqliteStore::create(path, QStringLiteral("пароль"));
        store->execute(QStringLiteral(
            "CREATE TABLE proverka (\"Логин_студента\" TEXT, \"Дата_тестирования\" DATE, "
            "\"Ответ_студента\" VARCHAR(1), \"Правильный_ответ\" VARCHAR(1), "
            "\"Вид_тестирования\" TEXT, \"Вопрос\" TEXT);"
            "CREATE TABLE testing (\"Номер\" INTEGER, \"Номер1\" INTEGER, \"Ответ\" VARCHAR(1));"
            "CREATE TABLE users (\"Логин\" TEXT, \"Пароль\" TEXT, \"Примечание\" TEXT);"
            "INSERT INTO proverka VALUES ('Иван', '2025-05-20', 'B', 'C', 'Итоговый', "
            "'Сколько?');"));
    }
    QTemporaryDir folder;
    QString path;
};

TEST_F(OlderCourseTest, GainsTheColumnsAndKeepsItsRecords) {
    TConnection connection;
    connection.open(path, QStringLiteral("пароль"));
    upgradeCourseFile(connection);
    upgradeCourseFile(connection);  // a second start finds them there
    QStringList names;
    for (const StoreColumn& column : connection.store().columns(QStringLiteral("proverka")))
        names.append(column.name);
    EXPECT_EQ(names, (QStringList{"Логин_студента", "Дата_тестирования", "Ответ_студента",
                                  "Правильный_ответ", "Вид_тестирования", "Вопрос", "Номер_сдачи",
                                  "Номер_в_базе"}));
    TTable proverka(&connection, QStringLiteral("proverka"));
    proverka.open();
    ASSERT_EQ(proverka.recordCount(), 1);
    EXPECT_EQ(proverka.fieldByName(QStringLiteral("Логин_студента")).asString(), "Иван");
    EXPECT_EQ(proverka.fieldByName(QStringLiteral("Дата_тестирования")).asDate(),
              QDate(2025, 5, 20));
    EXPECT_EQ(proverka.fieldByName(QStringLiteral("Вопрос")).asString(), "Сколько?");
    EXPECT_TRUE(proverka.fieldByName(kHandInColumn).isNull());
    EXPECT_TRUE(proverka.fieldByName(kQuestionKeyColumn).isNull());
    EXPECT_EQ(nextHandInNumber(connection), 1);
    proverka.edit();
    proverka.fieldByName(kHandInColumn).setValue(41);
    proverka.post();
    EXPECT_EQ(nextHandInNumber(connection), 42);
}

}  // namespace
