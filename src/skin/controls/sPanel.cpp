#include "skin/controls/sPanel.h"

TsPanel::TsPanel(QWidget* parent) : QFrame(parent), SkinData(this, 51) {
    SkinData.setSkinSection(QStringLiteral("PANEL"));
}
