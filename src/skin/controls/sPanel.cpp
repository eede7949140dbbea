#include "skin/controls/sPanel.h"

TsPanel::TsPanel(QWidget* parent) : TsPanel(parent, 51) {
    SkinData.setSkinSection(QStringLiteral("PANEL"));
}

TsPanel::TsPanel(QWidget* parent, int kind) : QFrame(parent), SkinData(this, kind) {}

int TsPanel::frameWidth() const {
    int width = BorderStyle == bsSingle ? 1 + (Ctl3D ? 3 : 0) : 0;
    width += BorderWidth;
    if (BevelInner != bvNone) width += BevelWidth;
    if (BevelOuter != bvNone) width += BevelWidth;
    return width;
}
