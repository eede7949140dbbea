#include "data/password.h"

#include <sodium.h>

#include "data/database_error.h"

namespace {

void initialiseSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw EDatabaseError(QStringLiteral("Не удалось подготовить проверку паролей"));
}

}  // namespace

QString hashPassword(const QString& password) {
    initialiseSodium();
    const QByteArray bytes = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(
            hash, bytes.constData(), quint64(bytes.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
            crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0) {
        throw EDatabaseError(QStringLiteral("Не хватает памяти, чтобы защитить пароль"));
    }
    return QString::fromLatin1(hash);
}

bool isPasswordHash(const QString& stored) {
    return stored.startsWith(QLatin1String("$argon2id$"));
}

bool passwordMatches(const QString& typed, const QString& stored) {
    if (!isPasswordHash(stored)) return typed == stored;
    initialiseSodium();
    const QByteArray hash = stored.toLatin1();
    const QByteArray bytes = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), bytes.constData(), quint64(bytes.size())) ==
           0;
}
