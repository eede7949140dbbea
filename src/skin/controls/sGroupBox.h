#pragma once

#include <QGroupBox>

#include "skin/core/sCommonData.h"

// The skinned group box: a captioned frame around related controls.
class TsGroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit TsGroupBox(QWidget* parent = nullptr);

    TsCommonData SkinData;
};
