// The skinned menus: the measuring rules, and popups and menu bars on screen against the
// flat skin with menu sections of flat colours, so that each pixel follows from the rules;
// without the skin, menus are Qt's own again.

#include <gtest/gtest.h>

#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "flat_skin.h"
#include "platform/form.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"
#include "skin_sheet.h"

namespace {

// The colours of the menu sections, as the screen shows them.
constexpr QRgb Popup = 0xFFE6E6C8;     // MAINMENU
constexpr QRgb Stripe = 0xFFB4C8DC;    // ICOLINE
constexpr QRgb Ring = 0xFF909090;      // MAINMENU's border: ONESTATE's frame of the master
constexpr QRgb ItemText = 0xFF202060;  // MENUITEM normal text
constexpr QRgb Hot = 0xFF50A0F0;       // MENUITEM hot
constexpr QRgb HotText = 0xFFF0F000;   // MENUITEM hot text
constexpr QRgb Line = 0xFFD2DCC8;      // MENULINE
constexpr QRgb LineText = 0xFF603020;  // MENULINE normal text
constexpr QRgb LineHot = 0xFF006000;   // MENULINE hot text
constexpr QRgb Divider = 0xFF2080C0;   // the middle row of DIVIDERV's picture
constexpr QRgb Title = 0xFFC8A078;     // TOOLBAR
constexpr QRgb Pressed = 0xFF00C0C0;   // SPEEDBUTTON_SMALL pressed
constexpr QRgb Check = 0xFFE00000;     // CHECK, RADIOCHECKED and BOXCHECKED: solid squares
constexpr QRgb Radio = 0xFF00E000;
constexpr QRgb Box = 0xFF0000E0;
constexpr QRgb BorderLine = 0xFF705030;  // GLOBALINFO BORDERCOLOR

void square(const QString& file, QRgb colour, int side = 8) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    image.save(file, "BMP");
}

// The menu sections, written beside the flat skin with their pictures.
struct MenuSkin {
    bool check = true;
    bool divider = true;
    bool border = true;
    QRgb popup = Popup;

    void write(const QString& folder) const {
        const QString path = folder + QStringLiteral("/FLAT/");
        QDir().mkpath(path);
        square(path + QStringLiteral("CHECK.BMP"), Check);
        square(path + QStringLiteral("RADIO.BMP"), Radio);
        square(path + QStringLiteral("BOX.BMP"), Box);
        QImage line(12, 3, QImage::Format_RGB32);
        line.fill(Popup);
        for (int x = 0; x < 12; ++x)
            line.setPixel(x, 1, Divider);
        line.save(path + QStringLiteral("DIVIDER.BMP"), "BMP");
        using flat::skinColour;
        QString text = QStringLiteral("[GLOBALINFO]\nBORDERCOLOR=%1\n").arg(skinColour(BorderLine));
        text += QStringLiteral("RADIOCHECKED=!RADIO.BMP!1!0!2\nBOXCHECKED=!BOX.BMP!1!0!2\n");
        if (check) text += QStringLiteral("CHECK=!CHECK.BMP!1!0!2\n");
        text += QStringLiteral("[MAINMENU]\nSTATES=1\nCOLOR=%1\n").arg(skinColour(popup));
        if (border)
            text +=
                QStringLiteral("BORDERSMASK=^0018,0000,0024,0006,0002,0002,0002,0002,1,0,0,0\n");
        text += QStringLiteral("[ICOLINE]\nSTATES=1\nCOLOR=%1\n").arg(skinColour(Stripe));
        text += QStringLiteral(
                    "[MENUITEM]\nSTATES=2\nTRANSPARENCY=100\nFONTCOLOR=%1\nHOTCOLOR=%2\n"
                    "HOTFONTCOLOR=%3\n")
                    .arg(skinColour(ItemText), skinColour(Hot), skinColour(HotText));
        text += QStringLiteral(
                    "[MENULINE]\nSTATES=2\nCOLOR=%1\nHOTCOLOR=%1\nFONTCOLOR=%2\nHOTFONTCOLOR=%3\n")
                    .arg(skinColour(Line), skinColour(LineText), skinColour(LineHot));
        if (divider)
            text += QStringLiteral("[DIVIDERV]\nSTATES=1\nBORDERSMASK=!DIVIDER.BMP!1!0!0\n");
        text += QStringLiteral("[TOOLBAR]\nSTATES=1\nCOLOR=%1\nFONTCOLOR=%2\n")
                    .arg(skinColour(Title), skinColour(ItemText));
        text += QStringLiteral("[SPEEDBUTTON_SMALL]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\n")
                    .arg(skinColour(Popup), skinColour(Pressed));
        flat::writeSkin(folder, text);
    }
};

QImage picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int count(const QImage& image, const QRect& area, QRgb colour) {
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += image.pixel(x, y) == colour;
    return found;
}

// Pixels of about the colour: text is antialiased, and only its full pixels are exact.
int countNear(const QImage& image, const QRect& area, QRgb colour) {
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            found += std::abs(qRed(p) - qRed(colour)) <= 24 &&
                     std::abs(qGreen(p) - qGreen(colour)) <= 24 &&
                     std::abs(qBlue(p) - qBlue(colour)) <= 24;
        }
    return found;
}

// The pixels of `area` that differ from `plain`: where something is drawn over it.
QRect inked(const QImage& image, const QRect& area, QRgb plain) {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != plain) ink |= QRect(x, y, 1, 1);
    return ink;
}

class MenuForm : public TForm {
public:
    QMenuBar* bar = createMainMenu();
};

class SkinnedMenusTest : public ::testing::Test {
protected:
    SkinnedMenusTest() {
        TsSkinableMenus::of(&manager);  // the menus follow the manager's skins from now on
        load(MenuSkin());
    }
    ~SkinnedMenusTest() override {
        for (QWidget* popup : QApplication::topLevelWidgets())
            if (qobject_cast<QMenu*>(popup)) popup->hide();
    }

    void load(const MenuSkin& skin) {
        folders.push_back(std::make_unique<QTemporaryDir>());
        skin.write(folders.back()->path());
        loadSkinInto(manager, folders.back()->path() + QStringLiteral("/FLAT"));
    }
    TsSkinableMenus& menus() { return *TsSkinableMenus::of(&manager); }

    // A popup in a fixed font, shown at a fixed place.
    static void open(QMenu& menu) {
        menu.setFont(font());
        menu.popup(QPoint(40, 40));
        QApplication::processEvents();
    }
    static QFont font() { return pixelFont(QStringLiteral("DejaVu Sans"), 15); }

    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    TsSkinManager manager;
};

}  // namespace

// ---- measuring ------------------------------------------------------------------------------

TEST(MenuMeasures, CaptionsTellTheKindOfItem) {
    EXPECT_EQ(MenuItemKind(QStringLiteral("-")), mkSeparator);
    EXPECT_EQ(MenuItemKind(QStringLiteral("-Раздел-")), mkTitle);
    EXPECT_EQ(MenuItemText(QStringLiteral("-Раздел-")), QStringLiteral("Раздел"));
    EXPECT_EQ(MenuItemKind(QStringLiteral("--")), mkNormal) << "no word between the dashes";
    EXPECT_EQ(MenuItemKind(QStringLiteral("-Раздел")), mkNormal);
    const QString right = QChar(8) + QStringLiteral("Справка");
    EXPECT_EQ(MenuItemKind(right), mkRightAligned);
    EXPECT_EQ(MenuItemText(right), QStringLiteral("Справка      "));
    EXPECT_EQ(MenuItemKind(QStringLiteral("&Выход")), mkNormal);
    EXPECT_EQ(MenuItemText(QStringLiteral("&Выход")), QStringLiteral("&Выход"));
    EXPECT_EQ(StripMnemonics(QStringLiteral("&Сохранить && закрыть&")),
              QStringLiteral("Сохранить & закрыть"));
}

TEST(MenuMeasures, HeightsWidthsAndTabs) {
    EXPECT_EQ(PopupItemHeight(mkSeparator, 16, 16, 2), 2);
    EXPECT_EQ(PopupItemHeight(mkNormal, 16, 16, 2), 24);
    // 1.25 times the line height is rounded half to even, as all the skin's arithmetic.
    EXPECT_EQ(PopupItemHeight(mkNormal, 14, 0, 2), 22);  // 17.5 -> 18
    EXPECT_EQ(PopupItemHeight(mkNormal, 18, 0, 2), 26);  // 22.5 -> 22
    EXPECT_EQ(PopupItemHeight(mkNormal, 8, 16, 2), 20);  // the glyph is higher
    EXPECT_EQ(PopupItemHeight(mkTitle, 8, 16, 2), 14);   // titles have no glyph
    EXPECT_EQ(SeparatorHeight(0, 2), 2);
    EXPECT_EQ(SeparatorHeight(3, 2), 7);

    EXPECT_EQ(PopupItemWidth(100, 16, 2, 8), 100 + 32 + 6 + 8);
    EXPECT_EQ(PopupWidth(146), 158);
    // The tab runs on to the next stop after the caption, even from a stop.
    EXPECT_EQ(ExpandedTextWidth(50, 30, 40), 80 + 30);
    EXPECT_EQ(ExpandedTextWidth(80, 30, 40), 120 + 30);
    EXPECT_EQ(MenuBarItemWidth(60, 0), 60);
    EXPECT_EQ(MenuBarItemWidth(60, 16), 82);
    EXPECT_EQ(MenuBarItemHeight(20), 19);
}

TEST(MenuMeasures, PartsOfAnItemAndTheirMirror) {
    const TsMenuItemMetrics metrics;  // margin 2, spacing 8, glyph 16
    const TsPopupItemParts ltr = PopupItemParts(QSize(200, 24), metrics, false);
    EXPECT_EQ(ltr.Glyph, QRect(2, 4, 16, 16));
    EXPECT_EQ(ltr.Arrow, QRect(182, 4, 16, 16));
    EXPECT_EQ(ltr.Caption.left(), 26);
    EXPECT_EQ(ltr.Caption.right() + 1, 200 - 20);
    EXPECT_EQ(ltr.Shortcut.right() + 1, 192) << "8 pixels from the right edge";
    EXPECT_EQ(ltr.DividerLeft, 28);
    EXPECT_EQ(ltr.DividerRight, 188);

    const TsPopupItemParts rtl = PopupItemParts(QSize(200, 24), metrics, true);
    EXPECT_EQ(rtl.Glyph, QRect(182, 4, 16, 16));
    EXPECT_EQ(rtl.Arrow, QRect(2, 4, 16, 16));
    EXPECT_EQ(rtl.Caption.right() + 1, 174);
    EXPECT_EQ(rtl.Shortcut.left(), 8);
    EXPECT_EQ(rtl.DividerLeft, 12);
    EXPECT_EQ(rtl.DividerRight, 172);
}

// ---- popups ---------------------------------------------------------------------------------

TEST_F(SkinnedMenusTest, APopupMeasuresByTheRules) {
    ASSERT_TRUE(menus().isActive());
    QMenu menu;
    QAction* first = menu.addAction(QStringLiteral("Открыть"));
    QAction* second = menu.addAction(QStringLiteral("Сохранить как…"));
    QAction* separator = menu.addSeparator();
    menu.addAction(QStringLiteral("Выход"));
    open(menu);
    ASSERT_TRUE(menus().isDressed(&menu));

    const QFontMetrics fm(font());
    const TsMenuItemMetrics metrics = menus().itemMetrics();
    const int widest = PopupItemWidth(fm.horizontalAdvance(QStringLiteral("Сохранить как…")),
                                      metrics.Glyph, metrics.Margin, metrics.Spacing);
    EXPECT_EQ(menu.width(), PopupWidth(widest));
    const int itemHeight = PopupItemHeight(mkNormal, fm.height(), metrics.Glyph, metrics.Margin);
    EXPECT_EQ(menu.actionGeometry(first), QRect(3, 3, menu.width() - 6, itemHeight));
    EXPECT_EQ(menu.actionGeometry(second).top(), 3 + itemHeight);
    EXPECT_EQ(menu.actionGeometry(separator).height(), SeparatorHeight(3, metrics.Margin));
    EXPECT_EQ(menu.height(), 3 * itemHeight + SeparatorHeight(3, metrics.Margin) + 6);

    // A shortcut ends 8 pixels from the item's right edge.
    second->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    second->setShortcutVisibleInContextMenu(true);
    menu.hide();
    open(menu);
    const QRect item = menu.actionGeometry(second);
    const QRect ink = inked(picture(&menu), item.adjusted(item.width() / 2, 0, 0, 0), Popup);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.right(), item.right() + 1 - 8);
    EXPECT_GE(ink.right(), item.right() + 1 - 8 - 3);
}

TEST_F(SkinnedMenusTest, TheBackgroundStripeBorderAndShape) {
    QMenu menu;
    QAction* item = menu.addAction(QStringLiteral("Открыть"));
    open(menu);
    const QImage shown = picture(&menu);
    const int y = menu.actionGeometry(item).center().y();
    EXPECT_EQ(shown.pixel(0, y), Ring);
    EXPECT_EQ(shown.pixel(1, y), Ring);
    EXPECT_EQ(shown.pixel(2, y), Popup);
    // The stripe runs from the frame over the glyph column and the spacing.
    EXPECT_EQ(shown.pixel(3, y), Stripe);
    EXPECT_EQ(shown.pixel(3 + 16 + 2 + 8 - 1, 4), Stripe);
    EXPECT_EQ(shown.pixel(3 + 16 + 2 + 8, 4), Popup);
    EXPECT_EQ(shown.pixel(menu.width() - 5, y), Popup);
    EXPECT_EQ(shown.pixel(menu.width() / 2, 0), Ring);

    // The border's see-through corner pixels are cut off, nothing else.
    const QRegion shape = menu.mask();
    const int w = menu.width(), h = menu.height();
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        EXPECT_FALSE(shape.contains(corner)) << corner.x() << "," << corner.y();
    EXPECT_TRUE(shape.contains(QPoint(1, 0)));
    EXPECT_TRUE(shape.contains(QPoint(0, 1)));
    EXPECT_EQ(shape,
              PopupShape(menu.size(), QRegion(0, 0, 1, 1) + QRegion(w - 1, 0, 1, 1) +
                                          QRegion(0, h - 1, 1, 1) + QRegion(w - 1, h - 1, 1, 1)));

    // Without a border nothing is see-through; the popup still loses its first pixel.
    MenuSkin plain;
    plain.border = false;
    load(plain);
    QMenu other;
    other.addAction(QStringLiteral("Открыть"));
    open(other);
    EXPECT_EQ(other.mask(), PopupShape(other.size(), QRegion()));
}

TEST_F(SkinnedMenusTest, HotAndDisabledItems) {
    QMenu menu;
    QAction* first = menu.addAction(QStringLiteral("Открыть"));
    QAction* second = menu.addAction(QStringLiteral("Закрыть"));
    open(menu);
    menu.setActiveAction(second);
    QImage shown = picture(&menu);
    const QRect hot = menu.actionGeometry(second);
    EXPECT_EQ(shown.pixel(hot.left(), hot.top()), Hot);
    EXPECT_EQ(shown.pixel(hot.right(), hot.bottom()), Hot);
    EXPECT_GT(countNear(shown, hot, HotText), 3);
    EXPECT_EQ(count(shown, menu.actionGeometry(first), Hot), 0);
    EXPECT_GT(countNear(shown, menu.actionGeometry(first), ItemText), 3);

    // A disabled item is its enabled picture with 0.4 of it kept over the background; the
    // selection does not make it hot.
    menu.setActiveAction(first);
    const QImage enabled = picture(&menu);
    second->setEnabled(false);
    menu.setActiveAction(second);
    const QImage disabled = picture(&menu);
    const Bitmap32& background = menus().popupBackground(&menu);
    int textPixels = 0;
    for (int y = hot.top(); y <= hot.bottom(); ++y)
        for (int x = hot.left(); x <= hot.right(); ++x) {
            const quint32 expected = quint32(
                MixColours(TColor(enabled.pixel(x, y)), TColor(background.pixel(x, y)), 0.4));
            ASSERT_EQ(disabled.pixel(x, y) & 0xFFFFFF, expected & 0xFFFFFF) << x << "," << y;
            textPixels += countNear(enabled, QRect(x, y, 1, 1), ItemText);
        }
    EXPECT_GT(textPixels, 3);
}

TEST_F(SkinnedMenusTest, CheckMarksAndCheckedImages) {
    QMenu menu;
    QAction* checked = menu.addAction(QStringLiteral("Линейка"));
    checked->setCheckable(true);
    checked->setChecked(true);
    QActionGroup group(&menu);
    QAction* radio = menu.addAction(QStringLiteral("Крупно"));
    radio->setCheckable(true);
    group.addAction(radio);
    radio->setChecked(true);
    QPixmap pixels(16, 16);
    pixels.fill(QColor::fromRgb(0xFF102030));
    QAction* image = menu.addAction(QIcon(pixels), QStringLiteral("С картинкой"));
    image->setCheckable(true);
    image->setChecked(true);
    open(menu);
    const QImage shown = picture(&menu);
    // Marks stand Margin pixels into the item, vertically centred.
    const auto markAt = [&](QAction* action) {
        const QRect item = menu.actionGeometry(action);
        return shown.pixel(item.left() + 2, item.top() + (item.height() - 8) / 2);
    };
    EXPECT_EQ(markAt(checked), Check);
    EXPECT_EQ(markAt(radio), Radio);
    const QRect withImage = menu.actionGeometry(image);
    const QRect glyph = PopupItemParts(withImage.size(), menus().itemMetrics(), false)
                            .Glyph.translated(withImage.topLeft());
    EXPECT_EQ(shown.pixel(glyph.center()), 0xFF102030);
    EXPECT_EQ(shown.pixel(glyph.left() - 1, glyph.center().y()), Pressed) << "on a pressed button";

    // A skin without a check mark shows the box.
    MenuSkin noCheck;
    noCheck.check = false;
    load(noCheck);
    const QImage again = picture(&menu);
    const QRect item = menu.actionGeometry(checked);
    EXPECT_EQ(again.pixel(item.left() + 2, item.top() + (item.height() - 8) / 2), Box);
}

TEST_F(SkinnedMenusTest, SeparatorsAndTitles) {
    QMenu menu;
    menu.addAction(QStringLiteral("Открыть"));
    QAction* separator = menu.addSeparator();
    QAction* title = menu.addAction(QStringLiteral("-Раздел-"));
    open(menu);
    const QImage shown = picture(&menu);
    const QRect line = menu.actionGeometry(separator);
    const TsPopupItemParts parts = PopupItemParts(line.size(), menus().itemMetrics(), false);
    const int middle = line.top() + line.height() / 2;
    EXPECT_EQ(shown.pixel(line.left() + parts.DividerLeft, middle), Divider);
    EXPECT_EQ(shown.pixel(line.left() + parts.DividerRight - 1, middle), Divider);
    EXPECT_EQ(shown.pixel(line.left() + (parts.DividerLeft + parts.DividerRight) / 2, middle),
              Divider)
        << "the line runs on between the divider's ends";
    EXPECT_NE(shown.pixel(line.left() + parts.DividerLeft - 1, middle), Divider);
    EXPECT_NE(shown.pixel(line.left() + parts.DividerRight, middle), Divider);

    // A title: the toolbar's look, the word alone in the middle.
    const QRect titleArea = menu.actionGeometry(title);
    EXPECT_EQ(shown.pixel(titleArea.topLeft()), Title);
    const QRect word = inked(shown, titleArea, Title);
    const QFontMetrics fm(menus().CaptionFont);
    EXPECT_LE(word.width(), fm.horizontalAdvance(QStringLiteral("Раздел")) + 1);
    EXPECT_NEAR(word.center().x(), titleArea.center().x(), 2);

    // Without a divider picture a separator is a line of the border colour along its top.
    MenuSkin plain;
    plain.divider = false;
    load(plain);
    QMenu other;
    other.addAction(QStringLiteral("Открыть"));
    QAction* rule = other.addSeparator();
    other.addAction(QStringLiteral("Закрыть"));
    open(other);
    const QImage second = picture(&other);
    const QRect top = other.actionGeometry(rule);
    const int left =
        top.left() + PopupItemParts(top.size(), menus().itemMetrics(), false).DividerLeft;
    EXPECT_EQ(top.height(), 2);
    EXPECT_EQ(second.pixel(left, top.top()), BorderLine);
    EXPECT_NE(second.pixel(left - 1, top.top()), BorderLine);
    EXPECT_NE(second.pixel(left, top.top() + 1), BorderLine);
}

TEST_F(SkinnedMenusTest, SubmenusOwnStylesAndTheKeyboard) {
    QMenu menu;
    QAction* first = menu.addAction(QStringLiteral("Первый"));
    QAction* second = menu.addAction(QStringLiteral("Второй"));
    QMenu* more = menu.addMenu(QStringLiteral("Ещё"));
    more->addAction(QStringLiteral("Третий"));
    open(menu);
    more->popup(QPoint(200, 40));
    QApplication::processEvents();
    EXPECT_TRUE(menus().isDressed(more)) << "the submenu Qt made";
    // The arrow of the submenu's item in its text colour.
    const QRect item = menu.actionGeometry(more->menuAction());
    const QRect arrow =
        PopupItemParts(item.size(), menus().itemMetrics(), false).Arrow.translated(item.topLeft());
    EXPECT_GT(count(picture(&menu), arrow, ItemText), 5);
    more->hide();

    // A menu with a style of its own keeps it.
    std::unique_ptr<QStyle> own(QStyleFactory::create(QStringLiteral("Fusion")));
    QMenu styled;
    styled.setStyle(own.get());
    styled.addAction(QStringLiteral("Свой"));
    open(styled);
    EXPECT_FALSE(menus().isDressed(&styled));
    EXPECT_EQ(styled.style(), own.get());
    styled.hide();

    // The keyboard is Qt's: arrows move, Return chooses.
    QAction* chosen = nullptr;
    QObject::connect(&menu, &QMenu::triggered, [&](QAction* action) { chosen = action; });
    menu.setActiveAction(first);
    QTest::keyClick(&menu, Qt::Key_Down);
    QTest::keyClick(&menu, Qt::Key_Return);
    EXPECT_EQ(chosen, second);
}

TEST_F(SkinnedMenusTest, UnderlinesShowWhenOpenedFromTheKeyboard) {
    QWidget elsewhere;
    elsewhere.show();
    QMenu menu;
    menu.addAction(QStringLiteral("&Файл"));
    QTest::mouseClick(&elsewhere, Qt::LeftButton);
    open(menu);
    const QImage byMouse = picture(&menu);
    menu.hide();
    QTest::keyClick(&elsewhere, Qt::Key_F);
    open(menu);
    const QImage byKeyboard = picture(&menu);
    ASSERT_EQ(byMouse.size(), byKeyboard.size());
    // The keyboard's picture has the underline below the first letter: more text pixels.
    const QRect item = menu.actionGeometry(menu.actions().first());
    EXPECT_GT(count(byKeyboard, item, ItemText), count(byMouse, item, ItemText));
}

TEST_F(SkinnedMenusTest, TheSystemMenuShowsWindowSymbols) {
    TForm form;
    TsSkinProvider provider(&form);
    TsSystemMenu* system = provider.systemMenu();
    system->refresh();
    for (int kind = 0; kind < smCount; ++kind)
        system->item(TsSystemMenuItem(kind))->setVisible(true);
    open(*system);
    const QImage shown = picture(system);
    const auto glyphInk = [&](TsSystemMenuItem kind) {
        const QRect item = system->actionGeometry(system->item(kind));
        const QRect glyph = PopupItemParts(item.size(), menus().itemMetrics(), false)
                                .Glyph.translated(item.topLeft());
        return inked(shown, glyph, shown.pixel(glyph.topLeft()));
    };
    for (const TsSystemMenuItem kind : {smMinimize, smMaximize, smRestore, smClose})
        EXPECT_FALSE(glyphInk(kind).isEmpty()) << kind;
    EXPECT_TRUE(glyphInk(smMove).isEmpty());
    EXPECT_TRUE(glyphInk(smSize).isEmpty());
    EXPECT_EQ(glyphInk(smMaximize).size(), QSize(9, 9));
    EXPECT_EQ(glyphInk(smClose).size(), QSize(9, 8));
    EXPECT_EQ(glyphInk(smMinimize).size(), QSize(6, 2));
}

// ---- menu bars ------------------------------------------------------------------------------

TEST_F(SkinnedMenusTest, TheMenuBarBandAndItsItems) {
    MenuForm form;
    setBackgroundColour(&form, QColor::fromRgb(flat::Parent));
    form.bar->setFont(font());
    QAction* first = form.bar->addAction(QStringLiteral("Упражнения"));
    QAction* second = form.bar->addAction(QStringLiteral("Тестирование"));
    QAction* off = form.bar->addAction(QStringLiteral("Выход"));
    off->setEnabled(false);
    form.resize(500, 200);
    form.show();
    QApplication::processEvents();
    ASSERT_TRUE(menus().isDressed(form.bar));
    EXPECT_EQ(form.bar->height(), MenuBarItemHeight(FrameMetrics().MenuBar));
    const QFontMetrics fm(font());
    EXPECT_EQ(form.bar->actionGeometry(first).width(),
              MenuBarItemWidth(fm.horizontalAdvance(QStringLiteral("Упражнения")), 0) + 12);

    form.bar->setActiveAction(second);
    const QImage shown = picture(form.bar);
    EXPECT_EQ(shown.pixel(form.bar->width() - 2, 2), Line);
    const QRect hot = form.bar->actionGeometry(second);
    EXPECT_EQ(shown.pixel(hot.left(), hot.top()), Hot);
    EXPECT_GT(countNear(shown, hot, LineHot), 3);
    const QRect normal = form.bar->actionGeometry(first);
    EXPECT_EQ(shown.pixel(normal.left(), normal.top()), Line);
    EXPECT_GT(countNear(shown, normal, LineText), 3);
    // The disabled item: its text mixed into the band.
    const QRect disabled = form.bar->actionGeometry(off);
    EXPECT_EQ(countNear(shown, disabled, LineText), 0);
    EXPECT_GT(count(shown, disabled,
                    quint32(MixColours(TColor(LineText), TColor(Line), 0.4)) | 0xFF000000u),
              3);

    // The provider's window image gets the same items over its own copy of the band.
    Bitmap32 image = CreateBitmap32(form.bar->width(), form.bar->height());
    image.fill(Line);
    menus().paintMenuBar(form.bar, image, QPoint(0, 0));
    const QImage painted = image.constImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted, shown);
}

// ---- switching ------------------------------------------------------------------------------

TEST_F(SkinnedMenusTest, WithoutTheSkinMenusAreQtsOwnAgain) {
    QMenu menu;
    menu.addAction(QStringLiteral("Открыть"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Выход"));
    open(menu);
    ASSERT_TRUE(menus().isDressed(&menu));
    ASSERT_FALSE(menu.mask().isEmpty());
    const QImage skinned = picture(&menu);
    menu.hide();

    manager.setActive(false);
    EXPECT_FALSE(menus().isActive());
    EXPECT_EQ(menu.style(), QApplication::style());
    EXPECT_TRUE(menu.mask().isEmpty());
    open(menu);
    const QImage given = picture(&menu);
    menu.hide();
    EXPECT_NE(given, skinned);
    // The same menu made without the skin ever having touched it.
    QMenu plain;
    plain.addAction(QStringLiteral("Открыть"));
    plain.addSeparator();
    plain.addAction(QStringLiteral("Выход"));
    open(plain);
    EXPECT_EQ(given.size(), plain.size());
    EXPECT_EQ(given, picture(&plain));

    // With SkinnedPopups off a skin leaves menus alone.
    manager.SkinnedPopups = false;
    manager.setActive(true);
    EXPECT_FALSE(menus().isActive());
    QMenu later;
    open(later);
    EXPECT_FALSE(menus().isDressed(&later));
}

TEST_F(SkinnedMenusTest, ANewSkinRebuildsTheBackgrounds) {
    QMenu menu;
    QAction* item = menu.addAction(QStringLiteral("Открыть"));
    open(menu);
    const int y = menu.actionGeometry(item).center().y();
    EXPECT_EQ(picture(&menu).pixel(menu.width() - 5, y), Popup);
    MenuSkin other;
    other.popup = 0xFF30A050;
    load(other);
    EXPECT_EQ(picture(&menu).pixel(menu.width() - 5, y), 0xFF30A050);
    EXPECT_EQ(menus().SkinBorderWidth, 2);
}
