#include "skin/controls/sButton.h"

#include <QKeyEvent>

TsButton::TsButton(QWidget* parent) : TsButton(parent, 93) {}

TsButton::TsButton(QWidget* parent, int kind) : QPushButton(parent), SkinData(this, kind) {
    SkinData.setSkinSection(QStringLiteral("BUTTON"));
}

void TsButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        if (isEnabled()) click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
