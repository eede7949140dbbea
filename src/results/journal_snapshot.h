#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <vector>

#include "results/question_stats.h"

class PgStore;
class Store;

// What a count on a class server brings back: the bank and the older records (those that
// carry no hand-in) as they are at that moment, and what the server counted of the rest.
struct CountedJournal {
    std::vector<BankQuestion> bank;
    std::vector<AnswerRecord> olderRecords;
    CountedRecords counted;
};

// What the question statistics are computed from, read from the course database at once.
// On a class server the answer records and the results stay on the server, which counts
// them for each filter (`count`); the snapshot holds only the journal's first and last day.
struct JournalSnapshot {
    std::vector<BankQuestion> bank;
    std::vector<AnswerRecord> records;
    std::vector<JournalResult> results;
    std::function<CountedJournal(const StatisticsFilter&)> count;
    QDate firstDay;
    QDate lastDay;
};

JournalSnapshot readJournalSnapshot(Store& store);
// The snapshot of the course of a working folder, through a connection of its own; on a
// class server each count makes one too.
JournalSnapshot readJournalSnapshot(const QString& folder);
// Counts the journal on a class server, at one moment, for a filter.
CountedJournal countJournal(PgStore& store, const StatisticsFilter& filter);
