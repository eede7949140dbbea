#pragma once

#include <QFrame>

#include "skin/core/sCommonData.h"

// The skinned panel: a container drawn from the skin's panel section.
class TsPanel : public QFrame {
    Q_OBJECT

public:
    explicit TsPanel(QWidget* parent = nullptr);

    TsCommonData SkinData;
};
