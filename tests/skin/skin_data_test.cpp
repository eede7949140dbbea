// The skin manager's settings and the skin data every skinned control carries.

#include <gtest/gtest.h>

#include "skin/controls/sButton.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sPanel.h"
#include "skin/core/sSkinManager.h"

namespace {

TEST(SkinDataTest, SectionNamesAreStoredUpperCased) {
    TsButton button;
    EXPECT_EQ(button.SkinData.SkinSection(), "BUTTON");
    EXPECT_EQ(button.SkinData.kind(), 93);
    button.SkinData.setSkinSection(QStringLiteral("speedButton"));
    EXPECT_EQ(button.SkinData.SkinSection(), "SPEEDBUTTON");
    button.SkinData.setSkinSection(QString());
    EXPECT_EQ(button.SkinData.SkinSection(), "UNKNOWN");
    TsPanel panel;
    EXPECT_EQ(panel.SkinData.SkinSection(), "PANEL");
    EXPECT_EQ(TsEdit().SkinData.kind(), 3);
}

TEST(SkinDataTest, TheDefaultManagerIsNotStored) {
    TsSkinManager first;
    TsSkinManager second;
    ASSERT_EQ(TsSkinManager::DefaultManager(), &first)
        << "the first manager created is the default";
    EXPECT_TRUE(first.IsDefault());
    EXPECT_FALSE(second.IsDefault());

    TsEdit edit;
    EXPECT_EQ(edit.SkinData.SkinManager(), &first) << "none named: the default manager";
    edit.SkinData.setSkinManager(&second);
    EXPECT_EQ(edit.SkinData.SkinManager(), &second);
    second.setIsDefault(true);
    EXPECT_EQ(TsSkinManager::DefaultManager(), &second);
    edit.SkinData.setSkinManager(&first);
    first.setIsDefault(true);
    edit.SkinData.setSkinManager(&first);  // the default: stored as none
    second.setIsDefault(true);
    EXPECT_EQ(edit.SkinData.SkinManager(), &second)
        << "a control that names none follows the default";
}

TEST(SkinManagerTest, DefaultsAndThirdPartyListsAfterLoading) {
    TsSkinManager manager;
    EXPECT_EQ(manager.SkinDirectory(), "c:\\Skins");
    EXPECT_EQ(manager.SkinInfo(), "N/A") << "no skin is loaded";
    EXPECT_EQ(TsSkinManager::Version(), "7.30");
    EXPECT_TRUE(manager.SkinnedPopups);
    EXPECT_EQ(manager.AnimEffects.Minimizing.Time, 200);
    EXPECT_EQ(manager.AnimEffects.SkinChanging.Mode, atFading);

    manager.setSkinDirectory(QString());
    manager.ThirdParty.Lists[ThirdPartyList::ThirdEdits] = QStringLiteral("TMyEdit\nTOtherEdit\n");
    manager.loaded();
    EXPECT_EQ(manager.SkinDirectory(), "c:\\Skins");
    EXPECT_EQ(manager.MenuSupport.IcoLineSkin, "ICOLINE");
    EXPECT_EQ(manager.thirdPartyNames(ThirdPartyList::ThirdEdits),
              (QStringList{"TMyEdit", "TOtherEdit"}));
    EXPECT_EQ(manager.thirdPartyNames(ThirdPartyList::ThirdButtons), QStringList{"TButton"})
        << "the built-in default";
    EXPECT_TRUE(manager.thirdPartyNames(ThirdPartyList::ThirdGrids).isEmpty());
}

}  // namespace
