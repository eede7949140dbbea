#pragma once

// The geometry of a skinned window frame as pure functions of the window's kind and size:
// the desktop's frame metrics, the frame's parts, the title icon and caption, the title
// buttons and the hit test. The skin provider only calls these; tests check them without a
// window.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>

// The sizes a classic desktop gives window frames.
struct TsFrameMetrics {
    int SizingFrame = 4;    // border of a sizeable window
    int DialogFrame = 3;    // border of a fixed dialog window
    int Caption = 24;       // title bar
    int SmallCaption = 18;  // title bar of a tool window
    int MenuBar = 20;       // one line of the main menu bar
};
// The one table the program uses.
const TsFrameMetrics& FrameMetrics();

// The border styles of windows.
enum TsBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// What the frame of a window depends on.
struct TsWindowKind {
    TsBorderStyle Border = bsSizeable;
    bool SystemMenu = true;
    bool MinimizeIcon = true;
    bool MaximizeIcon = true;
    bool HelpIcon = false;
    bool Maximized = false;
    bool Minimized = false;
    int MenuLines = 0;  // lines of the main menu bar; 0 without one
    int OwnBorder = 0;  // the window's own border width
};

// Sizes of the frame's parts.
struct TsFrameSizes {
    int Border = 0;  // left, right and bottom; the top border above the title bar
    int Title = 0;
    int Menu = 0;
    // Where the client area lies inside the window.
    QMargins client() const { return QMargins(Border, Border + Title + Menu, Border, Border); }
};
TsFrameSizes FrameSizes(const TsWindowKind& kind, const TsFrameMetrics& metrics = FrameMetrics());

// The side of the square title icon for a title bar height: 1 up to 8 pixels, 8 up to 16,
// 16 above.
int TitleIconSize(int titleHeight);
// Whether the window shows an icon in its title bar.
bool ShowsTitleIcon(const TsWindowKind& kind);
// The icon's rectangle: `left` pixels past the border, centred in the title bar.
QRect TitleIconRect(const TsFrameSizes& sizes, int left);

// The skin's placement values of title buttons ("BIRIGHT", "BISPACE", "BITOP", "BIVALIGN").
struct TsTitleButtonPlacement {
    int Right = 0;
    int Spacing = 0;
    int Top = 0;
    int VAlign = 0;
};

// The title buttons, in the order close, maximize (or restore), minimize, help.
enum TsTitleButtonKind { tbClose, tbMaximize, tbMinimize, tbHelp, tbCount };

// The hit-test codes of the frame.
enum TsHitTest : int {
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTSYSMENU = 3,
    HTMENU = 5,
    HTMINBUTTON = 8,
    HTMAXBUTTON = 9,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTCLOSE = 20,
    HTHELP = 21,
};

struct TsTitleButton {
    bool Present = false;
    bool Enabled = false;
    QString Glyph;  // the glyph's name in GLOBALINFO; empty when the skin has none
    bool Large = true;
    QRect Rect;  // in window coordinates
    int HitCode = HTNOWHERE;
    int State = 0;  // 0 normal, 1 hot, 2 pressed
};

struct TsTitleButtons {
    std::array<TsTitleButton, tbCount> Buttons;
    int Width = 0;  // all buttons with the right margin: the caption ends before it
    const TsTitleButton& operator[](int kind) const { return Buttons[size_t(kind)]; }
    TsTitleButton& operator[](int kind) { return Buttons[size_t(kind)]; }
};

// Which buttons a window shows, with which glyph and whether enabled. `hasGlyph` tells
// whether the skin has a glyph of that name; `canMaximize`/`canMinimize` are the window's
// own permissions.
TsTitleButtons ChooseTitleButtons(const TsWindowKind& kind, bool canMaximize, bool canMinimize,
                                  const std::function<bool(const QString&)>& hasGlyph);
// Places the chosen buttons from the right in a window of `width`; `glyphSize` gives each
// glyph's size (one frame), an empty size for a missing glyph, which then takes 21 by 21.
void LayoutTitleButtons(TsTitleButtons& buttons, int width, const TsFrameSizes& sizes,
                        const TsTitleButtonPlacement& placement,
                        const std::function<QSize(const QString&)>& glyphSize);

// The hit-test code of a point of a window of `size`. `icon` is the title icon's rectangle
// (empty without one), `grip` the size grip's (empty without one).
int FrameHitTest(QPoint point, QSize size, const TsWindowKind& kind, const TsFrameSizes& sizes,
                 const TsTitleButtons& buttons, const QRect& icon, const QRect& grip = QRect());

// The box the caption is written in: from past the icon to 12 pixels before the buttons.
// The text is centred between 2 pixels below the top border (3 below the window's top
// when maximised) and the bottom of the title bar.
QRect CaptionBox(QSize size, const TsFrameSizes& sizes, bool maximized, int iconWidth, int left,
                 bool captionPlate, int buttonsWidth);

// The items of the skinned system menu, in order.
enum TsSystemMenuItem { smRestore, smMove, smSize, smMinimize, smMaximize, smClose, smCount };
struct TsSystemMenuState {
    bool Visible = false;
    bool Enabled = false;
};
// The visibility and enabled state of each item for a window, by the title buttons' rules.
std::array<TsSystemMenuState, smCount> SystemMenuStates(const TsWindowKind& kind,
                                                        const TsTitleButtons& buttons,
                                                        bool canMaximize, bool canMinimize);
