#pragma once

#include <QPlainTextEdit>

#include "skin/core/sCommonData.h"

// The skinned multi-line text box.
class TsMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TsMemo(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;
};
