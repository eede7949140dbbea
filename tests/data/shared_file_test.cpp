// Two programs on one course file, each with its own connection: what one writes never
// overwrites what the other did not see, logins stay unique, and the file's own rules hold.

#include <QFile>
#include <atomic>
#include <thread>

#include "app/accounts.h"
#include "app/course_file.h"
#include "data/database_error.h"
#include "data/sqlite_store.h"
#include "support/course_fixture.h"
#include "support/failing_store.h"

namespace {

const QString kPassword = QStringLiteral("пароль");
const QString kTitle = QStringLiteral("Название темы");
const QString kLogin = QStringLiteral("Логин");
const QString kConflict =
    QStringLiteral("Запись изменена или удалена на другом компьютере. Данные обновлены.");

class SharedFileTest : public DatabaseTest {
protected:
    SharedFileTest() { other.open(databasePath, kPassword); }

    std::unique_ptr<TTable> otherTable(const QString& name) {
        auto result = std::make_unique<TTable>(&other, name);
        result->open();
        return result;
    }
    static QStringList column(TTable& table, const QString& name) {
        QStringList values;
        for (table.first(); !table.eof(); table.next())
            values.append(table.fieldByName(name).asString());
        return values;
    }
    // What the file holds, read by a third program.
    QStringList stored(const QString& table, const QString& name) {
        TConnection reader;
        reader.open(databasePath, kPassword);
        TTable rows(&reader, table);
        rows.open();
        return column(rows, name);
    }
    void addTopics(const QStringList& titles) {
        for (const QString& title : titles) add(QStringLiteral("teoria"), {{kTitle, title}});
    }
    // Runs a write that must fail because the other program changed its row, and checks
    // that the user is told so.
    static void expectConflict(const std::function<void()>& write) {
        try {
            write();
            ADD_FAILURE() << "the write went through";
        } catch (const ERowConflict& conflict) {
            EXPECT_EQ(conflict.message(), kConflict);
        }
    }

    TConnection other;
};

TEST_F(SharedFileTest, EditAfterRowsWereInsertedOrChangedElsewhereOverwritesNothing) {
    addTopics({"Один", "Два", "Три"});
    auto mine = table(QStringLiteral("teoria"));
    auto theirs = otherTable(QStringLiteral("teoria"));

    // The other program puts a topic after the first: the later rows move in stored order.
    theirs->first();
    theirs->insertAfter(theirs->bookmark());
    theirs->fieldByName(kTitle).setValue(QStringLiteral("Вставка"));
    theirs->post();
    ASSERT_EQ(stored("teoria", kTitle), (QStringList{"Один", "Вставка", "Два", "Три"}));

    // This program still shows the rows as they were: its edit of the second row must not
    // land on the row now stored in that place, nor anywhere else.
    mine->setRecNo(2);
    mine->edit();
    mine->fieldByName(kTitle).setValue(QStringLiteral("Два, правка"));
    expectConflict([&] { mine->post(); });
    EXPECT_EQ(mine->state(), DataSetState::Browse) << "the edit is dropped";
    EXPECT_EQ(column(*mine, kTitle), (QStringList{"Один", "Вставка", "Два", "Три"}))
        << "the table is read again";
    EXPECT_EQ(stored("teoria", kTitle), (QStringList{"Один", "Вставка", "Два", "Три"}));

    // Now it sees the row, the same edit goes through.
    mine->setRecNo(3);
    mine->edit();
    mine->fieldByName(kTitle).setValue(QStringLiteral("Два, правка"));
    mine->post();
    EXPECT_EQ(stored("teoria", kTitle), (QStringList{"Один", "Вставка", "Два, правка", "Три"}));

    // A row the other program changed since: neither its value nor this one's is lost
    // silently; the other's stays and this program is told.
    theirs->refresh();
    theirs->last();
    theirs->edit();
    theirs->fieldByName(kTitle).setValue(QStringLiteral("Три от соседа"));
    theirs->post();
    mine->last();
    mine->edit();
    mine->fieldByName(kTitle).setValue(QStringLiteral("Три от меня"));
    expectConflict([&] { mine->post(); });
    mine->last();
    EXPECT_EQ(mine->fieldByName(kTitle).asString(), "Три от соседа");
    EXPECT_EQ(stored("teoria", kTitle).last(), "Три от соседа");
}

TEST_F(SharedFileTest, RowDeletedElsewhereCannotBeEditedOrDeletedAgain) {
    addTopics({"Один", "Два", "Три"});
    auto mine = table(QStringLiteral("teoria"));
    auto theirs = otherTable(QStringLiteral("teoria"));
    theirs->setRecNo(2);
    theirs->deleteRecord();

    mine->setRecNo(2);
    mine->edit();
    mine->fieldByName(kTitle).setValue(QStringLiteral("Два, правка"));
    expectConflict([&] { mine->post(); });
    EXPECT_EQ(column(*mine, kTitle), (QStringList{"Один", "Три"}));

    // Deleting a row already gone elsewhere is told as well, and takes no other row.
    theirs->last();
    theirs->deleteRecord();
    mine->last();
    expectConflict([&] { mine->deleteRecord(); });
    EXPECT_EQ(column(*mine, kTitle), (QStringList{"Один"}));
    EXPECT_EQ(stored("teoria", kTitle), (QStringList{"Один"}));
}

TEST_F(SharedFileTest, KeysOfDeletedRowsAreNeverGivenAgain) {
    addTopics({"Один", "Два", "Три"});
    auto mine = table(QStringLiteral("teoria"));
    mine->last();
    const qint64 last = mine->bookmark();
    mine->deleteRecord();
    mine->last();
    mine->deleteRecord();
    // A program still showing the deleted rows must not find its key on a new one.
    auto theirs = otherTable(QStringLiteral("teoria"));
    theirs->append();
    theirs->fieldByName(kTitle).setValue(QStringLiteral("Новая"));
    theirs->post();
    EXPECT_GT(theirs->bookmark(), last);

    // Nor after the file is opened again, nor after a row is put in the middle.
    other.close();
    other.open(databasePath, kPassword);
    theirs = otherTable(QStringLiteral("teoria"));
    theirs->first();
    const qint64 before = theirs->bookmark();
    theirs->insertAfter(before);
    theirs->fieldByName(kTitle).setValue(QStringLiteral("Середина"));
    theirs->post();
    EXPECT_GT(theirs->bookmark(), last);
    EXPECT_EQ(column(*theirs, kTitle), (QStringList{"Один", "Середина", "Новая"}));
}

TEST_F(SharedFileTest, OneLoginOneAccountInAnyLetterCase) {
    add(QStringLiteral("users"), {{kLogin, QStringLiteral("Иван")}});
    EXPECT_TRUE(secureUniqueLogins(connection).isEmpty());
    EXPECT_TRUE(secureUniqueLogins(other).isEmpty()) << "a second program finds the rule made";

    // Both programs read the accounts before either registers: each checks the file itself.
    auto mine = table(QStringLiteral("users"));
    auto theirs = otherTable(QStringLiteral("users"));
    EXPECT_EQ(registerAccount(connection, mine.get(), QStringLiteral("Пётр"), QStringLiteral("h")),
              Registration::Registered);
    EXPECT_EQ(mine->fieldByName(kLogin).asString(), "Пётр") << "the new account is current";
    EXPECT_EQ(registerAccount(other, theirs.get(), QStringLiteral("пЁТР"), QStringLiteral("h")),
              Registration::LoginTaken);
    EXPECT_EQ(theirs->state(), DataSetState::Browse) << "nothing is left pending";
    EXPECT_EQ(registerAccount(other, theirs.get(), QStringLiteral("ИВАН"), QStringLiteral("h")),
              Registration::LoginTaken);

    // A program that writes past the check still meets the file's own rule.
    theirs->append();
    theirs->fieldByName(kLogin).setValue(QStringLiteral("иВАН"));
    theirs->fieldByName(kLoginKeyColumn).setValue(loginKey(QStringLiteral("иВАН")));
    EXPECT_THROW(theirs->post(), EDatabaseError);
    EXPECT_EQ(theirs->state(), DataSetState::Browse) << "the failed save drops its row";
    EXPECT_EQ(stored("users", kLogin), (QStringList{"Иван", "Пётр"}));
    EXPECT_EQ(stored("users", kLoginKeyColumn), (QStringList{"иван", "пётр"}));
}

TEST_F(SharedFileTest, RepeatedLoginsOfAnOlderFileAreReportedAndKept) {
    for (const char* login : {"Анна", "Борис", "анна", "АННА", "борис", "Вера"})
        add(QStringLiteral("users"), {{kLogin, QString::fromUtf8(login)}});
    EXPECT_EQ(secureUniqueLogins(connection), (QStringList{"Анна", "Борис"}));
    EXPECT_EQ(stored("users", kLogin).size(), 6) << "nothing is deleted";
    // The first account of each login holds its key, and the rule is made at once.
    EXPECT_EQ(stored("users", kLoginKeyColumn),
              (QStringList{"анна", "борис", "", "", "", "вера"}));
    EXPECT_EQ(secureUniqueLogins(other), (QStringList{"Анна", "Борис"}))
        << "told again at every start, and nothing written";
    auto users = table(QStringLiteral("users"));
    EXPECT_EQ(registerAccount(connection, users.get(), QStringLiteral("бОРИС"), {}),
              Registration::LoginTaken);
    users->append();
    users->fieldByName(kLogin).setValue(QStringLiteral("ВЕРА"));
    users->fieldByName(kLoginKeyColumn).setValue(loginKey(QStringLiteral("ВЕРА")));
    EXPECT_THROW(users->post(), EDatabaseError);

    // Once the first "Анна" is gone, a later one takes the key; the repeats left are told.
    users->first();
    users->deleteRecord();
    EXPECT_EQ(secureUniqueLogins(connection), (QStringList{"анна", "Борис"}));
    EXPECT_EQ(stored("users", kLoginKeyColumn), (QStringList{"борис", "анна", "", "", "вера"}));
    // An account written by another program without its key gets it at the next start.
    add(QStringLiteral("users"), {{kLogin, QStringLiteral("Глеб")}});
    EXPECT_EQ(secureUniqueLogins(connection), (QStringList{"анна", "Борис"}));
    EXPECT_EQ(stored("users", kLoginKeyColumn).last(), "глеб");
}

TEST_F(SharedFileTest, UpgradeOfAnOlderFileByTwoProgramsAddsEachColumnOnce) {
    // A file of an older version: the answer records, the running test and the accounts
    // lack the columns.
    QFile::remove(databasePath);
    connection.close();
    other.close();
    {
        auto store = SqliteStore::create(databasePath, kPassword);
        store->execute(QStringLiteral(
            "CREATE TABLE proverka (Номер INTEGER PRIMARY KEY AUTOINCREMENT, Вопрос TEXT);"
            "CREATE TABLE testing (Номер INTEGER PRIMARY KEY AUTOINCREMENT, Вопрос TEXT);"
            "CREATE TABLE users (Логин TEXT, Пароль TEXT, Примечание TEXT);"
            "INSERT INTO proverka (Вопрос) VALUES ('старый');"));
    }
    connection.open(databasePath, kPassword);
    other.open(databasePath, kPassword);
    // Both read the table's columns before either upgrades.
    ASSERT_EQ(connection.store().columns(QStringLiteral("proverka")).size(), 2);
    ASSERT_EQ(other.store().columns(QStringLiteral("proverka")).size(), 2);
    upgradeCourseFile(connection);
    EXPECT_NO_THROW(upgradeCourseFile(other));
    QStringList names;
    for (const StoreColumn& c : other.store().columns(QStringLiteral("proverka")))
        names.append(c.name);
    EXPECT_EQ(names.size(), 4) << names.join(u',').toStdString();
    EXPECT_EQ(stored("proverka", QStringLiteral("Вопрос")), QStringList{"старый"});
}

TEST_F(SharedFileTest, ASnapshotReadsOneMomentWhileAnotherProgramWrites) {
    addTopics({"Один"});
    const auto count = [this] {
        return connection.store().readRows(QStringLiteral("teoria"), {kTitle}).size();
    };
    std::atomic<bool> written{false};
    std::thread writer;
    connection.store().snapshot([&] {
        const auto before = count();
        // Another program adds a topic while the snapshot is being read.
        writer = std::thread([&] {
            auto store = SqliteStore::open(databasePath, kPassword);
            store->transaction([&] {
                store->insertRow(QStringLiteral("teoria"), {kTitle}, {QStringLiteral("Два")}, {});
            });
            written = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(count(), before) << "the reads see the moment they began at";
        EXPECT_FALSE(written) << "the write waits for the snapshot to end";
    });
    writer.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(count(), 2);
}

TEST(CourseFileTest, EmptyFileIsRefusedAndLeftAsItWas) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kesta.db"));
    QFile empty(path);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    TConnection connection;
    EXPECT_THROW(connection.open(path, kPassword), EDatabaseError);
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Kesta.db"})
        << "no journal is left beside it";
}

TEST_F(SharedFileTest, FailedSaveDropsItsRowAndTheNextSaveStoresOnlyWhatIsTyped) {
    add(QStringLiteral("users"), {{kLogin, QStringLiteral("Иван")}});
    auto users = table(QStringLiteral("users"));
    FailingStore& store = injectFailures(connection);
    users->append();
    users->fieldByName(kLogin).setValue(QStringLiteral("Мария"));
    store.failWrite(1);
    EXPECT_THROW(users->post(), EDatabaseError);
    EXPECT_EQ(users->state(), DataSetState::Browse);
    EXPECT_EQ(users->recordCount(), 1);
    store.failWrite(0);
    // Moving or saving again writes nothing that was dropped.
    users->checkBrowseMode();
    users->first();
    EXPECT_EQ(stored("users", kLogin), QStringList{"Иван"});
}

}  // namespace
