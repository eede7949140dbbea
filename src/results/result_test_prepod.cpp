#include "results/result_test_prepod.h"

TForm11* Form11 = nullptr;

TForm11::TForm11() {
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(QStringLiteral("Результаты тестирования"));
    resize(800, 600);
}
