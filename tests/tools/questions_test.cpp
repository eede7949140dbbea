// The question bank's source: blocks read into the rows of `test`, and every way a block can
// be wrong, each reported with its line.

#include <gtest/gtest.h>

#include "platform/kesta_error.h"
#include "questions.h"
#include "support/qt_print.h"

namespace {

QString faultOf(const QString& text) {
    try {
        parseQuestions(text, QStringLiteral("questions.txt"));
    } catch (const KestaError& error) {
        return error.message();
    }
    return {};
}

TEST(QuestionsTest, BlocksBecomeQuestionTextWithItsOptionsAndTheCorrectLetter) {
    const QString source = QStringLiteral(
        "% Банк вопросов\r\n"
        "\r\n"
        "Какой уровень модели OSI\r\n"
        "отвечает за маршрутизацию?\r\n"
        "A) Канальный\r\n"
        "B)   Сетевой  \r\n"
        "% комментарий внутри блока\r\n"
        "C) Транспортный\r\n"
        "D) Сеансовый\r\n"
        "E) Физический\r\n"
        "Ответ: B\r\n"
        "\r\n\r\n"
        "Сколько бит в адресе IPv4?\n"
        "A) 16\nB) 32\nC) 48\nD) 64\nE) 128\n"
        "Ответ:E");
    const QList<Question> questions = parseQuestions(source, QStringLiteral("questions.txt"));
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0].line, 3);
    EXPECT_EQ(questions[0].text,
              "Какой уровень модели OSI\nотвечает за маршрутизацию?\nA) Канальный\nB) Сетевой\n"
              "C) Транспортный\nD) Сеансовый\nE) Физический");
    EXPECT_EQ(questions[0].answer, u'B');
    EXPECT_EQ(questions[1].line, 14);
    EXPECT_EQ(questions[1].text, "Сколько бит в адресе IPv4?\nA) 16\nB) 32\nC) 48\nD) 64\nE) 128");
    EXPECT_EQ(questions[1].answer, u'E');
    EXPECT_TRUE(parseQuestions(QStringLiteral("% пусто\n\n"), QStringLiteral("q")).isEmpty());
}

TEST(QuestionsTest, EachFaultOfABlockNamesItsLine) {
    const QString options = QStringLiteral("A) а\nB) б\nC) в\nD) г\nE) д\n");
    struct Case {
        QString text;
        const char* expected;
    };
    const Case cases[] = {
        {QStringLiteral("Вопрос?\nA) а\nB) б\nC) в\nD) г\nОтвет: A"),
         "line 6: \"Ответ\" after 4 options"},
        {QStringLiteral("Вопрос?\nA) а\nB) б\nD) г\nC) в\nE) д\nОтвет: A"),
         "line 4: option D) where C) belongs"},
        {QStringLiteral("Вопрос?\n") + options + QStringLiteral("F) е\nОтвет: A"),
         "line 7: a sixth option"},
        {QStringLiteral("Вопрос?\nA) а\nВ) б\nC) в\nD) г\nE) д\nОтвет: A"),
         "line 3: an option is the Cyrillic letter \"В\""},
        {QStringLiteral("Вопрос?\n") + options + QStringLiteral("Ответ: С"),
         "line 7: the answer is the Cyrillic letter \"С\""},
        {QStringLiteral("Вопрос?\n") + options + QStringLiteral("Ответ: F"),
         "line 7: the answer is \"F\""},
        {QStringLiteral("Вопрос?\n") + options + QStringLiteral("Ответ: AB"),
         "line 7: the answer is \"AB\""},
        {QStringLiteral("Вопрос?\n") + options + QStringLiteral("Ответ:"),
         "line 7: the answer is \"\""},
        {QStringLiteral("Вопрос?\n") + options,
         "line 6: the question that begins on line 1 has no line \"Ответ: X\""},
        {QStringLiteral("Вопрос?\n") + options + QStringLiteral("Ответ: A\nВторой вопрос?"),
         "line 8: nothing may follow the line \"Ответ\""},
        {QStringLiteral("A) а\nB) б"), "line 1: an option before the question's text"},
        {QStringLiteral("Вопрос?\nA) а\nB)\nC) в\nD) г\nE) д\nОтвет: A"),
         "line 3: option B) is empty"},
        {QStringLiteral("Вопрос?\nA) Сеть\nB) б\nC) сеть\nD) г\nE) д\nОтвет: A"),
         "line 4: options A) and C) read the same"},
        {QStringLiteral("Вопрос?\nA) а\nB) б\nпродолжение\nC) в\nD) г\nE) д\nОтвет: A"),
         "line 4: expected option C)"},
        {QStringLiteral("Вопрос?\n") + options + QStringLiteral("Ответ: A\n\n  вопрос? \n") +
             options + QStringLiteral("Ответ: B"),
         "line 9: the same question as on line 1"},
    };
    for (const Case& c : cases) {
        const QString fault = faultOf(c.text);
        EXPECT_TRUE(fault.startsWith(QStringLiteral("questions.txt, line ")))
            << c.text.toStdString() << "\n-> " << fault.toStdString();
        EXPECT_TRUE(fault.contains(QString::fromUtf8(c.expected)))
            << c.text.toStdString() << "\n-> " << fault.toStdString();
    }
}

}  // namespace
