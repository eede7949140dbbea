#include "results/journal_snapshot.h"

#include "data/store.h"

#include "results/hand_in_records.h"

namespace {

// A stored value as text; an empty value of the database stays a null text.
QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

void readTables(Store& store, JournalSnapshot& snapshot) {
    const QVector<StoreRow> bank = store.readRows(
        QStringLiteral("test"),
        {QStringLiteral("Номер"), QStringLiteral("Номер_вопроса"), QStringLiteral("Вопрос")});
    snapshot.bank.reserve(size_t(bank.size()));
    for (const StoreRow& row : bank)
        snapshot.bank.push_back(
            {row.values[0].toLongLong(), row.values[1].toInt(), text(row.values[2])});

    const QVector<StoreRow> records =
        store.readRows(QStringLiteral("proverka"),
                       {kHandInColumn, kQuestionKeyColumn, QStringLiteral("Логин_студента"),
                        QStringLiteral("Дата_тестирования"), QStringLiteral("Вид_тестирования"),
                        QStringLiteral("Вопрос"), QStringLiteral("Ответ_студента"),
                        QStringLiteral("Правильный_ответ")});
    snapshot.records.reserve(size_t(records.size()));
    for (const StoreRow& row : records)
        snapshot.records.push_back({row.values[0].toLongLong(), row.values[1].toLongLong(),
                                    text(row.values[2]), row.values[3].toDate(),
                                    text(row.values[4]), text(row.values[5]), text(row.values[6]),
                                    text(row.values[7])});

    const QVector<StoreRow> results = store.readRows(
        QStringLiteral("result"), {QStringLiteral("Логин_студента"),
                                   QStringLiteral("Дата_тестирования"), QStringLiteral("Оценка")});
    snapshot.results.reserve(size_t(results.size()));
    for (const StoreRow& row : results)
        snapshot.results.push_back(
            {text(row.values[0]), row.values[1].toDate(), text(row.values[2])});
}

}  // namespace

JournalSnapshot readJournalSnapshot(Store& store) {
    JournalSnapshot snapshot;
    // The three tables are read at one moment: a hand-in stored meanwhile is counted in
    // all of them or in none.
    store.snapshot([&] { readTables(store, snapshot); });
    return snapshot;
}


