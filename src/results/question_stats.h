#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

// A question of the test bank as the statistics list it.
struct BankQuestion {
    qint64 key = 0;  // `Номер`
    int number = 0;  // `Номер_вопроса`
    QString text;
};

// One answer record. A null text is an empty value of the database; handIn and
// questionKey are 0 in records that do not carry them.
struct AnswerRecord {
    qint64 handIn = 0;
    qint64 questionKey = 0;
    QString login;
    QDate date;
    QString kind;
    QString question;
    QString given;
    QString correct;
};

// One row of the result journal, for the spread of grades.
struct JournalResult {
    QString login;
    QDate date;
    QString grade;
};

// Which hand-ins count: dates within from..to (an invalid bound leaves that side open) and
// logins that begin with `login`, letter case ignored (empty: every login).
struct StatisticsFilter {
    QDate from;
    QDate to;
    QString login;

    bool accepts(const QString& recordLogin, const QDate& recordDate) const;
};

// Questions with fewer answers than this are marked as uncertain.
constexpr int kCertainAnswers = 5;

struct QuestionStatistics {
    qint64 key = 0;
    int number = 0;
    QString text;
    int drawn = 0;                 // answer records of this question
    int correct = 0;               // of them answered correctly
    std::array<int, 5> options{};  // answers "A" to "E"
    int otherAnswers = 0;          // no answer, or anything but an option code
    // Share answered correctly, 0..1; NaN when never drawn.
    double difficulty = 0;
    // Point-biserial correlation between answering correctly and the total score of the
    // same hand-in, over the records that belong to a known hand-in; NaN when it is not
    // defined (fewer than two such records, or no spread in either).
    double discrimination = 0;

    bool uncertain() const { return drawn < kCertainAnswers; }
};

struct JournalStatistics {
    std::vector<QuestionStatistics> questions;  // one per bank question, in bank order
    int handIns = 0;                            // hand-ins the records were grouped into
    int records = 0;                            // answer records within the filter
    int ungroupedRecords = 0;      // of them, records that could not be told to a hand-in
    int unmatchedRecords = 0;      // of them, records whose question is no longer in the bank
    std::array<int, 11> grades{};  // result rows per letter of the grade scale, F to A
};

// What the course's server counted of one question over the answer records that carry
// their hand-in: as QuestionStatistics counts them, with the sums of the hand-ins' total
// scores (y) over the question's records for the correlation.
struct CountedQuestion {
    qint64 key = 0;  // the question's bank key
    int drawn = 0;
    int correct = 0;
    std::array<int, 5> options{};
    double y = 0;
    double yy = 0;
    double xy = 0;  // total scores of the records answered correctly
};

// Answer records counted by the server within the filter, and the result rows' grades.
struct CountedRecords {
    std::vector<CountedQuestion> questions;  // any order, keys the bank may no longer have
    int records = 0;
    int handIns = 0;
    std::array<int, 11> grades{};
};

// Answers of a record given as option code i ("A" to "E"), or -1.
int optionIndex(const QString& answer);

// Whether a record's answer equals its correct answer: identical text, letter case
// counting; an empty value never equals a filled one, and two empty values are equal.
bool answeredCorrectly(const AnswerRecord& record);

// The statistics of the bank's questions over the answer records in stored order.
// Records that carry a hand-in number are grouped by it. Older records are grouped as the
// hand-in writes them: consecutive records of one login, date and test kind, 40 to a
// hand-in; what is left of such a run over a multiple of 40 cannot be grouped. A record
// without a bank key finds its question by identical text. `progress` (may be empty)
// hears the share done, 0..100. What the server counted already (`counted`, may be null) is
// added in, as if its records had been among `records`.
JournalStatistics computeStatistics(const std::vector<BankQuestion>& bank,
                                    const std::vector<AnswerRecord>& records,
                                    const std::vector<JournalResult>& results,
                                    const StatisticsFilter& filter,
                                    const std::function<void(int)>& progress = {},
                                    const CountedRecords* counted = nullptr);

// The letters of the grade scale, F to A.
QStringList gradeLetters();
