#include "platform/skin_message.h"

#include <QCoreApplication>
#include <QWidget>

QEvent::Type TsSkinMessage::eventType() {
    static const QEvent::Type type = [] {
        const int registered = QEvent::registerEventType(0xA100);
        return QEvent::Type(registered);
    }();
    return type;
}

bool TsSkinMessage::send(QObject* receiver, TsSkinMessage& message) {
    if (!receiver) return false;
    message.Handled = false;
    message.Result = 0;
    QCoreApplication::sendEvent(receiver, &message);
    return message.Handled;
}

qintptr TsSkinMessage::ask(QObject* receiver, int command, int argument, quintptr param) {
    TsSkinMessage message(command, argument, param);
    return send(receiver, message) ? message.Result : 0;
}

bool TsSkinMessage::isSkinnedControl(QObject* receiver) {
    return ask(receiver, AC_CTRLHANDLED) == 1;
}

void TsSkinMessage::sendToChildren(QObject* container, int command, int argument, quintptr param) {
    if (!container) return;
    const QObjectList children = container->children();
    for (QObject* child : children) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->isWindow()) continue;
        if (isSkinnedControl(control))
            ask(control, command, argument, param);
        else
            sendToChildren(control, command, argument, param);
    }
}
