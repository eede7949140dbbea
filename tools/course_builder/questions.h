#pragma once

#include <QList>
#include <QString>

// One question of the bank as the test window shows it.
struct Question {
    int line = 0;  // of its first line in the source, from 1
    QString text;  // the question's lines, then the five options "A) ..." to "E) ", one a line
    QChar answer;  // the option code of the correct option, "A" to "E"
};

// Reads questions.txt: blocks separated by blank lines, lines starting with "%" are
// comments. A block is the question (one or more lines), the options "A) " to "E) " in
// this order, and one line "Ответ: X". Fails naming the line of the first fault.
QList<Question> parseQuestions(const QString& text, const QString& path);
