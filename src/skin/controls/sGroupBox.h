#pragma once

#include <QGroupBox>

#include "skin/controls/sControlCache.h"
#include "skin/core/sCommonData.h"

// Where a group box's caption sits on its top edge.
enum TsCaptionLayout { clTopLeft, clTopCenter, clTopRight };

// The left edge of a group box's caption box for a box `width` wide and a caption
// `textWidth` wide: 6 pixels from the left for clTopLeft (for clTopRight under right-to-left
// reading), centred for clTopCenter, at the right for the others; never below 0.
int GroupCaptionLeft(int width, int textWidth, TsCaptionLayout layout, bool rightToLeft);

// The skinned group box: a captioned frame around related controls. While a skin is active
// its frame is drawn from its section ("GROUPBOX") from half the caption's height down, the
// strip above it showing the parent; the caption lies on the frame's top edge in a box of
// its own section ("CHECKBOX", or CaptionSkin) that cuts the frame. Its children are drawn
// over it. Without a skin it is the platform's group box.
class TsGroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit TsGroupBox(QWidget* parent = nullptr);

    TsCommonData SkinData;

    TsCaptionLayout CaptionLayout = clTopLeft;
    // The caption moved down by this many pixels; above its place (negative) the frame
    // runs from the top.
    int CaptionYOffset = 0;
    // The section behind the caption; "CHECKBOX" when empty.
    QString CaptionSkin;

    // The height of a caption line, whether the box has a caption or not.
    int captionHeight() const;
    // Where the frame is drawn, and the caption's box (empty without a caption).
    QRect frameRect() const;
    QRect captionRect() const;

    // After changing the properties above: the look is painted again.
    void Refresh();

    TsControlCache& Cache() { return cache_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

    virtual void PaintLook(Bitmap32& cache, const TCacheInfo& parent);

private:
    TsControlCache cache_;
    QString paintedTitle_;
};
