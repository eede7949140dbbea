// The skin manager: skin folders, packed skins and the stored skin, changing the skin and its
// failures, the announcement to every window; and the look-ups and colour queries painting
// makes.

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>

#include "platform/form.h"
#include "platform/message_box.h"
#include "platform/skin_message.h"
#include "skin/core/sPackedSkin.h"
#include "skin/core/sSkinManager.h"
#include "skin_test_support.h"

namespace {

const QString kDesert = QStringLiteral("Desert (internal)");
const QString kNewerSkin = QStringLiteral(
    "This version of the skin have not complete support by used Verdanel package release.\n"
    "Components must be updated up to latest version for using this skin.");

// A manager on its own skin folder, with the stored skin of the course.
struct Manager {
    SkinFolder skins;
    TsSkinManager manager;
    MessageBoxRecorder boxes;

    Manager() {
        TsStoredSkin desert;
        desert.Name = kDesert;
        manager.InternalSkins.append(desert);
        manager.setSkinDirectory(skins.path());
    }
    void skin(const QString& name, const QString& text) const {
        skins.write(name + "/Options.dat", text.toUtf8());
    }
    void packed(const QString& name, const QString& text) const {
        TsPackedSkin container;
        container.add("Options.dat", text.toUtf8());
        skins.write(name + ".ovk", container.write());
    }
};

TEST(SkinManagerTest, SkinFoldersResolveAgainstTheProgramFolder) {
    const QString program = "/course/";
    EXPECT_EQ(TsSkinManager::ResolveSkinFolder("Skins", program), "/course/Skins/");
    EXPECT_EQ(TsSkinManager::ResolveSkinFolder("../Skins", program), "/Skins/");
    EXPECT_EQ(TsSkinManager::ResolveSkinFolder("./Skins", program), "/course/Skins/");
    EXPECT_EQ(TsSkinManager::ResolveSkinFolder("Skins\\", program), "/course/Skins/");
    EXPECT_EQ(TsSkinManager::ResolveSkinFolder("/opt/skins", program), "/opt/skins/");
    EXPECT_EQ(TsSkinManager::ResolveSkinFolder("C:\\Skins", program), "C:\\Skins/")
        << "a drive path only gets its separator";
    EXPECT_EQ(TsSkinManager::ResolveSkinFolder("\\\\server\\skins", program), "\\\\server\\skins/");

    TsSkinManager manager;
    manager.setSkinDirectory("C");
    manager.setActive(false);
    manager.setSkinName("Blue");
    EXPECT_EQ(manager.packedSkinFile(), "C:/Blue.ovk") << "one letter is a drive's root";
}

TEST(SkinManagerTest, FallsBackToTheStoredSkin) {
    Manager m;
    m.skins.write("WLM/readme.txt", "no skin text here");
    QSignalSpy before(&m.manager, &TsSkinManager::OnBeforeChange);
    QSignalSpy after(&m.manager, &TsSkinManager::OnAfterChange);
    m.manager.setSkinName("WLM");
    EXPECT_EQ(m.manager.SkinName(), kDesert);
    EXPECT_TRUE(m.manager.sections().isEmpty()) << "the stored skin has no description";
    EXPECT_TRUE(m.manager.SkinData().Active);
    EXPECT_FALSE(TsSkinManager::SkinLoading());
    EXPECT_EQ(before.count(), 1);
    EXPECT_EQ(after.count(), 1);
    EXPECT_TRUE(m.boxes.calls().isEmpty());

    m.manager.InternalSkins.clear();
    m.manager.setSkinName("Nothing");
    EXPECT_FALSE(m.manager.Active()) << "no skin at all: the manager switches itself off";
    EXPECT_EQ(m.manager.SkinInfo(), "N/A");
    EXPECT_TRUE(m.boxes.calls().isEmpty());
}

TEST(SkinManagerTest, InactiveManagerOnlyRecordsTheName) {
    Manager m;
    m.skin("Blue", "[GLOBALINFO]\nVERSION=7.3\n[BUTTON]\nCOLOR=1\n");
    m.manager.setActive(false);
    m.manager.setSkinName("Blue");
    EXPECT_EQ(m.manager.SkinName(), "Blue");
    EXPECT_TRUE(m.manager.sections().isEmpty());
    m.manager.setSkinInfo("9");
    EXPECT_EQ(m.manager.SkinInfo(), "N/A");
    m.manager.setActive(true);
    EXPECT_EQ(m.manager.FindSection("BUTTON"), 1);
    EXPECT_EQ(m.manager.SkinInfo(), "7.3");
    EXPECT_FALSE(m.manager.isPacked());
}

TEST(SkinManagerTest, PackedSkinIsPreferredAndReadsItsPictures) {
    Manager m;
    m.skin("Blue", "[FOLDER]\n");
    TsPackedSkin container;
    container.add("oPTIONS.DAT", "[PACKED]\nBORDERSMASK=!BTN.PNG!3!1!0\nPATTERN=TEX.JPG\n");
    container.add("BTN.PNG", pictureBytes(30, 12, "PNG"));
    container.add("TEX.JPG", pictureBytes(8, 8, "JPG"));
    m.skins.write("Blue.ovk", container.write());
    m.manager.setSkinName("Blue");
    EXPECT_TRUE(m.manager.isPacked());
    EXPECT_EQ(m.manager.FindSection("PACKED"), 0) << "Options.dat in any letter case";
    EXPECT_EQ(m.manager.FindSection("FOLDER"), -1);
    EXPECT_EQ(m.manager.images().size(), 2u);
    EXPECT_EQ(m.manager.FindTexture(0, "PACKED", "PATTERN"), 1);
}

TEST(SkinManagerTest, AFaultySkinKeepsThePreviousOne) {
    Manager m;
    m.skin("Good", "[BUTTON]\nCOLOR=5\n");
    m.skin("Bad", "[GLOBALINFO]\nSHADOW1OFFSET=wide\n[OTHER]\n");
    m.skins.write("Damaged.ovk", "PK\x03\x04 a zip archive");
    m.manager.setSkinName("Good");
    m.manager.setSkinName("Bad");
    ASSERT_EQ(m.boxes.calls().size(), 1);
    const MessageBoxCall& box = m.boxes.calls()[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.flags, unsigned(mbOk | mbIconError));
    EXPECT_TRUE(box.text.contains("wide")) << box.text.toStdString();
    EXPECT_EQ(m.manager.SkinName(), "Good");
    EXPECT_EQ(m.manager.FindSection("BUTTON"), 0) << "the skin in use stays whole";
    EXPECT_TRUE(m.manager.SkinData().Active);

    m.manager.setSkinName("Damaged");
    ASSERT_EQ(m.boxes.calls().size(), 2);
    EXPECT_EQ(m.boxes.calls()[1].text, "Loaded data is not a packed Orvisk file");
    EXPECT_EQ(m.manager.SkinName(), "Good");
}

TEST(SkinManagerTest, ASkinBeyondThePictureBudgetIsRefused) {
    Manager m;
    m.manager.PictureMemory = qint64(1) << 20;
    const auto references = [](int count) {
        QString text = "[BUTTON]\n";
        for (int i = 0; i < count; ++i)
            text += QStringLiteral("K%1=!BTN.PNG!1!0!0\n").arg(i);
        return text;
    };
    // One small picture of 16 KiB: 64 references fill the budget, 65 are too many.
    m.skins.picture("Fits/BTN.PNG", 64, 64, "PNG");
    m.skins.picture("Many/BTN.PNG", 64, 64, "PNG");
    m.skin("Fits", references(64));
    m.skin("Many", references(65));
    m.manager.setSkinName("Fits");
    ASSERT_TRUE(m.boxes.calls().isEmpty()) << m.boxes.texts().join('\n').toStdString();
    EXPECT_EQ(m.manager.images().size(), 64u);

    m.manager.setSkinName("Many");
    ASSERT_EQ(m.boxes.calls().size(), 1);
    const MessageBoxCall& box = m.boxes.calls()[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.flags, unsigned(mbOk | mbIconError));
    EXPECT_EQ(box.text,
              "The pictures of the skin need more than 1 MiB of memory; the picture "
              "BTN.PNG (64 by 64 pixels) does not fit");
    EXPECT_EQ(m.manager.SkinName(), "Fits");
    EXPECT_EQ(m.manager.images().size(), 64u) << "the skin in use stays whole";
    EXPECT_TRUE(m.manager.SkinData().Active);
}

TEST(SkinManagerTest, NewerSkinVersionIsAnnouncedOncePerLoad) {
    Manager m;
    m.skin("Eight", "[GLOBALINFO]\nVERSION=8\n");
    m.skin("Six", "[GLOBALINFO]\nVERSION=6.5\n");
    m.manager.setSkinName("Eight");
    ASSERT_EQ(m.boxes.texts(), QStringList{kNewerSkin});
    EXPECT_EQ(m.boxes.calls()[0].flags, unsigned(mbOk | mbIconInformation));
    EXPECT_EQ(m.manager.SkinInfo(), "8") << "loaded anyway";
    m.manager.setSkinName("Six");
    EXPECT_EQ(m.boxes.calls().size(), 1) << "an old skin is announced only on request";
    m.manager.setSkinName("Eight");
    EXPECT_EQ(m.boxes.calls().size(), 2);
}

TEST(SkinManagerTest, ListsSkinsOfEachSource) {
    Manager m;
    m.skin("b", "");
    m.skin("A", "");
    m.skins.write("c/readme.txt", "");
    m.skin(".hidden", "");
    m.packed("Blue.Glass", "");
    m.skins.write("Upper.OVK", "not listed: the extension is case-sensitive");
    QStringList names;
    EXPECT_EQ(m.manager.ListSkins(names, skFolder), kDesert) << "stored skins come first";
    EXPECT_EQ(names, (QStringList{"A", "b", kDesert}));
    m.manager.ListSkins(names, skPacked);
    EXPECT_EQ(names, (QStringList{"Blue", kDesert}));
    m.manager.InternalSkins.clear();
    EXPECT_EQ(m.manager.ListSkins(names, skAll), "A");
    EXPECT_EQ(names, (QStringList{"A", "b", "Blue"}));
}

TEST(SkinManagerTest, HueOffsetReloadsTheSkin) {
    Manager m;
    m.skin("Red", "[PANEL]\nCOLOR=0x0000FF\n");
    m.manager.setSkinName("Red");
    EXPECT_EQ(m.manager.sections()[0].Color, 0x0000FF);
    m.manager.setHueOffset(120);
    EXPECT_EQ(m.manager.sections()[0].Color, 0x00FF00);
    EXPECT_TRUE(m.manager.SkinData().Active) << "a reloaded skin stays in use";
    m.manager.setSaturation(0);
    m.manager.setHueOffset(0);
    EXPECT_EQ(m.manager.sections()[0].Color, 0x0000FF);
}

// A control that takes part in the skin command message, skinned or not.
class Listener : public QWidget {
public:
    Listener(QWidget* parent, bool skinned) : QWidget(parent), skinned_(skinned) {}
    QList<int> commands;

protected:
    bool event(QEvent* event) override {
        if (event->type() != TsSkinMessage::eventType()) return QWidget::event(event);
        auto* message = static_cast<TsSkinMessage*>(event);
        if (message->Command == TsSkinMessage::AC_CTRLHANDLED) {
            message->Result = skinned_ ? 1 : 0;
            message->Handled = skinned_;
            return true;
        }
        commands.append(message->Command);
        message->Handled = true;
        return true;
    }

private:
    bool skinned_;
};

class ListeningForm : public TForm {
public:
    ListeningForm() : control(new Listener(new QWidget(this), true)), inner(control, true) {}
    Listener* control;
    Listener inner;
    QList<int> commands;

protected:
    bool event(QEvent* event) override {
        if (event->type() == TsSkinMessage::eventType()) {
            auto* message = static_cast<TsSkinMessage*>(event);
            if (message->Command != TsSkinMessage::AC_CTRLHANDLED)
                commands.append(message->Command);
            return true;
        }
        return TForm::event(event);
    }
};

TEST(SkinManagerTest, BroadcastReachesEveryFormAndSkinnedControl) {
    Manager m;
    m.skin("Blue", "[BUTTON]\n");
    ListeningForm form;
    ListeningForm provided;
    TsSkinManager::addProviderForm(&provided);
    auto* unskinned = new Listener(&form, false);

    m.manager.setSkinName("Blue");
    EXPECT_EQ(form.commands, (QList<int>{1, 16, 3})) << "new skin, then a refresh";
    EXPECT_EQ(form.control->commands, (QList<int>{1, 16, 3}))
        << "reached through a plain container";
    EXPECT_TRUE(form.inner.commands.isEmpty()) << "a skinned control passes it on itself";
    EXPECT_TRUE(unskinned->commands.isEmpty());
    EXPECT_EQ(provided.commands, (QList<int>{1, 16, 3}));

    form.commands.clear();
    m.manager.setActive(false);
    EXPECT_EQ(form.commands, QList<int>{2});
    EXPECT_TRUE(m.manager.sections().isEmpty());
    TsSkinManager::removeProviderForm(&provided);
}

TEST(SkinManagerTest, FormSettingsAnnounceTheSkinOnlyWhenComplete) {
    ListeningForm form;
    Manager m;
    m.skin("WLM", "[FORM]\n");
    m.manager.beginLoading();
    m.manager.setSkinName("WLM");
    EXPECT_EQ(m.manager.FindSection("FORM"), 0) << "read at once";
    EXPECT_TRUE(form.commands.isEmpty()) << "but not yet announced";
    m.manager.loaded();
    EXPECT_EQ(form.commands, QList<int>{1});
}

TEST(SkinLookupTest, SectionsImagesAndFrames) {
    SkinFolder folder;
    const TsSkinModel model = folder.load(
        "[PANEL]\nBORDERSMASK=#(0,0,100,41) (3,1)\n"
        "[BUTTON]\nPARENTCLASS=PANEL\n"
        "[SELF]\nPARENTCLASS=SELF\n"
        "[TABBOTTOM]\nBORDERSMASK=#(0,0,6,6) (1,0,2)\n");
    const int panel = model.FindSection("PANEL");
    const int button = model.FindSection("BUTTON");
    EXPECT_EQ(model.FindSection("button"), -1) << "case-sensitive";
    EXPECT_EQ(model.FindImage(button, "BUTTON", "BORDERSMASK"), 0);
    EXPECT_EQ(model.Sections[button].BorderIndex, 0) << "the parent's border";
    EXPECT_EQ(model.FindImageInSection("BUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(model.Sections[model.FindSection("SELF")].BorderIndex, -1);
    EXPECT_EQ(model.FindImage(-1, "PANEL", "BORDERSMASK"), -1);
    EXPECT_EQ(model.FindImage(panel, "", "BORDERSMASK"), -1);
    EXPECT_EQ(model.FindTexture(panel, "PANEL", "BORDERSMASK"), -1) << "not a texture";
    EXPECT_EQ(model.Common.Tabs[1].Border, 1) << "TABBOTTOM without TABTOP";
    EXPECT_EQ(model.Common.Tabs[0].Section, -1);

    const TsMaskData& frame = model.Images[0];
    EXPECT_EQ(TsSkinModel::FrameWidth(frame), 33);
    EXPECT_EQ(TsSkinModel::FrameHeight(frame), 20);
    EXPECT_EQ(model.LeftMargin(0), 11);
    EXPECT_EQ(model.BottomMargin(0), 6);
    TsSkinModel widths;
    widths.Images.emplace_back();
    widths.Images[0].R = TsRect{0, 0, 30, 12};
    widths.Images[0].BorderWidth = 3;
    EXPECT_EQ(widths.LeftMargin(0), 3) << "the border width when there are no margins";
    widths.Images[0].BorderWidth = 0;
    EXPECT_EQ(widths.LeftMargin(0), 30) << "a frame count of 0 counts as 1";
    EXPECT_EQ(widths.BottomMargin(0), 12);
    TsMaskData odd;
    odd.R = TsRect{0, 0, 40, 30};
    odd.MaskType = -1;
    EXPECT_EQ(TsSkinModel::FrameWidth(odd), 0) << "no frames";
    EXPECT_EQ(TsSkinModel::FrameHeight(odd), 0);
    odd.MaskType = 2;
    odd.ImageCount = 1;
    EXPECT_EQ(TsSkinModel::FrameHeight(odd), 10);
    EXPECT_EQ(TsSkinModel::FrameWidth(odd), 40);
    EXPECT_EQ(model.LeftMargin(99), 0);
}

TEST(SkinLookupTest, ColourQueriesAndTheirFallBacks) {
    SkinFolder folder;
    TsSkinModel bare = folder.load("[EDIT]\nFONTCOLOR=0x123456\n");
    EXPECT_EQ(bare.FormColor(), ColorToRGB(clBtnFace)) << "no GLOBALINFO";
    EXPECT_EQ(bare.GlobalFontColor(), clKey);
    EXPECT_EQ(bare.EditFontColor(), 0x123456);
    EXPECT_EQ(bare.Common.CheckBoxChecked, -1);
    EXPECT_EQ(bare.SelectionColor(false), ColorToRGB(clHighlight));
    EXPECT_EQ(bare.SelectionTextColor(true), ColorToRGB(clHighlightText));

    TsSkinModel model = folder.load(
        "[GLOBALINFO]\nCOLOR=0x80000005\nFONTCOLOR=9\n"
        "[SELECTION]\nSTATES=2\nCOLOR=0xFF00FF\nHOTCOLOR=0x00AA00\nFONTCOLOR=-1\n"
        "HOTFONTCOLOR=0xFF00FF\n"
        "[MENUITEM]\nHOTCOLOR=0x3300AA\nHOTFONTCOLOR=0x0000EE\n");
    EXPECT_EQ(model.FormColor(), ColorToRGB(clWindow)) << "a system colour turns into RGB";
    EXPECT_GE(model.FormColor(), 0);
    EXPECT_EQ(model.GlobalFontColor(), 9);
    EXPECT_EQ(model.SelectionColor(true), 0x00AA00);
    EXPECT_EQ(model.SelectionColor(false), 0x3300AA) << "SELECTION's colour is the key";
    EXPECT_EQ(model.SelectionTextColor(false), 0) << "FONTCOLOR -1 reads the default 0";
    EXPECT_EQ(model.SelectionTextColor(true), 0x0000EE);
    model = folder.load("[MENUITEM]\nHOTCOLOR=0xFFFFFF\n");
    EXPECT_EQ(model.SelectionColor(true), ColorToRGB(clHighlight));
}

}  // namespace
