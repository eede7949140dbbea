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
