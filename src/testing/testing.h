#pragma once

#include <QString>
#include <array>
#include <span>

#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sGroupBox.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sMemo.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sRadioGroup.h"

// The program's pseudo-random generator: a linear congruential sequence that starts from 0
// at every program start and is never reseeded, so a run replays the same draws.
extern quint32 RandomSeed;
// A number in 0..n-1 (0 when n is 0 or 1), advancing RandomSeed.
quint32 RandomBelow(quint32 n);

// The five option codes, for the answer items "A" to "E": one set for the whole program.
extern const std::array<QString, 5> OptionCodes;

// A band of the grade scale: percentages from..to, both included.
struct GradeBand {
    int from;
    int to;
    const char* caption;
    const char* letter;
};
// The band of a percentage of correct answers.
const GradeBand& gradeFor(double percent);
// The whole scale, lowest band first.
std::span<const GradeBand> gradeScale();

// Draws this program's final test, with the file held for writing: reads the bank as the
// file holds it, drops this program's rows of an earlier test, numbers the bank's questions
// in stored order and draws 40 with replacement. False, and nothing drawn, for an empty bank.
bool drawTest();
// Starts the final test: draws it and shows the reset test window.
void launchTest();

class QDate;
// A hand-in as stored: the correct answers, the grade and the hand-in's number.
struct HandIn {
    int correct = 0;
    const GradeBand* grade = nullptr;
    qint64 number = 0;
};
// Grades the drawn test's answers and stores the result with the record of every answer, in
// one transaction; EDatabaseError, and nothing stored, when the file cannot take it. On a
// class server the server grades and stores them, for the student signed in on the
// connection.
HandIn storeHandIn(const QString& login, const QDate& day, const QString& topic);

// The test window: 40 question buttons, the question text, the answer choice, "Сдать"
// and the result box.
class TForm6 : public TForm {
    Q_OBJECT

public:
    TForm6();

    static constexpr int kPositions = 40;

    TsPanel* sPanel1;
    TsMemo* sMemo1;
    TsRadioGroup* sRadioGroup1;
    TsButton* sButton22;  // "Сдать"
    TsGroupBox* sGroupBox1;
    TsLabel* sLabel2;
    TsLabel* sLabel3;

    // The question button of a position, 1 to 40 (sButton2..sButton21, sButton1,
    // sButton23..sButton41).
    TsButton* questionButton(int position) const { return questionButtons_[size_t(position)]; }

    // Opens a position: shows its question and the answer recorded for it, once per test.
    void openPosition(int position);
    void sRadioGroup1Click();
    void sButton22Click();  // hand-in

private:
    std::array<TsButton*, kPositions + 1> questionButtons_{};
};

extern TForm6* Form6;
