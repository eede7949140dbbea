#include "results/result_test.h"

#include <QVBoxLayout>

#include "app/dm.h"
#include "skin/controls/sScrollWnd.h"

TForm10* Form10 = nullptr;

TForm10::TForm10() {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Просмотр результатов"));
    resize(800, 600);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    // Its frame and scroll bars are the skin's, as an edit's are.
    TsScrollWnd::attach(DBGrid1, QStringLiteral("EDIT"));
    DBGrid1->setDataSource(DataModule1->DataSource5);
    layout->addWidget(DBGrid1);
}
