#pragma once

#include "skin/controls/sButton.h"

// The skinned bitmap button: a push button that may carry a picture beside its caption.
class TsBitBtn : public TsButton {
    Q_OBJECT

public:
    explicit TsBitBtn(QWidget* parent = nullptr);
};
