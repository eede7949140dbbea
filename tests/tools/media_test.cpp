// Presentations drawn into PDF and videos drawn frame by frame and encoded by ffmpeg.

#include <gtest/gtest.h>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/kesta_error.h"
#include "slides.h"
#include "support/qt_print.h"
#include "tool_support.h"
#include "videos.h"

namespace {

template <typename Parse>
QString faultOf(Parse&& parse) {
    try {
        parse();
    } catch (const KestaError& error) {
        return error.message();
    }
    return {};
}

TEST(SlidesTest, LinesBecomeSlidesOfPointsSubPointsAndParagraphs) {
    const SlideDeck deck = parseSlides(QStringLiteral("# Сетевые модели\n"
                                                      "Курс «Компьютерные сети»\n"
                                                      "- второй подзаголовок\n"
                                                      "\n"
                                                      "#   Уровни   OSI \n"
                                                      "- Семь уровней\n"
                                                      "  - от физического\n"
                                                      "\t- до прикладного\n"
                                                      "Пояснение\n"
                                                      "# Вопросы\n"),
                                       QStringLiteral("slides/m.txt"));
    ASSERT_EQ(deck.slides.size(), 3);
    EXPECT_EQ(deck.slides[0].title, "Сетевые модели");
    ASSERT_EQ(deck.slides[0].items.size(), 2);
    EXPECT_EQ(deck.slides[0].items[1].text, "второй подзаголовок");
    EXPECT_EQ(deck.slides[0].items[1].kind, SlideDeck::Item::Paragraph) << "a subtitle";
    EXPECT_EQ(deck.slides[1].line, 5);
    EXPECT_EQ(deck.slides[1].title, "Уровни OSI");
    ASSERT_EQ(deck.slides[1].items.size(), 4);
    EXPECT_EQ(deck.slides[1].items[0].kind, SlideDeck::Item::Point);
    EXPECT_EQ(deck.slides[1].items[1].kind, SlideDeck::Item::SubPoint);
    EXPECT_EQ(deck.slides[1].items[2].kind, SlideDeck::Item::SubPoint);
    EXPECT_EQ(deck.slides[1].items[2].text, "до прикладного");
    EXPECT_EQ(deck.slides[1].items[3].kind, SlideDeck::Item::Paragraph);
    EXPECT_TRUE(deck.slides[2].items.isEmpty());

    const auto fault = [](const char* text) {
        return faultOf(
            [&] { parseSlides(QString::fromUtf8(text), QStringLiteral("slides/m.txt")); });
    };
    EXPECT_EQ(fault("Вступление\n# Слайд"),
              "slides/m.txt, line 1: text before the first slide; a slide starts with \"# Title\"");
    EXPECT_EQ(fault("# Слайд\n#  \n"), "slides/m.txt, line 2: a slide without a title");
    EXPECT_EQ(fault("# Слайд\n# Второй\n- \n"), "slides/m.txt, line 3: an empty point");
    EXPECT_EQ(fault("\n\n"), "slides/m.txt: no slides; a slide starts with \"# Title\"");
}

TEST(SlidesTest, DeckIsAWideScreenPdfWithOnePageASlide) {
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("m.pdf"));
    writeSlideDeck(parseSlides(QStringLiteral("# Модели\nподзаголовок\n# Раздел\n"
                                              "# Уровни\n- первый\n  - уточнение\n- второй, "
                                              "достаточно длинный, чтобы перенестись на "
                                              "следующую строку слайда при любом размере\n"),
                               QStringLiteral("slides/m.txt")),
                   pdf);
    const QByteArray bytes = fileBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(pdfPageCount(bytes), 3);
    const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([\\d.]+) ([\\d.]+)\\]"));
    const QRegularExpressionMatch page = box.match(QString::fromLatin1(bytes));
    ASSERT_TRUE(page.hasMatch());
    EXPECT_DOUBLE_EQ(page.captured(1).toDouble(), 960) << "13.33 by 7.5 inches";
    EXPECT_DOUBLE_EQ(page.captured(2).toDouble(), 540);
}

TEST(SlidesTest, ASlideWhoseTextDoesNotFitStopsTheDeck) {
    QString text = QStringLiteral("# Курс\n\n# Слишком много\n");
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("- пункт, в котором слишком много слов для одного слайда\n");
    QTemporaryDir folder;
    EXPECT_EQ(faultOf([&] {
                  writeSlideDeck(parseSlides(text, QStringLiteral("slides/m.txt")),
                                 folder.filePath(QStringLiteral("m.pdf")));
              }),
              "slides/m.txt, line 3: the slide \"Слишком много\" holds more text than fits");
}

const QString kScene = QStringLiteral(
    "% a packet crossing the picture\n"
    "title Проверка\n"
    "box left 100 240 200 60 Слева\n"
    "box right 660 240 200 60 Справа\n"
    "point a 200 270 left\n"
    "point b 760 270\n"
    "line left right\n");

TEST(VideoScriptTest, ScriptReadsIntoTheSceneAndItsSteps) {
    const VideoScript script =
        parseVideoScript(kScene + QStringLiteral("dashed a b\nlabel 480 200 Кабель\nmark b LISTEN\n"
                                                 "move a b 2 IP + TCP + Данные | Пакет идёт\n"
                                                 "wait 0.5\nsend b a 1.5 SYN   +  seq=1\nmark b\n"),
                         QStringLiteral("videos/v.txt"));
    EXPECT_EQ(script.title, "Проверка");
    ASSERT_EQ(script.boxes.size(), 2);
    EXPECT_EQ(script.boxes[0].rect, QRectF(100, 240, 200, 60));
    EXPECT_EQ(script.boxes[0].text, "Слева");
    ASSERT_EQ(script.points.size(), 2);
    EXPECT_EQ(script.points[0].box, "left");
    EXPECT_EQ(script.points[1].box, "");
    ASSERT_EQ(script.lines.size(), 2);
    EXPECT_TRUE(script.lines[1].dashed);
    ASSERT_EQ(script.steps.size(), 5);
    EXPECT_EQ(script.steps[1].packet, (QStringList{"IP", "TCP", "Данные"}));
    EXPECT_EQ(script.steps[1].caption, "Пакет идёт");
    EXPECT_EQ(script.steps[3].kind, VideoScript::Step::Send);
    EXPECT_EQ(script.steps[3].packet, (QStringList{"SYN", "seq=1"}));
    EXPECT_EQ(script.steps[4].text, "") << "a mark without text takes the badge away";
    EXPECT_DOUBLE_EQ(videoSeconds(script), 0.8 + 2 + 0.5 + 1.5 + 1.2);
    EXPECT_EQ(videoFrameCount(script), 150);
}

TEST(VideoScriptTest, EachFaultOfAScriptNamesItsLine) {
    struct Case {
        QString text;
        const char* expected;
    };
    const Case cases[] = {
        {kScene + QStringLiteral("jump a b 1 X"), "line 8: unknown statement \"jump\""},
        {kScene + QStringLiteral("move a c 1 X"), "line 8: no box or point named \"c\""},
        {kScene + QStringLiteral("point a 1 1"), "line 8: \"a\" is named twice"},
        {kScene + QStringLiteral("point c 1000 10"), "line 8: (1000, 10) lies outside"},
        {kScene + QStringLiteral("box wide 900 10 100 20 Текст"),
         "line 8: (1000, 30) lies outside"},
        {kScene + QStringLiteral("box bad 10 10 0 20 Текст"), "line 8: a box of no size"},
        {kScene + QStringLiteral("box c 10 10 50 20"), "line 8: the box has no text"},
        {kScene + QStringLiteral("point к 10 10"), "names hold Latin letters"},
        {kScene + QStringLiteral("point c 10 10 nobox"), "line 8: no box named \"nobox\""},
        {kScene + QStringLiteral("move a b 0 X"), "line 8: a step lasts more than 0"},
        {kScene + QStringLiteral("move a b 11 X"), "at most 10 seconds, not 11"},
        {kScene + QStringLiteral("move a b 1,5 X"), "line 8: \"1,5\" is not a number"},
        {kScene + QStringLiteral("move a b 1 IP + + TCP"),
         "line 8: the packet segment has no text"},
        {kScene + QStringLiteral("move a b 1"), "line 8: expected: move FROM TO SECONDS PACKET"},
        {kScene + QStringLiteral("move a b 1 X |  "), "line 8: an empty caption"},
        {kScene + QStringLiteral("label 10 10 Текст | подпись"), "only move, send and wait take"},
        {kScene + QStringLiteral("line a"), "line 8: expected: line FROM TO"},
        {kScene + QStringLiteral("wait 1 2"), "line 8: expected: wait SECONDS"},
        {kScene + QStringLiteral("wait 1"), "videos/v.txt: no move or send"},
        {QStringLiteral("box a 10 10 50 20 A\nmove a a 1 X"), "videos/v.txt: no title"},
        {kScene + QStringLiteral("move a b 10 X\n").repeated(6) + QStringLiteral("move a b 9 X"),
         "videos/v.txt: 71 seconds"},
    };
    for (const Case& c : cases) {
        const QString fault =
            faultOf([&] { parseVideoScript(c.text, QStringLiteral("videos/v.txt")); });
        EXPECT_TRUE(fault.startsWith(QStringLiteral("videos/v.txt")) &&
                    fault.contains(QString::fromUtf8(c.expected)))
            << c.text.toStdString() << "\n-> " << fault.toStdString();
    }
}

// Packets are light on the dark backdrop of the videos. The point looked at lies in the
// packet's upper half, left of its centre, clear of the text of packet and boxes.
bool packetAt(const QImage& frame, int x, int y) {
    return QColor(frame.pixel(x - 16, y - 14)).lightness() > 150;
}

TEST(VideoScriptTest, FramesShowThePacketWhereTheStepsHaveTakenIt) {
    const VideoScript script = parseVideoScript(
        kScene + QStringLiteral("move a b 2 IP\nwait 1\nsend b a 1 SYN\n"), QStringLiteral("v"));
    const auto at = [&](double seconds) {
        return renderVideoFrame(script, qRound(seconds * video::kFramesPerSecond));
    };
    const QImage start = at(0);
    EXPECT_EQ(start.size(), QSize(video::kWidth, video::kHeight));
    EXPECT_FALSE(packetAt(start, 200, 270)) << "no packet before the first step";

    const QImage leaving = at(0.8 + 0.12);
    const QImage middle = at(0.8 + 1.0);  // half way through the move
    EXPECT_TRUE(packetAt(middle, 480, 270));
    EXPECT_FALSE(packetAt(middle, 760, 270));

    const QImage arrived = at(0.8 + 2.5);  // waiting at b
    EXPECT_TRUE(packetAt(arrived, 760, 270));
    EXPECT_FALSE(packetAt(arrived, 480, 270));
    const auto glow = [](const QImage& frame) { return QColor(frame.pixel(205, 232)).lightness(); };
    EXPECT_GT(glow(leaving), glow(arrived) + 10)
        << "the box of the point the packet leaves lights, and goes dark behind it";

    const QImage last = at(videoSeconds(script) - 0.04);
    EXPECT_FALSE(packetAt(last, 760, 270)) << "a sent packet leaves";
    EXPECT_FALSE(packetAt(last, 200, 270));
    EXPECT_EQ(renderVideoFrame(script, 60), renderVideoFrame(script, 60))
        << "frames are drawn from the script alone";
}

TEST(VideoTest, FfmpegMakesAnMp4OfTheScriptsLengthThatStartsPlayingAtOnce) {
    QTemporaryDir folder;
    const QString mp4 = folder.filePath(QStringLiteral("v.mp4"));
    const VideoScript script = parseVideoScript(
        kScene + QStringLiteral("move a b 1.5 IP + Данные | Пакет\n"), QStringLiteral("v"));
    writeVideo(script, mp4);
    const QMap<QString, QString> probe = probeVideo(mp4);
    EXPECT_EQ(probe.value(QStringLiteral("codec_name")), "h264");
    EXPECT_EQ(probe.value(QStringLiteral("width")), "960");
    EXPECT_EQ(probe.value(QStringLiteral("height")), "540");
    EXPECT_EQ(probe.value(QStringLiteral("pix_fmt")), "yuv420p");
    EXPECT_NEAR(probe.value(QStringLiteral("duration")).toDouble(), 3.5, 0.05);
    const QByteArray bytes = fileBytes(mp4);
    EXPECT_LT(bytes.indexOf("moov"), bytes.indexOf("mdat")) << "the index comes first";
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"v.mp4"});
}

TEST(VideoTest, WithoutFfmpegTheVideoFailsAndLeavesNoFile) {
    QTemporaryDir folder;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", folder.path().toLocal8Bit());
    const QString fault = faultOf([&] {
        writeVideo(parseVideoScript(kScene + QStringLiteral("move a b 1 X"),
                                    QStringLiteral("videos/v.txt")),
                   folder.filePath(QStringLiteral("v.mp4")));
    });
    qputenv("PATH", path);
    EXPECT_EQ(fault,
              "videos/v.txt: making the video needs ffmpeg, which is not installed "
              "(Debian package ffmpeg)");
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

}  // namespace
