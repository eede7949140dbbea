// The windows as a user sees them with the course's skin: a few windows drawn whole and
// compared with pictures kept in tests/app/pictures, which are rewritten only on purpose
// (KESTA_UPDATE_PAINTINGS=1) after a deliberate change of the look.

#include <QImage>
#include <QTest>

#include "app/dm.h"
#include "app/registracia.h"
#include "support/course_fixture.h"
#include "teacher/newinsert.h"
#include "teacher/prepodavatel.h"
#include "testing/testing.h"

namespace {

// Qt's antialiased text is rasterised by code chosen for the processor, which may round an
// edge pixel one level differently; anything more is a change of the look.
::testing::AssertionResult samePicture(const QImage& shown, const QString& name) {
    const QString path = QStringLiteral(KESTA_SOURCE_DIR "/tests/app/pictures/") + name;
    const QImage picture = shown.convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIntValue("KESTA_UPDATE_PAINTINGS") == 1) picture.save(path);
    const QImage kept = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (kept.isNull()) return ::testing::AssertionFailure() << "no picture " << name.toStdString();
    if (kept.size() != picture.size())
        return ::testing::AssertionFailure() << name.toStdString() << " changed its size";
    int differing = 0;
    for (int y = 0; y < kept.height(); ++y)
        for (int x = 0; x < kept.width(); ++x) {
            const QRgb a = kept.pixel(x, y), b = picture.pixel(x, y);
            if (a == b) continue;
            const int most = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                       std::abs(qBlue(a) - qBlue(b))});
            if (most > 2)
                return ::testing::AssertionFailure()
                       << name.toStdString() << " differs at " << x << "," << y;
            ++differing;
        }
    if (differing > kept.width() * kept.height() / 100)
        return ::testing::AssertionFailure()
               << name.toStdString() << ": " << differing << " pixels differ slightly";
    return ::testing::AssertionSuccess();
}

class WindowPicturesTest : public CourseTest {
protected:
    static QImage drawn(QWidget* window) {
        QApplication::processEvents();
        return window->grab().toImage();
    }
};

TEST_F(WindowPicturesTest, SignInTestAndNewTopicWindowsLookAsKept) {
    for (int i = 1; i <= 5; ++i)
        seed(QStringLiteral("test"),
             {{QStringLiteral("Вопрос"), QStringLiteral("Вопрос %1\nA) один\nB) два").arg(i)},
              {QStringLiteral("Правильный_ответ"), QStringLiteral("A")}});
    seed(QStringLiteral("teoria"), {{QStringLiteral("Абсолютный номер"), 0},
                                    {QStringLiteral("Индекс"), 0},
                                    {QStringLiteral("Название темы"), QStringLiteral("Введение")}});
    start();
    Form1->show();
    EXPECT_TRUE(samePicture(drawn(Form1), QStringLiteral("signin.png")));

    launchTest();
    Form6->openPosition(1);
    EXPECT_TRUE(samePicture(drawn(Form6), QStringLiteral("test-window.png")));

    Form5->open();
    EXPECT_TRUE(samePicture(drawn(Form5), QStringLiteral("new-topic.png")));
}

}  // namespace
