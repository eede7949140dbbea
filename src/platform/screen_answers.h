#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Takes in the window system's answers (windows shown, hidden, exposed, painted) but not the
// user's input, which waits in the queue, until `done` holds or `milliseconds` have passed;
// then whatever those answers asked for (a first paint) is done.
template <class Done>
void takeScreenAnswers(int milliseconds, Done done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < milliseconds)
        QCoreApplication::processEvents(
            QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
