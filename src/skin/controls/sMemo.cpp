#include "skin/controls/sMemo.h"

TsMemo::TsMemo(QWidget* parent)
    : QPlainTextEdit(parent),
      SkinData(this, 7),
      BoundLabel(this),
      scrollWnd_(this, SkinData, &DisabledKind) {
    SkinData.setSkinSection(QStringLiteral("EDIT"));
    scrollWnd_.sync();
}

void TsMemo::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        BoundLabel.followEnabled(!(DisabledKind & dkBlended));
}
