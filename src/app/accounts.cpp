#include "app/accounts.h"

#include "app/class_server.h"
#include "data/connection.h"
#include "data/pg_store.h"
#include "data/database_error.h"
#include "data/table.h"

const QString kLoginKeyColumn = QStringLiteral("Логин_ключ");

namespace {
const QString kLogin = QStringLiteral("Логин");
}

QString loginKey(const QString& login) {
    return login.toCaseFolded();
}

Registration registerAccount(TConnection& connection, TTable* users, const QString& login,
                             const QString& passwordHash, const QString& role) {
    // On a class server a student registers through the server, which signs them in.
    if (PgStore* server = classServer(connection); server && role == QLatin1String("student"))
        return registerOnServer(*server, login, passwordHash) ? Registration::Registered
                                                              : Registration::LoginTaken;
    Registration outcome = Registration::Registered;
    connection.transaction([&] {
        // The copy read at start-up does not know the accounts other programs added since.
        users->reload();
        if (users->locate(kLogin, login, loCaseInsensitive)) {
            outcome = Registration::LoginTaken;
            return;
        }
        users->append();
        users->fieldByName(kLogin).setValue(login);
        users->fieldByName(kLoginKeyColumn).setValue(loginKey(login));
        users->fieldByName(QStringLiteral("Пароль")).setValue(passwordHash);
        users->fieldByName(QStringLiteral("Примечание")).setValue(role);
        users->post();
    });
    return outcome;
}
