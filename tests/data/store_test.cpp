// The store in an SQLite file: encryption with the database password, files made without
// a key, missing files, counters.

#include <QFile>

#include "data/database_error.h"
#include "data/password.h"
#include "data/sqlite_store.h"
#include "support/course_fixture.h"

namespace {

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDatabaseError& error) {
        return error.message();
    }
    return {};
}

TEST(SqliteStoreTest, KeyedFileIsUnreadableWithoutThePassword) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kesta.db"));
    makeCourseDatabase(path, QStringLiteral("Ломтеривка"));
    {
        TConnection connection;
        connection.open(path, QStringLiteral("Ломтеривка"));
        addRow(connection, QStringLiteral("test"),
               {{QStringLiteral("Вопрос"), QStringLiteral("SECRET-QUESTION")},
                {QStringLiteral("Правильный_ответ"), QStringLiteral("C")}});
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains("SECRET-QUESTION"));
    EXPECT_FALSE(bytes.startsWith("SQLite format 3"));

    const QString wrong = errorOf([&] { SqliteStore::open(path, QStringLiteral("другой")); });
    EXPECT_TRUE(wrong.contains(QStringLiteral("другим паролем"))) << wrong.toStdString();

    auto store = SqliteStore::open(path, QStringLiteral("Ломтеривка"));
    const auto rows = store->readRows(QStringLiteral("test"), {QStringLiteral("Вопрос")});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].values[0].toString(), "SECRET-QUESTION");
}

TEST(SqliteStoreTest, FileMadeWithoutAKeyOpensWithThePassword) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kesta.db"));
    makeCourseDatabase(path, QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(15) == "SQLite format 3");
    EXPECT_NO_THROW(SqliteStore::open(path, QStringLiteral("Ломтеривка")));
}

TEST(SqliteStoreTest, MissingOrForeignFileIsAnErrorThatNamesIt) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kesta.db"));
    const QString missing = errorOf([&] { SqliteStore::open(path, QStringLiteral("x")); });
    EXPECT_TRUE(missing.contains(QStringLiteral("Kesta.db"))) << missing.toStdString();
    EXPECT_TRUE(missing.contains(folder.path())) << missing.toStdString();
    EXPECT_FALSE(QFile::exists(path)) << "opening never creates the file";

    QFile text(path);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(4096, 'x'));
    text.close();
    EXPECT_FALSE(errorOf([&] { SqliteStore::open(path, QStringLiteral("x")); }).isEmpty());
}

TEST(SqliteStoreTest, CountersAreAssignedAndNeverReused) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kesta.db"));
    makeCourseDatabase(path, QString());
    auto store = SqliteStore::open(path, QString());
    const QStringList columns{QStringLiteral("Номер"), QStringLiteral("Вопрос")};
    const StoreRow first = store->insertRow(QStringLiteral("test"), {QStringLiteral("Вопрос")},
                                            {QStringLiteral("a")}, columns);
    const StoreRow second = store->insertRow(QStringLiteral("test"), {}, {}, columns);
    EXPECT_EQ(first.values[0].toLongLong(), 1);
    EXPECT_EQ(second.values[0].toLongLong(), 2);
    EXPECT_FALSE(second.values[1].isValid()) << "a row with nothing written holds no values";
    store->deleteRow(QStringLiteral("test"), second.key);
    const StoreRow third = store->insertRow(QStringLiteral("test"), {}, {}, columns);
    EXPECT_EQ(third.values[0].toLongLong(), 3);
    EXPECT_THROW(store->columns(QStringLiteral("нет_такой")), EDatabaseError);
}

TEST(PasswordTest, HashesVerifyAndOldPlainValuesCompareAsTyped) {
    const QString hash = hashPassword(QStringLiteral("Пароль-1"));
    EXPECT_TRUE(isPasswordHash(hash));
    EXPECT_NE(hash, hashPassword(QStringLiteral("Пароль-1"))) << "each hash has its own salt";
    EXPECT_TRUE(passwordMatches(QStringLiteral("Пароль-1"), hash));
    EXPECT_FALSE(passwordMatches(QStringLiteral("пароль-1"), hash));
    EXPECT_TRUE(passwordMatches(QStringLiteral(""), hashPassword(QString())));

    EXPECT_FALSE(isPasswordHash(QStringLiteral("secret")));
    EXPECT_TRUE(passwordMatches(QStringLiteral("secret"), QStringLiteral("secret")));
    EXPECT_FALSE(passwordMatches(QStringLiteral("Secret"), QStringLiteral("secret")));
}

}  // namespace
