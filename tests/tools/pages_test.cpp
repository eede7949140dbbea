// Theory pages and documents: the rules of the HTML fragments, the saved web page read back
// part by part, and the document the word processor prints.

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <QUrl>

#include "pages.h"
#include "platform/kesta_error.h"
#include "support/qt_print.h"
#include "tool_support.h"

namespace {

const QByteArray kWideSvg =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 800 400\">"
    "<text x=\"10\" y=\"20\" font-family=\"DejaVu Sans, sans-serif\">Уровни</text></svg>";
const QByteArray kSmallSvg =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"300px\" viewBox=\"0 0 150 60\"/>";

const QString kPage = QStringLiteral(
    "<h1>Модель &laquo;OSI&raquo;</h1>\n"
    "<p>Семь <a href=\"#levels\">уровней</a>.</p>\n"
    "<figure><img src=\"pictures/osi.svg\" alt=\"Уровни\">\n"
    "<figcaption>Рис. 1. Уровни</figcaption></figure>\n"
    "<table><thead><tr><th>№</th></tr></thead><tbody><tr><td>7</td></tr></tbody></table>\n"
    "<p><img src=\"pictures/small.svg\" alt=\"\"> и снова <img src='pictures/osi.svg'></p>\n"
    "<pre>if (a < b) return;</pre>\n");

class PageTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(folder.filePath(QStringLiteral("pictures/osi.svg")), kWideSvg);
        writeFile(folder.filePath(QStringLiteral("pictures/small.svg")), kSmallSvg);
    }
    QTemporaryDir folder;
};

// The message of the fault a fragment raises, or an empty text when it passes.
QString faultOf(const QString& html) {
    try {
        checkFragment(html, QStringLiteral("pages/Тема.html"));
    } catch (const KestaError& error) {
        return error.message();
    }
    return {};
}

TEST(FragmentTest, AFragmentOfTheCourseFormPassesWithItsHeadingAndPictures) {
    const Fragment fragment = checkFragment(kPage, QStringLiteral("pages/OSI.html"));
    EXPECT_EQ(fragment.heading, "Модель «OSI»") << "entities are decoded";
    EXPECT_EQ(fragment.pictures, (QStringList{"pictures/osi.svg", "pictures/small.svg"}))
        << "each picture once, in order of first use";
    EXPECT_EQ(faultOf(QStringLiteral("<!-- черновик -->\n  <h1>\n  Тема\n  </h1><p>a</p>")),
              QString())
        << "comments and white space may come before the heading";
}

TEST(FragmentTest, EachBrokenRuleNamesTheFileTheLineAndTheRule) {
    struct Case {
        const char* html;
        const char* expected;
    };
    const Case cases[] = {
        {"<p>Текст</p>\n<h1>Тема</h1>", "line 1: the fragment must begin with <h1>"},
        {"Вступление <h1>Тема</h1>", "must begin with <h1>"},
        {"", "must begin with <h1>"},
        {"<h1>  </h1>", "holds no title"},
        {"<h1>Тема</h1>\n<p>a</p>\n<script>alert(1)</script>", "line 3: <script> is not allowed"},
        {"<h1>Тема</h1>\n<style>p{}</style>", "line 2: <style> is not allowed"},
        {"<html><h1>Тема</h1>", "must begin with <h1>"},
        {"<h1>Тема</h1><body>", "<body> is not allowed"},
        {"<!DOCTYPE html><h1>Тема</h1>", "no declarations"},
        {"<h1>Тема</h1>\n\n<p style=\"color:red\">a</p>", "line 3: <p style>: no styles"},
        {"<h1>Тема</h1><p onclick=\"go()\">a</p>", "<p onclick>: pages hold no scripts"},
        {"<h1>Тема</h1><a href=\"https://example.org\">a</a>", "no external links"},
        {"<h1>Тема</h1><img src=\"https://example.org/a.svg\">", "is not a picture of pictures/"},
        {"<h1>Тема</h1><img src=\"pictures/../secret.svg\">", "is not a picture of pictures/"},
        {"<h1>Тема</h1><img src=\"pictures/a.exe\">", "is not a picture of pictures/"},
        {"<h1>Тема</h1><img alt=\"x\">", "<img> without src"},
        {"<h1>Тема</h1><img src=\"pictures/a.svg\" srcset=\"b.svg 2x\">", "no external resources"},
        {"<h1>Тема</h1><iframe src=\"x\"></iframe>", "<iframe> is not allowed"},
        {"<h1>Тема</h1><!-- не закрыт", "a comment is not closed"},
        {"<h1>Тема\n<p>a</p>", "line 1: <h1> is not closed"},
        {"<h1>Тема</h1><p class=\"a>b</p>", "a quoted value is not closed"},
    };
    for (const Case& c : cases) {
        const QString fault = faultOf(QString::fromUtf8(c.html));
        EXPECT_TRUE(fault.startsWith(QStringLiteral("pages/Тема.html")))
            << c.html << ": " << fault.toStdString();
        EXPECT_TRUE(fault.contains(QString::fromUtf8(c.expected)))
            << c.html << ": " << fault.toStdString();
    }
}

TEST_F(PageTest, SavedPageHoldsTheDocumentAndEachPictureAtTheUrlItsSourceResolvesTo) {
    const Fragment fragment = checkFragment(kPage, QStringLiteral("pages/OSI.html"));
    const QString location = QStringLiteral("http://course.invalid/Data/Модель OSI.htm");
    const MimeMessage archive = parseMime(pageArchive(fragment, folder.path(), location));

    EXPECT_EQ(archive.headers.value("mime-version"), "1.0");
    EXPECT_TRUE(archive.headers.value("content-type").startsWith("multipart/related;"));
    ASSERT_FALSE(archive.boundary.isEmpty());
    ASSERT_EQ(archive.parts.size(), 3) << "the document and two pictures, each once";

    const MimeMessage::Part& html = archive.parts[0];
    EXPECT_EQ(html.headers.value("content-type"), "text/html; charset=\"utf-8\"");
    EXPECT_EQ(html.headers.value("content-transfer-encoding"), "base64")
        << "the browser garbles UTF-8 HTML sent as 8bit";
    const QUrl base = QUrl::fromEncoded(html.headers.value("content-location"));
    EXPECT_EQ(base, QUrl(location));
    EXPECT_EQ(QString::fromUtf8(html.body), htmlDocument(fragment, folder.path()));

    const QByteArray pictures[] = {kWideSvg, kSmallSvg};
    const char* sources[] = {"pictures/osi.svg", "pictures/small.svg"};
    for (int i = 0; i < 2; ++i) {
        const MimeMessage::Part& picture = archive.parts[i + 1];
        EXPECT_EQ(picture.headers.value("content-type"), "image/svg+xml");
        EXPECT_EQ(picture.headers.value("content-transfer-encoding"), "base64");
        EXPECT_EQ(QUrl::fromEncoded(picture.headers.value("content-location")),
                  base.resolved(QUrl(QString::fromLatin1(sources[i]))));
        EXPECT_EQ(picture.body, pictures[i]);
    }
    EXPECT_EQ(QUrl::fromEncoded(archive.parts[1].headers.value("content-location")).toString(),
              "http://course.invalid/Data/pictures/osi.svg");
}

TEST_F(PageTest, AMissingPictureStopsThePageNamingTheFragmentAndThePicture) {
    const Fragment fragment =
        checkFragment(QStringLiteral("<h1>Тема</h1><img src=\"pictures/none.svg\">"),
                      QStringLiteral("pages/Тема.html"));
    for (const auto& make :
         {+[](const Fragment&f, const QString&folder) {
              pageArchive(f, folder, QStringLiteral("http://course.invalid/a.htm"));
          },
          +[](const Fragment&f, const QString&folder) { htmlDocument(f, folder); }}) {
        try {
            make(fragment, folder.path());
            ADD_FAILURE() << "the page was made";
        } catch (const KestaError& error) {
            EXPECT_EQ(error.message(),
                      "pages/Тема.html: the picture pictures/none.svg does not exist");
        }
    }
}

TEST_F(PageTest, DocumentIsACompleteUtf8PageTheWordProcessorLaysOutToo) {
    const QString document =
        htmlDocument(checkFragment(kPage, QStringLiteral("pages/OSI.html")), folder.path());
    EXPECT_TRUE(document.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(document.contains(QStringLiteral("<title>Модель «OSI»</title>")));
    EXPECT_EQ(document.count(QStringLiteral("<style>")), 1);
    EXPECT_TRUE(document.contains(QStringLiteral("font-family: \"DejaVu Serif\"")));

    // Pictures get the size they are drawn at, no wider than a printed page.
    EXPECT_TRUE(document.contains(QStringLiteral(
        "<img width=\"680\" height=\"340\" src=\"pictures/osi.svg\" alt=\"Уровни\">")));
    EXPECT_TRUE(document.contains(
        QStringLiteral("<img width=\"300\" height=\"120\" src=\"pictures/small.svg\" alt=\"\">")));
    EXPECT_TRUE(document.contains(
        QStringLiteral("<img width=\"680\" height=\"340\" src='pictures/osi.svg'>")));
    // Figures become centred blocks, tables get their borders as attributes.
    EXPECT_TRUE(
        document.contains(QStringLiteral("<div class=\"figure\" align=\"center\"><img width")));
    EXPECT_TRUE(document.contains(
        QStringLiteral("<p class=\"caption\" align=\"center\">Рис. 1. Уровни</p></div>")));
    EXPECT_TRUE(document.contains(
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"6\"><thead>")));
    EXPECT_FALSE(document.contains(QStringLiteral("<figure")));
    // Everything else is the fragment as written.
    EXPECT_TRUE(document.contains(QStringLiteral("<pre>if (a < b) return;</pre>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<p>Семь <a href=\"#levels\">уровней</a>.</p>")));
}

TEST_F(PageTest, PictureSizeComesFromTheSvgLengthsOrItsViewBox) {
    const auto size = [&](const QByteArray& svg) {
        writeFile(folder.filePath(QStringLiteral("p.svg")), svg);
        return pictureSize(folder.filePath(QStringLiteral("p.svg")));
    };
    EXPECT_EQ(size(kWideSvg), QSize(800, 400));
    EXPECT_EQ(size("<svg width=\"640\" height=\"200px\" viewBox=\"0 0 10 10\"/>"), QSize(640, 200));
    EXPECT_EQ(size("<svg width=\"640\" viewBox=\"0,0,320,100\"/>"), QSize(640, 200));
    EXPECT_EQ(
        size("<?xml version=\"1.0\"?>\n<!-- c -->\n<svg height=\"50\" viewBox=\"0 0 320 100\"/>"),
        QSize(160, 50));
    EXPECT_EQ(size("<svg width=\"100%\" viewBox=\"0 0 700 350\"/>"), QSize(700, 350))
        << "a relative length gives way to the viewBox";
    EXPECT_TRUE(size("<svg/>").isEmpty());
}

}  // namespace
