// kesta-seat: one computer of a class, worked by a script instead of a student, over the
// program's own data layer and commands, on the course folder it is given. It is how a
// class's use of one shared course file is tried: many of these at once, and killed at any
// moment.
//
//   kesta-seat FOLDER register LOGIN     registers a student ("registered" or "taken")
//   kesta-seat FOLDER hand-in LOGIN N [START PERIOD]
//                                        registers LOGIN if new, then launches the test,
//                                        answers and hands it in N times; one line
//                                        "hand-in NUMBER MICROSECONDS" each. With START (ms
//                                        since the epoch) and PERIOD (ms), the k-th hand-in
//                                        waits for START + k * PERIOD, so that several seats
//                                        hand in at the same moment
//   kesta-seat FOLDER churn SEED         does what students and a teacher do, at random,
//                                        until stopped; "begin OP" before each step and
//                                        "end OP" (or "conflict OP", "busy OP") after it
//   kesta-seat FOLDER check              the file's structure (on a class server: none) and
//                                        the class's rules:
//                                        "ok", or one finding a line (exit status 1)

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QThread>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

#include "app/accounts.h"
#include "app/class_server.h"
#include "app/course_file.h"
#include "app/dm.h"
#include "class_check.h"
#include "data/database_error.h"
#include "data/password.h"
#include "data/pg_store.h"
#include "data/sqlite_store.h"
#include "teacher/topic_catalogue.h"
#include "testing/testing.h"

namespace {

const QString kLogin = QStringLiteral("Логин");
const QString kTitle = QStringLiteral("Название темы");
const QString kQuestion = QStringLiteral("Вопрос");
const QString kTopic = QStringLiteral("Итоговый");

void say(const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

bool registerLogin(const QString& login) {
    // Every scripted student has one password; its hash is made once, as it takes a while.
    static const QString hash = hashPassword(QStringLiteral("пароль"));
    const bool registered = registerAccount(*DataModule1->ADOConnection1, DataModule1->tblUsers,
                                            login, hash) == Registration::Registered;
    // On a class server a seat whose login is taken already signs in with it, as its hand-ins
    // are stored for the student signed in.
    if (PgStore* server = classServer(*DataModule1->ADOConnection1); server && !registered)
        signInOnServer(*server, login, QStringLiteral("пароль"));
    return registered;
}

// Launches the test and answers every question, as a student clicking through would.
bool takeTest(QRandomGenerator& random) {
    if (!drawTest()) return false;
    TTable* testing = DataModule1->tblTesting;
    for (testing->first(); !testing->eof(); testing->next()) {
        testing->edit();
        testing->fieldByName(QStringLiteral("Ответ"))
            .setValue(OptionCodes[size_t(random.bounded(int(OptionCodes.size())))]);
    }
    return true;
}

void addTopic(QRandomGenerator& random) {
    TTable* teoria = DataModule1->tblTeoria;
    teoria->refresh();
    bool under = false;
    if (teoria->recordCount() > 0 && random.bounded(3) != 0) {
        // Under a section chosen from the list, as the dialog offers them.
        QList<qint64> sections;
        for (teoria->first(); !teoria->eof(); teoria->next())
            if (teoria->fieldByName(QStringLiteral("Индекс")).asInteger() == 0)
                sections.append(teoria->bookmark());
        teoria->gotoBookmark(sections[random.bounded(int(sections.size()))]);
        under = true;
    }
    topics::addTopic(*DataModule1->ADOConnection1, teoria, under,
                     {QStringLiteral("Тема %1").arg(random.bounded(100000)),
                      QStringLiteral("page.htm"), QString()});
}

// A teacher acts on what the window shows, which may be older than the file: half the time
// the table is not read again first.
void maybeRefresh(TTable* table, QRandomGenerator& random) {
    if (random.bounded(2) == 0) table->refresh();
}

void deleteTopic(QRandomGenerator& random) {
    TTable* teoria = DataModule1->tblTeoria;
    maybeRefresh(teoria, random);
    if (teoria->recordCount() < 8) return;
    teoria->setRecNo(1 + random.bounded(teoria->recordCount()));
    topics::deleteTopic(*DataModule1->ADOConnection1, teoria);
}

// The bank editor's three commands: a new question (numbered 0 until the next launch),
// a question's text changed, a question deleted.
void editBank(QRandomGenerator& random) {
    TTable* test = DataModule1->tblTest;
    maybeRefresh(test, random);
    const int kind = random.bounded(3);
    if (kind == 0 || test->recordCount() < 45) {
        test->last();
        test->insert();
        test->fieldByName(QStringLiteral("Номер_вопроса")).setValue(0);
        test->fieldByName(kQuestion).setValue(
            QStringLiteral("Вопрос %1\nA) да\nB) нет").arg(random.bounded(100000)));
        test->fieldByName(QStringLiteral("Правильный_ответ")).setValue(OptionCodes[0]);
        test->post();
    } else if (kind == 1) {
        test->setRecNo(1 + random.bounded(test->recordCount()));
        test->edit();
        test->fieldByName(kQuestion).setValue(
            QString(test->fieldByName(kQuestion).asString() + QStringLiteral(" (уточнено)")));
        test->post();
    } else {
        test->setRecNo(1 + random.bounded(test->recordCount()));
        test->deleteRecord();
    }
}

QString someLogin(QRandomGenerator& random) {
    // A few logins, typed in either case: most registrations meet a login already taken.
    QString login = QStringLiteral("ученик_%1").arg(random.bounded(30));
    return random.bounded(2) ? login.toUpper() : login;
}

int churn(quint32 seed) {
    QRandomGenerator random(seed);
    RandomSeed = seed;
    const QString me = someLogin(random);
    for (;;) {
        const int pick = random.bounded(100);
        const char* op = pick < 20   ? "register"
                         : pick < 55 ? "hand-in"
                         : pick < 65 ? "launch"
                         : pick < 75 ? "topic-add"
                         : pick < 83 ? "topic-delete"
                                     : "bank-edit";
        const QString name = QString::fromLatin1(op);
        say(QStringLiteral("begin ") + name);
        try {
            if (name == QLatin1String("register")) {
                registerLogin(someLogin(random));
            } else if (name == QLatin1String("hand-in")) {
                if (takeTest(random)) storeHandIn(me, QDate::currentDate(), kTopic);
            } else if (name == QLatin1String("launch")) {
                takeTest(random);
            } else if (name == QLatin1String("topic-add")) {
                addTopic(random);
            } else if (name == QLatin1String("topic-delete")) {
                deleteTopic(random);
            } else {
                editBank(random);
            }
            say(QStringLiteral("end ") + name);
        } catch (const ERowConflict&) {
            say(QStringLiteral("conflict ") + name);
        } catch (const EDatabaseError& error) {
            say(QStringLiteral("busy ") + name + u' ' + error.message());
        }
    }
}

int handIns(const QString& login, int count, qint64 start, qint64 period) {
    RandomSeed = QRandomGenerator::system()->generate();
    QRandomGenerator random(RandomSeed);
    registerLogin(login);
    const auto waitUntil = [](qint64 moment) {
        const qint64 due = moment - QDateTime::currentMSecsSinceEpoch();
        if (due > 0) QThread::msleep(quint64(due));
    };
    for (int i = 0; i < count; ++i) {
        // The tests are launched and answered in the half period before the hand-in, so that
        // the hand-ins of the seats meet one another only.
        if (start > 0) waitUntil(start + i * period - period / 2);
        if (!takeTest(random)) {
            say(QStringLiteral("empty bank"));
            return 1;
        }
        if (start > 0) waitUntil(start + i * period);
        QElapsedTimer clock;
        clock.start();
        const HandIn stored = storeHandIn(login, QDate::currentDate(), kTopic);
        say(QStringLiteral("hand-in %1 %2").arg(stored.number).arg(clock.nsecsElapsed() / 1000));
    }
    return 0;
}

int check(const QString& folder) {
    // A course file is checked with its structure; a class server's course by its rules.
    const QString file = QDir(folder).filePath(TDataModule1::DatabaseFile);
    QStringList findings;
    if (QFileInfo::exists(file))
        findings = checkCourseFile(*SqliteStore::open(file, TDataModule1::DatabasePassword));
    else
        findings = courseFileFindings(*openCourse(folder));
    if (findings.isEmpty()) say(QStringLiteral("ok"));
    for (const QString& finding : findings) say(finding);
    return findings.isEmpty() ? 0 : 1;
}

int usage() {
    std::fputs("usage: kesta-seat FOLDER register LOGIN | hand-in LOGIN N [START PERIOD] | "
               "churn SEED | check\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) return usage();
    const QString folder = args[1];
    const QString command = args[2];
    try {
        if (command == QLatin1String("check")) return check(folder);
        if (!QDir::setCurrent(folder)) {
            std::fprintf(stderr, "kesta-seat: no folder %s\n", qPrintable(folder));
            return 2;
        }
        TDataModule1 module;
        DataModule1 = &module;
        int status = 2;
        if (command == QLatin1String("register") && args.size() == 4) {
            say(registerLogin(args[3]) ? QStringLiteral("registered") : QStringLiteral("taken"));
            status = 0;
        } else if (command == QLatin1String("hand-in") && args.size() == 5)
            status = handIns(args[3], args[4].toInt(), 0, 0);
        else if (command == QLatin1String("hand-in") && args.size() == 7)
            status = handIns(args[3], args[4].toInt(), args[5].toLongLong(), args[6].toLongLong());
        else if (command == QLatin1String("churn") && args.size() == 4)
            status = churn(args[3].toUInt());
        else
            status = usage();
        DataModule1 = nullptr;
        return status;
    } catch (const ERowConflict& conflict) {
        std::fprintf(stderr, "kesta-seat: %s (%s)\n", conflict.what(),
                     conflict.table().toUtf8().constData());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kesta-seat: %s\n", error.what());
        return 1;
    }
}
