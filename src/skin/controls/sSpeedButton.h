#pragma once

#include <QPointer>
#include <QToolButton>

#include "skin/controls/sButton.h"
#include "skin/controls/sButtonFace.h"
#include "skin/controls/sControlCache.h"
#include "skin/core/sCommonData.h"
#include "skin/forms/sFade.h"

class QMenu;

// The skinned speed button: a small button that takes no keyboard focus of its own. While a
// skin is active it is drawn from its section ("SPEEDBUTTON") in its state (normal, hot,
// pressed) over its parent's background, from a cache rebuilt only when its look changes;
// its picture and caption are placed as on a bitmap button. Otherwise it is the platform's
// tool button.
class TsSpeedButton : public QToolButton, public TsButtonFace {
    Q_OBJECT

public:
    enum TsButtonStyle {
        tbsButton,
        tbsCheck,      // each click toggles Down
        tbsDropDown,   // a part with an arrow at the right opens DropdownMenu
        tbsSeparator,  // an empty gap between buttons
        tbsDivider,    // a line between buttons
    };

    explicit TsSpeedButton(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;

    TsButtonStyle ButtonStyle = tbsButton;
    QPointer<QMenu> DropdownMenu;
    unsigned AnimatEvents = aeGlobalDef;
    unsigned DisabledKind = dkBlended;
    // Drawn as pressed whatever the mouse does.
    bool Down = false;
    // The picture from an image list instead of the glyph; the list must outlive the button.
    const TsImageList* Images = nullptr;
    int ImageIndex = -1;
    bool Reflected = false;

    // The glyph strip of NumGlyphs frames (up, disabled, clicked, down); a picture without
    // an alpha channel takes its bottom-left pixel's colour as transparent.
    void setGlyph(const QImage& glyph, int numGlyphs = 1);

    // The state the button is drawn in: 0 normal, 1 hot, 2 pressed.
    int CurrentState() const;
    // The state index painted: the state limited to the section's state images.
    int SkinState() const;
    // After changing the properties above: the picture and the look are taken again.
    void Refresh();
    // The part of a drop-down button that opens its menu; empty for the other styles.
    QRect dropDownArea() const;

    TsControlCache& Cache() { return cache_; }
    TsControlFade& Fade() { return fade_; }

Q_SIGNALS:
    // The finished picture of the button, before it is shown.
    void OnPaint(Bitmap32& cache);
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Paints the whole look of the current state into the cache.
    virtual void PaintLook(Bitmap32& cache, const TCacheInfo& parent);
    // The state may have changed through a user's action of this kind.
    void Transition(unsigned event);

private:
    // Whether the style makes a button at all (a separator or divider is none).
    bool isButton() const { return ButtonStyle != tbsSeparator && ButtonStyle != tbsDivider; }
    // The divider line of the skin's "DIVIDER" section, down the middle of `area`.
    void paintDivider(Bitmap32& cache, const TCacheInfo& parent, const QRect& area) const;
    // The platform button shows the picture as its icon, the caption beside it.
    void syncIcon();

    TsControlCache cache_;
    TsControlFade fade_{this, cache_, SkinData};
    bool mouseAbove_ = false;
    int paintedState_ = -1;
    QString paintedText_;
};
