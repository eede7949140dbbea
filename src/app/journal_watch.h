#pragma once

#include <QObject>
#include <QString>
#include <memory>

class PgStore;
class QSocketNotifier;

// What a teacher's windows hear from a class server: a connection of its own listens for
// the server's notices that the journal changed (a hand-in, say) or that a test was
// launched or handed in, and tells them as they come, on the user-interface thread.
class TJournalWatch : public QObject {
    Q_OBJECT

public:
    // Listens on the server `server` names (as Kesta.server names it); EDatabaseError when
    // it cannot be reached.
    explicit TJournalWatch(const QString& server, QObject* parent = nullptr);
    ~TJournalWatch() override;

    // The seats signed in by a student with a test under way now; -1 when the server does
    // not answer.
    int seatsTakingTest();

Q_SIGNALS:
    void journalChanged();
    void testingChanged();

private:
    void watchSocket();
    void heard();

    std::unique_ptr<PgStore> store_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
