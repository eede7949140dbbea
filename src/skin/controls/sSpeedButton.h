#pragma once

#include <QToolButton>

#include "skin/core/sCommonData.h"

// The skinned speed button: a small button that takes no keyboard focus of its own.
class TsSpeedButton : public QToolButton {
    Q_OBJECT

public:
    explicit TsSpeedButton(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;
};
