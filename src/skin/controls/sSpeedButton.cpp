#include "skin/controls/sSpeedButton.h"

TsSpeedButton::TsSpeedButton(QWidget* parent) : QToolButton(parent), SkinData(this, 92) {
    SkinData.setSkinSection(QStringLiteral("SPEEDBUTTON"));
    setFocusPolicy(Qt::NoFocus);
}
