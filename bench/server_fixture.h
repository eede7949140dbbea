#pragma once

#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>

#include "app/dm.h"
#include "data/course_copy.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
#include "support/pg_server.h"

// The class server of the benchmarks: a PostgreSQL server of their own, started on first
// use (initdb and pg_ctl on a Unix socket in a temporary folder) and stopped at the end,
// with a database of its own for every course copied to it.

// Copies a course file to a new database of the server and answers its connection string.
inline QString serverCopy(const QString& file,
                          const QString& password = TDataModule1::DatabasePassword) {
    static int databases = 0;
    TestPgServer& server = TestPgServer::shared();
    if (!server.running()) {
        std::fprintf(stderr, "no class server: %s\n", server.problem().toUtf8().constData());
        std::abort();
    }
    const QString connection =
        server.createDatabase(QStringLiteral("bench_%1").arg(++databases));
    uploadCourse(*SqliteStore::open(file, password), *PgStore::connect(connection));
    return connection;
}

// Puts the course of a working folder on the server: its Kesta.db copied there and taken
// away, and Kesta.server naming the copy, as a seat of a class on a server has it.
inline void moveCourseToServer(const QString& folder) {
    const QDir dir(folder);
    const QString connection = serverCopy(dir.filePath(TDataModule1::DatabaseFile));
    QFile::remove(dir.filePath(TDataModule1::DatabaseFile));
    QFile named(dir.filePath(TDataModule1::ServerFile));
    named.open(QIODevice::WriteOnly);
    named.write(connection.toUtf8() + '\n');
}
