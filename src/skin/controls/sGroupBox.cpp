#include "skin/controls/sGroupBox.h"

TsGroupBox::TsGroupBox(QWidget* parent) : QGroupBox(parent), SkinData(this, 74) {
    SkinData.setSkinSection(QStringLiteral("GROUPBOX"));
}
