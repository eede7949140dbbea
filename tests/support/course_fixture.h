#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "data/connection.h"
#include "data/table.h"
#include "platform/message_box.h"
#include "support/qt_print.h"

// Makes an empty course database from the real schema; an empty password leaves it unencrypted.
void makeCourseDatabase(const QString& path, const QString& password);

// Adds a row to a table through a table object of its own.
void addRow(TConnection& connection, const QString& table, const QVariantMap& values);

// A fresh course database in a temporary folder, with a connection to it.
class DatabaseTest : public ::testing::Test {
protected:
    DatabaseTest();
    void add(const QString& table, const QVariantMap& values) { addRow(connection, table, values); }
    // An open table object on a table of the test database.
    std::unique_ptr<TTable> table(const QString& name);

    QTemporaryDir folder;
    QString databasePath;
    TConnection connection;
};

// The whole program's windows and data module over a fresh course database in a temporary
// working folder; message boxes are recorded instead of shown.
class CourseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Adds an account to the course database before the windows are created, its password
    // kept as a hash, or, for the accounts of older databases, as typed.
    void addAccount(const QString& login, const QString& password, const QString& role);
    void addPlainAccount(const QString& login, const QString& password, const QString& role);
    // Adds a row to a table of the course database before the windows are created.
    void seed(const QString& table, const QVariantMap& values);
    // Creates every window and the data module, as start-up does.
    void start();
    // Puts the seeded course on the test's class server under a database of this name, as
    // kesta-admin upload does, and leaves the working folder naming it in Kesta.server;
    // answers the server's connection string. Called after seeding, before start().
    QString moveCourseToServer(const QString& database);

    QTemporaryDir folder;
    QString previousFolder;
    MessageBoxRecorder boxes;

private:
    std::unique_ptr<TConnection> seed_;
};
