#include "app/class_server.h"

#include "app/accounts.h"
#include "data/connection.h"
#include "data/database_error.h"
#include "data/password.h"
#include "data/pg_store.h"
#include "testing/testing.h"

#include <QFile>

namespace {

// An array of the server's in its text form, each item quoted; a null text is NULL.
QString arrayText(const QStringList& items) {
    QStringList quotedItems;
    for (const QString& item : items) {
        if (item.isNull()) {
            quotedItems.append(QStringLiteral("NULL"));
            continue;
        }
        QString escaped = item;
        escaped.replace(u'\\', QStringLiteral("\\\\"));
        escaped.replace(u'"', QStringLiteral("\\\""));
        quotedItems.append(u'"' + escaped + u'"');
    }
    return u'{' + quotedItems.join(u',') + u'}';
}

}  // namespace

PgStore* classServer(TConnection& connection) {
    return dynamic_cast<PgStore*>(&connection.store());
}

bool readsAccounts(PgStore& server) {
    return server.query(QStringLiteral("SELECT has_table_privilege('users', 'SELECT')"), {})
        .value(0)
        .value(0)
        .toBool();
}

std::optional<ServerAccount> signInOnServer(PgStore& server, const QString& login,
                                            const QString& password) {
    const QString key = loginKey(login);
    const auto settings =
        server.query(QStringLiteral("SELECT kesta_password_settings($1)"), {key});
    if (settings.isEmpty() || settings[0][0].isNull()) return std::nullopt;
    const QString proof = passwordProof(password, settings[0][0].toString());
    if (proof.isEmpty()) return std::nullopt;
    const auto account = server.call(
        QStringLiteral("SELECT login, role FROM kesta_sign_in($1, $2) WHERE login IS NOT NULL"),
        {key, proof});
    if (account.isEmpty()) return std::nullopt;
    return ServerAccount{account[0][0].toString(), account[0][1].toString()};
}

bool registerOnServer(PgStore& server, const QString& login, const QString& passwordHash) {
    return server
        .call(QStringLiteral("SELECT kesta_register($1, $2, $3)"),
              {login, loginKey(login), passwordHash})
        .value(0)
        .value(0)
        .toBool();
}

ServerHandIn handInOnServer(PgStore& server, const QList<qint64>& questionKeys,
                            const QStringList& answers, const QDate& day, const QString& topic) {
    QStringList keys;
    for (const qint64 key : questionKeys)
        keys.append(QString::number(key));
    const auto stored = server.call(
        QStringLiteral("SELECT correct, letter, number FROM kesta_hand_in($1::bigint[], $2::text[], "
                       "$3, $4)"),
        {arrayText(keys), arrayText(answers), day, topic});
    if (stored.isEmpty())
        throw EDatabaseError(QStringLiteral("Сервер курса не принял сдачу теста"));
    return {int(stored[0][0].toLongLong()), stored[0][1].toString(), stored[0][2].toLongLong()};
}

void prepareClassServer(PgStore& pg) {
    QFile rules(QStringLiteral(":/class_server.sql"));
    if (!rules.open(QIODevice::ReadOnly)) throw EDatabaseError(QStringLiteral("Нет описания прав курса"));
    QStringList grades{QStringLiteral("DELETE FROM kesta_grades;")};
    const auto literal = [](const char* text) {
        QString quotedText = QString::fromUtf8(text);
        quotedText.replace(QStringLiteral("'"), QStringLiteral("''"));
        return QStringLiteral("'%1'").arg(quotedText);
    };
    int position = 0;
    for (const GradeBand& band : gradeScale())
        grades.append(QStringLiteral("INSERT INTO kesta_grades VALUES (%1, %2, %3, %4, %5);")
                          .arg(++position)
                          .arg(band.from)
                          .arg(band.to)
                          .arg(literal(band.letter), literal(band.caption)));
    QString script = QStringLiteral("BEGIN;\n");
    script += QString::fromUtf8(rules.readAll());
    script += QStringLiteral("\n");
    script += grades.join(QStringLiteral("\n"));
    script += QStringLiteral("\nCOMMIT;");
    pg.execute(script);
}

