#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A PostgreSQL server of a test's own: a new cluster made with initdb in a temporary folder,
// started with pg_ctl on a Unix socket in that folder (no network port), and stopped and
// removed at the end. Run as root, the server runs as the system's postgres user, since the
// server refuses to run as root.
class TestPgServer {
public:
    TestPgServer();
    ~TestPgServer();

    // Whether initdb and pg_ctl were found and the server answers; why not, when it did not.
    bool running() const { return running_; }
    const QString& problem() const { return problem_; }

    // A connection string for a database of the server (made by createDatabase).
    QString connectionString(const QString& database = QStringLiteral("postgres")) const;
    // Makes a new empty database and answers its connection string.
    QString createDatabase(const QString& name);
    // Copies a course file to a new database of this name and answers its connection string.
    QString courseCopy(const QString& name, const QString& file, const QString& password);

    // Stops the server at once, as a power cut would (immediate shutdown), and starts it again.
    bool stop(bool immediate = false);
    bool start();

    // The one server of a test program, started on first use.
    static TestPgServer& shared();

private:
    bool run(const QStringList& command, QString* output = nullptr);

    QTemporaryDir folder_;
    QString bin_;
    QString data_;
    bool asPostgres_ = false;
    bool running_ = false;
    QString problem_;
};
