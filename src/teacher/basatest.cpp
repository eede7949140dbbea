#include "teacher/basatest.h"

TForm3* Form3 = nullptr;

TForm3::TForm3() {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("База тестов"));
    resize(640, 480);
}
