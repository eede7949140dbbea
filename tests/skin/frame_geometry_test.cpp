// The geometry of skinned window frames, without a window: frame sizes, the title icon, the
// title buttons' glyphs and places, the caption box, the hit test and the system menu.

#include <gtest/gtest.h>

#include <QSet>

#include "skin/forms/sFrameGeometry.h"

namespace {

const QSet<QString> kAllGlyphs{"BICONCLOSE", "BICLOSEALONE", "BICONMAX",   "BICONNORM",
                               "BICONMIN",   "BICONHELP",    "SICONCLOSE", "SICONMAX",
                               "SICONNORM",  "SICONMIN",     "SICONHELP"};

TsTitleButtons choose(const TsWindowKind& kind, const QSet<QString>& glyphs = kAllGlyphs,
                      bool canMaximize = true, bool canMinimize = true) {
    return ChooseTitleButtons(kind, canMaximize, canMinimize,
                              [&glyphs](const QString& name) { return glyphs.contains(name); });
}

TEST(FrameGeometryTest, FrameSizesFollowTheBorderStyle) {
    TsWindowKind kind;
    TsFrameSizes sizes = FrameSizes(kind);
    EXPECT_EQ(sizes.Border, 4);
    EXPECT_EQ(sizes.Title, 24);
    EXPECT_EQ(sizes.Menu, 0);
    kind.MenuLines = 2;
    kind.OwnBorder = 1;
    sizes = FrameSizes(kind);
    EXPECT_EQ(sizes.Border, 5);
    EXPECT_EQ(sizes.Menu, 38) << "two lines of the menu bar height less one";
    EXPECT_EQ(sizes.client(), QMargins(5, 5 + 24 + 38, 5, 5));
    kind = TsWindowKind();
    kind.Border = bsDialog;
    kind.MenuLines = 1;
    EXPECT_EQ(FrameSizes(kind).Border, 3);
    EXPECT_EQ(FrameSizes(kind).Menu, 0) << "dialog borders carry no menu bar";
    kind.Border = bsSizeToolWin;
    EXPECT_EQ(FrameSizes(kind).Title, 18);
    kind.Minimized = true;
    EXPECT_EQ(FrameSizes(kind).Title, 24);
    kind.Border = bsNone;
    EXPECT_EQ(FrameSizes(kind).Border, 0);
    EXPECT_EQ(FrameSizes(kind).Title, 0);
}

TEST(FrameGeometryTest, TheTitleIconFollowsTheTitleHeight) {
    EXPECT_EQ(TitleIconSize(18), 16);
    EXPECT_EQ(TitleIconSize(17), 16);
    EXPECT_EQ(TitleIconSize(16), 8);
    EXPECT_EQ(TitleIconSize(9), 8);
    EXPECT_EQ(TitleIconSize(8), 1);
    TsFrameSizes sizes;
    sizes.Border = 4;
    sizes.Title = 24;
    EXPECT_EQ(TitleIconRect(sizes, 4), QRect(8, 8, 16, 16));
    TsWindowKind kind;
    EXPECT_TRUE(ShowsTitleIcon(kind));
    kind.Border = bsDialog;
    EXPECT_FALSE(ShowsTitleIcon(kind));
    kind.Border = bsSingle;
    kind.SystemMenu = false;
    EXPECT_FALSE(ShowsTitleIcon(kind));
}

TEST(FrameGeometryTest, GlyphSetsAndWhichButtonsExist) {
    TsWindowKind sizeable;
    TsTitleButtons buttons = choose(sizeable);
    EXPECT_EQ(buttons[tbClose].Glyph, "BICONCLOSE");
    EXPECT_EQ(buttons[tbMaximize].Glyph, "BICONMAX");
    EXPECT_EQ(buttons[tbMinimize].Glyph, "BICONMIN");
    EXPECT_FALSE(buttons[tbHelp].Present);
    EXPECT_TRUE(buttons[tbClose].Large);

    TsWindowKind dialog;
    dialog.Border = bsDialog;
    buttons = choose(dialog);
    EXPECT_EQ(buttons[tbClose].Glyph, "SICONCLOSE");
    EXPECT_FALSE(buttons[tbClose].Large);
    EXPECT_FALSE(buttons[tbMaximize].Present) << "dialog borders have no maximize button";
    EXPECT_FALSE(buttons[tbMinimize].Present);
    dialog.HelpIcon = true;
    QSet<QString> noSmallHelp = kAllGlyphs;
    noSmallHelp.remove("SICONHELP");
    buttons = choose(dialog, noSmallHelp);
    EXPECT_EQ(buttons[tbHelp].Glyph, "BICONHELP");
    QSet<QString> noSmallClose = kAllGlyphs;
    noSmallClose.remove("SICONCLOSE");
    buttons = choose(dialog, noSmallClose);
    EXPECT_EQ(buttons[tbClose].Glyph, "BICLOSEALONE") << "all four switch to the large set";
    EXPECT_TRUE(buttons[tbHelp].Large);

    // Close alone uses its own glyph when the skin has one.
    TsWindowKind closeOnly;
    closeOnly.MinimizeIcon = closeOnly.MaximizeIcon = false;
    EXPECT_EQ(choose(closeOnly)[tbClose].Glyph, "BICLOSEALONE");
    QSet<QString> withoutAlone = kAllGlyphs;
    withoutAlone.remove("BICLOSEALONE");
    EXPECT_EQ(choose(closeOnly, withoutAlone)[tbClose].Glyph, "BICONCLOSE");

    // Maximised and minimised windows show the restore glyph.
    TsWindowKind maximized;
    maximized.Maximized = true;
    EXPECT_EQ(choose(maximized)[tbMaximize].Glyph, "BICONNORM");
    TsWindowKind minimized;
    minimized.Minimized = true;
    buttons = choose(minimized, kAllGlyphs, false, true);
    EXPECT_EQ(buttons[tbMinimize].Glyph, "BICONNORM");
    EXPECT_TRUE(buttons[tbMaximize].Enabled) << "restore from minimised";
    EXPECT_FALSE(buttons[tbMinimize].Enabled);
    EXPECT_FALSE(choose(sizeable, kAllGlyphs, false, true)[tbMaximize].Enabled);
}

TEST(FrameGeometryTest, ButtonsAreLaidOutFromTheRight) {
    TsWindowKind kind;
    kind.HelpIcon = true;
    QSet<QString> glyphs = kAllGlyphs;
    glyphs.remove("BICONHELP");  // a missing glyph keeps 21 by 21 and is not drawn
    TsTitleButtons buttons = choose(kind, glyphs);
    EXPECT_TRUE(buttons[tbHelp].Glyph.isEmpty());
    const TsFrameSizes sizes = FrameSizes(kind);
    TsTitleButtonPlacement placement;
    placement.Right = 4;
    placement.Spacing = 1;
    LayoutTitleButtons(buttons, 500, sizes, placement,
                       [](const QString&) { return QSize(27, 21); });
    EXPECT_EQ(buttons[tbClose].Rect, QRect(469, 3, 27, 21)) << "(4 + 24 - 21) / 2 = 3";
    EXPECT_EQ(buttons[tbMaximize].Rect, QRect(441, 3, 27, 21));
    EXPECT_EQ(buttons[tbMinimize].Rect, QRect(413, 3, 27, 21));
    EXPECT_EQ(buttons[tbHelp].Rect, QRect(391, 3, 21, 21));
    EXPECT_EQ(buttons.Width, 4 + 27 * 3 + 21);

    // The small set leaves no gap; small large glyphs move 2 down; BIVALIGN puts them at
    // BITOP.
    TsWindowKind dialog;
    dialog.Border = bsDialog;
    TsTitleButtons small = choose(dialog);
    LayoutTitleButtons(small, 300, FrameSizes(dialog), placement,
                       [](const QString&) { return QSize(16, 14); });
    EXPECT_EQ(small[tbClose].Rect, QRect(280, 6, 16, 14));
    TsTitleButtons low = choose(kind);
    LayoutTitleButtons(low, 300, sizes, placement, [](const QString&) { return QSize(12, 12); });
    EXPECT_EQ(low[tbClose].Rect.top(), (4 + 24 - 12) / 2 + 2);
    placement.VAlign = 1;
    placement.Top = 1;
    LayoutTitleButtons(low, 300, sizes, placement, [](const QString&) { return QSize(12, 12); });
    EXPECT_EQ(low[tbClose].Rect.top(), 1);
}

TEST(FrameGeometryTest, EveryPartOfTheFrameAnswersItsCode) {
    TsWindowKind kind;
    kind.MenuLines = 1;
    const TsFrameSizes sizes = FrameSizes(kind);
    TsTitleButtons buttons = choose(kind);
    LayoutTitleButtons(buttons, 400, sizes, TsTitleButtonPlacement{4, 1, 0, 0},
                       [](const QString&) { return QSize(27, 21); });
    const QSize size(400, 300);
    const QRect icon = TitleIconRect(sizes, 4);
    const QRect grip(380, 280, 20, 20);
    const auto hit = [&](int x, int y, const TsWindowKind& k, const TsTitleButtons& b) {
        return FrameHitTest(QPoint(x, y), size, k, sizes, b, icon, grip);
    };
    EXPECT_EQ(hit(0, 0, kind, buttons), HTTOPLEFT);
    EXPECT_EQ(hit(399, 0, kind, buttons), HTTOPRIGHT);
    EXPECT_EQ(hit(0, 299, kind, buttons), HTBOTTOMLEFT);
    EXPECT_EQ(hit(399, 299, kind, buttons), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(200, 1, kind, buttons), HTTOP);
    EXPECT_EQ(hit(200, 298, kind, buttons), HTBOTTOM);
    EXPECT_EQ(hit(2, 150, kind, buttons), HTLEFT);
    EXPECT_EQ(hit(397, 150, kind, buttons), HTRIGHT);
    EXPECT_EQ(hit(10, 12, kind, buttons), HTSYSMENU);
    EXPECT_EQ(hit(200, 12, kind, buttons), HTCAPTION);
    EXPECT_EQ(hit(380, 12, kind, buttons), HTCLOSE);
    EXPECT_EQ(hit(352, 12, kind, buttons), HTMAXBUTTON);
    EXPECT_EQ(hit(324, 12, kind, buttons), HTMINBUTTON);
    EXPECT_EQ(hit(200, 35, kind, buttons), HTMENU);
    EXPECT_EQ(hit(200, 150, kind, buttons), HTCLIENT);
    EXPECT_EQ(hit(390, 290, kind, buttons), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(370, 150, kind, buttons), HTCLIENT);
    EXPECT_EQ(hit(400, 150, kind, buttons), HTNOWHERE);
    EXPECT_EQ(FrameHitTest(QPoint(390, 290), size, kind, sizes, buttons, icon), HTCLIENT)
        << "without a grip only the border sizes";
    EXPECT_EQ(FrameHitTest(QPoint(398, 298), size, kind, sizes, buttons, icon), HTBOTTOMRIGHT);

    // Disabled maximize and minimize buttons are caption; a help button answers its code.
    TsTitleButtons fixed = choose(kind, kAllGlyphs, false, false);
    LayoutTitleButtons(fixed, 400, sizes, TsTitleButtonPlacement{4, 1, 0, 0},
                       [](const QString&) { return QSize(27, 21); });
    EXPECT_EQ(hit(352, 12, kind, fixed), HTCAPTION);
    EXPECT_EQ(hit(324, 12, kind, fixed), HTCAPTION);
    TsWindowKind helped = kind;
    helped.HelpIcon = true;
    TsTitleButtons withHelp = choose(helped);
    LayoutTitleButtons(withHelp, 400, sizes, TsTitleButtonPlacement{4, 1, 0, 0},
                       [](const QString&) { return QSize(27, 21); });
    EXPECT_EQ(hit(296, 12, helped, withHelp), HTHELP);

    // No sizing edges when maximised or of fixed size: the title reaches the top.
    TsWindowKind maximized = kind;
    maximized.Maximized = true;
    EXPECT_EQ(hit(200, 1, maximized, buttons), HTCAPTION);
    EXPECT_EQ(hit(2, 150, maximized, buttons), HTCLIENT);
    TsWindowKind single = kind;
    single.Border = bsSingle;
    EXPECT_EQ(hit(0, 0, single, buttons), HTCAPTION);
    EXPECT_EQ(hit(200, 298, single, buttons), HTCLIENT);
}

TEST(FrameGeometryTest, CaptionBoxLiesBetweenTheIconAndTheButtons) {
    TsFrameSizes sizes;
    sizes.Border = 4;
    sizes.Title = 24;
    const QRect box = CaptionBox(QSize(400, 300), sizes, false, 16, 4, true, 90);
    EXPECT_EQ(box.left(), 4 + 16 + 4 + 4 + 2);
    EXPECT_EQ(box.right(), 400 - 90 - 12 - 1);
    EXPECT_EQ(box.top(), 6);
    EXPECT_EQ(box.bottom(), 27);
    EXPECT_EQ(CaptionBox(QSize(400, 300), sizes, true, 16, 4, false, 90).top(), 3);
    EXPECT_EQ(CaptionBox(QSize(400, 300), sizes, false, 16, 4, false, 90).left(), 28);
}

TEST(FrameGeometryTest, SystemMenuItemsFollowTheWindow) {
    TsWindowKind kind;
    auto items = SystemMenuStates(kind, choose(kind), true, true);
    EXPECT_TRUE(items[smRestore].Visible);
    EXPECT_FALSE(items[smRestore].Enabled);
    EXPECT_TRUE(items[smMove].Enabled);
    EXPECT_TRUE(items[smSize].Visible && items[smSize].Enabled);
    EXPECT_TRUE(items[smMinimize].Enabled);
    EXPECT_TRUE(items[smMaximize].Enabled);
    EXPECT_TRUE(items[smClose].Visible && items[smClose].Enabled);

    TsWindowKind maximized;
    maximized.Maximized = true;
    items = SystemMenuStates(maximized, choose(maximized), true, true);
    EXPECT_TRUE(items[smRestore].Enabled);
    EXPECT_FALSE(items[smMove].Enabled);
    EXPECT_FALSE(items[smMaximize].Enabled);

    TsWindowKind minimized;
    minimized.Minimized = true;
    items = SystemMenuStates(minimized, choose(minimized), true, true);
    EXPECT_TRUE(items[smRestore].Enabled);
    EXPECT_FALSE(items[smSize].Enabled);
    EXPECT_FALSE(items[smMinimize].Enabled);

    TsWindowKind single;
    single.Border = bsSingle;
    items = SystemMenuStates(single, choose(single), false, true);
    EXPECT_TRUE(items[smSize].Visible);
    EXPECT_FALSE(items[smSize].Enabled) << "a fixed border cannot be sized";
    EXPECT_FALSE(items[smMaximize].Enabled);

    TsWindowKind dialog;
    dialog.Border = bsDialog;
    items = SystemMenuStates(dialog, choose(dialog), true, true);
    EXPECT_FALSE(items[smRestore].Visible);
    EXPECT_FALSE(items[smSize].Visible);
    EXPECT_FALSE(items[smMinimize].Visible);
    EXPECT_FALSE(items[smMaximize].Visible);
    EXPECT_TRUE(items[smClose].Visible);
}

}  // namespace
