#pragma once

#include <QString>

class TConnection;

// Answer records carry the number of the hand-in that wrote them and the bank key of their
// question, so that the 40 records of one hand-in can be told apart from another's and
// each record from a bank question, even when two questions read the same.
extern const QString kHandInColumn;       // "Номер_сдачи"
extern const QString kQuestionKeyColumn;  // "Номер_в_базе"

// The number for the next hand-in: one more than any number the answer records carry. Taken
// inside the transaction that stores the hand-in, so that no other program takes it too.
qint64 nextHandInNumber(TConnection& connection);
