#pragma once

#include <QString>

// Passwords are kept as Argon2id hashes, never as typed.
QString hashPassword(const QString& password);

// Whether a stored value is such a hash (and not a password kept as typed, from an older
// database).
bool isPasswordHash(const QString& stored);

// Whether the typed password fits the stored value: verified against a hash, or, for a
// value that is not a hash, compared as it stands, letter case counting.
bool passwordMatches(const QString& typed, const QString& stored);

// What a class server checks at sign-in instead of the password: the hash of the typed
// password under the stored hash's settings ("$argon2id$v=19$m=…,t=…,p=…$salt$"), the same
// text as the stored hash when the password fits; the password itself for empty settings
// (an older account kept as typed). Empty when the settings cannot be read.
QString passwordProof(const QString& typed, const QString& settings);
