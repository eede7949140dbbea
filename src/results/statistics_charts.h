#pragma once

#include <array>
#include <vector>

#include "results/question_stats.h"

class QChart;

// The spread of the journal's grades over the letter scale, F to A.
QChart* makeGradeChart(const std::array<int, 11>& grades);
// The share of correct answers of every question, by its number; questions never drawn
// have no bar.
QChart* makeDifficultyChart(const std::vector<QuestionStatistics>& questions);
