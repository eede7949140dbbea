#include "results/hand_in_records.h"

#include "data/connection.h"

const QString kHandInColumn = QStringLiteral("Номер_сдачи");
const QString kQuestionKeyColumn = QStringLiteral("Номер_в_базе");

namespace {
const QString kAnswerRecords = QStringLiteral("proverka");
}

qint64 nextHandInNumber(TConnection& connection) {
    return connection.store().newNumber(kAnswerRecords, kHandInColumn);
}
