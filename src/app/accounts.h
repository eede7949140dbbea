#pragma once

#include <QString>

class TConnection;
class TTable;

// The column of the accounts that holds each login case-folded ("ИВАН" and "иван" alike
// as "иван"): the file keeps its values unique, so that it refuses a second account with a
// login already taken. Empty in the rows of an account whose login repeats an earlier one's
// (in files made before the rule) and in rows written by other programs.
extern const QString kLoginKeyColumn;  // "Логин_ключ"
QString loginKey(const QString& login);

enum class Registration { Registered, LoginTaken };

// Registers an account, a student's unless another role ("admin" for a teacher) is given. The login is checked against the accounts as the file holds
// them, with the file held for writing, and the account is added in the same transaction:
// of several programs registering one login at once, exactly one succeeds. Letter case does
// not tell logins apart. On success the users table stands on the new account; on failure
// nothing is pending. On a class server a student's account is registered by the server,
// which signs the connection in, and the users table is not used. EDatabaseError when the
// file cannot be written.
Registration registerAccount(TConnection& connection, TTable* users, const QString& login,
                             const QString& passwordHash,
                             const QString& role = QStringLiteral("student"));
