#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>

class QWidget;

// A top-level window that carries a frame drawn inside it, in margins reserved around its
// client area, in place of the desktop's frame. The program's forms are their own host
// (TForm) and keep their whole size as designed; any other window is given a host of its own
// (TWindowFrameHost) and grows by the frame, as the desktop's frame lay outside it.
class TFrameHost {
public:
    virtual ~TFrameHost() = default;

    // The margins of the frame: children placed by hand move with the client area, a layout
    // keeps to the area inside them.
    virtual void setInnerFrame(const QMargins& frame) = 0;
    virtual const QMargins& innerFrame() const = 0;
    // The desktop's frame is taken away while the window draws a frame of its own, and
    // given back afterwards.
    virtual void setDesktopFrame(bool shown) = 0;

    // The host of a top-level window: a form is its own; any other window is given one,
    // which lives as long as the window.
    static TFrameHost* of(QWidget* window);
};

// The frame host of a window that is not one of the program's forms: a message box, a dialog
// of the toolkit, a window some library made.
class TWindowFrameHost : public QObject, public TFrameHost {
    Q_OBJECT

public:
    explicit TWindowFrameHost(QWidget* window);

    // The window's own contents margins stay, inside the frame; the window grows by the
    // frame (a window of fixed size keeps a fixed size, the frame's larger).
    void setInnerFrame(const QMargins& frame) override;
    const QMargins& innerFrame() const override { return frame_; }
    // The window stays on screen while its desktop frame changes: hiding it, as changing a
    // shown window's flags otherwise does, would end a modal dialog's run.
    void setDesktopFrame(bool shown) override;

private:
    QWidget* window_;
    QMargins frame_;
};

// Moves the children of a window that its layout does not place (placed by hand) by `shift`.
void moveHandPlacedChildren(QWidget* window, QPoint shift);

// Closes a window as the close button of the desktop's frame does: the window hears of a
// close the desktop asks for (a spontaneous close), which it may refuse, as a Yes/No message
// box does. Answers whether the window accepted.
bool closeThroughFrame(QWidget* window);
