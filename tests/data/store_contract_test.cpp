// What every store promises the tables above it, checked on the course file and on a
// PostgreSQL server of the test's own: columns as declared, values as written, rows in stored
// order under keys never given twice, checked writes, steps written whole or not at all,
// added columns and unique indexes. On the server also: writing steps of several
// connections take their turns, and a server that went away is reached again.

#include <QDate>
#include <QTemporaryDir>
#include <algorithm>
#include <mutex>
#include <thread>

#include "data/database_error.h"
#include "data/field.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
#include "support/course_fixture.h"
#include "support/pg_server.h"

namespace {

const QVector<StoreColumn> kTopics{{QStringLiteral("Номер"), QStringLiteral("INTEGER"), false},
                                   {QStringLiteral("Название"), QStringLiteral("VARCHAR(50)"), false},
                                   {QStringLiteral("Дата"), QStringLiteral("DATE"), false},
                                   {QStringLiteral("Балл"), QStringLiteral("REAL"), false},
                                   {QStringLiteral("Файл"), QStringLiteral("BLOB"), false}};
const QVector<StoreColumn> kBank{
    {QStringLiteral("Номер"), QStringLiteral("INTEGER"), true},
    {QStringLiteral("Вопрос"), QStringLiteral("TEXT"), false}};

int databases = 0;

// One kind of store, made empty with the two tables of the tests.
struct StoreKind {
    const char* name;
    std::function<std::unique_ptr<Store>(QTemporaryDir&)> make;
};

std::unique_ptr<Store> makeFile(QTemporaryDir& folder) {
    auto store = SqliteStore::create(folder.filePath(QStringLiteral("Kesta.db")), QString());
    store->execute(QStringLiteral(
        "CREATE TABLE topics (\"Номер\" INTEGER, \"Название\" VARCHAR(50), \"Дата\" DATE, "
        "\"Балл\" REAL, \"Файл\" BLOB);"
        "CREATE TABLE bank (\"Номер\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Вопрос\" TEXT);"));
    return store;
}

std::unique_ptr<Store> makeServer(QTemporaryDir&) {
    TestPgServer& server = TestPgServer::shared();
    if (!server.running()) return nullptr;
    auto store = PgStore::connect(
        server.createDatabase(QStringLiteral("contract_%1").arg(++databases)));
    store->createTable(QStringLiteral("topics"), kTopics);
    store->createTable(QStringLiteral("bank"), kBank);
    return store;
}

class StoreContractTest : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override {
        store = GetParam().make(folder);
        if (!store) GTEST_SKIP() << TestPgServer::shared().problem().toStdString();
    }
    QVector<qint64> keys(const QString& table) {
        QVector<qint64> result;
        for (const StoreRow& row : store->readRows(table, {}))
            result.append(row.key);
        return result;
    }
    QStringList names() {
        QStringList result;
        for (const StoreRow& row : store->readRows(QStringLiteral("topics"), {QStringLiteral("Название")}))
            result.append(row.values[0].toString());
        return result;
    }
    qint64 addTopic(const QString& name) {
        return store->insertRow(QStringLiteral("topics"), {QStringLiteral("Название")}, {name}, {}).key;
    }

    QTemporaryDir folder;
    std::unique_ptr<Store> store;
};

TEST_P(StoreContractTest, ColumnsReadAsDeclaredAndValuesAsWritten) {
    const QVector<StoreColumn> columns = store->columns(QStringLiteral("topics"));
    ASSERT_EQ(columns.size(), kTopics.size());
    for (int i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].name, kTopics[i].name);
        EXPECT_EQ(columns[i].declaredType, kTopics[i].declaredType);
        EXPECT_FALSE(columns[i].counter);
    }
    EXPECT_TRUE(store->columns(QStringLiteral("bank"))[0].counter);
    EXPECT_THROW(store->columns(QStringLiteral("nothing")), EDatabaseError);

    const QByteArray bytes("\0\x01\xff'\"\\x", 8);
    const QVector<QVariant> written{qlonglong(-7), QStringLiteral("Модель «OSI»; 'кавычки' \"и\" \\"),
                                    QDate(2026, 12, 11), 2.5, bytes};
    QStringList all;
    for (const StoreColumn& column : kTopics)
        all.append(column.name);
    const StoreRow stored = store->insertRow(QStringLiteral("topics"), all, written, all);
    const StoreRow empty = store->insertRow(QStringLiteral("topics"), {}, {}, all);
    // Read through the fields, as the tables read them: the same values on either store.
    const auto asField = [&](int column, const QVariant& value) {
        return fromStoredValue(fieldFromDeclaredType(kTopics[column].name, kTopics[column].declaredType, false),
                               value);
    };
    const QVector<StoreRow> rows = store->readRows(QStringLiteral("topics"), all);
    ASSERT_EQ(rows.size(), 2);
    for (int column = 0; column < all.size(); ++column) {
        // Bytes are bytes; the fields see them only as text.
        const auto read = [&](const QVariant& value) {
            return written[column].typeId() == QMetaType::QByteArray ? value : asField(column, value);
        };
        EXPECT_EQ(read(rows[0].values[column]), written[column]) << column;
        EXPECT_EQ(read(stored.values[column]), written[column]) << column;
        EXPECT_TRUE(rows[1].values[column].isNull()) << column;
        EXPECT_TRUE(empty.values[column].isNull()) << column;
    }
    EXPECT_EQ(store->maximum(QStringLiteral("topics"), QStringLiteral("Номер")).toLongLong(), -7);
    EXPECT_EQ(store->readRowsWhere(QStringLiteral("topics"), {}, QStringLiteral("Номер"), QStringLiteral("-7"))
                  .size(),
              1)
        << "a number written as text finds the number";
    EXPECT_EQ(store->readRowsWhere(QStringLiteral("topics"), {}, QStringLiteral("Номер"), QVariant()).size(), 1)
        << "an empty value finds the empty rows";
    EXPECT_FALSE(store->maximum(QStringLiteral("bank"), QStringLiteral("Вопрос")).isValid());
}

TEST_P(StoreContractTest, RowsKeepTheirOrderUnderKeysNeverGivenTwice) {
    const qint64 first = addTopic(QStringLiteral("первая"));
    const qint64 second = addTopic(QStringLiteral("вторая"));
    const qint64 third = addTopic(QStringLiteral("третья"));
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    store->deleteRow(QStringLiteral("topics"), third);
    const qint64 fourth = addTopic(QStringLiteral("четвёртая"));
    EXPECT_GT(fourth, third) << "the deleted row's key is not given again";

    const StoreRow between = store->insertRowAfter(QStringLiteral("topics"), first,
                                                   {QStringLiteral("Название")},
                                                   {QStringLiteral("между")}, {QStringLiteral("Название")});
    EXPECT_EQ(between.values[0].toString(), QStringLiteral("между"));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("первая"), QStringLiteral("между"),
                                    QStringLiteral("вторая"), QStringLiteral("четвёртая")}));
    const QVector<qint64> now = keys(QStringLiteral("topics"));
    EXPECT_EQ(now[0], first);
    for (qint64 key : now.mid(1))
        EXPECT_GT(key, fourth) << "the rows after it have keys never used";
    // A write naming an old key reaches no row.
    EXPECT_THROW(store->updateRow(QStringLiteral("topics"), second, {QStringLiteral("Название")},
                                  {QStringLiteral("x")}),
                 ERowConflict);
    EXPECT_THROW(store->deleteRow(QStringLiteral("topics"), fourth), ERowConflict);
    EXPECT_THROW(store->updateRow(QStringLiteral("topics"), third, {}, {}), ERowConflict);
    EXPECT_THROW(store->insertRowAfter(QStringLiteral("topics"), third, {}, {}, {}), ERowConflict);
    store->updateRow(QStringLiteral("topics"), first, {QStringLiteral("Название")}, {QStringLiteral("1")});
    EXPECT_EQ(store->readRow(QStringLiteral("topics"), first, {QStringLiteral("Название")})->values[0],
              QVariant(QStringLiteral("1")));
    // Before all rows: every row moves on to a new key.
    store->insertRowAfter(QStringLiteral("topics"), 0, {QStringLiteral("Название")},
                          {QStringLiteral("начало")}, {});
    EXPECT_EQ(names().first(), QStringLiteral("начало"));
    EXPECT_EQ(names().size(), 5);
    EXPECT_FALSE(store->readRow(QStringLiteral("topics"), first, {}).has_value());
    EXPECT_FALSE(store->readRow(QStringLiteral("topics"), third, {}).has_value());
}

TEST_P(StoreContractTest, RowsAddedTogetherComeInTheirOrderAllOrNone) {
    addTopic(QStringLiteral("до"));
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < 40; ++i)
        rows.append({QStringLiteral("вместе %1").arg(i), i});
    const QVector<StoreRow> stored = store->insertRows(
        QStringLiteral("topics"), {QStringLiteral("Название"), QStringLiteral("Номер")}, rows,
        {QStringLiteral("Номер")});
    ASSERT_EQ(stored.size(), 40);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(stored[i].values[0].toLongLong(), i);
        if (i > 0) {
            EXPECT_GT(stored[i].key, stored[i - 1].key);
        }
    }
    QStringList expected{QStringLiteral("до")};
    for (int i = 0; i < 40; ++i)
        expected.append(QStringLiteral("вместе %1").arg(i));
    EXPECT_EQ(names(), expected);
    // A row the store refuses keeps all of them out.
    store->addUniqueIndex(QStringLiteral("topics"), QStringLiteral("topics_names"), QStringLiteral("Название"));
    EXPECT_THROW(store->insertRows(QStringLiteral("topics"), {QStringLiteral("Название")},
                                   {{QStringLiteral("новая")}, {QStringLiteral("до")}}, {}),
                 EDatabaseError);
    EXPECT_EQ(names(), expected);
}

TEST_P(StoreContractTest, ACounterIsTheRowsKeyAndNeverComesBack) {
    const StoreRow a = store->insertRow(QStringLiteral("bank"), {QStringLiteral("Вопрос")},
                                        {QStringLiteral("а")}, {QStringLiteral("Номер")});
    const StoreRow b = store->insertRow(QStringLiteral("bank"), {QStringLiteral("Вопрос")},
                                        {QStringLiteral("б")}, {QStringLiteral("Номер")});
    EXPECT_EQ(a.values[0].toLongLong(), a.key);
    EXPECT_EQ(b.values[0].toLongLong(), b.key);
    store->deleteRow(QStringLiteral("bank"), b.key);
    const StoreRow c = store->insertRow(QStringLiteral("bank"), {QStringLiteral("Вопрос")},
                                        {QStringLiteral("в")}, {QStringLiteral("Номер")});
    EXPECT_GT(c.key, b.key);
    EXPECT_THROW(store->insertRowAfter(QStringLiteral("bank"), a.key, {}, {}, {}), EDatabaseError);
}

TEST_P(StoreContractTest, AStepIsWrittenWholeOrNotAtAll) {
    addTopic(QStringLiteral("до"));
    EXPECT_THROW(store->transaction([&] {
        addTopic(QStringLiteral("в шаге"));
        throw EDatabaseError(QStringLiteral("отказ"));
    }),
                 EDatabaseError);
    EXPECT_EQ(names(), QStringList{QStringLiteral("до")});
    // An inner step that fails is undone alone.
    store->transaction([&] {
        addTopic(QStringLiteral("внешний"));
        try {
            store->transaction([&] {
                addTopic(QStringLiteral("внутренний"));
                throw EDatabaseError(QStringLiteral("отказ"));
            });
        } catch (const EDatabaseError&) {
        }
    });
    EXPECT_EQ(names(), (QStringList{QStringLiteral("до"), QStringLiteral("внешний")}));
    QStringList seen;
    store->snapshot([&] { seen = names(); });
    EXPECT_EQ(seen, names());
}

TEST_P(StoreContractTest, AddedColumnsAndUniqueIndexes) {
    const qint64 key = addTopic(QStringLiteral("одна"));
    addTopic(QStringLiteral("одна"));
    store->addColumn(QStringLiteral("topics"), QStringLiteral("Ключ"), QStringLiteral("TEXT"));
    const QVector<StoreColumn> columns = store->columns(QStringLiteral("topics"));
    EXPECT_EQ(columns.last().name, QStringLiteral("Ключ"));
    EXPECT_EQ(columns.last().declaredType, QStringLiteral("TEXT"));
    EXPECT_TRUE(store->readRow(QStringLiteral("topics"), key, {QStringLiteral("Ключ")})->values[0].isNull());

    EXPECT_FALSE(store->addUniqueIndex(QStringLiteral("topics"), QStringLiteral("topics_names"),
                                       QStringLiteral("Название")))
        << "the rows repeat a name";
    EXPECT_EQ(names().size(), 2);
    EXPECT_TRUE(store->addUniqueIndex(QStringLiteral("topics"), QStringLiteral("topics_keys"),
                                      QStringLiteral("Ключ")))
        << "empty values do not count as repeats";
    store->updateRow(QStringLiteral("topics"), key, {QStringLiteral("Ключ")}, {QStringLiteral("k")});
    EXPECT_THROW(store->insertRow(QStringLiteral("topics"), {QStringLiteral("Ключ")}, {QStringLiteral("k")}, {}),
                 EDatabaseError);
    EXPECT_TRUE(store->addUniqueIndex(QStringLiteral("topics"), QStringLiteral("topics_keys"),
                                      QStringLiteral("Ключ")))
        << "an index already there";
    EXPECT_EQ(names().size(), 2);
}

TEST_P(StoreContractTest, NewNumbersGoAboveTheColumnAndAreNotGivenAgain) {
    const QString topics = QStringLiteral("topics");
    const QString number = QStringLiteral("Номер");
    // A column goes on above its largest value.
    store->insertRow(topics, {number}, {qlonglong(41)}, {});
    qint64 last = 0;
    store->transaction([&] {
        last = store->newNumber(topics, number);
        EXPECT_GE(last, 42);
        store->insertRow(topics, {number}, {last}, {});
    });
    // A number taken in a step that was undone is not given to the step after it.
    EXPECT_THROW(store->transaction([&] {
        store->insertRow(topics, {number}, {store->newNumber(topics, number)}, {});
        throw EDatabaseError(QStringLiteral("отмена"));
    }),
                 EDatabaseError);
    store->transaction([&] { EXPECT_GT(store->newNumber(topics, number), last); });
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreContractTest,
                         ::testing::Values(StoreKind{"file", makeFile}, StoreKind{"server", makeServer}),
                         [](const ::testing::TestParamInfo<StoreKind>& info) { return info.param.name; });

// ---- the server alone ----------------------------------------------------------------------

class PgStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TestPgServer::shared().running())
            GTEST_SKIP() << TestPgServer::shared().problem().toStdString();
        connection = TestPgServer::shared().createDatabase(QStringLiteral("alone_%1").arg(++databases));
        auto store = PgStore::connect(connection);
        store->createTable(QStringLiteral("bank"), kBank);
        store->createTable(QStringLiteral("records"),
                           {{QStringLiteral("Сдача"), QStringLiteral("INTEGER"), false},
                            {QStringLiteral("Ответ"), QStringLiteral("TEXT"), false}});
    }
    QString connection;
};

TEST_F(PgStoreTest, WritingStepsOfSeveralSeatsTakeTheirTurns) {
    // Each seat reads the largest question and writes the next one in one step; were two
    // steps to overlap, two seats would write the same text.
    constexpr int kSeats = 6;
    constexpr int kSteps = 15;
    std::vector<std::thread> seats;
    std::atomic<int> failures{0};
    for (int seat = 0; seat < kSeats; ++seat)
        seats.emplace_back([&] {
            try {
                auto store = PgStore::connect(connection);
                for (int step = 0; step < kSteps; ++step)
                    store->transaction([&] {
                        const qlonglong last = store->maximum(QStringLiteral("bank"), QStringLiteral("Вопрос"))
                                                   .toString()
                                                   .toLongLong();
                        store->insertRow(QStringLiteral("bank"), {QStringLiteral("Вопрос")},
                                         {QString::number(last + 1).rightJustified(4, u'0')}, {});
                    });
            } catch (const EDatabaseError&) {
                ++failures;
            }
        });
    for (std::thread& seat : seats)
        seat.join();
    EXPECT_EQ(failures, 0);
    auto store = PgStore::connect(connection);
    const QVector<StoreRow> rows = store->readRows(QStringLiteral("bank"), {QStringLiteral("Вопрос")});
    ASSERT_EQ(rows.size(), kSeats * kSteps);
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].values[0].toString().toInt(), i + 1) << "row " << i;
}

TEST_F(PgStoreTest, StepsThatOnlyAddRowsDoNotWaitForAStepThatReads) {
    auto reader = PgStore::connect(connection);
    auto adder = PgStore::connect(connection);
    // A seat that waited for the lock would wait here for good: it is told after a while.
    adder->execute(QStringLiteral("SET lock_timeout = '2s'"));
    const QString records = QStringLiteral("records");
    const QString handIn = QStringLiteral("Сдача");
    const QString answer = QStringLiteral("Ответ");
    // The column's first number is taken under the lock, once.
    adder->transaction([&] { adder->newNumber(records, handIn); });
    std::vector<qint64> numbers;
    reader->transaction([&] {
        // The reading step holds the lock from its first read to its end.
        reader->readRows(records, {answer});
        // A hand-in's kind of step: a number and rows added, side by side with the reader.
        for (int i = 0; i < 3; ++i)
            adder->transaction([&] {
                numbers.push_back(adder->newNumber(records, handIn));
                adder->insertRows(records, {handIn, answer},
                                  {{numbers.back(), QStringLiteral("A")},
                                   {numbers.back(), QStringLiteral("B")}},
                                  {});
            });
        // A step that reads waits for its turn.
        EXPECT_THROW(adder->transaction([&] { adder->maximum(records, handIn); }), EDatabaseError);
        reader->insertRow(records, {answer}, {QStringLiteral("читатель")}, {});
    });
    ASSERT_EQ(numbers.size(), 3u);
    EXPECT_TRUE(numbers[0] < numbers[1] && numbers[1] < numbers[2]);
    EXPECT_EQ(reader->readRows(records, {}).size(), 7);
    // Once the reader is done, the adder's reading steps go through again.
    adder->transaction(
        [&] { EXPECT_EQ(adder->maximum(records, handIn).toLongLong(), numbers.back()); });
}

TEST_F(PgStoreTest, SeatsTakingNumbersAtOnceGetEachTheirOwn) {
    // Eight seats, each a connection of its own, ask for the first number of a column at the
    // same moment and go on asking: no number is given twice.
    constexpr int kSeats = 8;
    std::vector<std::thread> seats;
    std::mutex taken;
    std::vector<qint64> numbers;
    for (int seat = 0; seat < kSeats; ++seat)
        seats.emplace_back([&] {
            try {
                auto store = PgStore::connect(connection);
                for (int i = 0; i < 10; ++i) {
                    qint64 number = 0;
                    store->transaction([&] {
                        number = store->newNumber(QStringLiteral("records"), QStringLiteral("Сдача"));
                    });
                    const std::lock_guard hold(taken);
                    numbers.push_back(number);
                }
            } catch (const EDatabaseError& error) {
                const std::lock_guard hold(taken);
                ADD_FAILURE() << error.message().toStdString();
            }
        });
    for (std::thread& seat : seats)
        seat.join();
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());
    EXPECT_EQ(numbers.size(), size_t(kSeats * 10));
}

TEST_F(PgStoreTest, AnUnreachableServerIsToldAndALostOneIsReachedAgain) {
    try {
        PgStore::connect(QStringLiteral("host=/nonexistent port=5432 user=kesta dbname=x"));
        ADD_FAILURE() << "connected to nothing";
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Не удалось подключиться к серверу курса "
                                                              "«host=/nonexistent")))
            << error.message().toStdString();
    }
    // A password in the server's name is not shown.
    for (const QString& named : {QStringLiteral("host=/nonexistent password='s e\\'cret' dbname=x"),
                                 QStringLiteral("postgresql://kesta:secret@/x?host=/nonexistent")}) {
        try {
            PgStore::connect(named);
            ADD_FAILURE() << "connected to nothing";
        } catch (const EDatabaseError& error) {
            EXPECT_FALSE(error.message().contains(QStringLiteral("secret"))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QStringLiteral("***"))) << error.message().toStdString();
        }
    }
    EXPECT_EQ(PgStore::connectionString(QStringLiteral(" kesta-class ")), QStringLiteral("service=kesta-class"));
    EXPECT_EQ(PgStore::connectionString(QStringLiteral("host=a dbname=b")), QStringLiteral("host=a dbname=b"));

    auto store = PgStore::connect(connection);
    store->insertRow(QStringLiteral("bank"), {QStringLiteral("Вопрос")}, {QStringLiteral("до")}, {});
    ASSERT_TRUE(TestPgServer::shared().stop(true));
    EXPECT_THROW(store->insertRow(QStringLiteral("bank"), {QStringLiteral("Вопрос")},
                                  {QStringLiteral("без сервера")}, {}),
                 EDatabaseError);
    ASSERT_TRUE(TestPgServer::shared().start());
    // The next call finds the server again.
    store->insertRow(QStringLiteral("bank"), {QStringLiteral("Вопрос")}, {QStringLiteral("после")}, {});
    QStringList texts;
    for (const StoreRow& row : store->readRows(QStringLiteral("bank"), {QStringLiteral("Вопрос")}))
        texts.append(row.values[0].toString());
    EXPECT_EQ(texts, (QStringList{QStringLiteral("до"), QStringLiteral("после")}));
}

}  // namespace
