#pragma once

#include <QString>
#include <functional>

class PgStore;
class SqliteStore;

// Told how far a copy has come: the table being copied, its rows copied so far and its
// rows in all.
using CopyProgress = std::function<void(const QString& table, qint64 done, qint64 total)>;

// Copies a course file to a server that holds no course yet: every table with its columns
// as declared, every row in stored order under the key it has in the file (so counters keep
// their numbers), and each table's record of the keys it has given. One step on the server:
// a copy that fails leaves the server as it was.
void uploadCourse(SqliteStore& file, PgStore& server, const CopyProgress& progress = {});

// Writes the server's course to a new course file keyed with the password, read as of one
// moment. The file is written beside its place and put there only when whole; a file
// already at the place is refused.
void downloadCourse(PgStore& server, const QString& path, const QString& password,
                    const CopyProgress& progress = {});
