// The rules of the table objects: stored order, snapshot, look-ups, filters, sizes, errors.

#include <QSignalSpy>

#include "data/data_source.h"
#include "data/database_error.h"
#include "data/pg_store.h"
#include "platform/short_date.h"
#include "support/course_fixture.h"
#include "support/failing_store.h"
#include "support/pg_server.h"

namespace {

const QString kTitle = QStringLiteral("Название темы");
const QString kLogin = QStringLiteral("Логин_студента");
const QString kDate = QStringLiteral("Дата_тестирования");

// Each test runs on the course file and on a copy of it on a class server.
class TableTest : public DatabaseTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        if (QLatin1String(GetParam()) != QLatin1String("server")) return;
        TestPgServer& server = TestPgServer::shared();
        if (!server.running()) GTEST_SKIP() << server.problem().toStdString();
        static int databases = 0;
        connection.close();
        serverName = server.courseCopy(QStringLiteral("tables_%1").arg(++databases), databasePath,
                                       QStringLiteral("пароль"));
        connection.open(PgStore::connect(serverName));
    }
    // A second connection to the same course, as another program has it.
    void openAgain(TConnection& again) const {
        if (serverName.isEmpty())
            again.open(databasePath, QStringLiteral("пароль"));
        else
            again.open(PgStore::connect(serverName));
    }
    QString serverName;
    void addTopic(const QString& title, int index = 0) {
        add(QStringLiteral("teoria"), {{kTitle, title}, {QStringLiteral("Индекс"), index}});
    }
    void addResult(const QString& login, const QDate& date) {
        add(QStringLiteral("result"),
            {{kLogin, login}, {kDate, date}, {QStringLiteral("Оценка"), QStringLiteral("A")}});
    }
    static QStringList titles(TTable& table, const QString& column = kTitle) {
        QStringList result;
        table.first();
        for (int i = 0; i < table.recordCount(); ++i) {
            result.append(table.fieldByName(column).asString());
            table.next();
        }
        return result;
    }
};

TEST_P(TableTest, RowsComeInTheOrderTheyWereAddedAndNavigationKeepsTheLastRow) {
    addTopic(QStringLiteral("Сети"));
    addTopic(QStringLiteral("Адресация"));
    addTopic(QStringLiteral("Протоколы"));
    auto teoria = table(QStringLiteral("teoria"));

    EXPECT_EQ(teoria->recordCount(), 3);
    EXPECT_TRUE(teoria->bof());
    EXPECT_FALSE(teoria->eof());
    EXPECT_EQ(titles(*teoria), (QStringList{"Сети", "Адресация", "Протоколы"}));

    teoria->last();
    EXPECT_TRUE(teoria->eof());
    teoria->next();  // past the end: the last row stays current
    EXPECT_TRUE(teoria->eof());
    EXPECT_EQ(teoria->recNo(), 3);
    EXPECT_EQ(teoria->fieldByName(kTitle).asString(), "Протоколы");
    teoria->prior();
    EXPECT_EQ(teoria->fieldByName(kTitle).asString(), "Адресация");
    teoria->first();
    teoria->prior();
    EXPECT_TRUE(teoria->bof());
    EXPECT_EQ(teoria->recNo(), 1);
}

TEST_P(TableTest, RowsAppendedTogetherAreCheckedAsOneAndShownInOrder) {
    addTopic(QStringLiteral("Сети"));
    auto teoria = table(QStringLiteral("teoria"));
    const QStringList names{kTitle, QStringLiteral("Индекс")};
    teoria->appendRows(names, {{QStringLiteral("Адресация"), QStringLiteral("1")},
                               {QStringLiteral("Протоколы"), 2}});
    EXPECT_EQ(titles(*teoria), (QStringList{"Сети", "Адресация", "Протоколы"}));
    teoria->last();
    EXPECT_EQ(teoria->fieldByName(QStringLiteral("Индекс")).value(), QVariant(qlonglong(2)));
    teoria->first();
    teoria->next();
    EXPECT_EQ(teoria->fieldByName(QStringLiteral("Индекс")).value(), QVariant(qlonglong(1)))
        << "a number given as text is stored as the number";
    // A value the field refuses, or a field the table lacks, keeps every row out.
    EXPECT_THROW(teoria->appendRows(names, {{QStringLiteral("Маршрутизация"), 3},
                                            {QStringLiteral("Коммутация"), QStringLiteral("три")}}),
                 EDatabaseError);
    EXPECT_THROW(teoria->appendRows({QStringLiteral("Нет такого")}, {{1}}), EDatabaseError);
    EXPECT_EQ(teoria->recordCount(), 3);
    EXPECT_EQ(table(QStringLiteral("teoria"))->recordCount(), 3) << "nothing reached the file";
}

TEST_P(TableTest, RowsChangedTogetherAreWrittenWholeOverRowsAsTheyWereRead) {
    for (const char* title : {"Сети", "Адресация", "Протоколы", "Маршрутизация"})
        addTopic(QString::fromUtf8(title));
    auto teoria = table(QStringLiteral("teoria"));
    const QString index = QStringLiteral("Индекс");
    const auto indexes = [&](TTable& table) {
        QStringList result;
        for (table.first(); !table.eof(); table.next())
            result.append(table.fieldByName(index).asString());
        return result;
    };
    teoria->setRecNo(2);
    teoria->updateRows({index, kTitle}, {0, 2},
                       {{QStringLiteral("7"), QStringLiteral("Сети и узлы")}, {9, QStringLiteral("Протоколы")}});
    EXPECT_EQ(teoria->recNo(), 2) << "the object stays on its row";
    EXPECT_EQ(indexes(*teoria), (QStringList{"7", "0", "9", "0"}));
    TConnection again;
    openAgain(again);
    TTable other(&again, QStringLiteral("teoria"));
    other.open();
    EXPECT_EQ(indexes(other), (QStringList{"7", "0", "9", "0"}));
    EXPECT_EQ(titles(other).first(), QStringLiteral("Сети и узлы"));
    other.first();
    EXPECT_EQ(other.fieldByName(index).value(), QVariant(qlonglong(7))) << "text is stored as the number";

    // Another program changes the last row: a write over it and another row changes neither.
    other.last();
    other.edit();
    other.fieldByName(index).setValue(5);
    other.post();
    EXPECT_THROW(teoria->updateRows({index}, {1, 3}, {{1}, {2}}), ERowConflict);
    other.refresh();
    EXPECT_EQ(indexes(other), (QStringList{"7", "0", "9", "5"}));
    EXPECT_EQ(indexes(*teoria), (QStringList{"7", "0", "9", "5"})) << "the object read its table again";
    // A value the field refuses, or a row that is not there, writes nothing.
    EXPECT_THROW(teoria->updateRows({index}, {0, 1}, {{1}, {QStringLiteral("два")}}), EDatabaseError);
    EXPECT_THROW(teoria->updateRows({index}, {0, 4}, {{1}, {2}}), EDatabaseError);
    other.refresh();
    EXPECT_EQ(indexes(other), (QStringList{"7", "0", "9", "5"}));
}

TEST_P(TableTest, EmptyTableHasNoCurrentRow) {
    auto test = table(QStringLiteral("test"));
    EXPECT_EQ(test->recordCount(), 0);
    EXPECT_TRUE(test->bof());
    EXPECT_TRUE(test->eof());
    EXPECT_NO_THROW(test->first());
    EXPECT_NO_THROW(test->next());
    EXPECT_THROW(test->fieldByName(QStringLiteral("Вопрос")).asString(), EDatabaseError);
    EXPECT_THROW(test->deleteRecord(), EDatabaseError);
    EXPECT_THROW(test->fieldByName(QStringLiteral("Нет такого")), EDatabaseError);

    // With no row to change, edit begins a new one.
    test->edit();
    EXPECT_EQ(test->state(), DataSetState::Insert);
    test->fieldByName(QStringLiteral("Вопрос")).setValue(QStringLiteral("Что такое IP?"));
    test->post();
    EXPECT_EQ(test->recordCount(), 1);
}

TEST_P(TableTest, ExactLookUpComparesWholeValuesAndCanIgnoreLetterCase) {
    add(QStringLiteral("users"), {{QStringLiteral("Логин"), QStringLiteral("Иван")}});
    add(QStringLiteral("users"), {{QStringLiteral("Логин"), QStringLiteral("Иванов")}});
    add(QStringLiteral("users"), {{QStringLiteral("Логин"), QString()}});
    auto users = table(QStringLiteral("users"));
    const QString login = QStringLiteral("Логин");

    users->last();
    EXPECT_FALSE(users->locate(login, QStringLiteral("иван")));
    EXPECT_EQ(users->recNo(), 3) << "a failed look-up leaves the current row where it was";
    EXPECT_TRUE(users->locate(login, QStringLiteral("ИВАН"), loCaseInsensitive));
    EXPECT_EQ(users->recNo(), 1);
    EXPECT_TRUE(users->locate(login, QStringLiteral("ИВАНОВ"), loCaseInsensitive));
    EXPECT_EQ(users->recNo(), 2);
    EXPECT_FALSE(users->locate(login, QStringLiteral("Ива"), loCaseInsensitive));
    EXPECT_TRUE(users->locate(login, QString()));
    EXPECT_EQ(users->recNo(), 3) << "two empty values are equal";

    // Two columns together.
    add(QStringLiteral("users"),
        {{login, QStringLiteral("Пётр")}, {QStringLiteral("Пароль"), QStringLiteral("x")}});
    users->refresh();
    EXPECT_FALSE(users->locate({login, QStringLiteral("Пароль")},
                               {QStringLiteral("Пётр"), QStringLiteral("y")}));
    EXPECT_TRUE(users->locate({login, QStringLiteral("Пароль")},
                              {QStringLiteral("пётр"), QStringLiteral("x")}, loCaseInsensitive));
    EXPECT_EQ(users->recNo(), 4);
}

TEST_P(TableTest, PrefixLookUpFindsTheFirstRowThatBeginsWithTheValue) {
    addTopic(QStringLiteral("Введение"));
    addTopic(QStringLiteral("Тема 10"));
    addTopic(QStringLiteral("Тема 1"));
    addTopic(QString());
    auto teoria = table(QStringLiteral("teoria"));

    EXPECT_TRUE(teoria->locate(kTitle, QStringLiteral("тема 1"), loPrefix));
    EXPECT_EQ(teoria->fieldByName(kTitle).asString(), "Тема 10")
        << "a longer title stored first wins";
    EXPECT_TRUE(teoria->locate(kTitle, QStringLiteral("ВВЕД"), loPrefix));
    EXPECT_EQ(teoria->recNo(), 1);
    EXPECT_TRUE(teoria->locate(kTitle, QString(), loPrefix));
    EXPECT_EQ(teoria->recNo(), 4) << "an empty value matches only an empty text";

    // On a numeric column the whole value must match.
    for (int i = 0; i < 12; ++i)
        add(QStringLiteral("test"), {{QStringLiteral("Вопрос"), QString::number(i)}});
    auto test = table(QStringLiteral("test"));
    EXPECT_TRUE(test->locate(QStringLiteral("Номер"), QStringLiteral("1"), loPrefix));
    EXPECT_EQ(test->fieldByName(QStringLiteral("Номер")).asInteger(), 1);
    EXPECT_TRUE(test->locate(QStringLiteral("Номер"), 11, loPrefix));
    EXPECT_EQ(test->fieldByName(QStringLiteral("Вопрос")).asString(), "10");
    EXPECT_THROW(test->locate(QStringLiteral("Номер"), QStringLiteral("один")), EDatabaseError);
}

TEST_P(TableTest, DeclaredColumnsRefuseLongerTextsAndCountersCannotBeWritten) {
    TTable praktika(&connection, QStringLiteral("praktika"));
    praktika.declareFields({{QStringLiteral("Номер"), FieldType::AutoInc, 0, 0},
                            {kTitle, FieldType::String, 10, 100}});
    praktika.open();
    ASSERT_EQ(praktika.fields().size(), 2);
    EXPECT_EQ(praktika.fields()[1].displayWidth, 100);
    EXPECT_THROW(praktika.fieldByName(QStringLiteral("Наименование файла")), EDatabaseError)
        << "only the declared columns are exposed";

    praktika.append();
    EXPECT_THROW(praktika.fieldByName(kTitle).setValue(QStringLiteral("Одиннадцать")),
                 EDatabaseError);
    EXPECT_EQ(praktika.state(), DataSetState::Insert) << "the pending row stays pending";
    EXPECT_THROW(praktika.fieldByName(QStringLiteral("Номер")).setValue(5), EDatabaseError);
    praktika.fieldByName(kTitle).setValue(QStringLiteral("Десять 10"));
    praktika.post();
    EXPECT_EQ(praktika.fieldByName(QStringLiteral("Номер")).asInteger(), 1)
        << "the counter is assigned at once";

    // The size comes from the table's definition where no columns are declared.
    auto test = table(QStringLiteral("test"));
    test->append();
    EXPECT_THROW(
        test->fieldByName(QStringLiteral("Правильный_ответ")).setValue(QStringLiteral("AB")),
        EDatabaseError);

    TTable missing(&connection, QStringLiteral("video"));
    missing.declareFields({{QStringLiteral("Файл"), FieldType::String, 0, 0}});
    EXPECT_THROW(missing.open(), EDatabaseError);
    EXPECT_FALSE(missing.active());
}

TEST_P(TableTest, ValuesAreConvertedToTheColumnKind) {
    auto testing = table(QStringLiteral("testing"));
    testing->append();
    testing->fieldByName(QStringLiteral("Номер")).setValue(QStringLiteral("17"));
    EXPECT_THROW(testing->fieldByName(QStringLiteral("Номер1")).setValue(QStringLiteral("семь")),
                 EDatabaseError);
    testing->post();
    EXPECT_EQ(testing->fieldByName(QStringLiteral("Номер")).value(), QVariant(qlonglong(17)));
    EXPECT_EQ(testing->fieldByName(QStringLiteral("Номер")).asString(), "17");
    EXPECT_TRUE(testing->fieldByName(QStringLiteral("Ответ")).isNull());
    EXPECT_EQ(testing->fieldByName(QStringLiteral("Номер1")).asInteger(), 0)
        << "no value reads as 0";

    const QDate day(2026, 3, 9);
    addResult(QStringLiteral("a"), day);
    auto result = table(QStringLiteral("result"));
    EXPECT_EQ(result->fieldByName(kDate).asDate(), day);
    EXPECT_EQ(result->fieldByName(kDate).asString(), formatShortDate(day));
    result->edit();
    result->fieldByName(kDate).setValue(formatShortDate(day.addDays(1)));
    result->post();
    EXPECT_EQ(result->fieldByName(kDate).asDate(), day.addDays(1));
    result->edit();
    EXPECT_THROW(result->fieldByName(kDate).setValue(QStringLiteral("вчера")), EDatabaseError);
}

TEST_P(TableTest, FiltersNarrowEveryWalkAndCount) {
    const QDate monday(2026, 12, 7);
    addResult(QStringLiteral("O'Brien"), monday);
    addResult(QStringLiteral("ivan"), monday);
    addResult(QStringLiteral("o'brien"), monday.addDays(1));
    addResult(QStringLiteral("O'Brien"), monday.addDays(2));
    auto result = table(QStringLiteral("result"));

    result->setFilter(kLogin + QStringLiteral("='O''Brien'"));
    EXPECT_EQ(result->recordCount(), 4) << "a filter acts only while switched on";
    result->setFiltered(true);
    EXPECT_EQ(result->recordCount(), 3) << "logins compare without regard to letter case";
    EXPECT_EQ(titles(*result, kDate).size(), 3);
    EXPECT_FALSE(result->locate(kLogin, QStringLiteral("ivan")))
        << "look-ups see only the filtered rows";

    result->setFilter(kDate + u'=' + formatShortDate(monday));
    EXPECT_EQ(titles(*result, kLogin), (QStringList{"O'Brien", "ivan"}));
    result->setFilter(QStringLiteral("[") + kDate + QStringLiteral("] = ") +
                      formatShortDate(monday.addDays(2)));
    EXPECT_EQ(result->recordCount(), 1);

    EXPECT_THROW(result->setFilter(kLogin + QStringLiteral("='O'Brien'")), EDatabaseError);
    EXPECT_THROW(result->setFilter(QStringLiteral("Нет_поля='a'")), EDatabaseError);
    EXPECT_THROW(result->setFilter(kDate + QStringLiteral("=не дата")), EDatabaseError);
    EXPECT_EQ(result->recordCount(), 1) << "a refused filter leaves the last good one";

    result->setFiltered(false);
    EXPECT_EQ(result->recordCount(), 4);
}

TEST_P(TableTest, SnapshotShowsOwnSavesAtOnceAndOthersAfterRefresh) {
    addTopic(QStringLiteral("Первая"));
    auto mine = table(QStringLiteral("teoria"));
    auto other = table(QStringLiteral("teoria"));

    mine->append();
    mine->fieldByName(kTitle).setValue(QStringLiteral("Вторая"));
    mine->post();
    EXPECT_EQ(mine->recordCount(), 2);
    EXPECT_EQ(mine->recNo(), 2) << "the saved row is current";
    EXPECT_EQ(other->recordCount(), 1) << "another object keeps its snapshot";

    other->last();
    other->refresh();
    EXPECT_EQ(titles(*other), (QStringList{"Первая", "Вторая"}));

    // What was saved is in the store: a new connection reads it.
    TConnection again;
    openAgain(again);
    TTable reread(&again, QStringLiteral("teoria"));
    reread.open();
    EXPECT_EQ(titles(reread), (QStringList{"Первая", "Вторая"}));
}

TEST_P(TableTest, MovingSavesAPendingChangeAndCancelDropsIt) {
    addTopic(QStringLiteral("Один"));
    addTopic(QStringLiteral("Два"));
    auto teoria = table(QStringLiteral("teoria"));

    teoria->edit();
    teoria->fieldByName(kTitle).setValue(QStringLiteral("Один!"));
    teoria->next();
    EXPECT_EQ(teoria->state(), DataSetState::Browse);
    teoria->edit();
    teoria->fieldByName(kTitle).setValue(QStringLiteral("Два?"));
    EXPECT_EQ(teoria->fieldByName(kTitle).asString(), "Два?") << "the pending value reads back";
    teoria->cancel();
    teoria->append();  // nothing written: dropped by the next move
    teoria->first();
    EXPECT_EQ(teoria->recordCount(), 2);
    teoria->refresh();
    EXPECT_EQ(titles(*teoria), (QStringList{"Один!", "Два"}));
}

TEST_P(TableTest, DeleteMakesTheNextRowCurrent) {
    for (const char* title : {"a", "b", "c"})
        addTopic(QString::fromLatin1(title));
    auto teoria = table(QStringLiteral("teoria"));
    teoria->deleteRecord();
    EXPECT_EQ(teoria->fieldByName(kTitle).asString(), "b");
    teoria->last();
    teoria->deleteRecord();
    EXPECT_EQ(teoria->fieldByName(kTitle).asString(), "b")
        << "removing the last row makes the new last current";
    teoria->deleteRecord();
    EXPECT_TRUE(teoria->isEmpty());
    EXPECT_THROW(teoria->deleteRecord(), EDatabaseError);
    teoria->refresh();
    EXPECT_EQ(teoria->recordCount(), 0);
}

TEST_P(TableTest, SortShowsRowsInAscendingOrderAndKeepsTheCurrentRow) {
    for (const char* title : {"в", "Б", "а", "б"})
        addTopic(QString::fromUtf8(title));
    auto teoria = table(QStringLiteral("teoria"));
    teoria->last();
    teoria->setSort(kTitle);
    EXPECT_EQ(teoria->fieldByName(kTitle).asString(), "б");
    EXPECT_EQ(titles(*teoria), (QStringList{"а", "Б", "б", "в"}));
    EXPECT_THROW(teoria->setSort(QStringLiteral("Нет")), EDatabaseError);
    teoria->setSort(QString());
    EXPECT_EQ(titles(*teoria), (QStringList{"в", "Б", "а", "б"}));
}

TEST_P(TableTest, FailedTransactionWritesNothingAndSnapshotsFollowTheFile) {
    addTopic(QStringLiteral("Один"));
    auto teoria = table(QStringLiteral("teoria"));
    EXPECT_THROW(connection.transaction([&] {
        teoria->edit();
        teoria->fieldByName(kTitle).setValue(QStringLiteral("Изменено"));
        teoria->post();
        teoria->append();
        teoria->fieldByName(kTitle).setValue(QStringLiteral("Новая"));
        teoria->post();
        throw EDatabaseError(QStringLiteral("сбой"));
    }),
                 EDatabaseError);
    EXPECT_EQ(titles(*teoria), (QStringList{"Один"}));

    connection.transaction([&] {
        teoria->edit();
        teoria->fieldByName(kTitle).setValue(QStringLiteral("Изменено"));
        teoria->post();
    });
    teoria->refresh();
    EXPECT_EQ(titles(*teoria), (QStringList{"Изменено"}));
}

TEST_P(TableTest, FailedTransactionReloadsOnlyWhatItWroteAndGivesBackPendingRows) {
    addTopic(QStringLiteral("Один"));
    addTopic(QStringLiteral("Два"));
    addTopic(QStringLiteral("Три"));
    addResult(QStringLiteral("anna"), QDate(2026, 12, 7));
    auto teoria = table(QStringLiteral("teoria"));
    auto result = table(QStringLiteral("result"));
    FailingStore& store = injectFailures(connection);

    // A row being added elsewhere, and an edit of the second topic that the step saves by
    // moving before it fails.
    result->append();
    result->fieldByName(kLogin).setValue(QStringLiteral("boris"));
    teoria->next();
    teoria->edit();
    teoria->fieldByName(kTitle).setValue(QStringLiteral("Два, исправлено"));
    store.failWrite(3);
    EXPECT_THROW(connection.transaction([&] {
        teoria->first();         // saves the edit: write 1
        teoria->deleteRecord();  // write 2
        teoria->deleteRecord();  // write 3 fails
    }),
                 EDatabaseError);
    EXPECT_EQ(result->state(), DataSetState::Insert) << "the other table keeps its new row";
    EXPECT_EQ(result->fieldByName(kLogin).asString(), "boris");
    EXPECT_EQ(teoria->state(), DataSetState::Edit) << "the edit is pending again";
    EXPECT_EQ(teoria->recNo(), 2) << "on the row it was on";
    EXPECT_EQ(teoria->fieldByName(kTitle).asString(), "Два, исправлено");
    store.failWrite(0);
    teoria->post();
    result->post();
    EXPECT_EQ(titles(*teoria), (QStringList{"Один", "Два, исправлено", "Три"}));
    EXPECT_EQ(titles(*result, kLogin), (QStringList{"anna", "boris"}));

    // A step that fails inside another is undone alone; the outer one goes on and is kept.
    connection.transaction([&] {
        teoria->last();
        teoria->deleteRecord();
        EXPECT_TRUE(connection.inTransaction());
        EXPECT_THROW(connection.transaction([&] {
            result->first();
            result->deleteRecord();
            throw EDatabaseError(QStringLiteral("сбой"));
        }),
                     EDatabaseError);
        EXPECT_EQ(titles(*result, kLogin), (QStringList{"anna", "boris"}));
    });
    EXPECT_FALSE(connection.inTransaction());
    auto again = table(QStringLiteral("teoria"));
    EXPECT_EQ(titles(*again), (QStringList{"Один", "Два, исправлено"}));
    auto results = table(QStringLiteral("result"));
    EXPECT_EQ(titles(*results, kLogin), (QStringList{"anna", "boris"}));
}

TEST_P(TableTest, DataSourceTellsBoundControlsOfMovesChangesAndStates) {
    addTopic(QStringLiteral("Один"));
    addTopic(QStringLiteral("Два"));
    auto teoria = table(QStringLiteral("teoria"));
    TDataSource source;
    source.setDataSet(teoria.get());
    QSignalSpy scrolled(&source, &TDataSource::scrolled);
    QSignalSpy changed(&source, &TDataSource::dataChanged);
    QSignalSpy state(&source, &TDataSource::stateChanged);
    QSignalSpy field(&source, &TDataSource::fieldChanged);

    teoria->next();
    EXPECT_EQ(scrolled.count(), 1);
    teoria->next();  // on the last row: no move, but the end is reached
    EXPECT_EQ(scrolled.count(), 2);
    teoria->next();  // nothing changes
    EXPECT_EQ(scrolled.count(), 2);
    teoria->edit();
    teoria->fieldByName(kTitle).setValue(QStringLiteral("Два!"));
    EXPECT_EQ(field.count(), 1);
    EXPECT_EQ(field.first().first().toInt(), 2);
    teoria->post();
    EXPECT_EQ(state.count(), 2) << "browse to edit and back";
    EXPECT_GE(changed.count(), 1);

    source.setEnabled(false);
    teoria->first();
    EXPECT_EQ(scrolled.count(), 3) << "post reports a move; a disabled source passes nothing on";
}

INSTANTIATE_TEST_SUITE_P(Stores, TableTest, ::testing::Values("file", "server"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

}  // namespace
