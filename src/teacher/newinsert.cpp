#include "teacher/newinsert.h"

#include "app/dm.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "teacher/prepodavatel.h"
#include "teacher/topic_catalogue.h"

TForm5* Form5 = nullptr;

namespace {
const QString kTitle = QStringLiteral("Название темы");
const QString kParent = QStringLiteral("Индекс");
}  // namespace

TForm5::TForm5() {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Добавление новой темы"));
    setFormSize(499, 369);
    setCentredOnShow(true);
    setFont(pixelFont(QStringLiteral("Times New Roman"), 16));

    int top = 12;
    const auto label = [this, &top](const char* name, const QString& caption) {
        auto* result = new TsLabel(this);
        result->setObjectName(QLatin1String(name));
        result->move(8, top);
        result->setCaption(caption);
        top += 24;
        return result;
    };
    const auto box = [this, &top](auto* control, const char* name) {
        control->setObjectName(QLatin1String(name));
        control->setGeometry(8, top, 473, 27);
        top += 40;
        return control;
    };
    sLabel1 = label("sLabel1", QStringLiteral("Введите название темы:"));
    sEdit1 = box(new TsEdit(this), "sEdit1");
    sLabel2 = label("sLabel2", QStringLiteral("Выберите для нее раздел (для вложенных тем):"));
    sComboBox1 = box(new TsComboBox(this), "sComboBox1");
    sComboBox1->setEditable(true);
    sComboBox1->setInsertPolicy(QComboBox::NoInsert);
    sLabel3 = label("sLabel3", QStringLiteral("Укажите название файла:"));
    sEdit2 = box(new TsEdit(this), "sEdit2");
    sLabel4 = label("sLabel4", QStringLiteral("Укажите название файла-приложения (презентация):"));
    sEdit3 = box(new TsEdit(this), "sEdit3");

    sButton1 = new TsButton(this);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setText(QStringLiteral("Добавить"));
    sButton1->setGeometry(width() - 195 - 8, height() - 25 - 12, 195, 25);
    connect(sButton1, &QPushButton::clicked, this, &TForm5::sButton1Click);
}

void TForm5::open() {
    show();
    sEdit1->clear();
    sEdit2->clear();
    sEdit3->clear();
    sComboBox1->clear();
    TTable* teoria = DataModule1->tblTeoria;
    const ControlsDisabled quiet(teoria);
    const TField parent = teoria->fieldByName(kParent);
    const TField title = teoria->fieldByName(kTitle);
    for (teoria->first(); !teoria->eof(); teoria->next()) {
        if (parent.asInteger() == 0) sComboBox1->addItem(title.asString());
    }
    sComboBox1->setCurrentIndex(-1);
    sComboBox1->setEditText(QString());
    sEdit1->setFocus();
}

void TForm5::sButton1Click() {
    TTable* teoria = DataModule1->tblTeoria;
    const QString section = sComboBox1->currentText();
    // The section is looked up, and a text that names none refused, before anything is
    // written: no question may wait for an answer while the database is held for writing.
    if (!section.isEmpty()) {
        if (!teoria->locate(kTitle, section, loPrefix)) {
            MessageBox(
                QStringLiteral("Раздел «%1» не найден. Выберите раздел из списка или оставьте поле "
                               "пустым, чтобы добавить новый раздел.")
                    .arg(section),
                TApplication::title(), mbOk | mbIconInformation);
            return;
        }
    }
    topics::addTopic(*DataModule1->ADOConnection1, teoria, !section.isEmpty(),
                     {sEdit1->text(), sEdit2->text(), sEdit3->text()});

    Form2->sButton1->setEnabled(true);
    Form2->sButton3->setEnabled(false);
    close();
}
