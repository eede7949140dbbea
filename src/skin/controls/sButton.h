#pragma once

#include <QPushButton>

#include "skin/controls/sControlCache.h"
#include "skin/controls/sImageList.h"
#include "skin/core/sCommonData.h"
#include "skin/forms/sFade.h"

// Which changes of a control's state fade (the fades themselves come with the animations).
enum TacAnimatEvent : unsigned {
    aeMouseEnter = 0x1,
    aeMouseLeave = 0x2,
    aeMouseDown = 0x4,
    aeMouseUp = 0x8,
    aeGlobalDef = 0x10,  // as the skin manager's button events say
};

enum TImageAlignment { iaLeft, iaRight, iaTop, iaBottom, iaCenter };

struct TImageMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// Where a button's picture and caption go.
struct TsButtonLayout {
    QRect Picture;  // empty without a picture
    QRect Caption;  // the area the caption is written in
};
// The places of picture and caption in a push button of `size`: the picture by its
// alignment and margins, the caption in the rest of the button.
TsButtonLayout PushButtonLayout(QSize size, QSize picture, TImageAlignment alignment,
                                const TImageMargins& margins, int contentMargin);

// The skinned push button. While a skin is active it is drawn from its section ("BUTTON")
// in its state (normal, hot, pressed) over its parent's background, from a cache rebuilt
// only when its look changes; otherwise it looks and behaves like the platform's push
// button. Enter, like Space, presses it while it has the focus.
class TsButton : public QPushButton {
    Q_OBJECT

public:
    enum TButtonStyle { bsPushButton, bsCommandLink, bsSplitButton };

    explicit TsButton(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;

    unsigned AnimatEvents = aeGlobalDef;
    bool ShowFocus = true;
    int FocusMargin = 1;
    unsigned DisabledKind = dkBlended;
    // Drawn as pressed whatever the mouse does.
    bool Down = false;
    int ContentMargin = 6;
    bool WordWrap = true;
    TButtonStyle Style = bsPushButton;
    QString CommandLinkHint;
    // The pictures by state; the list must outlive the button.
    const TsImageList* Images = nullptr;
    int ImageIndex = -1;
    int HotImageIndex = -1;
    int PressedImageIndex = -1;
    int SelectedImageIndex = -1;
    int DisabledImageIndex = -1;
    TImageAlignment ImageAlignment = iaLeft;
    TImageMargins ImageMargins;
    bool Reflected = false;

    // The state the button is drawn in: 0 normal, 1 hot, 2 pressed.
    int CurrentState() const;
    // The state index painted: the state limited to the section's state images.
    int SkinState() const;
    // The picture of the current state, from the image list; -1 when none.
    int CurrentImageIndex() const;
    // After changing the properties above: the look is painted again.
    void Refresh();

    TsControlCache& Cache() { return cache_; }
    TsControlFade& Fade() { return fade_; }

Q_SIGNALS:
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    // For the button classes built on this one: their own control category.
    TsButton(QWidget* parent, int kind);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Paints the whole look of the current state into the cache: the section over the
    // parent's background, the picture, the caption, the focus rectangle, the disabled look.
    virtual void PaintLook(Bitmap32& cache, const TCacheInfo& parent);
    // The state may have changed through a user's action of this kind (with half the fade
    // steps for a press or a release). This is the one place a state change repaints.
    void Transition(unsigned event, bool halfSteps = false);

private:
    // Whether the button acts as its window's default button.
    bool actsAsDefault() const;
    void drawPicture(QPainter& canvas, const QRect& area) const;

    TsControlCache cache_;
    TsControlFade fade_{this, cache_, SkinData};
    bool mouseAbove_ = false;
    bool pressedByMouse_ = false;
    int paintedState_ = -1;
    QString paintedText_;
    bool paintedFocus_ = false;
};
