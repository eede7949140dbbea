#include "skin/controls/sEdit.h"

TsEdit::TsEdit(QWidget* parent) : QLineEdit(parent), SkinData(this, 3) {
    SkinData.setSkinSection(QStringLiteral("EDIT"));
}
