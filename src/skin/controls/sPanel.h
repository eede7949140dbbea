#pragma once

#include <QFrame>

#include "skin/core/sCommonData.h"

// The skinned panel: a container drawn from the skin's panel section.
class TsPanel : public QFrame {
    Q_OBJECT

public:
    enum TBevelCut { bvNone, bvLowered, bvRaised };
    enum TBorderStyle { bsNone, bsSingle };

    explicit TsPanel(QWidget* parent = nullptr);

    TsCommonData SkinData;

    TBevelCut BevelInner = bvNone;
    TBevelCut BevelOuter = bvRaised;
    int BevelWidth = 1;
    int BorderWidth = 0;
    TBorderStyle BorderStyle = bsNone;
    bool Ctl3D = true;

    // The width of the frame: border, bevels and border width together.
    int frameWidth() const;

protected:
    // For the panel classes built on this one: their own control category.
    TsPanel(QWidget* parent, int kind);
};
