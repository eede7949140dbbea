#include "questions.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include "files.h"

namespace {

const QString kLetters = QStringLiteral("ABCDE");
// Cyrillic letters that look like the Latin option letters.
const QString kLookAlikes = QStringLiteral("АВСЕ");

struct Line {
    int number;
    QString text;
};

class BlockReader {
public:
    BlockReader(const QString& path) : path_(path) {}

    Question read(const QList<Line>& block) {
        static const QRegularExpression option(QStringLiteral("^([A-Za-zА-Яа-яЁё])\\)\\s*(.*)$"));
        static const QRegularExpression answer(QStringLiteral("^Ответ\\s*:\\s*(.*)$"));
        Question question{block.first().number, QString(), QChar()};
        QStringList questionLines;
        QStringList options;
        for (const Line& line : block) {
            const QString text = line.text.trimmed();
            if (!question.answer.isNull())
                error(line, QStringLiteral("nothing may follow the line \"Ответ\"; separate "
                                           "questions with a blank line"));
            if (const auto found = answer.match(text); found.hasMatch()) {
                if (options.size() < 5)
                    error(line, QStringLiteral("\"Ответ\" after %1 options; a question has "
                                               "five, A) to E)")
                                    .arg(options.size()));
                question.answer = letterOf(line, found.captured(1).trimmed(), true);
                continue;
            }
            if (const auto found = option.match(text); found.hasMatch()) {
                if (questionLines.isEmpty())
                    error(line, QStringLiteral("an option before the question's text"));
                if (options.size() == 5)
                    error(line, QStringLiteral("a sixth option; a question has five, A) to E)"));
                const QChar letter = letterOf(line, found.captured(1), false);
                const QChar expected = kLetters[options.size()];
                if (letter != expected)
                    error(line, QStringLiteral("option %1) where %2) belongs; options go A) to "
                                               "E) in order")
                                    .arg(letter, expected));
                const QString optionText = found.captured(2).trimmed();
                if (optionText.isEmpty())
                    error(line, QStringLiteral("option %1) is empty").arg(letter));
                for (int i = 0; i < options.size(); ++i) {
                    if (options[i].mid(3).compare(optionText, Qt::CaseInsensitive) == 0)
                        error(line, QStringLiteral("options %1) and %2) read the same")
                                        .arg(kLetters[i], letter));
                }
                options.append(QString(letter) + QStringLiteral(") ") + optionText);
                continue;
            }
            if (!options.isEmpty())
                error(line, QStringLiteral("expected option %1) or \"Ответ: X\"")
                                .arg(kLetters[qMin(options.size(), 4)]));
            questionLines.append(text);
        }
        if (question.answer.isNull())
            error(block.last(), QStringLiteral("the question that begins on line %1 has no line "
                                               "\"Ответ: X\"")
                                    .arg(question.line));
        question.text = (questionLines + options).join(u'\n');
        return question;
    }

    [[noreturn]] void error(const Line& line, const QString& what) const {
        fail(QStringLiteral("%1, line %2: %3").arg(path_).arg(line.number).arg(what));
    }

private:
    // An option code: one Latin capital letter from A to E.
    QChar letterOf(const Line& line, const QString& text, bool answer) const {
        const QString what = answer ? QStringLiteral("the answer") : QStringLiteral("an option");
        if (text.size() == 1 && kLetters.contains(text[0])) return text[0];
        if (text.size() == 1 && kLookAlikes.contains(text[0].toUpper()))
            error(line, QStringLiteral("%1 is the Cyrillic letter \"%2\"; option codes are the "
                                       "Latin letters A to E")
                            .arg(what, text));
        error(line, QStringLiteral("%1 is \"%2\"; option codes are the Latin letters A to E")
                        .arg(what, text));
    }

    QString path_;
};

}  // namespace

QList<Question> parseQuestions(const QString& text, const QString& path) {
    const QStringList lines = textLines(text);
    QList<QList<Line>> blocks(1);
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(u'%')) continue;
        if (lines[i].trimmed().isEmpty()) {
            if (!blocks.last().isEmpty()) blocks.append(QList<Line>());
            continue;
        }
        blocks.last().append(Line{i + 1, lines[i]});
    }
    if (blocks.last().isEmpty()) blocks.removeLast();

    BlockReader reader(path);
    QList<Question> questions;
    QHash<QString, int> seen;  // the first line of each question's text
    for (const QList<Line>& block : blocks) {
        Question question = reader.read(block);
        const QString key = question.text.left(question.text.indexOf(QLatin1String("\nA) ")))
                                .simplified()
                                .toLower();
        if (seen.contains(key))
            reader.error(block.first(),
                         QStringLiteral("the same question as on line %1").arg(seen.value(key)));
        seen.insert(key, question.line);
        questions.append(question);
    }
    return questions;
}
