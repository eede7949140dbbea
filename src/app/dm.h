#pragma once

#include <QObject>

#include "data/connection.h"
#include "data/data_source.h"
#include "data/table.h"

// The data module: the connection to the course database in the working folder and one
// table object per table, shared by every window.
class TDataModule1 : public QObject {
    Q_OBJECT

public:
    TDataModule1();
    ~TDataModule1() override;

    static const QString DatabaseFile;
    static const QString DatabasePassword;
    // Names the class server in a working folder without a course file.
    static const QString ServerFile;

    TConnection* ADOConnection1;
    // Logins that several accounts of the file share; empty when every login is unique.
    QStringList repeatedLogins;
    // The login of the account signed in, as the account has it; set at sign-in.
    QString AccountLogin;
    // Whether this program reads the accounts: always on a course file; on a class server
    // only with a teacher's role, a student signing in through the server.
    bool ReadsAccounts = true;
    // AccountLogin, or the login of the account the users table stands on.
    QString accountLogin() const;
    // On a class server, what the teacher's windows hear from it, made on first use; null
    // for a course file, or when the server cannot be reached for it.
    class TJournalWatch* journalWatch();

    TTable* tblUsers;
    TTable* tblTeoria;
    TTable* tblDopolnenie;
    TTable* tblTest;
    TTable* tblResult;
    TTable* tblPresentacia;
    TTable* tblPraktika;
    TTable* tblVideo;
    TTable* tblTesting;
    TTable* tblTema;
    TTable* tblProverka;

    TDataSource* DataSource1;
    TDataSource* DataSource2;
    TDataSource* DataSource3;
    TDataSource* DataSource4;
    TDataSource* DataSource5;
    TDataSource* DataSource6;
    TDataSource* DataSource7;
    TDataSource* DataSource8;
    TDataSource* DataSource9;
    TDataSource* DataSource10;
    TDataSource* DataSource11;

private:
    class TJournalWatch* journalWatch_ = nullptr;
    bool watchTried_ = false;
    TTable* table(const char* name, const QString& tableName);
    TDataSource* source(const char* name, TTable* table);
    void DataModuleCreate();
};

extern TDataModule1* DataModule1;
