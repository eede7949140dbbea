#pragma once

#include <QLineEdit>

#include "skin/core/sCommonData.h"

// The skinned one-line edit box.
class TsEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TsEdit(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;
};
