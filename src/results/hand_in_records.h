#pragma once

#include <QString>

class TConnection;

// Answer records carry the number of the hand-in that wrote them and the bank key of their
// question, so that the 40 records of one hand-in can be told apart from another's and
// each record from a bank question, even when two questions read the same.
extern const QString kHandInColumn;       // "Номер_сдачи"
extern const QString kQuestionKeyColumn;  // "Номер_в_базе"

// The number for the next hand-in: larger than any number the answer records carry, and
// given to no other program. Taken inside the transaction that stores the hand-in.
qint64 nextHandInNumber(TConnection& connection);
