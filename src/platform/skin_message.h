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

    // Command codes.
    enum Code : int {
        AC_SETNEWSKIN = 1,        // a new skin (parameter: the manager)
        AC_REMOVESKIN = 2,        // the skin is gone (parameter: the manager)
        AC_REFRESH = 3,           // repaint for the current skin (parameter: the manager)
        AC_GETPROVIDER = 4,       // answer the form's skin provider
        AC_ENDPARENTUPDATE = 6,   // the parent finished updating
        AC_CTRLHANDLED = 7,       // are you skinned by the engine? (answer 1)
        AC_SETUPDATING = 8,       // updating := (argument = 1)
        AC_PREPARING = 10,        // answer 1 while the background is stale or updating is on
        AC_GETHALFVISIBLE = 11,   // answer the flag set by AC_SETHALFVISIBLE
        AC_STOPFADING = 16,       // stop any running fade
        AC_SETBGCHANGED = 17,     // the background changed
        AC_PAINTOUTER = 19,       // do you paint a background?
        AC_INVALIDATE = 20,       // the look may have changed (argument 1: redraw now)
        AC_GETCONTROLCOLOR = 21,  // answer the colour the control shows
        AC_SETHALFVISIBLE = 22,   // set the flag answered by AC_GETHALFVISIBLE
        AC_PREPARECACHE = 23,     // prepare the cache
        AC_DRAWANIMAGE = 24,      // the frame has been drawn
        AC_FADEEND = 25,          // a fade is over: show your own picture again
        AC_GETSKININDEX = 26,     // write the section index into the int at the parameter
        AC_MOUSEENTER = 29,       // became the manager's control under the mouse
        AC_MOUSELEAVE = 30,       // stopped being it
        AC_BEGINUPDATE = 31,      // painting suspended
        AC_ENDUPDATE = 32,        // painting resumed
        AC_GETBG = 34,            // answer a background request (parameter: the record)
        AC_GETSKINSTATE = 36,     // parameter 1: recompute the plain-background bit; else answer
        AC_PRINTING = 38,         // parameter: the painter printing, or none when done
        AC_FADEIMAGE = 61,        // show this picture (parameter) while a fade runs; answer 1
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
    // Sends a command and answers the receiver's result (0 when nobody answered).
    static qintptr ask(QObject* receiver, int command, int argument = 0, quintptr param = 0);
    // Whether the receiver answers that the skin engine skins it (AC_CTRLHANDLED).
    static bool isSkinnedControl(QObject* receiver);
    // Sends a command to the child controls of `container` that the engine skins; they pass
    // it on themselves. Other children are only a way through to their own children.
    static void sendToChildren(QObject* container, int command, int argument = 0,
                               quintptr param = 0);
};
