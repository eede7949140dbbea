#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

class PgStore;
class TConnection;

// The course's own functions on a class server set up by kesta-admin. A seat signs in,
// registers and hands in through them, so that a student's connection never holds the
// accounts' hashes or the answer key, and the server knows who is signed in on it.

// Sets up who may do what on a server that holds a course: the roles kesta_student and
// kesta_teacher and their rights, the functions a student signs in, registers and hands in
// through, and the program's grade scale for the hand-in function, so that the server
// grades as the program does. Run again, it sets them up afresh.
void prepareClassServer(PgStore& server);

// The connection's class server; null for a course file.
PgStore* classServer(TConnection& connection);

// Whether the connection's role reads the accounts (a teacher's does, a student's does not).
bool readsAccounts(PgStore& server);

struct ServerAccount {
    QString login;  // as the account has it
    QString role;   // "admin" for a teacher
};
// Signs the connection in; nothing when no account has the login (letter case ignored) or
// the password does not fit.
std::optional<ServerAccount> signInOnServer(PgStore& server, const QString& login,
                                            const QString& password);
// Registers a student's account and signs the connection in; false when the login is taken.
bool registerOnServer(PgStore& server, const QString& login, const QString& passwordHash);

struct ServerHandIn {
    int correct = 0;
    QString letter;
    qint64 number = 0;
};
// Hands in the signed-in student's test: the drawn questions' bank keys and the answers
// given (a null text for none), in their positions. The server compares, counts, grades and
// stores the result with the answer records in one step.
ServerHandIn handInOnServer(PgStore& server, const QList<qint64>& questionKeys,
                            const QStringList& answers, const QDate& day, const QString& topic);
