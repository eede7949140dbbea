#include "teacher/basatest.h"

#include "app/design.h"
#include "app/dm.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "teacher/prepodavatel.h"
#include "testing/testing.h"

TForm3* Form3 = nullptr;
int BankQuestionNo = 0;

namespace {
const QString kQuestion = QStringLiteral("Вопрос");
const QString kCorrect = QStringLiteral("Правильный_ответ");
}  // namespace

TForm3::TForm3() {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("База тестов"));
    setFormSize(928, 414);
    setCentredOnShow(true);
    setFont(pixelFont(QStringLiteral("Times New Roman"), 16));

    sLabel1 = new TsLabel(this);
    sLabel1->setObjectName(QStringLiteral("sLabel1"));
    sLabel1->setFontColor(kLabelColour);
    sLabel1->move(12, 8);
    sLabel1->setCaption(QStringLiteral("Вопрос №"));
    sLabel2 = new TsLabel(this);
    sLabel2->setObjectName(QStringLiteral("sLabel2"));
    sLabel2->setFontColor(kLabelColour);
    sLabel2->AutoSize = false;
    sLabel2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    sLabel2->setGeometry(width() - 12 - 300, 8, 300, 22);
    sLabel2->setCaption(QStringLiteral("Всего вопросов: "));

    sMemo1 = new TsMemo(this);
    sMemo1->setObjectName(QStringLiteral("sMemo1"));
    sMemo1->setGeometry(12, 34, 889, 217);
    setBlackOnWhite(sMemo1);

    sRadioGroup1 = new TsRadioGroup(this);
    sRadioGroup1->setObjectName(QStringLiteral("sRadioGroup1"));
    sRadioGroup1->setTitle(QStringLiteral("Правильный ответ "));
    sRadioGroup1->setGeometry(12, 258, 889, 60);
    sRadioGroup1->setItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                            QStringLiteral("D"), QStringLiteral("E")});
    sRadioGroup1->setColumns(5);

    sPanel1 = new TsPanel(this);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    sPanel1->setGeometry(0, height() - 51, width(), 51);
    const auto button = [this](const char* name, int left, const QString& caption) {
        auto* result = new TsButton(sPanel1);
        result->setObjectName(QLatin1String(name));
        result->setGeometry(left, 16, 100, 25);
        result->setText(caption);
        return result;
    };
    sButton6 = button("sButton6", 32, QStringLiteral("Первый"));
    sButton4 = button("sButton4", 144, QStringLiteral("Назад"));
    sButton5 = button("sButton5", 256, QStringLiteral("Вперед"));
    sButton7 = button("sButton7", 368, QStringLiteral("Последний"));
    sButton1 = button("sButton1", 480, QStringLiteral("Добавить"));
    sButton2 = button("sButton2", 592, QStringLiteral("Удалить"));
    sButton3 = button("sButton3", 704, QStringLiteral("Сохранить"));
    connect(sButton6, &QPushButton::clicked, this, &TForm3::sButton6Click);
    connect(sButton4, &QPushButton::clicked, this, &TForm3::sButton4Click);
    connect(sButton5, &QPushButton::clicked, this, &TForm3::sButton5Click);
    connect(sButton7, &QPushButton::clicked, this, &TForm3::sButton7Click);
    connect(sButton1, &QPushButton::clicked, this, &TForm3::sButton1Click);
    connect(sButton2, &QPushButton::clicked, this, &TForm3::sButton2Click);
    connect(sButton3, &QPushButton::clicked, this, &TForm3::sButton3Click);
}

void TForm3::showQuestion() {
    TTable* test = DataModule1->tblTest;
    // An empty bank, or a question stored without text, shows an empty box.
    sMemo1->setPlainText(test->isEmpty() && test->state() == DataSetState::Browse
                             ? QString()
                             : test->fieldByName(kQuestion).asString());
    if (test->isEmpty()) return;
    const QString answer = test->fieldByName(kCorrect).asString();
    for (int item = 0; item < int(OptionCodes.size()); ++item) {
        if (answer == OptionCodes[size_t(item)]) sRadioGroup1->setItemIndex(item);
    }
}

void TForm3::refreshLabels() {
    sLabel1->setCaption(QStringLiteral("Вопрос №") + QString::number(BankQuestionNo));
    sLabel2->setCaption(QStringLiteral("Всего вопросов: ") +
                        QString::number(DataModule1->tblTest->recordCount()));
}

void TForm3::open() {
    show();
    TTable* test = DataModule1->tblTest;
    sLabel1->setCaption(QStringLiteral("Вопрос №1"));
    sLabel2->setCaption(QStringLiteral("Всего вопросов: ") + QString::number(test->recordCount()));
    BankQuestionNo = 1;
    sButton4->setEnabled(false);
    sButton3->setEnabled(true);
    sButton5->setEnabled(true);
    sMemo1->clear();
    test->first();
    showQuestion();
}

void TForm3::sButton6Click() {
    DataModule1->tblTest->first();
    BankQuestionNo = 1;
    refreshLabels();
    showQuestion();
    sButton4->setEnabled(false);
    sButton5->setEnabled(true);
    sButton7->setEnabled(true);
}

void TForm3::sButton7Click() {
    TTable* test = DataModule1->tblTest;
    test->last();
    BankQuestionNo = test->recordCount();
    refreshLabels();
    showQuestion();
    sButton5->setEnabled(false);
    sButton4->setEnabled(true);
    sButton6->setEnabled(true);
}

void TForm3::sButton5Click() {
    TTable* test = DataModule1->tblTest;
    test->next();
    ++BankQuestionNo;
    refreshLabels();
    showQuestion();
    sButton5->setEnabled(test->recNo() != test->recordCount());
    sButton4->setEnabled(true);
}

void TForm3::sButton4Click() {
    TTable* test = DataModule1->tblTest;
    test->prior();
    --BankQuestionNo;
    refreshLabels();
    showQuestion();
    if (test->recNo() == 1) sButton4->setEnabled(false);
    sButton5->setEnabled(true);
}

void TForm3::sButton1Click() {
    TTable* test = DataModule1->tblTest;
    sMemo1->clear();
    sRadioGroup1->setItemIndex(-1);
    sLabel1->setCaption(QStringLiteral("Вопрос №") + QString::number(test->recordCount() + 1));
    sButton3->setEnabled(true);
    for (TsButton* button : {sButton4, sButton5, sButton2, sButton1})
        button->setEnabled(false);
    test->last();
    test->insert();
}

void TForm3::sButton3Click() {
    TTable* test = DataModule1->tblTest;
    test->edit();
    test->fieldByName(QStringLiteral("Номер_вопроса")).setValue(0);
    test->fieldByName(kQuestion).setValue(sMemo1->toPlainText());
    if (sRadioGroup1->ItemIndex() >= 0)
        test->fieldByName(kCorrect).setValue(OptionCodes[size_t(sRadioGroup1->ItemIndex())]);
    test->post();
    BankQuestionNo = test->recordCount();
    refreshLabels();
    sButton5->setEnabled(false);
    for (TsButton* button : {sButton4, sButton2, sButton1})
        button->setEnabled(true);
}

void TForm3::sButton2Click() {
    TTable* test = DataModule1->tblTest;
    if (MessageBox(QStringLiteral("Удалить запись?"), TApplication::title(),
                   mbYesNo | mbIconInformation) == idYes) {
        test->deleteRecord();
        sLabel2->setCaption(QStringLiteral("Всего вопросов: ") +
                            QString::number(test->recordCount()));
    } else {
        test->cancel();
    }
    showQuestion();
}
