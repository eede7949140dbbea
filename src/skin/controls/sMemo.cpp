#include "skin/controls/sMemo.h"

TsMemo::TsMemo(QWidget* parent) : QPlainTextEdit(parent), SkinData(this, 7) {
    SkinData.setSkinSection(QStringLiteral("EDIT"));
}
