// The skin data of controls: indexes kept current by the manager's messages, the answers to
// the skin command message, background requests between parents and children, glows and
// the bound label.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "platform/form.h"
#include "platform/message_box.h"
#include "platform/skin_message.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/core/sBoundLabel.h"
#include "skin/core/sGlow.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"
#include "skin_test_support.h"

namespace {

QByteArray bmp(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

const QString kSkin = QStringLiteral(
    "[GLOBALINFO]\nVERSION=7.3\nCOLOR=0x203040\n"
    "[PANEL]\nCOLOR=0x102030\nGRADIENTPERCENT=100\nGRADIENTDATA=0x000000;0xFFFFFF;100;0;0\n"
    "[EDIT]\nSTATES=2\nCOLOR=0xF0F0F0\nFONTCOLOR=0x000080\n"
    "[CLEAREDIT]\nCOLOR=0x0000FF\nTRANSPARENCY=100\n"
    "[HALFEDIT]\nCOLOR=0x000064\nTRANSPARENCY=50\n"
    "[GLOWING]\nCOLOR=0xFFFFFF\nGLOW=1\nGLOWMARGIN=5\nGLOW0=!GLOW.BMP!1!0!0\n");

// A form with a panel holding an edit, and a manager whose skin is written on the spot.
struct Skinned {
    SkinFolder folder;
    MessageBoxRecorder boxes;
    TsSkinManager manager;
    TForm form;
    TsPanel* panel = new TsPanel(&form);
    TsEdit* edit = new TsEdit(panel);

    Skinned() {
        folder.write("Test/Options.dat", kSkin.toUtf8());
        folder.write("Test/GLOW.BMP", bmp(12, 12, qRgb(255, 200, 0)));
        panel->setGeometry(0, 0, 200, 100);
        edit->setGeometry(10, 20, 80, 21);
        manager.setSkinDirectory(folder.path());
        manager.setSkinName("Test");
    }
};

int sectionIndexOf(QWidget* control) {
    int index = -2;
    TsSkinMessage::ask(control, TsSkinMessage::AC_GETSKININDEX, 0, quintptr(&index));
    return index;
}

}  // namespace

TEST(CommonDataTest, TheManagersMessagesKeepTheIndexesCurrent) {
    Skinned s;
    ASSERT_TRUE(s.boxes.texts().isEmpty());
    // The new-skin message reached the controls inside the form.
    EXPECT_EQ(s.edit->SkinData.SkinIndex, s.manager.FindSection("EDIT"));
    EXPECT_EQ(s.panel->SkinData.SkinIndex, s.manager.FindSection("PANEL"));
    EXPECT_EQ(s.panel->SkinData.BGType, BGT_VERTICAL);
    EXPECT_TRUE(s.edit->SkinData.IsSkinned(true));
    EXPECT_EQ(sectionIndexOf(s.edit), s.edit->SkinData.SkinIndex);
    // Edits take the section's colours.
    EXPECT_EQ(s.edit->palette().color(QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(s.edit->palette().color(QPalette::Text), QColor(0x80, 0, 0));

    // A container given a section the skin lacks is unskinned itself; its children keep theirs.
    s.panel->SkinData.setSkinSection("NOSUCH");
    EXPECT_EQ(s.panel->SkinData.SkinIndex, -1);
    EXPECT_TRUE(s.edit->SkinData.IsSkinned());
    s.panel->SkinData.setSkinSection("PANEL");

    // Removing the skin: indexes -1 and the edit back to the system's colours.
    s.panel->SkinData.FCacheBmp = std::make_unique<Bitmap32>(10, 10);
    s.manager.setActive(false);
    EXPECT_EQ(s.edit->SkinData.SkinIndex, -1);
    EXPECT_EQ(s.panel->SkinData.SkinIndex, -1);
    EXPECT_TRUE(s.edit->SkinData.Updating);
    EXPECT_TRUE(s.panel->SkinData.FCacheBmp->isNull());
    EXPECT_FALSE(s.edit->SkinData.IsSkinned());
    EXPECT_EQ(s.edit->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(sectionIndexOf(s.edit), -1);

    // Back again; a refresh clears updating and marks the background stale.
    s.manager.setActive(true);
    EXPECT_EQ(s.edit->SkinData.SkinIndex, s.manager.FindSection("EDIT"));
    s.edit->SkinData.BGChanged = false;
    s.manager.RefreshSkin(false);
    EXPECT_TRUE(s.edit->SkinData.BGChanged);
    EXPECT_FALSE(s.edit->SkinData.Updating);
}

TEST(CommonDataTest, CustomColoursSurviveTheSkinAndItsRemoval) {
    Skinned s;
    s.edit->SkinData.CustomColor = true;
    QPalette palette = s.edit->palette();
    palette.setColor(QPalette::Base, Qt::yellow);
    s.edit->setPalette(palette);
    TsSkinMessage::ask(s.edit, TsSkinMessage::AC_REMOVESKIN, 0, quintptr(&s.manager));
    EXPECT_EQ(s.edit->palette().color(QPalette::Base), QColor(Qt::yellow));
    // A manager other than the control's own is not its business.
    s.edit->SkinData.CustomColor = false;
    TsSkinManager other;
    s.edit->SkinData.setSkinSection("CLEAREDIT");
    const int index = s.edit->SkinData.SkinIndex;
    TsSkinMessage::ask(s.edit, TsSkinMessage::AC_REMOVESKIN, 0, quintptr(&other));
    EXPECT_EQ(s.edit->SkinData.SkinIndex, index);
}

TEST(CommonDataTest, AnswersTheSimpleCommands) {
    // Skinned or not, a control with skin data answers that the engine skins it.
    TsButton plain;
    EXPECT_EQ(TsSkinMessage::ask(&plain, TsSkinMessage::AC_CTRLHANDLED), 1);
    QWidget bare;
    EXPECT_EQ(TsSkinMessage::ask(&bare, TsSkinMessage::AC_CTRLHANDLED), 0);

    EXPECT_EQ(TsSkinMessage::ask(&plain, TsSkinMessage::AC_PREPARING), 1);  // stale at first
    plain.SkinData.BGChanged = false;
    EXPECT_EQ(TsSkinMessage::ask(&plain, TsSkinMessage::AC_PREPARING), 0);
    TsSkinMessage::ask(&plain, TsSkinMessage::AC_SETUPDATING, 1);
    EXPECT_EQ(TsSkinMessage::ask(&plain, TsSkinMessage::AC_PREPARING), 1);
    TsSkinMessage::ask(&plain, TsSkinMessage::AC_SETUPDATING, 0);
    TsSkinMessage::ask(&plain, TsSkinMessage::AC_SETBGCHANGED);
    EXPECT_TRUE(plain.SkinData.BGChanged);

    plain.SkinData.HalfVisible = false;
    EXPECT_EQ(TsSkinMessage::ask(&plain, TsSkinMessage::AC_GETHALFVISIBLE), 0);
    TsSkinMessage::ask(&plain, TsSkinMessage::AC_SETHALFVISIBLE);
    EXPECT_EQ(TsSkinMessage::ask(&plain, TsSkinMessage::AC_GETHALFVISIBLE), 1);

    QImage page(4, 4, QImage::Format_ARGB32);
    QPainter printer(&page);
    TsSkinMessage::ask(&plain, TsSkinMessage::AC_PRINTING, 0, quintptr(&printer));
    EXPECT_EQ(TsSkinMessage::ask(&plain, TsSkinMessage::AC_GETSKINSTATE) & ACS_PRINTING,
              ACS_PRINTING);
    TsSkinMessage::ask(&plain, TsSkinMessage::AC_PRINTING, 0, 0);
    EXPECT_EQ(TsSkinMessage::ask(&plain, TsSkinMessage::AC_GETSKINSTATE) & ACS_PRINTING, 0);

    // Suspending painting tells the owner and postpones it.
    plain.SkinData.SuspendPainting();
    EXPECT_TRUE(plain.SkinData.PaintingPostponed());
    EXPECT_EQ(plain.SkinData.CtrlSkinState & ACS_LOCKED, ACS_LOCKED);
    plain.SkinData.ResumePainting(false);
    EXPECT_FALSE(plain.SkinData.PaintingPostponed());
}

TEST(CommonDataTest, ColoursMixWithTheParentByTransparency) {
    Skinned s;
    // Opaque: the section's colour.
    EXPECT_EQ(TsSkinMessage::ask(s.edit, TsSkinMessage::AC_GETCONTROLCOLOR), 0xF0F0F0);
    // The panel is opaque with a gradient: its colour is its section colour.
    EXPECT_EQ(TsSkinMessage::ask(s.panel, TsSkinMessage::AC_GETCONTROLCOLOR), 0x102030);
    // Transparency 100: the parent's answer.
    s.edit->SkinData.setSkinSection("CLEAREDIT");
    EXPECT_EQ(TsSkinMessage::ask(s.edit, TsSkinMessage::AC_GETCONTROLCOLOR), 0x102030);
    EXPECT_EQ(s.edit->SkinData.BackgroundColour(0), 0x102030);
    // Transparency 50: (t * (parent - own) + own * 256) >> 8 per channel, the parent
    // weighing 50/256; red own 0x64 = 100, parent 0x30 = 48: (50 * -52 + 25600) >> 8 = 89.
    s.edit->SkinData.setSkinSection("HALFEDIT");
    const TColor mixed = TColor(TsSkinMessage::ask(s.edit, TsSkinMessage::AC_GETCONTROLCOLOR));
    EXPECT_EQ(mixed & 0xFF, 89);
    EXPECT_EQ(mixed >> 8 & 0xFF, (50 * 0x20) >> 8);  // green: own 0, parent 0x20 -> 6
    EXPECT_EQ(mixed >> 16 & 0xFF, (50 * 0x10) >> 8);
    // BackgroundColour mixes by percent instead: round(0.5 * 48 + 0.5 * 100) = 74.
    EXPECT_EQ(s.edit->SkinData.BackgroundColour(0) & 0xFF, 74);
    // Not skinned: the control's own colour.
    TsButton loose;
    loose.SkinData.setSkinSection("NOSUCH");
    EXPECT_EQ(TColor(TsSkinMessage::ask(&loose, TsSkinMessage::AC_GETCONTROLCOLOR)),
              loose.SkinData.OwnerColour());
}

TEST(CommonDataTest, ClearControlsShowTheParentsCacheOrColour) {
    Skinned s;
    s.edit->SkinData.setSkinSection("CLEAREDIT");
    // The panel has painted its cache: the edit's request answers it with its offset.
    s.panel->SkinData.FCacheBmp = std::make_unique<Bitmap32>(200, 100);
    s.panel->SkinData.FCacheBmp->fill(0xFF123456u);
    s.panel->SkinData.BGChanged = false;
    TacBGInfo info;
    TsSkinMessage::ask(s.edit, TsSkinMessage::AC_GETBG, 0, quintptr(&info));
    EXPECT_EQ(info.BgType, TacBGInfo::btCache);
    EXPECT_EQ(info.Bmp, s.panel->SkinData.FCacheBmp.get());
    EXPECT_EQ(info.Offset, QPoint(10, 20));
    const TCacheInfo parent = BGInfoToCI(info);
    EXPECT_TRUE(parent.Ready);

    // Painted through the answer, the edit shows the panel's pixels.
    Bitmap32 cache(80, 21);
    PaintControlSection(s.edit->SkinData, parent, 0, cache, QPoint(), cache.rect());
    EXPECT_EQ(cache.pixel(40, 10), 0xFF123456u);

    // On a parent with no skin data: its plain colour.
    QWidget form;
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    form.setPalette(palette);
    s.edit->setParent(&form);
    TacBGInfo plain;
    TsSkinMessage::ask(s.edit, TsSkinMessage::AC_GETBG, 0, quintptr(&plain));
    EXPECT_EQ(plain.BgType, TacBGInfo::btFill);
    EXPECT_EQ(plain.Color, 0x030201);
    // Without any parent: the default manager's form colour.
    s.edit->setParent(nullptr);
    TacBGInfo alone;
    TsSkinMessage::ask(s.edit, TsSkinMessage::AC_GETBG, 0, quintptr(&alone));
    EXPECT_EQ(alone.Color, TsSkinManager::DefaultManager()->FormColor());
    delete s.edit;
}

TEST(CommonDataTest, KindSetsAndDefaultSections) {
    EXPECT_EQ(TsCommonData::defaultSectionForKind(3), "EDIT");
    EXPECT_EQ(TsCommonData::defaultSectionForKind(14), "COMBOBOX");
    EXPECT_EQ(TsCommonData::defaultSectionForKind(58), "PANEL_LOW");
    EXPECT_EQ(TsCommonData::defaultSectionForKind(226), "GROUPBOX");
    EXPECT_EQ(TsCommonData::defaultSectionForKind(94), "BUTTON");
    EXPECT_EQ(TsCommonData::defaultSectionForKind(999), "");
    TsButton button;
    TsCommonData other(&button, 999, false);
    EXPECT_EQ(other.DefaultSection(), "TSBUTTON");  // the owner's class name
    EXPECT_FALSE(other.FCacheBmp);

    EXPECT_TRUE(TsCommonData::isNeverHotKind(51));
    EXPECT_FALSE(TsCommonData::isNeverHotKind(93));
    EXPECT_TRUE(TsCommonData::isNoGlowKind(93));
    EXPECT_FALSE(TsCommonData::isNoGlowKind(3));
    EXPECT_TRUE(TsCommonData::isEditKind(96));
    EXPECT_FALSE(TsCommonData::isEditKind(93));
}

TEST(CommonDataTest, GlowFollowsTheMouse) {
    Skinned s;
    s.edit->SkinData.setSkinSection("GLOWING");
    s.form.setGeometry(100, 100, 300, 200);
    s.form.show();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(s.edit, &enter);
    EXPECT_TRUE(s.edit->SkinData.FMouseAbove);
    EXPECT_TRUE(s.edit->SkinData.IsHot());
    EXPECT_EQ(s.manager.ActiveControl, s.edit);
    ASSERT_GE(s.edit->SkinData.GlowID, 0);
    TsGlowWindow* glow = GlowWindow(s.edit->SkinData.GlowID);
    ASSERT_TRUE(glow);
    EXPECT_EQ(glow->geometry(),
              QRect(s.edit->mapToGlobal(QPoint(-5, -5)), s.edit->size() + QSize(10, 10)));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(s.edit, &leave);
    EXPECT_EQ(s.edit->SkinData.GlowID, -1);
    EXPECT_FALSE(s.edit->SkinData.FMouseAbove);

    // A new skin removes every glow.
    QCoreApplication::sendEvent(s.edit, &enter);
    const int id = s.edit->SkinData.GlowID;
    ASSERT_GE(id, 0);
    s.manager.ApplySkin(false);
    EXPECT_EQ(GlowWindow(id), nullptr);
    // Sections without a glow show none.
    s.edit->SkinData.GlowID = -1;
    s.edit->SkinData.setSkinSection("EDIT");
    QCoreApplication::sendEvent(s.edit, &leave);
    QCoreApplication::sendEvent(s.edit, &enter);
    EXPECT_EQ(s.edit->SkinData.GlowID, -1);
}

TEST(CommonDataTest, BoundLabelSitsBesideItsControl) {
    QWidget form;
    TsEdit* edit = new TsEdit(&form);
    edit->setObjectName("sEdit7");
    edit->setGeometry(100, 50, 120, 20);
    form.show();  // a hidden control's moves arrive only when it is shown
    EXPECT_EQ(edit->BoundLabel.label(), nullptr);
    edit->BoundLabel.setActive(true);
    TsLabel* label = edit->BoundLabel.label();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->objectName(), "sEdit7Label");
    EXPECT_EQ(label->parentWidget(), &form);
    EXPECT_EQ(label->text(), "sEdit7");
    // Left of the control, 4 pixels away, vertically centred.
    EXPECT_EQ(label->geometry().right() + 1 + 4, 100);
    EXPECT_EQ(label->geometry().center().y(), edit->geometry().center().y());
    // Above it, right aligned, and following its moves.
    edit->BoundLabel.setLayout(TsBoundLabel::sclTopRight);
    edit->move(120, 80);
    EXPECT_EQ(label->geometry().right(), edit->geometry().right());
    EXPECT_EQ(label->geometry().bottom() + 1 + 4, 80);
    edit->BoundLabel.setCaption("Логин");
    EXPECT_EQ(label->text(), "Логин");
    // Wrapped within a width, then one line again.
    edit->BoundLabel.setCaption("Имя пользователя для входа в курс");
    edit->BoundLabel.setMaxWidth(60);
    EXPECT_EQ(label->width(), 60);
    EXPECT_GT(label->height(), label->fontMetrics().height());
    edit->BoundLabel.setMaxWidth(0);
    EXPECT_GT(label->width(), 60);
    EXPECT_EQ(label->height(), label->sizeHint().height());
    edit->BoundLabel.setActive(false);
    EXPECT_EQ(edit->BoundLabel.label(), nullptr);
}
