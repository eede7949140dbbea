#include "skin/forms/sFrameGeometry.h"

#include <algorithm>

namespace {

bool sizeable(TsBorderStyle border) {
    return border == bsSizeable || border == bsSizeToolWin;
}
bool toolWindow(TsBorderStyle border) {
    return border == bsToolWindow || border == bsSizeToolWin;
}
// Windows whose title carries the large glyphs, the icon and the minimize and maximize
// buttons.
bool mainStyle(TsBorderStyle border) {
    return border == bsSingle || border == bsSizeable;
}

constexpr QSize kMissingGlyph(21, 21);

}  // namespace

const TsFrameMetrics& FrameMetrics() {
    static const TsFrameMetrics metrics;
    return metrics;
}

TsFrameSizes FrameSizes(const TsWindowKind& kind, const TsFrameMetrics& metrics) {
    TsFrameSizes sizes;
    if (sizeable(kind.Border))
        sizes.Border = metrics.SizingFrame;
    else if (kind.Border != bsNone)
        sizes.Border = metrics.DialogFrame;
    sizes.Border += kind.OwnBorder;
    if (kind.Border != bsNone)
        sizes.Title =
            toolWindow(kind.Border) && !kind.Minimized ? metrics.SmallCaption : metrics.Caption;
    if (kind.MenuLines > 0 && kind.Border != bsDialog)
        sizes.Menu = (metrics.MenuBar - 1) * kind.MenuLines;
    return sizes;
}

int TitleIconSize(int titleHeight) {
    if (titleHeight <= 8) return 1;
    if (titleHeight <= 16) return 8;
    return 16;
}

bool ShowsTitleIcon(const TsWindowKind& kind) {
    return kind.SystemMenu && mainStyle(kind.Border);
}

QRect TitleIconRect(const TsFrameSizes& sizes, int left) {
    const int side = TitleIconSize(sizes.Title);
    return QRect(sizes.Border + left, sizes.Border + (sizes.Title - side) / 2, side, side);
}

TsTitleButtons ChooseTitleButtons(const TsWindowKind& kind, bool canMaximize, bool canMinimize,
                                  const std::function<bool(const QString&)>& hasGlyph) {
    TsTitleButtons result;
    TsTitleButton& close = result[tbClose];
    TsTitleButton& maximize = result[tbMaximize];
    TsTitleButton& minimize = result[tbMinimize];
    TsTitleButton& help = result[tbHelp];
    close.Present = kind.SystemMenu;
    maximize.Present =
        kind.SystemMenu && (kind.Minimized || (mainStyle(kind.Border) && kind.MaximizeIcon));
    minimize.Present =
        kind.SystemMenu && (kind.Minimized || (mainStyle(kind.Border) && kind.MinimizeIcon));
    help.Present = kind.HelpIcon;
    close.Enabled = true;
    // The button stands for maximize, or for restore on a maximised or minimised window.
    maximize.Enabled = canMaximize || kind.Minimized;
    minimize.Enabled = canMinimize && !kind.Minimized;
    help.Enabled = true;
    close.HitCode = HTCLOSE;
    maximize.HitCode = HTMAXBUTTON;
    minimize.HitCode = HTMINBUTTON;
    help.HitCode = HTHELP;

    bool large = mainStyle(kind.Border);
    if (!large && !hasGlyph(QStringLiteral("SICONCLOSE"))) large = true;
    const QString set = large ? QStringLiteral("BICON") : QStringLiteral("SICON");
    close.Glyph = set + QStringLiteral("CLOSE");
    if (large && !minimize.Present && !maximize.Present && hasGlyph(QStringLiteral("BICLOSEALONE")))
        close.Glyph = QStringLiteral("BICLOSEALONE");
    maximize.Glyph = set + (kind.Maximized ? QStringLiteral("NORM") : QStringLiteral("MAX"));
    minimize.Glyph = set + (kind.Minimized ? QStringLiteral("NORM") : QStringLiteral("MIN"));
    help.Glyph = set + QStringLiteral("HELP");
    for (TsTitleButton& button : result.Buttons)
        button.Large = large;
    if (!large && !hasGlyph(help.Glyph)) {
        help.Glyph = QStringLiteral("BICONHELP");
        help.Large = true;
    }
    // A glyph the skin lacks leaves its button undrawn.
    for (TsTitleButton& button : result.Buttons) {
        if (!hasGlyph(button.Glyph)) button.Glyph.clear();
    }
    return result;
}

void LayoutTitleButtons(TsTitleButtons& buttons, int width, const TsFrameSizes& sizes,
                        const TsTitleButtonPlacement& placement,
                        const std::function<QSize(const QString&)>& glyphSize) {
    int x = width - placement.Right;
    int total = placement.Right;
    for (TsTitleButton& button : buttons.Buttons) {
        if (!button.Present) {
            button.Rect = QRect();
            continue;
        }
        QSize size = button.Glyph.isEmpty() ? QSize() : glyphSize(button.Glyph);
        if (size.isEmpty()) size = kMissingGlyph;
        int top = (sizes.Border + sizes.Title - size.height()) / 2;
        if (button.Large && size.height() < 16) top += 2;
        if (placement.VAlign == 1 && button.Large) top = placement.Top;
        button.Rect = QRect(x - size.width(), top, size.width(), size.height());
        x = button.Rect.left() - (button.Large ? placement.Spacing : 0);
        total += size.width();
    }
    buttons.Width = total;
}

int FrameHitTest(QPoint point, QSize size, const TsWindowKind& kind, const TsFrameSizes& sizes,
                 const TsTitleButtons& buttons, const QRect& icon, const QRect& grip) {
    if (!QRect(QPoint(0, 0), size).contains(point)) return HTNOWHERE;
    for (const TsTitleButton& button : buttons.Buttons) {
        if (!button.Present || !button.Rect.contains(point)) continue;
        if ((button.HitCode == HTMAXBUTTON || button.HitCode == HTMINBUTTON) && !button.Enabled)
            return HTCAPTION;
        return button.HitCode;
    }
    const int b = sizes.Border;
    if (sizeable(kind.Border) && !kind.Maximized && b > 0) {
        const bool left = point.x() < b, right = point.x() >= size.width() - b;
        const bool top = point.y() < b, bottom = point.y() >= size.height() - b;
        if (top && left) return HTTOPLEFT;
        if (top && right) return HTTOPRIGHT;
        if (bottom && left) return HTBOTTOMLEFT;
        if (bottom && right) return HTBOTTOMRIGHT;
        if (top) return HTTOP;
        if (bottom) return HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    if (point.y() < b + sizes.Title) return icon.contains(point) ? HTSYSMENU : HTCAPTION;
    if (point.y() < b + sizes.Title + sizes.Menu) return HTMENU;
    if (!grip.isEmpty() && grip.contains(point)) return HTBOTTOMRIGHT;
    return HTCLIENT;
}

QRect CaptionBox(QSize size, const TsFrameSizes& sizes, bool maximized, int iconWidth, int left,
                 bool captionPlate, int buttonsWidth) {
    const int from = sizes.Border + iconWidth + left + 4 + (captionPlate ? 2 : 0);
    const int to = size.width() - buttonsWidth - 12;
    const int top = maximized ? 3 : sizes.Border + 2;
    const int bottom = sizes.Border + sizes.Title;
    return QRect(QPoint(from, top), QPoint(std::max(from, to) - 1, bottom - 1));
}

std::array<TsSystemMenuState, smCount> SystemMenuStates(const TsWindowKind& kind,
                                                        const TsTitleButtons& buttons,
                                                        bool canMaximize, bool canMinimize) {
    std::array<TsSystemMenuState, smCount> items;
    items[smRestore] = {kind.SystemMenu && mainStyle(kind.Border),
                        (kind.Maximized && canMaximize) || kind.Minimized};
    items[smMove] = {true, !kind.Maximized};
    items[smSize] = {
        kind.Border != bsNone && kind.Border != bsDialog && kind.Border != bsToolWindow,
        kind.Border != bsSingle && !kind.Minimized};
    items[smMinimize] = {buttons[tbMinimize].Present, canMinimize && !kind.Minimized};
    items[smMaximize] = {buttons[tbMaximize].Present, canMaximize && !kind.Maximized};
    items[smClose] = {buttons[tbClose].Present, true};
    return items;
}
