#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class Store;

class TConnection;

// A course file that a whole class opens at once: what each program does to it at start-up,
// and how one program's rows of the running test are told from another's.

// The column of the running test's table that names the program whose rows they are.
extern const QString kSeatColumn;  // "Рабочее_место"

// This program's mark in that column: the second it started and a random part, the same for
// as long as the program runs, and never 0.
qint64 seatToken();
// Whether a mark in the seat column belongs to a program started so long ago (or to none)
// that its rows may go: no test lasts a day.
bool seatIsStale(const QVariant& token);

// Gives a course file made by an older version the columns this one needs; the rows there
// keep every value. Each check is made again with the file held for writing, so that two
// programs starting at once add a column once.
void upgradeCourseFile(TConnection& connection);

// Makes the file itself refuse a second account with a login already taken, letter case
// ignored: every account gets its login's key and the keys a unique index. Returns the
// logins that several accounts already share, each once as first stored, for the teacher to
// be told: nothing is deleted, and the later accounts of such a login keep an empty key
// until the earlier ones are gone. A file whose keys are all in place is not written.
QStringList secureUniqueLogins(TConnection& connection);

// The class server a seat's working folder names in its file `Kesta.server`: the first line
// that is neither empty nor a comment (#), a libpq connection string or a service name.
// EDatabaseError when the file names none or cannot be read.
QString courseServer(const QString& serverFile);

// Opens the course of a working folder: its file Kesta.db, or, without one, the class server
// its Kesta.server names. Each call makes a connection of its own, so that a worker thread
// may read the course while the windows work on theirs. EDatabaseError when it cannot.
std::unique_ptr<Store> openCourse(const QString& folder);

// How a seat names itself to a class server once someone signed in: its mark in the seat
// column, whether a teacher works there and the login, read back by seatOfAnnouncement.
QString seatAnnouncement(const QString& login, bool teacher);
struct AnnouncedSeat {
    qint64 mark = 0;
    bool teacher = false;
    QString login;
};
AnnouncedSeat seatOfAnnouncement(const QString& text);
