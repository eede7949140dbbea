#pragma once

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

private:
    TsSkinProvider* provider_;
    std::array<QAction*, smCount> items_{};
    QAction* separator_ = nullptr;
};
