#pragma once

#include <QTimer>

#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sLabel.h"

// The small window shown while the course file is held by another computer of the class
// for longer than a moment: how long the program has waited, and a button that gives the
// wait up (the command then fails with "база данных занята"). It is modal while shown, so
// no other command starts during the wait, and it goes away by itself once no wait has
// been reported for a moment.
class TBusyNotice : public TForm {
    Q_OBJECT

public:
    TBusyNotice();
    ~TBusyNotice() override;

    TsLabel* sLabel1;    // what the program waits for, and how long it has waited
    TsButton* sButton1;  // "Не ждать"

    // Told how long the current call has waited for the file; false when the user gave the
    // wait up. Calls from other threads than the windows' are let wait unseen.
    bool waiting(int waitedMs);

    // Waits shorter than this are not shown.
    static constexpr int kPatienceMs = 500;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void giveUp();

    QTimer idle_;          // hides the window once the waits have stopped
    bool givenUp_ = false;  // the user gave the current wait up
    bool inside_ = false;   // events are being handled from within a wait
};

extern TBusyNotice* BusyNotice;

// Lets every wait of the course file on the windows' thread report to BusyNotice.
void installBusyNotice();
