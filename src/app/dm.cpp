#include "app/dm.h"

#include "app/class_server.h"
#include "app/course_file.h"
#include "app/journal_watch.h"
#include "data/database_error.h"
#include "data/pg_store.h"

#include <QDir>

TDataModule1* DataModule1 = nullptr;

const QString TDataModule1::DatabaseFile = QStringLiteral("Kesta.db");
const QString TDataModule1::DatabasePassword = QStringLiteral("Ломтеривка");
const QString TDataModule1::ServerFile = QStringLiteral("Kesta.server");

namespace {

// The columns of the topic table, as the teacher's grid shows them.
QVector<FieldDef> topicFields() {
    return {
        {QStringLiteral("Абсолютный номер"), FieldType::Integer, 0, 0},
        {QStringLiteral("Индекс"), FieldType::Integer, 0, 0},
        {QStringLiteral("Название темы"), FieldType::String, 200, 100},
        {QStringLiteral("Наименование"), FieldType::String, 150, 0},
        {QStringLiteral("Файл-приложение"), FieldType::String, 50, 0},
    };
}

// The columns of the document catalogues: practical lessons, supplementary material, presentations.
QVector<FieldDef> documentFields() {
    return {
        {QStringLiteral("Номер"), FieldType::AutoInc, 0, 0},
        {QStringLiteral("Название темы"), FieldType::String, 150, 100},
        {QStringLiteral("Наименование файла"), FieldType::String, 150, 0},
    };
}

}  // namespace

TDataModule1::TDataModule1() : ADOConnection1(new TConnection(this)) {
    ADOConnection1->setObjectName(QStringLiteral("ADOConnection1"));
    // The course is looked for in the working folder: its file, or for a seat of a class on
    // a server the server's name.
    ADOConnection1->open(openCourse(QDir::currentPath()));
    if (PgStore* server = classServer(*ADOConnection1)) ReadsAccounts = readsAccounts(*server);
    // A course made by an older version gains the columns this one needs, and a second
    // account with a login already taken is refused by the file itself. A student's role on
    // a class server changes no course: kesta-admin has done this there.
    if (ReadsAccounts) {
        upgradeCourseFile(*ADOConnection1);
        repeatedLogins = secureUniqueLogins(*ADOConnection1);
    }

    tblUsers = table("tblUsers", QStringLiteral("users"));
    tblTeoria = table("tblTeoria", QStringLiteral("teoria"));
    tblTeoria->declareFields(topicFields());
    tblDopolnenie = table("tblDopolnenie", QStringLiteral("dopolnenie"));
    tblDopolnenie->declareFields(documentFields());
    tblTest = table("tblTest", QStringLiteral("test"));
    tblResult = table("tblResult", QStringLiteral("result"));
    tblPresentacia = table("tblPresentacia", QStringLiteral("presentacia"));
    tblPresentacia->declareFields(documentFields());
    tblPraktika = table("tblPraktika", QStringLiteral("praktika"));
    tblPraktika->declareFields(documentFields());
    tblVideo = table("tblVideo", QStringLiteral("video"));
    tblTesting = table("tblTesting", QStringLiteral("testing"));
    // Every program of the class keeps its running test in the one table, in rows of its own.
    tblTesting->restrictRows(kSeatColumn, seatToken());
    tblTema = table("tblTema", QStringLiteral("teoria"));
    tblProverka = table("tblProverka", QStringLiteral("proverka"));

    DataSource1 = source("DataSource1", tblUsers);
    DataSource2 = source("DataSource2", tblTeoria);
    DataSource3 = source("DataSource3", tblDopolnenie);
    DataSource4 = source("DataSource4", tblTest);
    DataSource5 = source("DataSource5", tblResult);
    DataSource6 = source("DataSource6", tblPresentacia);
    DataSource7 = source("DataSource7", tblPraktika);
    DataSource8 = source("DataSource8", tblVideo);
    DataSource9 = source("DataSource9", tblTesting);
    DataSource10 = source("DataSource10", tblTema);
    DataSource11 = source("DataSource11", tblProverka);

    DataModuleCreate();
}

TDataModule1::~TDataModule1() {
    ADOConnection1->close();
}

TTable* TDataModule1::table(const char* name, const QString& tableName) {
    auto* result = new TTable(ADOConnection1, tableName, this);
    result->setObjectName(QLatin1String(name));
    return result;
}

TDataSource* TDataModule1::source(const char* name, TTable* table) {
    auto* result = new TDataSource(this);
    result->setObjectName(QLatin1String(name));
    result->setDataSet(table);
    return result;
}

QString TDataModule1::accountLogin() const {
    if (!AccountLogin.isEmpty() || !tblUsers->active()) return AccountLogin;
    return tblUsers->fieldByName(QStringLiteral("Логин")).asString();
}

TJournalWatch* TDataModule1::journalWatch() {
    if (watchTried_) return journalWatch_;
    watchTried_ = true;
    if (!classServer(*ADOConnection1)) return nullptr;
    try {
        journalWatch_ = new TJournalWatch(
            courseServer(QDir::current().filePath(ServerFile)), this);
    } catch (const EDatabaseError& error) {
        qWarning("%s", qUtf8Printable(
                           QStringLiteral("Окна преподавателя не будут обновляться сами: %1")
                               .arg(error.message())));
    }
    return journalWatch_;
}

void TDataModule1::DataModuleCreate() {
    if (ReadsAccounts) tblUsers->open();
    tblTeoria->open();
    tblDopolnenie->open();
    tblPraktika->open();
    tblPresentacia->open();
    tblTest->open();
    tblTesting->open();
    tblResult->open();
    tblVideo->open();
    tblTema->open();
    tblProverka->open();
}
