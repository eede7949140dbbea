#pragma once

#include <QImage>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <optional>

#include "skin/core/sCommonData.h"
#include "skin/forms/sFrameGeometry.h"

class QMenu;
class QShortcut;
class TFrameHost;
class TsMinimizeAnimation;
class TsSystemMenu;

// The skin provider of a window: while a skin is active it takes the window's frame over
// from the desktop. The window becomes frameless and the provider draws, in margins it
// reserves around the client area, the borders, the title bar with icon, caption and title
// buttons, and the background, all from one window image repainted only when something
// changed. It answers the frame's hit test, moves and resizes the window, turns clicks on
// the title buttons into the window commands, opens a skinned system menu and cuts the
// window to the skin's shape. When the skin is removed the desktop's frame comes back.
class TsSkinProvider : public QObject {
    Q_OBJECT

public:
    enum TCaptionAlignment { taLeftJustify, taRightJustify, taCenter };

    // For a top-level window: one of the program's forms, or any other window (the automatic
    // skinning gives message boxes and the toolkit's dialogs a provider of section "DIALOG").
    // `useGlobalColor` is UseGlobalColor from the start: a window that keeps its own colour
    // must say so before the provider first skins it.
    explicit TsSkinProvider(QWidget* form, const QString& section = QStringLiteral("FORM"),
                            bool useGlobalColor = true);
    ~TsSkinProvider() override;

    // The window's section ("FORM"); its cache is the window image.
    TsCommonData SkinData;

    TCaptionAlignment CaptionAlignment = taLeftJustify;
    bool ShowAppIcon = true;
    bool UseGlobalColor = true;
    // The sections of the title bar and the menu bar; empty: "FORMTITLE" and "MENULINE".
    QString TitleSkin;
    QString MenuLineSkin;

    // The window's border: a sizeable window by default; a window of fixed size has a
    // single border, a dialog a dialog border.
    TsBorderStyle BorderStyle() const;
    void setBorderStyle(TsBorderStyle style);

    // The provider serving a window, or none.
    static TsSkinProvider* of(const QWidget* form);

    QWidget* form() const { return form_; }
    // The system menu drawn by the skinned menus (the default), or in the application's own
    // style; set before the window is first shown.
    bool SkinnedSystemMenu() const { return skinnedSystemMenu_; }
    void setSkinnedSystemMenu(bool skinned);
    // Gives the window back as it was before the skin (the automatic skinning does, before it
    // lets an adapted window go).
    void release() { giveBack(); }
    // Whether the provider draws the frame now.
    bool skinned() const { return skinned_; }
    // 1 while the window is active, else 0: the state the frame is drawn in.
    int activeState() const { return active_ ? 1 : 0; }
    bool maximized() const { return maximized_; }
    TsWindowKind windowKind() const;
    const TsFrameSizes& frameSizes() const { return sizes_; }
    const TsTitleButtons& titleButtons() const { return buttons_; }
    QRect iconRect() const { return icon_; }
    // Where the client area starts in the window image.
    QPoint clientOffset() const { return QPoint(sizes_.client().left(), sizes_.client().top()); }
    // The window image, painted when stale.
    const Bitmap32& windowImage();
    // The window's region, empty when it is not cut.
    const QRegion& region() const { return region_; }

    // The window commands of the title buttons and the system menu.
    void closeWindow();
    void minimizeWindow();
    void maximizeWindow();
    void restoreWindow();
    bool canMaximize() const;
    bool canMinimize() const;
    // The keyboard moves or sizes the window: arrows by 8 pixels, Enter ends, Esc goes back.
    void beginKeyboardMove();
    void beginKeyboardSize();

    // The skinned system menu, built afresh each time it opens: under the icon, or at a
    // point of the screen.
    void showSystemMenu(QPoint globalPosition);
    // Opens the skinned system menu under the icon. `origin` is where the window's top left
    // corner lies on the screen, as a mouse event on the frame tells it; without it the
    // window's own idea is taken, which a window manager may not have kept up to date.
    void showSystemMenuUnderIcon(std::optional<QPoint> origin = std::nullopt);
    TsSystemMenu* systemMenu() const { return systemMenu_; }

    // The answer of the frame's hit test at a point of the window.
    int hitTest(QPoint point) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The skin became active: the frame is taken over.
    void initialise();
    // The skin is gone: the desktop's frame comes back.
    void giveBack();
    bool shouldSkin() const;
    // Frame sizes, buttons and the client margins worked out again.
    void relayout();
    void paintImage();
    void paintCaption(Bitmap32& image);
    void paintButtons(Bitmap32& image);
    void paintButton(Bitmap32& image, const TsTitleButton& button);
    void applyRegion();
    // Redraws one title button alone, on the saved strip of the title bar.
    void redrawButton(int kind);
    void setHotButton(int code);
    void setPressedButton(int code);
    void runButton(int code);
    void repaintFrame();
    int sectionIndex(const QString& name) const;
    int glyphIndex(const QString& name) const;
    void updateCursor(int code);
    void beginManualMove(QPoint global, int code);
    // Whether minimising and restoring are animated now.
    bool animatesMinimizing() const;
    void startMinimizeAnimation(bool restoring, bool shownByDesktop = false);
    // The window system's events of the form's window: an expose after the desktop brought
    // the minimised window back.
    bool windowSystemEvent(QEvent* event);
    // The desktop brought the minimised window back: its picture grows out of the panel over
    // it.
    void backFromPanel();

    bool mouseEvent(QEvent* event);
    bool keyboardModeEvent(QEvent* event);
    bool skinCommand(class TsSkinMessage& message);

    QWidget* form_;
    TFrameHost* frameHost_;
    bool skinnedSystemMenu_ = true;
    TsBorderStyle border_ = bsSizeable;
    bool skinned_ = false;
    bool active_ = true;
    bool maximized_ = false;
    QRect normalGeometry_;
    bool regionChanged_ = true;
    QRegion region_;
    TsFrameSizes sizes_;
    TsTitleButtons buttons_;
    QRect icon_;
    Bitmap32 buttonStrip_;  // the title bar's right end before the buttons were drawn
    QPoint buttonStripAt_;
    int hotButton_ = 0;
    int pressedButton_ = 0;
    // A press on the caption or an edge that may become a move or a resize.
    int pressCode_ = 0;
    QPoint pressGlobal_;
    QRect pressGeometry_;
    bool manualDrag_ = false;
    bool savedAutoFill_ = false;
    QPalette savedPalette_;
    bool hadFrame_ = false;
    TsSystemMenu* systemMenu_ = nullptr;
    QPointer<QShortcut> menuKey_;   // Alt+Space: the system menu
    QPointer<QShortcut> closeKey_;  // Alt+F4: closing
    bool hadMouseTracking_ = false;
    bool formGone_ = false;  // the window is being destroyed
    enum { kmNone, kmMove, kmSize } keyboardMode_ = kmNone;
    QRect keyboardStart_;
    // The window's look when it was minimised, for the picture that grows back out of the
    // panel; and the animation running now, if any.
    QImage minimisedPicture_;
    QPointer<TsMinimizeAnimation> minimizing_;
    // The window is minimised: the desktop may bring it back on its own.
    bool onPanel_ = false;
    bool offScreen_ = false;  // and the desktop has taken it off the screen
};
