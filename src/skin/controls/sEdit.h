#pragma once

#include <QLineEdit>

#include "skin/core/sBoundLabel.h"
#include "skin/core/sCommonData.h"

// The skinned one-line edit box.
class TsEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TsEdit(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;
    // An optional caption label beside the box (inactive unless asked for).
    TsBoundLabel BoundLabel;
};
