#include "data/password.h"

#include <sodium.h>

#include <QRegularExpression>

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

QString passwordProof(const QString& typed, const QString& settings) {
    if (settings.isEmpty()) return typed;
    static const QRegularExpression form(QStringLiteral(
        "^\\$argon2id\\$v=19\\$m=(\\d+),t=(\\d+),p=1\\$([A-Za-z0-9+/]+)\\$$"));
    const QRegularExpressionMatch match = form.match(settings);
    if (!match.hasMatch()) return {};
    // Costs far above the program's own are refused rather than worked out.
    const quint64 memory = match.captured(1).toULongLong();
    const quint64 passes = match.captured(2).toULongLong();
    if (memory == 0 || memory > 1024 * 1024 || passes == 0 || passes > 64) return {};
    initialiseSodium();
    const QByteArray encodedSalt = match.captured(3).toLatin1();
    unsigned char salt[crypto_pwhash_SALTBYTES];
    size_t saltLength = 0;
    if (sodium_base642bin(salt, sizeof salt, encodedSalt.constData(), size_t(encodedSalt.size()),
                          nullptr, &saltLength, nullptr,
                          sodium_base64_VARIANT_ORIGINAL_NO_PADDING) != 0 ||
        saltLength != sizeof salt)
        return {};
    // The stored hashes are 32 bytes long, as the library makes them.
    unsigned char hash[32];
    const QByteArray bytes = typed.toUtf8();
    if (crypto_pwhash(hash, sizeof hash, bytes.constData(), quint64(bytes.size()), salt,
                      passes, size_t(memory) * 1024,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    char encoded[sodium_base64_ENCODED_LEN(sizeof hash, sodium_base64_VARIANT_ORIGINAL_NO_PADDING)];
    sodium_bin2base64(encoded, sizeof encoded, hash, sizeof hash,
                      sodium_base64_VARIANT_ORIGINAL_NO_PADDING);
    return settings + QString::fromLatin1(encoded);
}
