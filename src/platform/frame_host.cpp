#include "platform/frame_host.h"

#include <QLayout>
#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include "platform/form.h"

namespace {

// Whether a layout places the widget, at any depth of its items.
bool placedBy(const QLayout* layout, const QWidget* widget) {
    if (!layout) return false;
    if (layout->menuBar() == widget) return true;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget || placedBy(item->layout(), widget)) return true;
    }
    return false;
}

}  // namespace

TFrameHost* TFrameHost::of(QWidget* window) {
    if (!window) return nullptr;
    if (auto* form = qobject_cast<TForm*>(window)) return form;
    if (auto* host = window->findChild<TWindowFrameHost*>(QString(), Qt::FindDirectChildrenOnly))
        return host;
    return new TWindowFrameHost(window);
}

void moveHandPlacedChildren(QWidget* window, QPoint shift) {
    if (shift.isNull()) return;
    for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || placedBy(window->layout(), child)) continue;
        child->move(child->pos() + shift);
    }
}

TWindowFrameHost::TWindowFrameHost(QWidget* window) : QObject(window), window_(window) {}

void TWindowFrameHost::setInnerFrame(const QMargins& frame) {
    if (frame == frame_) return;
    const QMargins before = frame_;
    // Set first: changing the margins tells the window's provider, which asks for the frame
    // again.
    frame_ = frame;
    moveHandPlacedChildren(window_, QPoint(frame.left() - before.left(), frame.top() - before.top()));
    window_->setContentsMargins(window_->contentsMargins() - before + frame);
    const QSize grow(frame.left() + frame.right() - before.left() - before.right(),
                     frame.top() + frame.bottom() - before.top() - before.bottom());
    const QSize whole = window_->size() + grow;
    if (window_->minimumSize() == window_->maximumSize())
        window_->setFixedSize(whole);
    else
        window_->resize(whole);
}

void TWindowFrameHost::setDesktopFrame(bool shown) {
    Qt::WindowFlags flags = window_->windowFlags();
    flags.setFlag(Qt::FramelessWindowHint, !shown);
    if (flags == window_->windowFlags()) return;
    QWindow* handle = window_->windowHandle();
    if (window_->testAttribute(Qt::WA_WState_Created) && handle) {
        // The widget learns the flags without being hidden, the desktop through its window.
        window_->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window_->setWindowFlags(flags);
    }
}

bool closeThroughFrame(QWidget* window) {
    if (!window) return false;
    QWindow* handle = window->windowHandle();
    if (!handle || !window->isVisible()) return window->close();
    return QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
        handle);
}
