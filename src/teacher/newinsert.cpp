#include "teacher/newinsert.h"

TForm5* Form5 = nullptr;

TForm5::TForm5() {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Добавление новой темы"));
    setFormSize(499, 369);
    setCentredOnShow(true);
}
