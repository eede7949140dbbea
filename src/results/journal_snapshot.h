#pragma once

#include <vector>

#include "results/question_stats.h"

class Store;

// What the question statistics are computed from, read from the course database at once.
struct JournalSnapshot {
    std::vector<BankQuestion> bank;
    std::vector<AnswerRecord> records;
    std::vector<JournalResult> results;
};

JournalSnapshot readJournalSnapshot(Store& store);

