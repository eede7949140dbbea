#pragma once

#include <QFrame>

#include "skin/controls/sControlCache.h"
#include "skin/core/sCommonData.h"

// The skinned panel: a container drawn from its section ("PANEL") over its parent's
// background; its children are drawn over the panel's picture. Never hot. Without a skin it
// is the platform's panel with its bevels.
class TsPanel : public QFrame {
    Q_OBJECT

public:
    enum TBevelCut { bvNone, bvLowered, bvRaised };
    enum TBorderStyle { bsNone, bsSingle };

    explicit TsPanel(QWidget* parent = nullptr);

    TsCommonData SkinData;

    TBevelCut BevelInner = bvNone;
    int BevelWidth = 1;
    int BorderWidth = 0;
    TBorderStyle BorderStyle = bsNone;
    bool Ctl3D = true;
    // A caption in the middle of the panel, placed horizontally by the alignment.
    QString Caption;
    Qt::Alignment Alignment = Qt::AlignHCenter;

    TBevelCut BevelOuter() const { return bevelOuter_; }
    // The stock sections follow the outer bevel: none "CHECKBOX", lowered "PANEL_LOW",
    // raised "PANEL"; a section chosen by hand is left alone.
    void setBevelOuter(TBevelCut bevel);
    void setCaption(const QString& caption);

    // The width of the frame: border, bevels and border width together.
    int frameWidth() const;

    TsControlCache& Cache() { return cache_; }

Q_SIGNALS:
    // The finished picture of the panel, before it is shown.
    void OnPaint(Bitmap32& cache);
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    // For the panel classes built on this one: their own control category.
    TsPanel(QWidget* parent, int kind);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

    virtual void PaintLook(Bitmap32& cache, const TCacheInfo& parent);

private:
    // The platform's frame for the bevels, shown while no skin paints the panel.
    void applyPlatformFrame();

    TsControlCache cache_;
    TBevelCut bevelOuter_ = bvRaised;
};
