#include "app/journal_watch.h"

#include <QSocketNotifier>

#include "data/database_error.h"
#include "data/pg_store.h"

namespace {
const QString kJournal = QStringLiteral("kesta_journal");
const QString kTesting = QStringLiteral("kesta_testing");
}  // namespace

TJournalWatch::TJournalWatch(const QString& server, QObject* parent)
    : QObject(parent), store_(PgStore::connect(server)) {
    store_->execute(QStringLiteral("SET application_name = 'kesta-watch'"));
    store_->listen({kJournal, kTesting});
    watchSocket();
}

TJournalWatch::~TJournalWatch() = default;

void TJournalWatch::watchSocket() {
    notifier_ = std::make_unique<QSocketNotifier>(store_->socket(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TJournalWatch::heard);
}

void TJournalWatch::heard() {
    const int socket = store_->socket();
    const QStringList channels = store_->takeNotices();
    // A connection made again after the server was away has a socket of its own.
    if (store_->socket() != socket) watchSocket();
    if (channels.contains(kJournal)) Q_EMIT journalChanged();
    if (channels.contains(kTesting)) Q_EMIT testingChanged();
}

int TJournalWatch::seatsTakingTest() {
    try {
        const auto rows = store_->query(
            QStringLiteral("SELECT count(*) FROM kesta_seats s JOIN pg_stat_activity a ON a.pid = "
                           "s.pid WHERE s.testing"),
            {});
        return int(rows.value(0).value(0).toLongLong());
    } catch (const EDatabaseError&) {
        return -1;
    }
}
