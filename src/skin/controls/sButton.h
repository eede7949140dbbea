#pragma once

#include <QPushButton>

#include "skin/core/sCommonData.h"

// The skinned push button. Until a skin paints it, it looks and behaves like the
// platform's push button; Enter, like Space, presses it while it has the focus.
class TsButton : public QPushButton {
    Q_OBJECT

public:
    explicit TsButton(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;

protected:
    // For the button classes built on this one: their own control category.
    TsButton(QWidget* parent, int kind);

    void keyPressEvent(QKeyEvent* event) override;
};
