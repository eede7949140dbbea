// kesta-admin: sets up and looks after a class server, the course on PostgreSQL.
//
//   kesta-admin init SERVER [TEACHER]      makes the course's tables, empty, on an empty
//                                          database, and the teacher's account (login TEACHER,
//                                          "teacher" by default; the password is asked for,
//                                          or read from standard input when it is not a
//                                          terminal)
//   kesta-admin upload SERVER Kesta.db     copies a course file to an empty database
//   kesta-admin download SERVER Kesta.db   writes the server's course to a new course file
//   kesta-admin seats SERVER               lists the programs connected now: who is signed in
//                                          and who is taking the test
//
// SERVER is a libpq connection string ("host=… dbname=…") or a service name of
// pg_service.conf. Long copies tell their progress on standard error; a failure is told
// there too, and leaves nothing half-written.

#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPair>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/accounts.h"
#include "app/class_server.h"
#include "app/course_file.h"
#include "app/dm.h"
#include "data/connection.h"
#include "data/course_copy.h"
#include "data/database_error.h"
#include "data/password.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
#include "data/table.h"

namespace {

void tell(const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}

int usage() {
    tell(QStringLiteral("Использование:\n"
                        "  kesta-admin init СЕРВЕР [ЛОГИН_ПРЕПОДАВАТЕЛЯ]\n"
                        "  kesta-admin upload СЕРВЕР Kesta.db\n"
                        "  kesta-admin download СЕРВЕР Kesta.db\n"
                        "  kesta-admin seats СЕРВЕР\n"
                        "СЕРВЕР — строка подключения libpq или имя службы из pg_service.conf."));
    return 2;
}

// Shows a copy's progress on one line of the terminal, a table at a time.
CopyProgress progressLine() {
    return [](const QString& table, qint64 done, qint64 total) {
        const QString text = QStringLiteral("\r%1: %2 из %3 строк").arg(table).arg(done).arg(total);
        std::fputs(text.toUtf8().constData(), stderr);
        if (done == total) std::fputs("\n", stderr);
        std::fflush(stderr);
    };
}

// The password, typed without being shown when a person types it.
QString readPassword(const QString& prompt) {
    const bool terminal = isatty(STDIN_FILENO);
    termios saved{};
    if (terminal) {
        std::fputs(prompt.toUtf8().constData(), stderr);
        std::fflush(stderr);
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        std::fputs("\n", stderr);
    }
    return QString::fromStdString(line);
}

int init(const QString& server, const QString& teacher) {
    const QString password = readPassword(QStringLiteral("Пароль преподавателя «%1»: ").arg(teacher));
    if (password.isEmpty()) {
        tell(QStringLiteral("Пароль преподавателя не может быть пустым"));
        return 1;
    }
    auto pg = PgStore::connect(server);
    // The course's tables as the course file has them: made from the schema in a file in
    // memory, then copied, empty, in one step.
    QFile schema(QStringLiteral(":/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly)) throw EDatabaseError(QStringLiteral("Нет описания таблиц курса"));
    auto empty = SqliteStore::create(QStringLiteral(":memory:"), QString());
    empty->execute(QString::fromUtf8(schema.readAll()));
    uploadCourse(*empty, *pg);
    TConnection connection;
    connection.open(std::move(pg));
    upgradeCourseFile(connection);
    secureUniqueLogins(connection);
    TTable users(&connection, QStringLiteral("users"));
    users.open();
    if (registerAccount(connection, &users, teacher, hashPassword(password), QStringLiteral("admin")) !=
        Registration::Registered) {
        tell(QStringLiteral("Логин «%1» уже занят").arg(teacher));
        return 1;
    }
    prepareClassServer(dynamic_cast<PgStore&>(connection.store()));
    tell(QStringLiteral("Курс создан на сервере, преподаватель «%1» может войти").arg(teacher));
    return 0;
}

int upload(const QString& server, const QString& path) {
    auto file = SqliteStore::open(path, TDataModule1::DatabasePassword);
    auto pg = PgStore::connect(server);
    uploadCourse(*file, *pg, progressLine());
    // The columns a newer program needs, as a seat would add them on its first start.
    TConnection connection;
    connection.open(std::move(pg));
    upgradeCourseFile(connection);
    const QStringList repeated = secureUniqueLogins(connection);
    if (!repeated.isEmpty())
        tell(QStringLiteral("Несколько учётных записей с одним логином: %1").arg(repeated.join(QStringLiteral(", "))));
    prepareClassServer(dynamic_cast<PgStore&>(connection.store()));
    tell(QStringLiteral("Курс из «%1» скопирован на сервер").arg(QFileInfo(path).fileName()));
    return 0;
}

int download(const QString& server, const QString& path) {
    auto pg = PgStore::connect(server);
    downloadCourse(*pg, path, TDataModule1::DatabasePassword, progressLine());
    tell(QStringLiteral("Курс с сервера записан в «%1»").arg(path));
    return 0;
}

int seats(const QString& server) {
    auto pg = PgStore::connect(server);
    // This program's own connection is not a seat.
    pg->execute(QStringLiteral("SET application_name = 'kesta-admin'"));
    // The marks of the seats with a test running, and how many of its answers are given.
    QHash<qint64, QPair<int, int>> running;
    for (const StoreRow& row : pg->readRows(QStringLiteral("testing"), {kSeatColumn, QStringLiteral("Ответ")})) {
        QPair<int, int>& answers = running[row.values[0].toLongLong()];
        ++answers.second;
        if (!row.values[1].toString().trimmed().isEmpty()) ++answers.first;
    }
    const QStringList connected = pg->connectedSeats();
    QStringList lines;
    int unnamed = 0;
    for (const QString& text : connected) {
        if (text.isEmpty()) {
            ++unnamed;
            continue;
        }
        const AnnouncedSeat seat = seatOfAnnouncement(text);
        if (seat.teacher) {
            lines.append(QStringLiteral("%1 — преподаватель").arg(seat.login));
        } else if (running.contains(seat.mark)) {
            const QPair<int, int> answers = running.value(seat.mark);
            lines.append(QStringLiteral("%1 — проходит тест (ответов: %2 из %3)")
                             .arg(seat.login)
                             .arg(answers.first)
                             .arg(answers.second));
        } else {
            lines.append(QStringLiteral("%1 — работает с курсом").arg(seat.login));
        }
    }
    std::printf("%s\n", QStringLiteral("Подключено программ: %1, из них без входа: %2")
                             .arg(lines.size() + unnamed)
                             .arg(unnamed)
                             .toUtf8()
                             .constData());
    for (const QString& line : lines)
        std::printf("%s\n", line.toUtf8().constData());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    if (arguments.size() < 2) return usage();
    const QString command = arguments[0];
    const QString server = arguments[1];
    try {
        if (command == QLatin1String("init") && arguments.size() <= 3)
            return init(server, arguments.value(2, QStringLiteral("teacher")));
        if (command == QLatin1String("upload") && arguments.size() == 3) return upload(server, arguments[2]);
        if (command == QLatin1String("download") && arguments.size() == 3)
            return download(server, arguments[2]);
        if (command == QLatin1String("seats") && arguments.size() == 2) return seats(server);
    } catch (const KestaError& error) {
        tell(error.message());
        return 1;
    }
    return usage();
}
