#pragma once

#include <QEvent>
#include <QtGlobal>

class QObject;

// The skin command message: one event type through which the skin manager, windows and
// controls talk to each other. It carries the command code, its argument, a parameter and
// the receiver's answer. It is always sent synchronously.
class TsSkinMessage : public QEvent {
public:
    // The event type: the fixed number 0xA100.
    static QEvent::Type eventType();

    // Command codes the skin manager sends.
    enum Code : int {
        AC_SETNEWSKIN = 1,   // a new skin (parameter: the manager)
        AC_REMOVESKIN = 2,   // the skin is gone (parameter: the manager)
        AC_REFRESH = 3,      // repaint for the current skin (parameter: the manager)
        AC_CTRLHANDLED = 7,  // are you skinned by the engine? (answer 1)
        AC_STOPFADING = 16,  // stop any running fade
    };

    TsSkinMessage(int command, int argument = 0, quintptr param = 0)
        : QEvent(eventType()), Command(command), Argument(argument), Param(param) {}

    int Command;
    int Argument;
    quintptr Param;
    qintptr Result = 0;
    bool Handled = false;  // set by a receiver that answered

    // Sends the message to `receiver` and reports whether it answered.
    static bool send(QObject* receiver, TsSkinMessage& message);
};
