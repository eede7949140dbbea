#include "testing/testing.h"

#include <QDate>

#include "app/class_server.h"
#include "app/course_file.h"
#include "app/design.h"
#include "app/dm.h"
#include "app/globals.h"
#include "data/pg_store.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "results/hand_in_records.h"
#include "student/student.h"

TForm6* Form6 = nullptr;

quint32 RandomSeed = 0;

quint32 RandomBelow(quint32 n) {
    RandomSeed = RandomSeed * 134775813u + 1u;
    return quint32((quint64(n) * RandomSeed) >> 32);
}

const std::array<QString, 5> OptionCodes{QStringLiteral("A"), QStringLiteral("B"),
                                         QStringLiteral("C"), QStringLiteral("D"),
                                         QStringLiteral("E")};

namespace {

const QString kNumber = QStringLiteral("Номер");
const QString kQuestionNumber = QStringLiteral("Номер_вопроса");
const QString kKey = QStringLiteral("Номер1");
const QString kAnswer = QStringLiteral("Ответ");
const QString kQuestion = QStringLiteral("Вопрос");
const QString kCorrect = QStringLiteral("Правильный_ответ");

const GradeBand kGradeScale[] = {
    {0, 49, "Оценка: 2, F (0)", "F"},       {50, 54, "Оценка: 3, D (1.0)", "D"},
    {55, 59, "Оценка: 3, D+ (1.33)", "D+"}, {60, 64, "Оценка: 3, C- (1.67)", "C-"},
    {65, 69, "Оценка: 3, C (2.0)", "C"},    {70, 74, "Оценка: 3, C+ (2.33)", "C+"},
    {75, 79, "Оценка: 4, B- (2.67)", "B-"}, {80, 84, "Оценка: 4, B (3.0)", "B"},
    {85, 89, "Оценка: 4, B+ (3.33)", "B+"}, {90, 94, "Оценка: 5, A- (3.67)", "A-"},
    {95, 100, "Оценка: 5, A (4.0)", "A"},
};

}  // namespace

std::span<const GradeBand> gradeScale() {
    return kGradeScale;
}

const GradeBand& gradeFor(double percent) {
    for (const GradeBand& band : kGradeScale) {
        if (band.from <= percent && percent <= band.to) return band;
    }
    return kGradeScale[0];
}

TForm6::TForm6() {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Тестирование: общее"));
    setFormSize(700, 491);
    setCentredOnShow(true);
    setFont(pixelFont(QStringLiteral("Times New Roman"), 16));
    setBackgroundColour(this, kFormBackground);

    sPanel1 = new TsPanel(this);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    sPanel1->setGeometry(8, 5, 673, 444);
    sPanel1->hide();

    for (int position = 1; position <= kPositions; ++position) {
        const int number = position == 21 ? 1 : position + 1;
        auto* button = new TsButton(sPanel1);
        button->setObjectName(QStringLiteral("sButton%1").arg(number));
        button->setText(QString::number(position));
        const int column = (position - 1) % 20;
        button->setGeometry(8 + 24 * column, position <= 20 ? 16 : 48, 25, 25);
        connect(button, &QPushButton::clicked, this, [this, position] { openPosition(position); });
        questionButtons_[size_t(position)] = button;
    }

    sMemo1 = new TsMemo(sPanel1);
    sMemo1->setObjectName(QStringLiteral("sMemo1"));
    sMemo1->setGeometry(8, 90, 481, 273);
    sMemo1->setReadOnly(true);
    sMemo1->setFont(pixelFont(QStringLiteral("Times New Roman"), 19));
    setBlackOnWhite(sMemo1);

    sRadioGroup1 = new TsRadioGroup(sPanel1);
    sRadioGroup1->setObjectName(QStringLiteral("sRadioGroup1"));
    sRadioGroup1->setGeometry(16, 370, 393, 49);
    sRadioGroup1->setItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                            QStringLiteral("D"), QStringLiteral("E")});
    sRadioGroup1->setColumns(5);
    connect(sRadioGroup1, &TsRadioGroup::Click, this, &TForm6::sRadioGroup1Click);

    sButton22 = new TsButton(sPanel1);
    sButton22->setObjectName(QStringLiteral("sButton22"));
    sButton22->setText(QStringLiteral("Сдать"));
    sButton22->setGeometry(416, 370, 73, 49);
    connect(sButton22, &QPushButton::clicked, this, &TForm6::sButton22Click);

    sGroupBox1 = new TsGroupBox(sPanel1);
    sGroupBox1->setObjectName(QStringLiteral("sGroupBox1"));
    sGroupBox1->setTitle(QStringLiteral("Результат"));
    sGroupBox1->setGeometry(496, 82, 169, 105);
    const auto label = [this](const char* name, int top, const QString& caption) {
        auto* result = new TsLabel(sGroupBox1);
        result->setObjectName(QLatin1String(name));
        result->setFont(pixelFont(QStringLiteral("Times New Roman"), 16));
        result->setFontColor(kLabelColour);
        result->move(8, top);
        result->setCaption(caption);
        return result;
    };
    sLabel2 = label("sLabel2", 32, QStringLiteral("Верно"));
    sLabel3 = label("sLabel3", 64, QStringLiteral("Оценка"));
    sLabel3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TForm6::openPosition(int position) {
    TTable* testing = DataModule1->tblTesting;
    TTable* test = DataModule1->tblTest;
    testing->locate(kNumber, QString::number(position), loPrefix);
    // A question deleted from the bank since the launch shows no text.
    const bool found = test->locate(kNumber, testing->fieldByName(kKey).asInteger(), loPrefix);
    sMemo1->setPlainText(found ? test->fieldByName(kQuestion).asString() : QString());
    sRadioGroup1->setItemIndex(-1);
    const QString answer = testing->fieldByName(kAnswer).asString();
    for (int item = 0; item < int(OptionCodes.size()); ++item) {
        if (answer == OptionCodes[size_t(item)]) sRadioGroup1->setItemIndex(item);
    }
    questionButton(position)->setEnabled(false);
}

void TForm6::sRadioGroup1Click() {
    TTable* testing = DataModule1->tblTesting;
    testing->edit();
    testing->fieldByName(kAnswer).setValue(OptionCodes[size_t(sRadioGroup1->ItemIndex())]);
}

namespace {

// Drops this program's rows of an earlier test, and the rows that programs long gone left
// behind (one killed in the middle of a test, say); other programs' running tests stay.
void emptyScratchTable(TTable* testing) {
    const ControlsDisabled quiet(testing);
    testing->reload();
    testing->first();
    const int rows = testing->recordCount();
    for (int i = 0; i < rows; ++i)
        testing->deleteRecord();
    Store& store = DataModule1->ADOConnection1->store();
    for (const StoreRow& row : store.readRows(testing->tableName(), {kSeatColumn})) {
        if (seatIsStale(row.values.value(0))) store.deleteRow(testing->tableName(), row.key);
    }
}

// Numbers the questions 1, 2, ... in stored order, writing only the numbers that differ, so
// that a bank numbered already is not written at all, and the others in one write.
void renumberBank(TTable* test) {
    const ControlsDisabled quiet(test);
    const int field = test->fieldIndex(kQuestionNumber);
    QVector<int> positions;
    QVector<QVector<QVariant>> numbers;
    const int questions = test->recordCount();
    for (int position = 0; position < questions; ++position) {
        const QVariant number = test->valueAt(position, field);
        if (number.isNull() || number.toLongLong() != position + 1) {
            positions.append(position);
            numbers.append({QString::number(position + 1)});
        }
    }
    test->updateRows({kQuestionNumber}, positions, numbers);
}

void drawQuestions(TTable* testing, TTable* test) {
    const ControlsDisabled quiet(testing);
    // The 40 rows of the test go to the store in one write.
    QVector<QVector<QVariant>> rows;
    for (int position = 1; position <= TForm6::kPositions; ++position) {
        const quint32 drawn = RandomBelow(quint32(test->recordCount())) + 1;
        test->locate(kQuestionNumber, drawn);
        rows.append({QString::number(position), test->fieldByName(kNumber).value(), seatToken()});
    }
    testing->appendRows({kNumber, kKey, kSeatColumn}, rows);
}

void resetTestWindow() {
    Form6->sPanel1->show();
    Form6->sLabel2->setCaption(QStringLiteral("Верно"));
    Form6->sLabel3->setCaption(QStringLiteral("Оценка"));
    Form6->setWindowTitle(QStringLiteral("Тестирование: Итоговое"));
    Form6->sMemo1->clear();
    for (int position = 1; position <= TForm6::kPositions; ++position) {
        Form6->questionButton(position)->setEnabled(true);
        Form6->questionButton(position)->show();
    }
    Form6->sButton22->setEnabled(true);
    Form6->sButton22->show();
    Form6->sRadioGroup1->setItemIndex(-1);
}

}  // namespace

bool drawTest() {
    TTable* testing = DataModule1->tblTesting;
    TTable* test = DataModule1->tblTest;
    // Emptying this program's rows, renumbering the bank and drawing happen whole or not at
    // all, on the bank as the file holds it now; a failure also leaves the generator where
    // it was, so the next launch draws what this one would have.
    const quint32 seed = RandomSeed;
    bool drawn = false;
    try {
        DataModule1->ADOConnection1->transaction([&] {
            // A new question the bank editor has not saved yet is saved first and counts.
            test->refresh();
            if (test->recordCount() == 0) return;
            emptyScratchTable(testing);
            renumberBank(test);
            drawQuestions(testing, test);
            drawn = true;
        });
    } catch (...) {
        RandomSeed = seed;
        throw;
    }
    return drawn;
}

void launchTest() {
    // An empty bank is refused before the test window shows. A test window still open from an
    // earlier test goes too: it would offer a test that can no longer be taken.
    if (!drawTest()) {
        Form6->hide();
        MessageBox(QStringLiteral("В базе тестов нет вопросов."), TApplication::title(),
                   mbOk | mbIconInformation);
        return;
    }

    TestTopic = QStringLiteral("Итоговый");
    Form4->sPanel1->hide();
    Form4->sPanel2->hide();
    resetTestWindow();
    Form6->show();
}

namespace {

// On a class server the server compares the answers with the key, which a student's seat
// does not hold, and stores the hand-in for the student signed in on the connection.
HandIn storeHandInOnServer(PgStore& server, const QDate& day, const QString& topic) {
    TTable* testing = DataModule1->tblTesting;
    const ControlsDisabled quietAnswers(testing);
    testing->checkBrowseMode();
    QList<qint64> keys;
    QStringList answers;
    for (testing->first(); !testing->eof(); testing->next()) {
        keys.append(testing->fieldByName(kKey).asInteger());
        const QVariant given = testing->fieldByName(kAnswer).value();
        answers.append(isEmptyValue(given) ? QString() : given.toString());
    }
    const ServerHandIn stored = handInOnServer(server, keys, answers, day, topic);
    const GradeBand* grade = &gradeScale().front();
    for (const GradeBand& band : gradeScale())
        if (QString::fromUtf8(band.letter) == stored.letter) grade = &band;
    // The records read afresh show the answer analysis the hand-in.
    DataModule1->tblResult->refresh();
    DataModule1->tblProverka->refresh();
    return HandIn{stored.correct, grade, stored.number};
}

}  // namespace

HandIn storeHandIn(const QString& login, const QDate& day, const QString& topic) {
    if (PgStore* server = classServer(*DataModule1->ADOConnection1))
        return storeHandInOnServer(*server, day, topic);
    TTable* testing = DataModule1->tblTesting;
    TTable* test = DataModule1->tblTest;

    struct Answer {
        QVariant given;
        QVariant correct;
        QString question;
        qint64 key = 0;
    };
    QList<Answer> answers;
    int correct = 0;
    const ControlsDisabled quietAnswers(testing);
    const ControlsDisabled quietBank(test);
    // The answer chosen last is saved with the others.
    testing->checkBrowseMode();
    testing->first();
    const int rows = testing->recordCount();
    for (int i = 0; i < rows; ++i) {
        Answer answer{
            testing->fieldByName(kAnswer).value(), {}, {}, testing->fieldByName(kKey).asInteger()};
        // A question deleted from the bank since the launch counts as not correct.
        if (test->locate(kNumber, testing->fieldByName(kKey).asInteger())) {
            answer.correct = test->fieldByName(kCorrect).value();
            answer.question = test->fieldByName(kQuestion).asString();
            if (valuesEqual(answer.given, answer.correct)) ++correct;
        }
        answers.append(answer);
        testing->next();
    }

    const double percent = correct * 100.0 / TForm6::kPositions;
    const GradeBand& grade = gradeFor(percent);
    HandIn stored{correct, &grade, 0};

    // The result and the record of every answer, for the answer analysis, are saved together.
    TTable* result = DataModule1->tblResult;
    TTable* proverka = DataModule1->tblProverka;
    const ControlsDisabled quietRecords(proverka);
    DataModule1->ADOConnection1->transaction([&] {
        // Numbered inside the transaction, so that two hand-ins never share a number.
        stored.number = nextHandInNumber(*DataModule1->ADOConnection1);
        result->append();
        result->fieldByName(QStringLiteral("Логин_студента")).setValue(login);
        result->fieldByName(QStringLiteral("Дата_тестирования")).setValue(day);
        result->fieldByName(QStringLiteral("Количество вопросов")).setValue(TForm6::kPositions);
        result->fieldByName(QStringLiteral("Оценка")).setValue(QString::fromUtf8(grade.letter));
        result->fieldByName(QStringLiteral("Вид тестирования")).setValue(topic);
        result->post();
        // The 40 records in one write: on a class server one exchange, not forty.
        QVector<QVector<QVariant>> records;
        for (const Answer& answer : answers)
            records.append({login, day, answer.given, answer.correct, topic, answer.question,
                            stored.number, answer.key});
        proverka->appendRows({QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
                              QStringLiteral("Ответ_студента"), QStringLiteral("Правильный_ответ"),
                              QStringLiteral("Вид_тестирования"), QStringLiteral("Вопрос"),
                              kHandInColumn, kQuestionKeyColumn},
                             records);
    });
    return stored;
}

void TForm6::sButton22Click() {
    const HandIn stored = storeHandIn(CurrentLogin, QDate::currentDate(), TestTopic);
    // Shown only once the file holds the result: a failed save leaves the captions as they
    // were and the error is reported.
    sLabel2->setCaption(QStringLiteral("Верно: ") + QString::number(stored.correct));
    sLabel3->setCaption(QString::fromUtf8(stored.grade->caption));
}
