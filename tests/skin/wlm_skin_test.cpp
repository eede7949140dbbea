// The course's own skin WLM and the skin tool: the skin is what its generator draws, has
// everything the windows use, loads the same from its folder and from its packed file; the
// tool lists, dumps, packs and unpacks, and refuses what it must.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include "platform/message_box.h"
#include "skin/core/sPackedSkin.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinText.h"
#include "skin_sheet.h"

namespace {

const QString kWlm = QStringLiteral(KESTA_SOURCE_DIR "/course/Skins/WLM");

struct ProcessRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ProcessRun run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

ProcessRun tool(const QStringList& arguments) {
    return run(QStringLiteral(KESTA_SKIN_TOOL), arguments);
}

QStringList filesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Two drawings of the same picture. Qt's antialiased text and curves are rasterised by
// code chosen for the processor, which may round an edge pixel one level differently;
// anything more than that on more than a few pixels is a real change.
::testing::AssertionResult sameDrawing(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    if (x.size() != y.size())
        return ::testing::AssertionFailure() << "sizes differ: " << x.width() << "x" << x.height()
                                             << " and " << y.width() << "x" << y.height();
    int differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int column = 0; column < x.width(); ++column) {
            if (p[column] == q[column]) continue;
            const int most = std::max({std::abs(qRed(p[column]) - qRed(q[column])),
                                       std::abs(qGreen(p[column]) - qGreen(q[column])),
                                       std::abs(qBlue(p[column]) - qBlue(q[column])),
                                       std::abs(qAlpha(p[column]) - qAlpha(q[column]))});
            if (most > 2)
                return ::testing::AssertionFailure()
                       << "pixel " << column << "," << row << " differs by " << most;
            ++differing;
        }
    }
    const int allowed = std::max(4, x.width() * x.height() / 100);
    if (differing > allowed)
        return ::testing::AssertionFailure() << differing << " pixels differ slightly";
    return ::testing::AssertionSuccess();
}

TEST(WlmSkinTest, TheGeneratorDrawsTheSkinAsStored) {
    QTemporaryDir drawn;
    const ProcessRun art = run(QStringLiteral(KESTA_SKIN_ART), {"wlm", drawn.path()});
    ASSERT_EQ(art.exitCode, 0) << art.err.toStdString();
    ASSERT_EQ(filesOf(drawn.path()), filesOf(kWlm));
    EXPECT_EQ(readAll(drawn.filePath("Options.dat")), readAll(kWlm + "/Options.dat"));
    for (const QString& name : filesOf(kWlm)) {
        if (name == "Options.dat") continue;
        const QImage stored(kWlm + u'/' + name);
        const QImage fresh(drawn.filePath(name));
        ASSERT_FALSE(stored.isNull()) << name.toStdString();
        EXPECT_TRUE(sameDrawing(fresh, stored))
            << name.toStdString() << " differs: run the wlm-skin target and commit the result";
    }
}

TEST(WlmSkinTest, DefinesWhatTheWindowsUseWithEveryKindOfReference) {
    const TsSkinText text = TsSkinText::parse(readAll(kWlm + "/Options.dat"));
    for (const char* name : {"GLOBALINFO",
                             "FORM",
                             "FORMTITLE",
                             "CAPTION",
                             "BUTTON",
                             "EDIT",
                             "PANEL",
                             "PANEL_LOW",
                             "GROUPBOX",
                             "CHECKBOX",
                             "RADIOBUTTON",
                             "COMBOBOX",
                             "COMBOBTN",
                             "TOOLBAR",
                             "TOOLBUTTON",
                             "SPEEDBUTTON",
                             "SPEEDBUTTON_SMALL",
                             "MAINMENU",
                             "MENUITEM",
                             "MENULINE",
                             "ICOLINE",
                             "DIVIDERV",
                             "SELECTION",
                             "DIALOG",
                             "SCROLLBTNTOP",
                             "SCROLLBTNBOTTOM",
                             "SCROLLBTNLEFT",
                             "SCROLLBTNRIGHT",
                             "SCROLLSLIDERV",
                             "SCROLLSLIDERH",
                             "SCROLLBAR1H",
                             "SCROLLBAR1V",
                             "SCROLLBAR2H",
                             "SCROLLBAR2V"})
        EXPECT_GE(text.findSection(name), 0) << name;

    QSet<QString> kinds;
    for (int s = 0; s < text.sectionCount(); ++s) {
        for (const TsSkinText::Pair& pair : text.section(s).pairs) {
            const QString& v = pair.value;
            if (v.startsWith('!')) kinds.insert(v.contains(".PNG") ? "! png" : "! bmp");
            if (v.startsWith('@') || v.startsWith('^') || v.startsWith('~'))
                kinds.insert(v.left(1));
            if (v.startsWith('#') && v.size() > 1) kinds.insert("#");
            if (!v.startsWith('!') && !v.contains('#') && v.toUpper().endsWith(".BMP") &&
                pair.key != "MASTERBITMAP")
                kinds.insert("plain");
            if (v.endsWith(".JPG")) kinds.insert("jpeg");
        }
    }
    EXPECT_EQ(kinds, (QSet<QString>{"! png", "! bmp", "@", "^", "~", "#", "plain", "jpeg"}));
}

TEST(WlmSkinTest, LoadsTheSameFromItsFolderAndItsPackedFile) {
    QTemporaryDir skins;
    const QString packedWlm = skins.filePath("WLM.ovk");
    ASSERT_EQ(tool({"pack", kWlm, packedWlm}).exitCode, 0);
    const ProcessRun folder = tool({"dump", kWlm});
    const ProcessRun packed = tool({"dump", packedWlm});
    ASSERT_EQ(folder.exitCode, 0) << folder.err.toStdString();
    ASSERT_EQ(packed.exitCode, 0) << packed.err.toStdString();
    EXPECT_EQ(folder.out, packed.out);

    const QJsonObject dump = QJsonDocument::fromJson(folder.out).object();
    EXPECT_DOUBLE_EQ(dump["version"].toDouble(), 7.3);
    const QJsonObject common = dump["commonIndexes"].toObject();
    for (const char* index :
         {"GLOBALINFO", "BOXCHECKED", "BOXUNCHECKED", "BOXGRAYED", "RADIOCHECKED", "RADIOUNCHECKED",
          "RADIOGRAYED", "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED", "COMBOBTN.BORDERSMASK",
          "COMBOBOX.GLYPHMASK", "SCROLLBTNTOP.GLYPHMASK", "SCROLLSLIDERV.BORDERSMASK",
          "SCROLLBAR2V.BORDERSMASK"})
        EXPECT_GE(common[index].toInt(-1), 0) << index;
    const QJsonArray sections = dump["sections"].toArray();
    const QJsonArray images = dump["images"].toArray();
    for (const QJsonValue& section : sections) {
        const int border = section["borderIndex"].toInt();
        EXPECT_LT(border, images.size());
        const QString name = section["name"].toString();
        if (name != "GLOBALINFO" && name != "CHECKBOX" && name != "RADIOBUTTON" &&
            name != "TOOLBAR" && name != "CAPTION" && name != "ICOLINE" && name != "MENULINE") {
            EXPECT_GE(border, 0) << name.toStdString() << " has a frame";
        }
    }

    // The program's own way in: the packed file beside the folder is preferred.
    MessageBoxRecorder boxes;
    TsSkinManager manager;
    manager.setSkinDirectory(skins.path());
    manager.setSkinName("WLM");
    EXPECT_TRUE(boxes.calls().isEmpty()) << boxes.texts().join("; ").toStdString();
    EXPECT_TRUE(manager.isPacked());
    EXPECT_EQ(manager.SkinInfo(), "7.3");
    EXPECT_EQ(manager.sections().size(), sections.size());
}

TEST(WlmSkinTest, ToolListsPacksAndUnpacks) {
    QTemporaryDir work;
    const QString packedFile = work.filePath("Copy.ovk");
    ASSERT_EQ(tool({"pack", kWlm, packedFile}).exitCode, 0);
    ASSERT_EQ(tool({"unpack", packedFile, work.filePath("Copy")}).exitCode, 0);
    for (const QString& name : filesOf(kWlm))
        EXPECT_EQ(readAll(work.filePath("Copy/" + name)), readAll(kWlm + u'/' + name))
            << name.toStdString();
    const ProcessRun listed = tool({"list", work.path()});
    EXPECT_EQ(listed.out, "Copy\nCopy\n") << "the folder and the packed file";

    const ProcessRun missing = tool({"dump", work.filePath("nothing")});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains("kesta-skin: ")) << missing.err.toStdString();
    EXPECT_NE(tool({"frobnicate"}).exitCode, 0);

    // A member name that climbs out of the folder is refused before anything is written.
    TsPackedSkin evil;
    evil.add("Options.dat", "[S]\n");
    evil.add("../escaped.txt", "gotcha");
    QFile file(work.filePath("Evil.ovk"));
    file.open(QIODevice::WriteOnly);
    file.write(evil.write());
    file.close();
    const ProcessRun refused = tool({"unpack", file.fileName(), work.filePath("out/inner")});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_FALSE(QFile::exists(work.filePath("out/escaped.txt")));
    EXPECT_FALSE(QFile::exists(work.filePath("out/inner/Options.dat")));
}

}  // namespace

TEST(WlmSkinTest, ToolPaintsOneSectionAndTheContactSheet) {
    QTemporaryDir out;
    const QString button = out.filePath("button.png");
    ProcessRun painted =
        tool({"render", kWlm, "BUTTON", "1", "75x25", button, "--parent", "0x00FF00"});
    ASSERT_EQ(painted.exitCode, 0) << painted.err.toStdString();
    const QImage picture(button);
    ASSERT_EQ(picture.size(), QSize(75, 25));
    // The rounded corner shows the parent's green; the middle the button's own look.
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_NE(qGreen(picture.pixel(37, 12)), 255);

    // The same picture as painted in the program.
    MessageBoxRecorder boxes;
    TsSkinManager manager;
    manager.setSkinDirectory(QStringLiteral(KESTA_SOURCE_DIR "/course/Skins"));
    manager.setSkinName("WLM");
    const Bitmap32 expected = renderSection(manager, "BUTTON", 1, QSize(75, 25), 0x00FF00);
    EXPECT_EQ(Bitmap32::fromImage(picture), expected);

    const QString sheet = out.filePath("sheet.png");
    const ProcessRun contact = tool({"sheet", kWlm, sheet});
    ASSERT_EQ(contact.exitCode, 0) << contact.err.toStdString();
    const QImage sheetPicture(sheet);
    ASSERT_FALSE(sheetPicture.isNull());
    EXPECT_EQ(Bitmap32::fromImage(sheetPicture), renderContactSheet(manager));

    // Mistakes are reported, not painted.
    for (const QStringList& wrong :
         {QStringList{"render", kWlm, "NOSUCH", "0", "10x10", button},
          QStringList{"render", kWlm, "BUTTON", "0", "10by10", button},
          QStringList{"render", kWlm, "BUTTON", "0", "0x10", button},
          QStringList{"render", kWlm, "BUTTON", "x", "10x10", button},
          QStringList{"render", out.filePath("none"), "BUTTON", "0", "10x10", button},
          QStringList{"render", kWlm, "BUTTON", "0", "99999x99999", button}}) {
        const ProcessRun refused = tool(wrong);
        EXPECT_EQ(refused.exitCode, 1) << wrong.join(' ').toStdString();
        EXPECT_TRUE(refused.err.contains("kesta-skin: ")) << refused.err.toStdString();
    }
    EXPECT_EQ(tool({"render", kWlm, "BUTTON"}).exitCode, 2);  // usage
}
