#include "skin/controls/sEdit.h"

TsEdit::TsEdit(QWidget* parent) : QLineEdit(parent), SkinData(this, 3), BoundLabel(this) {
    SkinData.setSkinSection(QStringLiteral("EDIT"));
}
