#include "skin/forms/sSystemMenu.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include "skin/forms/sSkinProvider.h"

TsSystemMenu::TsSystemMenu(TsSkinProvider* provider) : provider_(provider) {
    setObjectName(QStringLiteral("SysMenu"));
    // The captions the desktop gives the system menu of its windows.
    const auto add = [this](TsSystemMenuItem kind, const QString& caption) {
        QAction* action = addAction(caption);
        items_[size_t(kind)] = action;
        return action;
    };
    // Each command is posted, so that the menu has closed before the window changes.
    const auto post = [this](void (TsSkinProvider::*command)()) {
        return [this, command] { QTimer::singleShot(0, provider_, command); };
    };
    connect(add(smRestore, QStringLiteral("Восстановить")), &QAction::triggered,
            post(&TsSkinProvider::restoreWindow));
    connect(add(smMove, QStringLiteral("Переместить")), &QAction::triggered,
            post(&TsSkinProvider::beginKeyboardMove));
    connect(add(smSize, QStringLiteral("Размер")), &QAction::triggered,
            post(&TsSkinProvider::beginKeyboardSize));
    connect(add(smMinimize, QStringLiteral("Свернуть")), &QAction::triggered,
            post(&TsSkinProvider::minimizeWindow));
    connect(add(smMaximize, QStringLiteral("Развернуть")), &QAction::triggered,
            post(&TsSkinProvider::maximizeWindow));
    separator_ = addSeparator();
    QAction* close = add(smClose, QStringLiteral("Закрыть"));
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    close->setShortcutVisibleInContextMenu(true);
    connect(close, &QAction::triggered, post(&TsSkinProvider::closeWindow));
}

void TsSystemMenu::popupUnderIcon(QPoint globalPosition, QRect iconOnScreen) {
    icon_ = iconOnScreen;
    opened_.start();
    popup(globalPosition);
}

void TsSystemMenu::mousePressEvent(QMouseEvent* event) {
    const bool onIcon = !icon_.isEmpty() && icon_.contains(event->globalPosition().toPoint());
    if (onIcon && event->button() == Qt::LeftButton &&
        opened_.elapsed() <= QApplication::doubleClickInterval()) {
        hide();
        QTimer::singleShot(0, provider_, &TsSkinProvider::closeWindow);
        return;
    }
    QMenu::mousePressEvent(event);
}

void TsSystemMenu::hideEvent(QHideEvent* event) {
    icon_ = QRect();
    QMenu::hideEvent(event);
}

void TsSystemMenu::refresh() {
    const auto states = SystemMenuStates(provider_->windowKind(), provider_->titleButtons(),
                                         provider_->canMaximize(), provider_->canMinimize());
    for (int kind = 0; kind < smCount; ++kind) {
        items_[size_t(kind)]->setVisible(states[size_t(kind)].Visible);
        items_[size_t(kind)]->setEnabled(states[size_t(kind)].Enabled);
    }
    separator_->setVisible(states[smClose].Visible);
}
