// The desktop stand-ins: the general error report, message boxes, forms, paths, dates.

#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/application.h"
#include "platform/error_report.h"
#include "platform/form.h"
#include "platform/kesta_error.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/short_date.h"
#include "support/qt_print.h"

namespace {

TEST(ErrorReportTest, FullStopFollowsLettersAndDigitsOnly) {
    EXPECT_EQ(errorReportText(QStringLiteral("Файл не найден")), "Файл не найден.");
    EXPECT_EQ(errorReportText(QStringLiteral("Код 42")), "Код 42.");
    EXPECT_EQ(errorReportText(QStringLiteral("Готово.")), "Готово.");
    EXPECT_EQ(errorReportText(QStringLiteral("Ошибка!")), "Ошибка!");
    EXPECT_EQ(errorReportText(QStringLiteral("Путь: ")), "Путь: ");
    EXPECT_EQ(errorReportText(QStringLiteral("(скобка)")), "(скобка)");
    EXPECT_EQ(errorReportText(QStringLiteral("a/b")), "a/b.") << "'/' comes after '.'";
    EXPECT_EQ(errorReportText(QString()), QString());
}

TEST(ErrorReportTest, ExceptionFromAHandlerIsReportedAndTheProgramGoesOn) {
    MessageBoxRecorder boxes;
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        if (clicks == 1) throw KestaError(QStringLiteral("Таблица пуста"));
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].text, "Таблица пуста.");
    EXPECT_EQ(boxes.calls()[0].caption, TApplication::title());
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));

    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2) << "the button still works after the report";
    EXPECT_EQ(boxes.calls().size(), 1);

    QTimer::singleShot(0, [] { throw std::runtime_error("plain failure"); });
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.calls().size(), 2);
    EXPECT_EQ(boxes.calls()[1].text, "plain failure.");
}

// Answers the next modal message box with a key press, as a user at the keyboard would.
void pressInNextBox(int key) {
    QTimer::singleShot(0, [key] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, Qt::Key(key));
    });
}

TEST(MessageBoxTest, EnterPressesTheFirstButtonAndEscTheLast) {
    pressInNextBox(Qt::Key_Return);
    EXPECT_EQ(MessageBox(QStringLiteral("Удалить запись?"), QStringLiteral("t"),
                         mbYesNo | mbIconInformation),
              idYes);
    pressInNextBox(Qt::Key_Escape);
    EXPECT_EQ(MessageBox(QStringLiteral("Удалить запись?"), QStringLiteral("t"),
                         mbYesNo | mbIconInformation),
              idNo);
    pressInNextBox(Qt::Key_Escape);
    EXPECT_EQ(MessageBox(QStringLiteral("Продолжить?"), QStringLiteral("t"), mbOkCancel), idCancel);
    pressInNextBox(Qt::Key_Return);
    EXPECT_EQ(MessageBox(QStringLiteral("Продолжить?"), QStringLiteral("t"), mbOkCancel), idOk);
    pressInNextBox(Qt::Key_Escape);
    EXPECT_EQ(MessageBox(QStringLiteral("Готово"), QStringLiteral("t"), mbOk), idOk);
}

TEST(MessageBoxTest, YesNoBoxIgnoresACloseThroughItsFrame) {
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->buttons().size(), 2);
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            box->windowHandle());
        EXPECT_TRUE(box->isVisible()) << "the frame's close does nothing";
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(
        MessageBox(QStringLiteral("Удалить?"), QStringLiteral("t"), mbYesNo | mbIconInformation),
        idNo);
}

TEST(MessageBoxTest, RecorderAnswersWithQueuedAnswersOrTheFirstButton) {
    MessageBoxRecorder boxes;
    boxes.queueAnswer(idNo);
    EXPECT_EQ(MessageBox(QStringLiteral("a"), QStringLiteral("c"), mbYesNo), idNo);
    EXPECT_EQ(MessageBox(QStringLiteral("b"), QStringLiteral("c"), mbYesNo), idYes);
    EXPECT_EQ(MessageBox(QStringLiteral("c"), QStringLiteral("c"), mbOkCancel), idOk);
    EXPECT_EQ(boxes.texts(), (QStringList{"a", "b", "c"}));
}

TEST(FormTest, ClosingTheMainFormEndsTheProgramAndOtherFormsHide) {
    TForm* main = nullptr;
    TForm* other = nullptr;
    Application->createForm(main);
    Application->createForm(other);
    EXPECT_EQ(Application->mainForm(), main);
    other->show();
    other->setWindowTitle(QStringLiteral("kept"));
    other->close();
    EXPECT_FALSE(other->isVisible());
    EXPECT_FALSE(Application->terminated());
    other->show();
    EXPECT_EQ(other->windowTitle(), "kept");
    main->close();
    EXPECT_TRUE(Application->terminated());
    Application->destroyForms();
    EXPECT_FALSE(Application->terminated());
}

TEST(FormTest, HeightCountsTheFrameAndWorkspaceFillsTheWorkArea) {
    TForm form;
    form.setFormHeight(170);
    EXPECT_EQ(form.formHeight(), 170);
    EXPECT_LT(form.height(), 170);
    form.show();
    form.fillWorkArea();
    EXPECT_EQ(form.frameGeometry(), form.screen()->availableGeometry());

    TForm dialog;
    dialog.resize(200, 100);
    dialog.setCentredOnShow(true);
    dialog.show();
    const QPoint offset =
        dialog.frameGeometry().center() - dialog.screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST(PathsTest, BackslashesAndLetterCaseFromTheDatabaseFindTheFile) {
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("Data/Present"));
    QFile file(folder.filePath(QStringLiteral("Data/Present/Сети.pptx")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString base = folder.path() + u'/';
    EXPECT_EQ(localPath(base + QStringLiteral("Data\\Present\\Сети.pptx")), file.fileName());
    EXPECT_EQ(localPath(base + QStringLiteral("data\\PRESENT\\сети.PPTX")), file.fileName());
    EXPECT_EQ(localPath(base + QStringLiteral("Data\\Нет.pptx")),
              base + QStringLiteral("Data/Нет.pptx"));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    EXPECT_EQ(localPath(QStringLiteral("DATA\\present\\Сети.pptx")),
              QStringLiteral("Data/Present/Сети.pptx"));
    QDir::setCurrent(previous);

    setAppDir();
    EXPECT_TRUE(AppDir.endsWith(u'/'));
    EXPECT_EQ(AppDir, QCoreApplication::applicationDirPath() + u'/');
}

TEST(ShortDateTest, WrittenDatesReadBackAsTheSameDay) {
    for (const QDate day : {QDate(2026, 1, 2), QDate(1999, 12, 31), QDate(2031, 7, 15)}) {
        EXPECT_EQ(parseShortDate(formatShortDate(day)), day) << formatShortDate(day).toStdString();
    }
    EXPECT_TRUE(shortDateFormat().contains(QStringLiteral("yyyy")));
    EXPECT_FALSE(parseShortDate(QStringLiteral("не дата")).isValid());
}

}  // namespace
