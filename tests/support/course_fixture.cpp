#include "support/course_fixture.h"

#include <QFile>

#include "app/dm.h"
#include "app/globals.h"
#include "app/startup.h"
#include "data/password.h"
#include "data/sqlite_store.h"
#include "platform/application.h"
#include "support/pg_server.h"
#include "testing/testing.h"

void makeCourseDatabase(const QString& path, const QString& password) {
    QFile schema(QStringLiteral(KESTA_SCHEMA_FILE));
    ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
    SqliteStore::create(path, password)->execute(QString::fromUtf8(schema.readAll()));
}

void addRow(TConnection& connection, const QString& table, const QVariantMap& values) {
    TTable writer(&connection, table);
    writer.open();
    writer.append();
    for (auto it = values.begin(); it != values.end(); ++it)
        writer.fieldByName(it.key()).setValue(it.value());
    writer.post();
}

DatabaseTest::DatabaseTest() {
    databasePath = folder.filePath(QStringLiteral("Kesta.db"));
    makeCourseDatabase(databasePath, QStringLiteral("пароль"));
    connection.open(databasePath, QStringLiteral("пароль"));
}

std::unique_ptr<TTable> DatabaseTest::table(const QString& name) {
    auto result = std::make_unique<TTable>(&connection, name);
    result->setObjectName(QStringLiteral("tbl") + name);
    result->open();
    return result;
}

void CourseTest::SetUp() {
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(TDataModule1::DatabaseFile);
    makeCourseDatabase(path, TDataModule1::DatabasePassword);
    seed_ = std::make_unique<TConnection>();
    seed_->open(path, TDataModule1::DatabasePassword);
    previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    CurrentLogin.clear();
    MaterialKind = 0;
    SelectedTopic.clear();
    TestTopic.clear();
    RandomSeed = 0;
}

void CourseTest::addAccount(const QString& login, const QString& password, const QString& role) {
    addPlainAccount(login, hashPassword(password), role);
}

void CourseTest::addPlainAccount(const QString& login, const QString& password,
                                 const QString& role) {
    addRow(*seed_, QStringLiteral("users"),
           {{QStringLiteral("Логин"), login},
            {QStringLiteral("Пароль"), password},
            {QStringLiteral("Примечание"), role}});
}

void CourseTest::seed(const QString& table, const QVariantMap& values) {
    ASSERT_TRUE(seed_) << "rows are seeded before start()";
    addRow(*seed_, table, values);
}

QString CourseTest::moveCourseToServer(const QString& database) {
    const QString file = folder.filePath(TDataModule1::DatabaseFile);
    seed_.reset();
    const QString server =
        TestPgServer::shared().courseCopy(database, file, TDataModule1::DatabasePassword);
    QFile::remove(file);
    QFile named(folder.filePath(TDataModule1::ServerFile));
    if (named.open(QIODevice::WriteOnly)) named.write(server.toUtf8());
    return server;
}

void CourseTest::start() {
    seed_.reset();
    createForms(*Application);
}

void CourseTest::TearDown() {
    destroyForms(*Application);
    QDir::setCurrent(previousFolder);
}
