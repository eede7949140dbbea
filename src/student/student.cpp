#include "student/student.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <vector>

#include "app/dm.h"
#include "app/globals.h"
#include "app/registracia.h"
#include "app/zastavka.h"
#include "data/filter.h"
#include "platform/automation.h"
#include "platform/kesta_error.h"
#include "platform/paths.h"
#include "platform/shell_open.h"
#include "results/analis.h"
#include "results/result_test.h"
#include "testing/testing.h"

TForm4* Form4 = nullptr;

namespace {

const QString kTitle = QStringLiteral("Название темы");
const QString kFileName = QStringLiteral("Наименование файла");

// The picture of "Печать": a small printer with a sheet coming out, 16 by 16 pixels, drawn
// pixel by pixel on a transparent ground.
QImage printerGlyph() {
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    const QColor outline(58, 74, 92), body(188, 200, 214), shine(232, 237, 242);
    const QColor paper(255, 255, 255), ink(120, 136, 152), light(76, 175, 80);
    // The sheet waiting at the back.
    p.fillRect(4, 1, 8, 5, outline);
    p.fillRect(5, 2, 6, 4, paper);
    // The body, lit along its top.
    p.fillRect(1, 5, 14, 7, outline);
    p.fillRect(2, 6, 12, 5, body);
    p.fillRect(2, 6, 12, 1, shine);
    p.fillRect(12, 8, 1, 1, light);
    // The printed sheet with two lines of text.
    p.fillRect(4, 10, 8, 6, outline);
    p.fillRect(5, 10, 6, 5, paper);
    p.fillRect(6, 12, 4, 1, ink);
    p.fillRect(6, 14, 3, 1, ink);
    return glyph;
}

// The catalogue a list number stands for.
TTable* catalogue(int kind) {
    switch (kind) {
        case 1:
            return DataModule1->tblTeoria;
        case 2:
            return DataModule1->tblPraktika;
        case 3:
            return DataModule1->tblDopolnenie;
        case 4:
            return DataModule1->tblPresentacia;
        case 5:
            return DataModule1->tblVideo;
        default:
            return nullptr;
    }
}

// The number of nodes in a subtree, its root included.
int subtreeSize(const QTreeWidgetItem* node) {
    int size = 1;
    for (int i = 0; i < node->childCount(); ++i)
        size += subtreeSize(node->child(i));
    return size;
}

}  // namespace

TForm4::TForm4() {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Окно студента"));
    resize(800, 600);

    MainMenu1 = createMainMenu();
    N1 = addMenuItem(MainMenu1, "N1", QStringLiteral("Упражнения"));
    N2 = addMenuItem(MainMenu1, "N2", QStringLiteral("Практические занятия"));
    N3 = addMenuItem(MainMenu1, "N3", QStringLiteral("Дополнительный материал"));
    N4 = addMenuItem(MainMenu1, "N4", QStringLiteral("Презентации"));
    N6 = addMenuItem(MainMenu1, "N6", QStringLiteral("Видеоматериал"));
    N5 = addMenuItem(MainMenu1, "N5", QStringLiteral("Тестирование"));
    N13 = MainMenu1->addMenu(QStringLiteral("Результаты тестирования"));
    N13->setObjectName(QStringLiteral("N13"));
    N14 = addMenuItem(N13, "N14", QStringLiteral("Просмотр результатов"));
    N15 = addMenuItem(N13, "N15", QStringLiteral("Анализ тестирования"));
    N9 = addMenuItem(MainMenu1, "N9", QStringLiteral("Выход"));

    connect(N1, &QAction::triggered, this, &TForm4::N1Click);
    connect(N2, &QAction::triggered, this, &TForm4::N2Click);
    connect(N3, &QAction::triggered, this, &TForm4::N3Click);
    connect(N4, &QAction::triggered, this, &TForm4::N4Click);
    connect(N6, &QAction::triggered, this, &TForm4::N6Click);
    connect(N5, &QAction::triggered, this, &TForm4::N5Click);
    connect(N14, &QAction::triggered, this, &TForm4::N14Click);
    connect(N15, &QAction::triggered, this, &TForm4::N15Click);
    connect(N9, &QAction::triggered, this, &TForm4::N9Click);

    sPanel1 = new TsPanel(this);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    auto* documents = new QHBoxLayout(sPanel1);
    documents->setContentsMargins(0, 0, 0, 0);
    documents->setSpacing(0);
    sTreeView1 = new TsTreeView(sPanel1);
    sTreeView1->setObjectName(QStringLiteral("sTreeView1"));
    sTreeView1->setFixedWidth(328);
    sTreeView1->setFrameShape(QFrame::NoFrame);
    sTreeView1->setIndentation(19);
    QFont treeFont(QStringLiteral("MS Sans Serif"));
    treeFont.setPixelSize(13);
    sTreeView1->setFont(treeFont);
    connect(sTreeView1, &TsTreeView::Click, this, &TForm4::sTreeView1Click);
    documents->addWidget(sTreeView1);
    WebBrowser1 = new TWebBrowser(sPanel1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    documents->addWidget(WebBrowser1, 1);
    layout()->addWidget(sPanel1);

    sPanel2 = new TsPanel(this);
    sPanel2->setObjectName(QStringLiteral("sPanel2"));
    sPanel2->setFixedHeight(52);
    sBitBtn1 = new TsBitBtn(sPanel2);
    sBitBtn1->setObjectName(QStringLiteral("sBitBtn1"));
    sBitBtn1->setText(QStringLiteral("Печать"));
    sBitBtn1->setGeometry(24, 8, 75, 33);
    sBitBtn1->setGlyph(printerGlyph());
    connect(sBitBtn1, &QPushButton::clicked, this, &TForm4::sBitBtn1Click);
    layout()->addWidget(sPanel2);

    sPanel1->hide();
    sPanel2->hide();
}

void TForm4::switchPanels(bool printable) {
    sPanel1->show();
    sPanel2->setVisible(printable);
    sBitBtn1->setEnabled(printable);
    sTreeView1->show();
}

void TForm4::fillTree(TTable* table) {
    const ControlsDisabled quiet(table);
    sTreeView1->clear();
    table->first();
    const int count = table->recordCount();
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(count);
    for (int i = 0; i < count; ++i) {
        nodes.append(new QTreeWidgetItem(QStringList{table->fieldByName(kTitle).asString()}));
        table->next();
    }
    sTreeView1->addTopLevelItems(nodes);
}

void TForm4::showTitlePicture() {
    setAppDir();
    WebBrowser1->navigate(AppDir + QStringLiteral("Data\\titl1.bmp"));
}

void TForm4::N1Click() {
    MaterialKind = 1;
    switchPanels(true);
    sTreeView1->clear();

    // Sections are top-level nodes; a topic goes under the node at the position its
    // Индекс names, positions counted over every node as if all were expanded. The nodes
    // are kept in that order as the tree grows, so each look-up is direct.
    TTable* teoria = DataModule1->tblTeoria;
    const ControlsDisabled quiet(teoria);
    teoria->first();
    const int count = teoria->recordCount();
    std::vector<QTreeWidgetItem*> positions;
    positions.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qlonglong index = teoria->fieldByName(QStringLiteral("Индекс")).asInteger();
        auto* node = new QTreeWidgetItem(QStringList{teoria->fieldByName(kTitle).asString()});
        if (index != 0) {
            if (index < 0 || index >= qlonglong(positions.size())) {
                delete node;
                throw KestaError(QStringLiteral("Invalid index"));
            }
            QTreeWidgetItem* parent = positions[size_t(index)];
            // The new child follows the last node of its parent's subtree.
            const size_t after = size_t(index) + size_t(subtreeSize(parent));
            parent->addChild(node);
            positions.insert(positions.begin() + qsizetype(after), node);
        } else {
            sTreeView1->addTopLevelItem(node);
            positions.push_back(node);
        }
        teoria->next();
    }
    showTitlePicture();
}

void TForm4::N2Click() {
    MaterialKind = 2;
    switchPanels(true);
    fillTree(DataModule1->tblPraktika);
    showTitlePicture();
}

void TForm4::N3Click() {
    switchPanels(true);
    fillTree(DataModule1->tblDopolnenie);
    MaterialKind = 3;
    showTitlePicture();
}

void TForm4::N4Click() {
    sBitBtn1->setEnabled(false);
    MaterialKind = 4;
    switchPanels(false);
    fillTree(DataModule1->tblPresentacia);
    showTitlePicture();
}

void TForm4::N6Click() {
    sBitBtn1->setEnabled(false);
    MaterialKind = 5;
    switchPanels(false);
    fillTree(DataModule1->tblVideo);
    showTitlePicture();
}

void TForm4::sTreeView1Click() {
    QTreeWidgetItem* node = sTreeView1->currentItem();
    if (!node || !node->isSelected()) return;
    setAppDir();
    SelectedTopic = node->text(0);
    TTable* table = catalogue(MaterialKind);
    if (!table) return;
    table->locate(kTitle, SelectedTopic, loPrefix);
    switch (MaterialKind) {
        case 1:
            WebBrowser1->navigate(AppDir + QStringLiteral("Data\\") +
                                  table->fieldByName(kTitle).asString() + QStringLiteral(".mht"));
            break;
        case 2:
        case 3:
            WebBrowser1->navigate(AppDir + QStringLiteral("Data\\") +
                                  table->fieldByName(kFileName).asString());
            break;
        case 4:
            ShellOpen(QStringLiteral("Data\\Present\\") + table->fieldByName(kFileName).asString(),
                      QString(), QString(), 5);
            break;
        case 5:
            ShellOpen(QStringLiteral("Data\\Video\\") + table->fieldByName(kFileName).asString(),
                      QString(), QString(), 5);
            break;
    }
}

void TForm4::sBitBtn1Click() {
    setAppDir();
    QString path;
    if (MaterialKind >= 1 && MaterialKind <= 3) {
        TTable* table = catalogue(MaterialKind);
        table->locate(kTitle, SelectedTopic, loPrefix);
        const QString file = MaterialKind == 1 ? QStringLiteral("Наименование") : kFileName;
        path = AppDir + QStringLiteral("Data\\") + table->fieldByName(file).asString();
    }
    const std::shared_ptr<OleObject> word = CreateOleObject(QStringLiteral("Word.Application"));
    if (!path.isEmpty())
        word->call(QStringLiteral("Documents"))->call(QStringLiteral("Open"), {path});
}

void TForm4::N5Click() {
    launchTest();
}

void TForm4::N14Click() {
    Form10->show();
    Form10->fillWorkArea();
    TTable* result = DataModule1->tblResult;
    result->setFiltered(true);
    result->setFilter(
        QStringLiteral("Логин_студента=") +
        quotedFilterValue(DataModule1->accountLogin()));
}

void TForm4::N15Click() {
    Form12->open();
}

void TForm4::N9Click() {
    TDataModule1* dm = DataModule1;
    for (TTable* table :
         {dm->tblUsers, dm->tblTeoria, dm->tblDopolnenie, dm->tblTest, dm->tblResult,
          dm->tblPraktika, dm->tblTema, dm->tblPresentacia, dm->tblVideo, dm->tblProverka})
        table->close();
    close();
    Form1->close();
    Form8->close();
}

void TForm4::closeEvent(QCloseEvent* event) {
    sPanel1->hide();
    sPanel2->hide();
    TForm::closeEvent(event);
}
