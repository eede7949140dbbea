// The automatic skinning of windows that come up without a provider, against the flat skin:
// message boxes and other forms framed by the skin with skinned buttons, the rules that leave
// windows alone, the toolkit's dialogs and the rule on a second one, foreign popups, and every
// window given back plain and working when the skin goes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>

#include "flat_skin.h"
#include "platform/frame_host.h"
#include "platform/skin_message.h"
#include "platform/tag.h"
#include "skin/core/sAutoSkin.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sWidgetWrapper.h"
#include "skin/forms/sWindowAdapters.h"
#include "skin_sheet.h"

namespace {

constexpr QRgb kForm = 0xFF203040;
constexpr QRgb kDialog = 0xFF405020;
constexpr QRgb kPopup = 0xFFE6E6C8;

QString sections() {
    using flat::skinColour;
    return QStringLiteral(
               "[FORM]\nSTATES=2\nCOLOR=%1\nHOTCOLOR=%1\nFONTCOLOR=0x000000\n"
               "BORDERSMASK=^0024,0000,0036,0006,0002,0002,0002,0002,2,0,0,0\n"
               "[DIALOG]\nSTATES=2\nCOLOR=%2\nHOTCOLOR=%2\nFONTCOLOR=0x000000\n"
               "BORDERSMASK=^0024,0000,0036,0006,0002,0002,0002,0002,2,0,0,0\n"
               "[FORMTITLE]\nSTATES=2\nCOLOR=0x707070\nHOTCOLOR=0xC08020\n"
               "[MAINMENU]\nSTATES=1\nCOLOR=%3\n"
               "[MENUITEM]\nSTATES=2\nTRANSPARENCY=100\nHOTCOLOR=0x808080\n")
        .arg(skinColour(kForm), skinColour(kDialog), skinColour(kPopup));
}

QImage picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class AutoSkinTest : public ::testing::Test {
protected:
    AutoSkinTest() {
        flat::writeSkin(folder.path(), sections());
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        WatchNewWindows(&manager);
        watcher = TsAutoSkin::installed();
    }

    // A message box shown as the course's messages are, but without a modal loop.
    QMessageBox* showMessage() {
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Сообщение"),
                                    QStringLiteral("Запись сохранена."), QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
        QApplication::processEvents();
        return box;
    }

    QTemporaryDir folder;
    TsSkinManager manager;
    TsAutoSkin* watcher = nullptr;
};

TEST_F(AutoSkinTest, MessageBoxWearsTheFrameAndSkinnedButtonsUnderStdDialogs) {
    ASSERT_NE(watcher, nullptr);
    ASSERT_EQ(watcher->manager(), &manager);
    QPointer<QMessageBox> box = showMessage();
    TsSkinProvider* provider = TsSkinProvider::of(box);
    ASSERT_NE(provider, nullptr);
    EXPECT_TRUE(provider->skinned());
    EXPECT_TRUE(box->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(provider->SkinnedSystemMenu());
    // The skin's frame: its ring at the window's edge, the section's colour inside the frame.
    const QImage shown = picture(box);
    const QRgb edge = shown.pixel(0, shown.height() / 2);
    EXPECT_TRUE(edge == 0xFF405060u || edge == 0xFF6080A0u) << std::hex << edge;
    const QMargins frame = TFrameHost::of(box)->innerFrame();
    EXPECT_GT(frame.top(), frame.bottom());  // the title bar
    // The OK button is a skinned button: it answers the engine and shows BUTTON's colour.
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    ASSERT_NE(ok, nullptr);
    EXPECT_NE(TsWidgetWrapper::of(ok), nullptr);
    EXPECT_TRUE(TsSkinMessage::isSkinnedControl(ok));
    const QImage button = picture(ok);
    // The default button of its box: drawn hot, as Enter would press it.
    EXPECT_EQ(button.pixel(3, button.height() / 2), flat::Hot);
    // Adapted once, whatever it hears later.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(box, &activate);
    EXPECT_FALSE(watcher->adapt(box));
    int adapters = 0;
    for (const auto& adapter : watcher->tracked()) adapters += adapter && adapter->window() == box;
    EXPECT_EQ(adapters, 1);
    // Enter keeps its answer: the box closes through its default button.
    QObject::connect(box, &QMessageBox::buttonClicked, box, [&](QAbstractButton* clicked) {
        EXPECT_EQ(clicked, ok);
    });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QApplication::processEvents();
    EXPECT_TRUE(box.isNull() || !box->isVisible());
    delete box.data();
}

TEST_F(AutoSkinTest, AnAdaptedFormKeepsItsOwnColourNotTheSkins) {
    QWidget form;
    QPalette own = form.palette();
    own.setColor(QPalette::Window, QColor(0x11, 0x99, 0x55));
    form.setPalette(own);
    form.resize(200, 100);
    form.show();
    QApplication::processEvents();
    TsSkinProvider* provider = TsSkinProvider::of(&form);
    ASSERT_NE(provider, nullptr);
    ASSERT_TRUE(provider->skinned());
    EXPECT_FALSE(provider->UseGlobalColor);
    EXPECT_NE(ToQColor(manager.FormColor()), QColor(0x11, 0x99, 0x55));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0x11, 0x99, 0x55));
}

TEST_F(AutoSkinTest, WithoutStdDialogsAMessageBoxStaysPlain) {
    manager.SkinningRules = srStdForms;
    QMessageBox* box = showMessage();
    EXPECT_EQ(TsSkinProvider::of(box), nullptr);
    EXPECT_FALSE(box->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(TsWidgetWrapper::of(box->button(QMessageBox::Ok)), nullptr);
    delete box;
}

TEST_F(AutoSkinTest, TagsAndTheExclusionListKeepFormsOut) {
    for (const int tag : {-1, -98, -97, -66, -33}) {
        QWidget form;
        setComponentTag(&form, tag);
        form.resize(200, 100);
        form.show();
        QApplication::processEvents();
        EXPECT_EQ(TsSkinProvider::of(&form), nullptr) << tag;
    }
    for (const int tag : {0, -3, -99, 1}) {
        QWidget form;
        setComponentTag(&form, tag);
        form.resize(200, 100);
        form.show();
        QApplication::processEvents();
        EXPECT_NE(TsSkinProvider::of(&form), nullptr) << tag;
    }
    TsAutoSkin::FormExclusions() << QStringLiteral("QWidget");
    QWidget excluded;
    excluded.show();
    QApplication::processEvents();
    EXPECT_EQ(TsSkinProvider::of(&excluded), nullptr);
    TsAutoSkin::FormExclusions().clear();
    // Without srStdForms a form stays plain, a message box is still skinned.
    manager.SkinningRules = srStdDialogs;
    QWidget plain;
    plain.show();
    QApplication::processEvents();
    EXPECT_EQ(TsSkinProvider::of(&plain), nullptr);
    QMessageBox* box = showMessage();
    EXPECT_NE(TsSkinProvider::of(box), nullptr);
    delete box;
}

TEST_F(AutoSkinTest, ASecondDialogIsSkinnedOnlyWithAToolBar) {
    QInputDialog first;
    first.setLabelText(QStringLiteral("Имя:"));
    first.show();
    QApplication::processEvents();
    TsSkinProvider* provider = TsSkinProvider::of(&first);
    ASSERT_NE(provider, nullptr);
    EXPECT_EQ(provider->SkinData.SkinSection(), QStringLiteral("DIALOG"));
    EXPECT_EQ(picture(&first).pixel(first.width() / 2, first.height() - 5), kDialog);

    QInputDialog second;
    second.show();
    QApplication::processEvents();
    EXPECT_EQ(TsSkinProvider::of(&second), nullptr);

    QInputDialog third;
    new QToolBar(&third);
    third.show();
    QApplication::processEvents();
    EXPECT_NE(TsSkinProvider::of(&third), nullptr);

    // Once the others are gone, a dialog is skinned again.
    first.hide();
    third.hide();
    second.hide();
    QInputDialog fourth;
    fourth.show();
    QApplication::processEvents();
    EXPECT_NE(TsSkinProvider::of(&fourth), nullptr);
}

TEST_F(AutoSkinTest, ForeignPopupsAreSkinnedOnlyWhileSkinnedPopupsIsOn) {
    {
        QMenu menu;
        menu.addAction(QStringLiteral("Копировать"));
        menu.popup(QPoint(100, 100));
        QApplication::processEvents();
        EXPECT_TRUE(TsSkinableMenus::of(&manager)->isDressed(&menu));
        EXPECT_NE(watcher->adapterOf(&menu), nullptr);
        EXPECT_TRUE(TsSkinMessage::isSkinnedControl(&menu));
        const QImage shown = picture(&menu);
        EXPECT_EQ(shown.pixel(shown.width() / 2, shown.height() - 4), kPopup);
        menu.hide();
    }
    manager.SkinnedPopups = false;
    manager.ApplySkin(false);
    QMenu menu;
    menu.addAction(QStringLiteral("Вставить"));
    menu.popup(QPoint(100, 100));
    QApplication::processEvents();
    EXPECT_FALSE(TsSkinableMenus::of(&manager)->isDressed(&menu));
    EXPECT_EQ(TsAutoSkin::installed()->adapterOf(&menu), nullptr);
    EXPECT_FALSE(TsSkinMessage::isSkinnedControl(&menu));
}

TEST_F(AutoSkinTest, RemovingTheSkinGivesEveryWindowBackPlainAndWorking) {
    QPointer<QMessageBox> box = showMessage();
    QWidget form;
    form.resize(240, 120);
    form.show();
    QApplication::processEvents();
    ASSERT_NE(TsSkinProvider::of(box), nullptr);
    ASSERT_NE(TsSkinProvider::of(&form), nullptr);
    const QSize skinnedSize = form.size();

    manager.setActive(false);
    QApplication::processEvents();
    EXPECT_EQ(TsAutoSkin::installed(), nullptr);
    EXPECT_EQ(TsSkinProvider::of(box), nullptr);
    EXPECT_EQ(TsSkinProvider::of(&form), nullptr);
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(box->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(box->isVisible());
    EXPECT_LT(form.width(), skinnedSize.width());  // the frame went with the skin
    QAbstractButton* ok = box->button(QMessageBox::Ok);
    EXPECT_EQ(TsWidgetWrapper::of(ok), nullptr);
    EXPECT_FALSE(TsSkinMessage::isSkinnedControl(ok));
    // New windows stay plain; the old ones still answer.
    QWidget later;
    later.show();
    QApplication::processEvents();
    EXPECT_EQ(TsSkinProvider::of(&later), nullptr);
    ok->click();
    QApplication::processEvents();
    EXPECT_TRUE(box.isNull() || !box->isVisible());
    delete box.data();

    // The skin back: the watcher is back too.
    manager.setActive(true);
    QWidget again;
    again.show();
    QApplication::processEvents();
    EXPECT_NE(TsSkinProvider::of(&again), nullptr);
}

}  // namespace
