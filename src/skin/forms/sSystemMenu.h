#pragma once

#include <QElapsedTimer>
#include <QMenu>
#include <array>

#include "skin/forms/sFrameGeometry.h"

class TsSkinProvider;

// The skinned system menu of a window ("SysMenu"): restore, move, size, minimize, maximize
// and close, shown and enabled by the window's state each time it opens, each posting its
// window command.
class TsSystemMenu : public QMenu {
    Q_OBJECT

public:
    explicit TsSystemMenu(TsSkinProvider* provider);

    // The items made visible and enabled for the window as it is now.
    void refresh();
    QAction* item(TsSystemMenuItem kind) const { return items_[size_t(kind)]; }

    // Opens the menu under the window's icon, where the icon's second click of a double
    // click, which reaches the open menu and not the window, closes the window.
    void popupUnderIcon(QPoint globalPosition, QRect iconOnScreen);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TsSkinProvider* provider_;
    QRect icon_;          // the icon on the screen while the menu was opened from it
    QElapsedTimer opened_;  // since the menu opened from the icon
    std::array<QAction*, smCount> items_{};
    QAction* separator_ = nullptr;
};
