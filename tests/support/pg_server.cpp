#include "support/pg_server.h"

#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include "app/class_server.h"
#include "data/course_copy.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"

namespace {

// The newest installed server's programs (Debian keeps them out of PATH).
QString serverPrograms() {
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("pg_ctl"));
    if (!onPath.isEmpty()) return QFileInfo(onPath).absolutePath();
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        const QString bin = versions.filePath(*it + QStringLiteral("/bin"));
        if (QFileInfo::exists(bin + QStringLiteral("/pg_ctl"))) return bin;
    }
    return QString();
}

}  // namespace

TestPgServer::TestPgServer() {
    bin_ = serverPrograms();
    if (bin_.isEmpty()) {
        problem_ = QStringLiteral("the PostgreSQL server programs are not installed");
        return;
    }
    data_ = folder_.filePath(QStringLiteral("data"));
    asPostgres_ = geteuid() == 0;
    if (asPostgres_ &&
        !run({QStringLiteral("/bin/chown"), QStringLiteral("postgres:postgres"), folder_.path()})) {
        problem_ = QStringLiteral("the folder cannot be given to the postgres user");
        return;
    }
    QString output;
    if (!run({bin_ + QStringLiteral("/initdb"), QStringLiteral("-D"), data_, QStringLiteral("-U"),
              QStringLiteral("kesta"), QStringLiteral("-A"), QStringLiteral("trust"),
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--no-locale"),
              QStringLiteral("--no-sync")},
             &output)) {
        problem_ = QStringLiteral("initdb failed: ") + output;
        return;
    }
    running_ = start();
}

TestPgServer::~TestPgServer() {
    if (running_) stop(true);
}

TestPgServer& TestPgServer::shared() {
    static TestPgServer server;
    return server;
}

bool TestPgServer::run(const QStringList& command, QString* output) {
    QStringList arguments = command;
    QString program = arguments.takeFirst();
    if (asPostgres_ && !program.endsWith(QLatin1String("chown"))) {
        arguments = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"),
                                program} +
                    arguments;
        program = QStringLiteral("/usr/sbin/runuser");
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder_.path());
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    if (output) *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool TestPgServer::start() {
    QString output;
    const QString options =
        QStringLiteral("-k %1 -c listen_addresses='' -p 5432 -c max_connections=100")
            .arg(folder_.path());
    running_ = run({bin_ + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), data_, QStringLiteral("-l"),
                    folder_.filePath(QStringLiteral("server.log")), QStringLiteral("-o"), options,
                    QStringLiteral("-w"), QStringLiteral("start")},
                   &output);
    if (!running_) problem_ = QStringLiteral("pg_ctl start failed: ") + output;
    return running_;
}

bool TestPgServer::stop(bool immediate) {
    const bool stopped =
        run({bin_ + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), data_, QStringLiteral("-m"),
             immediate ? QStringLiteral("immediate") : QStringLiteral("fast"), QStringLiteral("-w"),
             QStringLiteral("stop")});
    if (stopped) running_ = false;
    return stopped;
}

QString TestPgServer::connectionString(const QString& database) const {
    return QStringLiteral("host=%1 port=5432 user=kesta dbname=%2").arg(folder_.path(), database);
}

QString TestPgServer::courseCopy(const QString& name, const QString& file,
                                 const QString& password) {
    const QString server = createDatabase(name);
    auto store = PgStore::connect(server);
    uploadCourse(*SqliteStore::open(file, password), *store);
    prepareClassServer(*store);
    return server;
}

QString TestPgServer::createDatabase(const QString& name) {
    auto admin = PgStore::connect(connectionString());
    admin->execute(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
    admin->execute(QStringLiteral("CREATE DATABASE %1").arg(name));
    return connectionString(name);
}
