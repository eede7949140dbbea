// Start-up: the windows and the data module, their order and captions, and the failures
// that end the program before any window is shown.

#include <QFile>
#include <QTest>

#include "app/dm.h"
#include "app/registracia.h"
#include "app/startup.h"
#include "app/zastavka.h"
#include "data/database_error.h"
#include "platform/application.h"
#include "results/analis.h"
#include "results/result_test.h"
#include "results/result_test_prepod.h"
#include "results/statistika.h"
#include "student/student.h"
#include "support/course_fixture.h"
#include "teacher/basatest.h"
#include "teacher/newinsert.h"
#include "teacher/prepodavatel.h"
#include "testing/testing.h"

namespace {

class StartupTest : public CourseTest {};

TEST_F(StartupTest, EveryWindowExistsHiddenWithItsCaption) {
    start();
    EXPECT_EQ(Application->mainForm(), Form8);
    const std::pair<QWidget*, const char*> windows[] = {
        {Form1, "Авторизация"},           {Form2, "Окно преподавателя"},
        {Form3, "База тестов"},           {Form4, "Окно студента"},
        {Form5, "Добавление новой темы"}, {Form6, "Тестирование: общее"},
        {Form10, "Просмотр результатов"}, {Form11, "Результаты тестирования"},
        {Form12, "Анализ тестирования"},  {Form13, "Статистика вопросов"},
    };
    for (const auto& [window, caption] : windows) {
        ASSERT_NE(window, nullptr) << caption;
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8(caption));
        EXPECT_FALSE(window->isVisible()) << caption;
    }
    EXPECT_TRUE(Form8->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(Form8->Image1->pixmap().isNull()) << "the splash picture is stored in the program";
    EXPECT_EQ(Form8->Image1->pixmap().size(), QSize(500, 500));
}

TEST_F(StartupTest, DataModuleOpensEveryTableWithTheDeclaredColumns) {
    start();
    for (TTable* table : DataModule1->findChildren<TTable*>())
        EXPECT_TRUE(table->active()) << table->objectName().toStdString();
    EXPECT_EQ(DataModule1->findChildren<TTable*>().size(), 11);
    EXPECT_EQ(DataModule1->tblTeoria->fields().size(), 5);
    EXPECT_EQ(DataModule1->tblTeoria->fields()[2].size, 200);
    EXPECT_EQ(DataModule1->tblTema->tableName(), "teoria");
    EXPECT_EQ(DataModule1->DataSource5->dataSet(), DataModule1->tblResult);

    TsSkinManager* manager = Form1->sSkinManager1;
    EXPECT_EQ(manager->SkinDirectory(), "Skins");
    EXPECT_EQ(manager->SkinName(), "WLM");
    EXPECT_EQ(manager->thirdPartyNames(ThirdPartyList::ThirdButtons), QStringList{"TButton"});
    EXPECT_TRUE(manager->thirdPartyNames(ThirdPartyList::ThirdEdits).isEmpty());
    EXPECT_EQ(TsSkinManager::DefaultManager(), manager);
    EXPECT_EQ(Form1->sButton1->SkinData.SkinManager(), manager);
    EXPECT_EQ(Form1->sEdit1->SkinData.SkinSection(), "EDIT");
}

TEST_F(StartupTest, MissingDatabaseInTheWorkingFolderEndsStartUp) {
    QFile::remove(TDataModule1::DatabaseFile);
    try {
        start();
        FAIL() << "start-up went on without a database";
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("Kesta.db")))
            << error.message().toStdString();
    }
    EXPECT_EQ(DataModule1, nullptr);
    EXPECT_FALSE(Form8->isVisible());
}

TEST_F(StartupTest, ErrorInACommandIsReportedAndWhatWasDoneStays) {
    start();
    TTable* users = DataModule1->tblUsers;
    QObject::connect(Form1->sButton4, &QPushButton::pressed, [users] {
        users->append();
        users->fieldByName(QStringLiteral("Логин")).setValue(QStringLiteral("сохранено"));
        users->post();
        users->append();
        users->fieldByName(QStringLiteral("Логин")).setValue(QStringLiteral("в ожидании"));
        users->fieldByName(QStringLiteral("Нет поля")).setValue(1);
    });
    Form1->show();
    QTest::mousePress(Form1->sButton4, Qt::LeftButton);
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].text, "tblUsers: поле «Нет поля» не найдено.");
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
    EXPECT_EQ(users->state(), DataSetState::Insert) << "the pending row stays pending";
    EXPECT_EQ(users->fieldByName(QStringLiteral("Логин")).asString(), "в ожидании");
    users->cancel();
    users->refresh();
    EXPECT_TRUE(users->locate(QStringLiteral("Логин"), QStringLiteral("сохранено")))
        << "the saved row stays saved";
}

}  // namespace
