#include "results/question_stats.h"

#include <QHash>
#include <cmath>
#include <limits>

#include "testing/testing.h"

namespace {

constexpr int kHandInSize = 40;
constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();

// Sums of one question over the records that belong to a known hand-in, for the
// correlation: x is 1 for a correct answer, y the hand-in's total score.
struct CorrelationSums {
    double n = 0;
    double x = 0;
    double y = 0;
    double yy = 0;
    double xy = 0;
};

double pointBiserial(const CorrelationSums& s) {
    if (s.n < 2) return kUndefined;
    const double spreadX = s.n * s.x - s.x * s.x;  // x*x == x for 0 and 1
    const double spreadY = s.n * s.yy - s.y * s.y;
    if (spreadX <= 0 || spreadY <= 0) return kUndefined;
    return (s.n * s.xy - s.x * s.y) / std::sqrt(spreadX * spreadY);
}

bool sameRun(const AnswerRecord& a, const AnswerRecord& b) {
    return a.handIn == 0 && b.handIn == 0 && a.login == b.login && a.date == b.date &&
           a.kind == b.kind;
}

// The group of every record: its hand-in number when it carries one, a negative number
// of our own for older records grouped by their run, or 0 when it cannot be grouped.
std::vector<qint64> groupRecords(const std::vector<AnswerRecord>& records) {
    std::vector<qint64> group(records.size(), 0);
    qint64 older = 0;
    size_t i = 0;
    while (i < records.size()) {
        if (records[i].handIn != 0) {
            group[i] = records[i].handIn;
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < records.size() && sameRun(records[i], records[end]))
            ++end;
        const size_t whole = (end - i) / kHandInSize * kHandInSize;
        for (size_t k = 0; k < whole; ++k) {
            if (k % kHandInSize == 0) --older;
            group[i + k] = older;
        }
        i = end;
    }
    return group;
}

}  // namespace

bool StatisticsFilter::accepts(const QString& recordLogin, const QDate& recordDate) const {
    if (from.isValid() && (!recordDate.isValid() || recordDate < from)) return false;
    if (to.isValid() && (!recordDate.isValid() || recordDate > to)) return false;
    return login.isEmpty() || recordLogin.startsWith(login, Qt::CaseInsensitive);
}

int optionIndex(const QString& answer) {
    if (answer.size() != 1) return -1;
    const char16_t code = answer.at(0).unicode();
    return code >= u'A' && code <= u'E' ? int(code - u'A') : -1;
}

bool answeredCorrectly(const AnswerRecord& record) {
    if (record.given.isNull() || record.correct.isNull())
        return record.given.isNull() && record.correct.isNull();
    return record.given == record.correct;
}

QStringList gradeLetters() {
    QStringList letters;
    for (const GradeBand& band : gradeScale())
        letters.append(QString::fromUtf8(band.letter));
    return letters;
}

JournalStatistics computeStatistics(const std::vector<BankQuestion>& bank,
                                    const std::vector<AnswerRecord>& records,
                                    const std::vector<JournalResult>& results,
                                    const StatisticsFilter& filter,
                                    const std::function<void(int)>& progress,
                                    const CountedRecords* counted) {
    JournalStatistics stats;
    stats.questions.resize(bank.size());
    QHash<qint64, int> byKey;
    QHash<QString, int> byText;
    byKey.reserve(qsizetype(bank.size()));
    for (size_t q = 0; q < bank.size(); ++q) {
        QuestionStatistics& row = stats.questions[q];
        row.key = bank[q].key;
        row.number = bank[q].number;
        row.text = bank[q].text;
        byKey.insert(bank[q].key, int(q));
        // Two questions of the same text: an older record goes to the first of them.
        byText.insert(bank[q].text, byText.value(bank[q].text, int(q)));
    }

    const std::vector<qint64> group = groupRecords(records);
    const size_t count = records.size();
    // Where the step reports its share: each pass over the records is half the work.
    const size_t step = 1 << 14;
    auto report = [&](size_t done, int pass) {
        if (progress && count > 0 && done % step == 0)
            progress(int((pass * count + done) * 50 / count));
    };

    // First pass: which records count, whether each is correct, the total of each hand-in.
    std::vector<int> handInOf(count, -1);
    std::vector<int> question(count, -1);
    std::vector<char> right(count, 0);
    std::vector<char> inFilter(count, 0);
    std::vector<int> totals;
    QHash<qint64, int> handInIndex;
    for (size_t i = 0; i < count; ++i) {
        report(i, 0);
        const AnswerRecord& record = records[i];
        if (!filter.accepts(record.login, record.date)) continue;
        inFilter[i] = 1;
        ++stats.records;
        right[i] = answeredCorrectly(record) ? 1 : 0;
        if (group[i] != 0) {
            auto found = handInIndex.constFind(group[i]);
            if (found == handInIndex.cend()) {
                found = handInIndex.insert(group[i], int(totals.size()));
                totals.push_back(0);
            }
            handInOf[i] = found.value();
            totals[size_t(found.value())] += right[i];
        } else {
            ++stats.ungroupedRecords;
        }
        int q = -1;
        if (record.questionKey != 0) {
            q = byKey.value(record.questionKey, -1);
        } else {
            q = byText.value(record.question, -1);
        }
        if (q < 0) ++stats.unmatchedRecords;
        question[i] = q;
    }
    stats.handIns = int(totals.size());

    // Second pass: each question's counts and correlation sums.
    std::vector<CorrelationSums> sums(bank.size());
    for (size_t i = 0; i < count; ++i) {
        report(i, 1);
        if (!inFilter[i] || question[i] < 0) continue;
        QuestionStatistics& row = stats.questions[size_t(question[i])];
        ++row.drawn;
        row.correct += right[i];
        const int option = optionIndex(records[i].given);
        if (option >= 0)
            ++row.options[size_t(option)];
        else
            ++row.otherAnswers;
        if (handInOf[i] >= 0) {
            CorrelationSums& s = sums[size_t(question[i])];
            const double x = right[i];
            const double y = totals[size_t(handInOf[i])];
            s.n += 1;
            s.x += x;
            s.y += y;
            s.yy += y * y;
            s.xy += x * y;
        }
    }
    if (counted) {
        stats.records += counted->records;
        stats.handIns += counted->handIns;
        for (const CountedQuestion& one : counted->questions) {
            const int q = byKey.value(one.key, -1);
            if (q < 0) {
                stats.unmatchedRecords += one.drawn;
                continue;
            }
            QuestionStatistics& row = stats.questions[size_t(q)];
            row.drawn += one.drawn;
            row.correct += one.correct;
            int options = 0;
            for (size_t o = 0; o < one.options.size(); ++o) {
                row.options[o] += one.options[o];
                options += one.options[o];
            }
            row.otherAnswers += one.drawn - options;
            // Every record the server counts belongs to a known hand-in.
            CorrelationSums& s = sums[size_t(q)];
            s.n += one.drawn;
            s.x += one.correct;
            s.y += one.y;
            s.yy += one.yy;
            s.xy += one.xy;
        }
        for (size_t letter = 0; letter < stats.grades.size(); ++letter)
            stats.grades[letter] += counted->grades[letter];
    }
    for (size_t q = 0; q < bank.size(); ++q) {
        QuestionStatistics& row = stats.questions[q];
        row.difficulty = row.drawn > 0 ? double(row.correct) / row.drawn : kUndefined;
        row.discrimination = pointBiserial(sums[q]);
    }

    const QStringList letters = gradeLetters();
    for (const JournalResult& result : results) {
        if (!filter.accepts(result.login, result.date)) continue;
        const qsizetype letter = letters.indexOf(result.grade);
        if (letter >= 0) ++stats.grades[size_t(letter)];
    }
    if (progress) progress(100);
    return stats;
}
