#pragma once

#include <QAction>
#include <QMargins>
#include <QMenuBar>
#include <QWidget>

#include "platform/frame_host.h"

// A font of the designed layouts, sized in pixels.
QFont pixelFont(const QString& family, int pixels);

// Fills a widget's background with a colour.
void setBackgroundColour(QWidget* widget, const QColor& colour);
// A text box in black on white.
void setBlackOnWhite(QWidget* box);

// Base of every window of the program. Closing the main form ends the program; closing
// any other form only hides it, and it keeps its state until it is shown again.
class TForm : public QWidget, public TFrameHost {
    Q_OBJECT

public:
    explicit TForm(QWidget* parent = nullptr);

    // The height of the whole window as designed: the client area plus the window frame.
    void setFormHeight(int height);
    int formHeight() const;

    // Sets the size of the whole window as designed, frame included.
    void setFormSize(int width, int height);

    // Centre the window on the screen every time it is shown.
    void setCentredOnShow(bool centred) { centredOnShow_ = centred; }
    void centreOnScreen();

    // Sets the window to fill the work area of its screen (the screen less its panels).
    void fillWorkArea();

    bool isMainForm() const;

    // A frame drawn inside the window (by the skin) in place of the desktop's: children and
    // layouts keep to the client area inside it, and the window keeps its whole size as
    // designed, the inner frame counted as the window's frame.
    void setInnerFrame(const QMargins& frame) override;
    const QMargins& innerFrame() const override { return innerFrame_; }
    // Changing the desktop's frame of a shown form hides it; whoever changes it shows the
    // form again where it was.
    void setDesktopFrame(bool shown) override;
    bool hasInnerFrame() const { return !innerFrame_.isNull(); }
    // The client area, in the window's coordinates.
    QRect clientRect() const { return rect().marginsRemoved(innerFrame_); }

protected:
    // The window's menu bar, placed above its client area, and its items.
    QMenuBar* createMainMenu();
    static QAction* addMenuItem(QWidget* menu, const char* name, const QString& caption);

    // The height the window frame adds to the client area in the designed layouts.
    virtual int frameHeight() const { return 30; }
    virtual int frameWidth() const { return 8; }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool centredOnShow_ = false;
    QMargins innerFrame_;
};
