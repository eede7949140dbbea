#pragma once

#include <QLineEdit>

#include "skin/controls/sControlCache.h"
#include "skin/core/sBoundLabel.h"
#include "skin/core/sCommonData.h"

// The skinned one-line edit box. While a skin is active its whole window, frame ring and
// field, is drawn from its section ("EDIT") over the parent's background, in state 1 while
// active (focused, or under the mouse) and 0 otherwise, from a cache rebuilt only when the
// look changes. The text, the cursor and the selection are the platform box's own drawing
// over it, kept inside the ring, so editing works exactly as in the platform's box, the
// password character included. Without a skin it is the platform's box with its frame.
class TsEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TsEdit(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;
    // An optional caption label beside the box (inactive unless asked for).
    TsBoundLabel BoundLabel;
    unsigned DisabledKind = dkBlended;

    // The state the box is drawn in: 1 while active, 0 otherwise.
    int CurrentState() const;
    // The margins of the section's border: the text stays inside them.
    QMargins BorderMargins() const;

    TsControlCache& Cache() { return cache_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void initStyleOption(QStyleOptionFrame* option) const override;

    virtual void PaintLook(Bitmap32& cache, const TCacheInfo& parent);

private:
    // The frame and the text margins follow the skin: the ring is the skin's, the platform
    // frame comes back without it.
    void syncFrame();

    TsControlCache cache_;
    int paintedState_ = -1;
    QString paintedText_;
    bool framed_ = false;
    bool platformFrame_ = true;
    QMargins platformMargins_;
};
