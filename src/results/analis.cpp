#include "results/analis.h"

TForm12* Form12 = nullptr;

TForm12::TForm12() {
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Анализ тестирования"));
    resize(800, 600);
}
