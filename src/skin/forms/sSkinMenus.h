#pragma once

// The skinned menus: every menu bar and every popup of the program (context menus, the
// drop-downs of menu bars, the submenus Qt makes for them, the skinned system menu) drawn
// from the skin's menu sections while a skin is active. Qt keeps doing everything else:
// opening, placing, the mouse and the keyboard.
//
// The measuring rules are pure functions below; TsSkinableMenus paints with them.

#include <QFont>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QSet>
#include <QSize>
#include <QString>
#include <functional>

#include "imaging/bitmap32.h"
#include "skin/core/sPainting.h"

class QAction;
class QMenu;
class QMenuBar;
class QPainter;
class QStyleOptionMenuItem;
class QWidget;
class TsSkinManager;
class TsMenuStyle;

// ---- measuring ------------------------------------------------------------------------------

// What an item is, told by its caption.
enum TsMenuItemKind {
    mkNormal,        // glyph column, caption, shortcut
    mkSeparator,     // "-": a divider line
    mkTitle,         // "-Word-": the word centred on the toolbar's look
    mkRightAligned,  // begins with the backspace character: the rest set to the right
};
TsMenuItemKind MenuItemKind(const QString& caption);
// The text an item shows: a title's word without its dashes; a right-aligned caption
// without its leading backspace and with six spaces after it; other captions as they are.
QString MenuItemText(const QString& caption);
// A caption without its "&" marks ("&&" stands for one "&"), as it is measured.
QString StripMnemonics(const QString& caption);

// The sizes popup items are laid out with.
struct TsMenuItemMetrics {
    int Margin = 2;   // inner margin of an item
    int Spacing = 8;  // between the glyph column and the caption
    int Glyph = 16;   // side of the glyph column
};

// Height of a popup item: 2 for a separator; else the text's line height times 1.25
// (rounded to even) or the glyph when that is higher (titles have no glyph), plus twice the
// margin.
int PopupItemHeight(TsMenuItemKind kind, int textHeight, int glyphHeight, int margin);
// Height of a separator. A plain line needs 2 pixels; a divider image keeps its own height
// and a margin above and below, so that the line it draws shows.
int SeparatorHeight(int dividerHeight, int margin);
// Width of a popup item around a text of `textWidth`: the glyph column and a column as wide
// on the right, three margins and the spacing.
int PopupItemWidth(int textWidth, int glyphWidth, int margin, int spacing);
// The width of "caption<tab>shortcut" drawn on one line: the tab runs on to the next tab
// stop after the caption.
int ExpandedTextWidth(int captionWidth, int shortcutWidth, int tabStop);
// A popup is 12 pixels wider than its widest item.
int PopupWidth(int widestItem);
// Width of a menu bar item: its caption, and its image with 6 pixels when it has one.
int MenuBarItemWidth(int textWidth, int imageWidth);
// Height of a menu bar item: one pixel less than the desktop's menu bar.
int MenuBarItemHeight(int menuBarHeight);

// Where the parts of a popup item lie, in the item's own coordinates.
struct TsPopupItemParts {
    QRect Glyph;          // the glyph column: images, check marks
    QRect Caption;        // the caption, vertically centred in it
    QRect Shortcut;       // the shortcut text, right-aligned in it (left-aligned right to left)
    QRect Arrow;          // the column on the other side: the arrow of a submenu
    int DividerLeft = 0;  // a separator's line runs from here to DividerRight (exclusive)
    int DividerRight = 0;
};
TsPopupItemParts PopupItemParts(QSize item, const TsMenuItemMetrics& metrics, bool rightToLeft);

// The shape of a popup: its rectangle less the see-through parts of its border; a border
// without any still loses the top-left pixel, so that the popup always has a shape of its
// own.
QRegion PopupShape(QSize size, const QRegion& cutOut);

// ---- the skinned menus ----------------------------------------------------------------------

// Paints every QMenu and QMenuBar of the program from the skin. While it is active, each
// menu widget that has no style of its own wears a proxy of the application's style that
// answers the menu elements (panels, items, frames, margins, sizes, the popup's shape) from
// the skin and hands every other question to the application's style unchanged; an
// application-wide event filter dresses each menu as it is polished, so menus made later,
// the submenus Qt makes included, are reached too. Switching off takes the style off again:
// the menus are Qt's own once more.
//
// The popup background (the MAINMENU look, the glyph stripe, the border) is built once per
// popup and kept until the popup's size or the skin changes; items are painted over a copy
// of it. The menu bar's band is the window's background where the form's provider painted
// it, or the MENULINE look painted over what lies behind the bar.
class TsSkinableMenus : public QObject {
    Q_OBJECT

public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };

    explicit TsSkinableMenus(TsSkinManager* manager);
    ~TsSkinableMenus() override;
    // The menus of a manager, made the first time they are asked for; they live as long as
    // the manager and follow its skin.
    static TsSkinableMenus* of(TsSkinManager* manager);

    // Alignment of normal captions (right-aligned items are always right).
    TAlignment Alignment = taLeftJustify;
    int BevelWidth = 0;  // kept for the settings' sake; nothing is drawn with it
    // The popup's frame: the strips of the background that are the window's edges.
    int BorderWidth = 3;
    // Font of title items; the application's font unless set.
    QFont CaptionFont;
    // Width of the MAINMENU border, looked up again with every skin.
    int SkinBorderWidth = 0;
    int Margin = 2;
    int Spacing = 8;
    // Called after an item is painted into its picture, before it is shown.
    std::function<void(QAction* item, Bitmap32& picture, QSize size)> OnDrawItem;

    // Dressed while the manager is the default one, its skin is active and SkinnedPopups
    // is set.
    void followSkin();
    // Whether menus are dressed now.
    bool isActive() const { return active_; }
    // Dresses every menu (on) or gives them all back to Qt (off).
    void setActive(bool on);
    // A new skin, or the same one refreshed: cached pictures are dropped, the border width
    // looked up again, and the dressed menus measured, shaped and painted afresh.
    void skinChanged();
    // Whether the widget wears the skinned menus' style.
    bool isDressed(const QWidget* widget) const;

    TsMenuItemMetrics itemMetrics() const;
    // Whether popups, and menu bars, are drawn from the skin now (the skin has MAINMENU,
    // and MENULINE).
    bool popupsSkinned() const;
    bool barsSkinned() const;

    // The background of a popup of the menu's size, built when missing or stale.
    const Bitmap32& popupBackground(const QMenu* menu);
    // The shape a popup of that size is cut to; empty while popups are not skinned.
    QRegion popupShape(QSize size) const;
    // Paints the items of `bar` over `image`, in which the bar's band already lies with the
    // bar's top-left corner at `origin` (the form's provider keeps the band in its window
    // image).
    void paintMenuBar(const QMenuBar* bar, Bitmap32& image, QPoint origin);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TsMenuStyle;

    void dress(QWidget* widget);
    void undress(QWidget* widget);
    void forget(QObject* widget);
    void applyShape(QMenu* menu);
    void updateBars();
    bool showsMnemonics(const QWidget* widget) const;

    int section(const QString& name) const;
    int globalImage(const QString& name) const;
    // The separators' divider image, or -1.
    int dividerImage() const;

    // Answers of the style for menus and bars.
    QSize popupItemSize(const QStyleOptionMenuItem& option, const QMenu* menu) const;
    QSize barItemSize(const QStyleOptionMenuItem& option, const QMenuBar* bar) const;
    void drawPopupBackground(QPainter& painter, const QMenu* menu, const QRect& area);
    void drawPopupItem(QPainter& painter, const QStyleOptionMenuItem& option, const QMenu* menu);
    void drawBarBackground(QPainter& painter, const QMenuBar* bar, const QRect& area);
    void drawBarItem(QPainter& painter, const QStyleOptionMenuItem& option, const QMenuBar* bar);

    Bitmap32 buildPopupBackground(QSize size, bool rightToLeft) const;
    const Bitmap32& barBand(const QMenuBar* bar);
    // What lies behind the bar in its window, and whether that already is the bar's band.
    TCacheInfo barBackground(const QMenuBar* bar, bool& isBand) const;
    QString menuLineSection(const QMenuBar* bar) const;
    // The item painted into `picture`, which holds what lies behind it (the band's pixels
    // at `behind`).
    void paintBarItem(Bitmap32& picture, const TCacheInfo& behind,
                      const QStyleOptionMenuItem& option, const QMenuBar* bar) const;
    void paintPopupItem(Bitmap32& picture, const TCacheInfo& behind,
                        const QStyleOptionMenuItem& option, const QMenu* menu) const;

    struct PopupPicture {
        Bitmap32 Background;
        bool RightToLeft = false;
    };
    struct BarPicture {
        Bitmap32 Band;
        bool Stale = true;
    };

    TsSkinManager* manager_;
    TsMenuStyle* style_ = nullptr;
    bool active_ = false;
    QList<QPointer<QWidget>> dressed_;
    QHash<const QObject*, PopupPicture> popups_;
    QHash<const QObject*, BarPicture> bars_;
    // Popups opened from the keyboard show their "&" underlines.
    QSet<const QObject*> keyboardPopups_;
    bool lastInputWasKey_ = false;
    bool altDown_ = false;
};
