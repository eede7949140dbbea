#include "results/hand_in_records.h"

#include <algorithm>

#include "data/connection.h"

const QString kHandInColumn = QStringLiteral("Номер_сдачи");
const QString kQuestionKeyColumn = QStringLiteral("Номер_в_базе");

namespace {
const QString kAnswerRecords = QStringLiteral("proverka");
}

void upgradeAnswerRecords(TConnection& connection) {
    Store& store = connection.store();
    bool hasHandIn = false;
    bool hasQuestionKey = false;
    for (const StoreColumn& column : store.columns(kAnswerRecords)) {
        hasHandIn = hasHandIn || column.name == kHandInColumn;
        hasQuestionKey = hasQuestionKey || column.name == kQuestionKeyColumn;
    }
    if (hasHandIn && hasQuestionKey) return;
    // Both columns come together or not at all.
    store.transaction([&] {
        if (!hasHandIn) store.addColumn(kAnswerRecords, kHandInColumn, QStringLiteral("INTEGER"));
        if (!hasQuestionKey)
            store.addColumn(kAnswerRecords, kQuestionKeyColumn, QStringLiteral("INTEGER"));
    });
}

qint64 nextHandInNumber(TConnection& connection) {
    qint64 largest = 0;
    for (const StoreRow& row : connection.store().readRows(kAnswerRecords, {kHandInColumn}))
        largest = std::max(largest, row.values.value(0).toLongLong());
    return largest + 1;
}
