#include "results/result_test.h"

TForm10* Form10 = nullptr;

TForm10::TForm10() {
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Просмотр результатов"));
    resize(800, 600);
}
