#include "testing/testing.h"

TForm6* Form6 = nullptr;

TForm6::TForm6() {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Тестирование: общее"));
    resize(800, 600);
}
