#include "skin/forms/sSkinMenus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "platform/skin_message.h"
#include "skin/controls/sControlCache.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sFrameGeometry.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"

namespace {

const QString kMainMenu = QStringLiteral("MAINMENU");
const QString kMenuItem = QStringLiteral("MENUITEM");
const QString kMenuLine = QStringLiteral("MENULINE");
const QString kIcoLine = QStringLiteral("ICOLINE");
const QString kDividerV = QStringLiteral("DIVIDERV");
const QString kToolbar = QStringLiteral("TOOLBAR");
const QString kSpeedButtonSmall = QStringLiteral("SPEEDBUTTON_SMALL");
const QString kGlobalInfo = QStringLiteral("GLOBALINFO");

// Every popup item is 6 pixels wider than it measures, the room a desktop adds to the items
// it is given; with the popup's 3-pixel frame on each side, a popup is 12 pixels wider than
// its widest item.
constexpr int kItemRoom = 6;
// The room a desktop leaves on each side of a menu bar item's caption.
constexpr int kBarItemRoom = 6;
// An image on a menu bar item stands this far from the item's left edge.
constexpr int kBarImageLeft = 3;
// The shortcut text ends this far from an item's right edge.
constexpr int kShortcutEnd = 8;
// A disabled item keeps this share of its look; the rest is the background behind it.
constexpr double kDisabledShare = 0.4;
// The pressed state of a speed button: the frame behind the image of a checked item.
constexpr int kPressed = 2;
// Six spaces follow the text of a right-aligned item.
const QString kRightAlignedTail = QStringLiteral("      ");

// Mixes every pixel of `picture` with what lies behind it, keeping `share` of the picture.
void blendWithBehind(Bitmap32& picture, const TCacheInfo& behind, double share) {
    for (int y = 0; y < picture.height(); ++y) {
        quint32* line = picture.row(y);
        for (int x = 0; x < picture.width(); ++x) {
            quint32 under = FillPixel(behind.FillColor);
            if (behind.Ready && behind.Bmp) {
                const int bx = behind.X + x, by = behind.Y + y;
                if (behind.Bmp->rect().contains(bx, by)) under = behind.Bmp->pixel(bx, by);
            }
            // The channels of a pixel lie as those of a colour, mirrored; a mix per channel
            // does not mind the order, and keeps the picture's alpha.
            line[x] = quint32(MixColours(TColor(line[x]), TColor(under), share));
        }
    }
}

// The symbols of the window commands on the skinned system menu, drawn in a 9 by 9 box:
// a bar at the bottom (minimize), a window (maximize), two windows (restore), a cross
// nine pixels wide and eight high (close).
void drawWindowSymbol(Bitmap32& picture, QRect area, TsSystemMenuItem kind, quint32 pixel) {
    const QPoint at = area.topLeft() + QPoint((area.width() - 9) / 2, (area.height() - 9) / 2);
    const auto dot = [&](int x, int y) {
        const QPoint p = at + QPoint(x, y);
        if (picture.rect().contains(p)) picture.setPixel(p.x(), p.y(), pixel);
    };
    // A window's outline with a title bar two pixels thick; `hidden` is left out.
    const auto window = [&](QRect box, QRect hidden) {
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const bool edge =
                    x == box.left() || x == box.right() || y <= box.top() + 1 || y == box.bottom();
                if (edge && !hidden.contains(x, y)) dot(x, y);
            }
    };
    switch (kind) {
        case smMinimize:
            for (int x = 1; x <= 6; ++x) {
                dot(x, 7);
                dot(x, 8);
            }
            break;
        case smMaximize:
            window(QRect(0, 0, 9, 9), QRect());
            break;
        case smRestore:
            window(QRect(2, 0, 7, 7), QRect(0, 2, 7, 7));
            window(QRect(0, 2, 7, 7), QRect());
            break;
        case smClose:
            for (int i = 0; i < 8; ++i) {
                dot(i, i);
                dot(i + 1, i);
                dot(8 - i, i);
                dot(7 - i, i);
            }
            break;
        default:
            break;
    }
}

// A divider picture over `area`: its border pieces as any border is drawn, and its middle
// stretched between them. A divider is a line, and a border leaves its middle to what lies
// behind, so without this only the line's ends would show.
void drawDivider(Bitmap32& picture, const QRect& area, const TsMaskData& item,
                 const Bitmap32& source, const TCacheInfo& self) {
    DrawBorderImage(picture, area, false, 0, 0, item, self);
    if (item.MaskType != 0 || area.width() < item.WL + item.WR || area.height() < item.WT + item.WB)
        return;
    const QRect frame = FrameRect(item, 0);
    const QRect from(frame.left() + item.WL, frame.top() + item.WT,
                     frame.width() - item.WL - item.WR, frame.height() - item.WT - item.WB);
    const QRect to(area.left() + item.WL, area.top() + item.WT, area.width() - item.WL - item.WR,
                   area.height() - item.WT - item.WB);
    if (from.isEmpty() || to.isEmpty() || !source.rect().contains(from)) return;
    for (int y = 0; y < to.height(); ++y) {
        const int sy = from.top() + y * from.height() / to.height();
        for (int x = 0; x < to.width(); ++x) {
            const quint32 pixel = source.pixel(from.left() + x * from.width() / to.width(), sy);
            const QPoint at = to.topLeft() + QPoint(x, y);
            if (pixel != kKeyPixel && picture.rect().contains(at))
                picture.setPixel(at.x(), at.y(), pixel | 0xFF000000u);
        }
    }
}

// The arrow of an item that opens a submenu: a solid triangle pointing away from the text.
void drawSubmenuArrow(Bitmap32& picture, QRect area, bool rightToLeft, quint32 pixel) {
    const int height = 7, width = 4;
    const int top = area.top() + (area.height() - height) / 2;
    const int left = area.left() + (area.width() - width) / 2;
    for (int row = 0; row < height; ++row) {
        const int reach = std::min(row, height - 1 - row) + 1;  // pixels in this row
        for (int i = 0; i < reach; ++i) {
            const int x = rightToLeft ? left + width - 1 - i : left + i;
            const int y = top + row;
            if (picture.rect().contains(x, y)) picture.setPixel(x, y, pixel);
        }
    }
}

// An item's caption and the shortcut Qt appended to it after a tab.
struct CaptionParts {
    QString Caption;
    QString Shortcut;
};
CaptionParts splitCaption(const QString& text) {
    const qsizetype tab = text.indexOf(u'\t');
    if (tab < 0) return {text, QString()};
    return {text.left(tab), text.mid(tab + 1)};
}

// The kind of item a style option stands for. Qt's sections (separators with a text) are
// titles.
TsMenuItemKind kindOf(const QStyleOptionMenuItem& option, const QString& caption) {
    if (option.menuItemType == QStyleOptionMenuItem::Separator)
        return caption.isEmpty() ? mkSeparator : mkTitle;
    return MenuItemKind(caption);
}

// A title's word: Qt's sections give it as it is, captions between dashes.
QString titleText(const QStyleOptionMenuItem& option, const QString& caption) {
    return option.menuItemType == QStyleOptionMenuItem::Separator ? caption : MenuItemText(caption);
}

int absoluteAlignment(bool right) {
    return Qt::AlignAbsolute | (right ? Qt::AlignRight : Qt::AlignLeft);
}

}  // namespace

// ---- measuring ------------------------------------------------------------------------------

TsMenuItemKind MenuItemKind(const QString& caption) {
    if (caption == QStringLiteral("-")) return mkSeparator;
    if (caption.size() > 2 && caption.startsWith(u'-') && caption.endsWith(u'-')) return mkTitle;
    if (caption.startsWith(QChar(8))) return mkRightAligned;
    return mkNormal;
}

QString MenuItemText(const QString& caption) {
    switch (MenuItemKind(caption)) {
        case mkSeparator:
            return QString();
        case mkTitle:
            return caption.mid(1, caption.size() - 2);
        case mkRightAligned:
            return caption.mid(1) + kRightAlignedTail;
        default:
            return caption;
    }
}

QString StripMnemonics(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            text += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == u'&') {
            text += u'&';
            ++i;
        }
    }
    return text;
}

int PopupItemHeight(TsMenuItemKind kind, int textHeight, int glyphHeight, int margin) {
    if (kind == mkSeparator) return 2;
    int height = RoundEven(textHeight * 1.25);
    if (kind != mkTitle) height = std::max(height, glyphHeight);
    return height + 2 * margin;
}

int SeparatorHeight(int dividerHeight, int margin) {
    return dividerHeight > 0 ? dividerHeight + 2 * margin : 2;
}

int PopupItemWidth(int textWidth, int glyphWidth, int margin, int spacing) {
    return textWidth + 2 * glyphWidth + 3 * margin + spacing;
}

int ExpandedTextWidth(int captionWidth, int shortcutWidth, int tabStop) {
    if (tabStop <= 0) return captionWidth + shortcutWidth;
    return (captionWidth / tabStop + 1) * tabStop + shortcutWidth;
}

int PopupWidth(int widestItem) {
    return widestItem + 12;
}

int MenuBarItemWidth(int textWidth, int imageWidth) {
    return textWidth + (imageWidth > 0 ? imageWidth + 6 : 0);
}

int MenuBarItemHeight(int menuBarHeight) {
    return menuBarHeight - 1;
}

TsPopupItemParts PopupItemParts(QSize item, const TsMenuItemMetrics& metrics, bool rightToLeft) {
    const int m = metrics.Margin, g = metrics.Glyph, s = metrics.Spacing;
    const int w = item.width(), h = item.height();
    const int top = (h - g) / 2;
    TsPopupItemParts parts;
    parts.Glyph = QRect(m, top, g, g);
    parts.Arrow = QRect(w - m - g, top, g, g);
    const int captionLeft = m + g + s;
    parts.Caption = QRect(captionLeft, 0, std::max(0, w - captionLeft - (m + g + m)), h);
    parts.Shortcut = QRect(captionLeft, 0, std::max(0, w - kShortcutEnd - captionLeft), h);
    // The line starts where the caption would, plus a margin, and stops short of the arrow
    // column.
    parts.DividerLeft = m + g + m + s;
    parts.DividerRight = std::max(parts.DividerLeft, w - (2 * m + s));
    if (rightToLeft) {
        const auto mirror = [w](QRect r) {
            return QRect(w - r.left() - r.width(), r.top(), r.width(), r.height());
        };
        parts.Glyph = mirror(parts.Glyph);
        parts.Arrow = mirror(parts.Arrow);
        parts.Caption = mirror(parts.Caption);
        parts.Shortcut = mirror(parts.Shortcut);
        const int left = w - parts.DividerRight;
        parts.DividerRight = w - parts.DividerLeft;
        parts.DividerLeft = left;
    }
    return parts;
}

QRegion PopupShape(QSize size, const QRegion& cutOut) {
    if (size.isEmpty()) return QRegion();
    const QRegion whole(QRect(QPoint(0, 0), size));
    if (cutOut.isEmpty()) return whole - QRegion(0, 0, 1, 1);
    return whole - cutOut;
}

// ---- the style menus wear -------------------------------------------------------------------

// A proxy of the application's style that answers the menu elements of skinned popups and
// menu bars from the skin; every other element, and every element of a menu the skin does
// not cover, is the application style's.
class TsMenuStyle : public QProxyStyle {
public:
    TsMenuStyle(TsSkinableMenus& menus, QStyle* base) : QProxyStyle(base), menus_(menus) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (const QMenu* menu = popup(widget);
            menu && (element == PE_PanelMenu || element == PE_FrameMenu)) {
            menus_.drawPopupBackground(*painter, menu, option->rect);
            return;
        }
        if (const QMenuBar* menuBar = bar(widget); menuBar && element == PE_PanelMenuBar) {
            menus_.drawBarBackground(*painter, menuBar, option->rect);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (const QMenu* menu = popup(widget)) {
            if (element == CE_MenuEmptyArea) {
                menus_.drawPopupBackground(*painter, menu, option->rect);
                return;
            }
            if (element == CE_MenuItem && item) {
                menus_.drawPopupItem(*painter, *item, menu);
                return;
            }
        }
        if (const QMenuBar* menuBar = bar(widget)) {
            if (element == CE_MenuBarEmptyArea) {
                menus_.drawBarBackground(*painter, menuBar, option->rect);
                return;
            }
            if (element == CE_MenuBarItem && item) {
                menus_.drawBarItem(*painter, *item, menuBar);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (popup(widget)) {
            switch (metric) {
                case PM_MenuPanelWidth:
                    return menus_.BorderWidth;
                case PM_MenuHMargin:
                case PM_MenuVMargin:
                    return 0;
                default:
                    break;
            }
        }
        if (bar(widget)) {
            switch (metric) {
                case PM_MenuBarPanelWidth:
                case PM_MenuBarItemSpacing:
                case PM_MenuBarHMargin:
                case PM_MenuBarVMargin:
                    return 0;
                default:
                    break;
            }
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (popup(widget)) {
            if (hint == SH_Menu_Mask) {
                auto* mask = qstyleoption_cast<QStyleHintReturnMask*>(data);
                const QRegion shape =
                    menus_.popupShape(option ? option->rect.size() : widget->size());
                if (!mask || shape.isEmpty()) return 0;
                mask->region = shape;
                return 1;
            }
            if (hint == SH_Menu_SupportsSections) return 1;
        }
        if (bar(widget) && hint == SH_MainWindow_SpaceBelowMenuBar) return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (const QMenu* menu = popup(widget); menu && item && type == CT_MenuItem)
            return menus_.popupItemSize(*item, menu);
        if (const QMenuBar* menuBar = bar(widget); menuBar && item && type == CT_MenuBarItem)
            return menus_.barItemSize(*item, menuBar);
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

private:
    const QMenu* popup(const QWidget* widget) const {
        const auto* menu = qobject_cast<const QMenu*>(widget);
        return menu && menus_.popupsSkinned() ? menu : nullptr;
    }
    const QMenuBar* bar(const QWidget* widget) const {
        const auto* menuBar = qobject_cast<const QMenuBar*>(widget);
        return menuBar && menus_.barsSkinned() ? menuBar : nullptr;
    }

    TsSkinableMenus& menus_;
};

// ---- the skinned menus ----------------------------------------------------------------------

TsSkinableMenus::TsSkinableMenus(TsSkinManager* manager) : QObject(manager), manager_(manager) {
    if (qApp) CaptionFont = QApplication::font();
    // The menus follow the manager's skin as a whole.
    connect(manager, &TsSkinManager::SkinChanging, this, &TsSkinableMenus::skinChanged);
    connect(manager, &TsSkinManager::SkinApplied, this, &TsSkinableMenus::followSkin);
    connect(manager, &TsSkinManager::SkinRemoving, this, [this] { setActive(false); });
    followSkin();
}

TsSkinableMenus* TsSkinableMenus::of(TsSkinManager* manager) {
    if (!manager) return nullptr;
    auto* menus = manager->findChild<TsSkinableMenus*>(QString(), Qt::FindDirectChildrenOnly);
    return menus ? menus : new TsSkinableMenus(manager);
}

void TsSkinableMenus::followSkin() {
    // Menus are the whole program's: the default manager's active skin draws them.
    const bool skinned =
        manager_->Active() && !manager_->sections().isEmpty() && manager_->SkinData().Active;
    setActive(skinned && manager_->SkinnedPopups && TsSkinManager::DefaultManager() == manager_);
}

TsSkinableMenus::~TsSkinableMenus() {
    setActive(false);
}

void TsSkinableMenus::setActive(bool on) {
    if (on == active_ || !qApp) return;
    active_ = on;
    if (on) {
        if (!style_) {
            // A fresh instance of the application's style, so that whatever the skin does
            // not answer looks as on every other widget.
            QStyle* base = QStyleFactory::create(QApplication::style()->name());
            style_ = new TsMenuStyle(*this, base);
            style_->setParent(this);
        }
        qApp->installEventFilter(this);
        for (QWidget* widget : QApplication::allWidgets())
            dress(widget);
        return;
    }
    qApp->removeEventFilter(this);
    const QList<QPointer<QWidget>> dressed = dressed_;
    dressed_.clear();
    for (const QPointer<QWidget>& widget : dressed)
        if (widget) undress(widget);
    popups_.clear();
    bars_.clear();
    keyboardPopups_.clear();
    altDown_ = false;
}

bool TsSkinableMenus::isDressed(const QWidget* widget) const {
    return style_ && widget && widget->style() == style_;
}

void TsSkinableMenus::dress(QWidget* widget) {
    if (!qobject_cast<QMenu*>(widget) && !qobject_cast<QMenuBar*>(widget)) return;
    // A menu that wears a style of its own keeps it.
    if (isDressed(widget) || widget->testAttribute(Qt::WA_SetStyle)) return;
    widget->setStyle(style_);
    dressed_.append(widget);
    connect(widget, &QObject::destroyed, this, &TsSkinableMenus::forget, Qt::UniqueConnection);
    if (auto* menu = qobject_cast<QMenu*>(widget)) applyShape(menu);
}

void TsSkinableMenus::undress(QWidget* widget) {
    if (!isDressed(widget)) return;
    widget->setStyle(nullptr);
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        // The shape, if any, that the application's style gives popups.
        QStyleHintReturnMask mask;
        QStyleOption option;
        option.initFrom(menu);
        if (menu->style()->styleHint(QStyle::SH_Menu_Mask, &option, menu, &mask))
            menu->setMask(mask.region);
        else
            menu->clearMask();
    }
    widget->update();
}

void TsSkinableMenus::forget(QObject* widget) {
    dressed_.removeIf([widget](const QPointer<QWidget>& dressed) {
        return dressed.isNull() || dressed.data() == widget;
    });
    popups_.remove(widget);
    bars_.remove(widget);
    keyboardPopups_.remove(widget);
}

void TsSkinableMenus::applyShape(QMenu* menu) {
    const QRegion shape = popupShape(menu->size());
    if (shape.isEmpty())
        menu->clearMask();
    else
        menu->setMask(shape);
}

void TsSkinableMenus::skinChanged() {
    popups_.clear();
    bars_.clear();
    SkinBorderWidth = 0;
    if (manager_) {
        const int main = section(kMainMenu);
        if (manager_->IsValidSection(main)) {
            const int border = manager_->sections()[main].BorderIndex;
            if (manager_->IsValidImage(border))
                SkinBorderWidth = manager_->images()[size_t(border)].WL;
        }
    }
    if (!active_) return;
    // Whether menus are skinned, and how they measure, may change with the skin.
    for (const QPointer<QWidget>& widget : dressed_) {
        if (!widget) continue;
        QEvent change(QEvent::StyleChange);
        QCoreApplication::sendEvent(widget.data(), &change);
        if (auto* menu = qobject_cast<QMenu*>(widget.data())) applyShape(menu);
        widget->update();
    }
}

void TsSkinableMenus::updateBars() {
    for (const QPointer<QWidget>& widget : dressed_)
        if (qobject_cast<QMenuBar*>(widget.data())) widget->update();
}

bool TsSkinableMenus::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Polish:
            if (watched->isWidgetType()) dress(static_cast<QWidget*>(watched));
            break;
        case QEvent::KeyPress: {
            lastInputWasKey_ = true;
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt && !altDown_) {
                altDown_ = true;
                updateBars();
            }
            // A popup used from the keyboard shows its underlines from then on.
            auto* menu = qobject_cast<QMenu*>(watched);
            if (menu && isDressed(menu) && !keyboardPopups_.contains(menu)) {
                keyboardPopups_.insert(menu);
                menu->update();
            }
            break;
        }
        case QEvent::KeyRelease:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt && altDown_) {
                altDown_ = false;
                updateBars();
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            lastInputWasKey_ = false;
            break;
        case QEvent::Show:
            if (auto* menu = qobject_cast<QMenu*>(watched); menu && isDressed(menu)) {
                if (lastInputWasKey_)
                    keyboardPopups_.insert(menu);
                else
                    keyboardPopups_.remove(menu);
            }
            break;
        case QEvent::Hide:
            keyboardPopups_.remove(watched);
            break;
        case QEvent::Paint:
            // A bar repaints over what its window shows now.
            if (auto it = bars_.find(watched); it != bars_.end()) it->Stale = true;
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            if (auto* menuBar = qobject_cast<QMenuBar*>(watched); menuBar && isDressed(menuBar))
                menuBar->update();
            break;
        default:
            break;
    }
    return false;
}

bool TsSkinableMenus::showsMnemonics(const QWidget* widget) const {
    if (const auto* menuBar = qobject_cast<const QMenuBar*>(widget)) {
        if (menuBar->hasFocus() || altDown_) return true;
        const QAction* current = menuBar->activeAction();
        return current && current->menu() && keyboardPopups_.contains(current->menu());
    }
    return keyboardPopups_.contains(widget);
}

int TsSkinableMenus::section(const QString& name) const {
    return manager_ ? manager_->FindSection(name) : -1;
}

int TsSkinableMenus::globalImage(const QString& name) const {
    if (!manager_) return -1;
    return manager_->FindImage(manager_->FindSection(kGlobalInfo), kGlobalInfo, name);
}

int TsSkinableMenus::dividerImage() const {
    const int divider = section(kDividerV);
    if (!manager_ || !manager_->IsValidSection(divider)) return -1;
    const int border = manager_->sections()[divider].BorderIndex;
    return manager_->IsValidImage(border) ? border : -1;
}

TsMenuItemMetrics TsSkinableMenus::itemMetrics() const {
    TsMenuItemMetrics metrics;
    metrics.Margin = Margin;
    metrics.Spacing = Spacing;
    if (style_) metrics.Glyph = style_->baseStyle()->pixelMetric(QStyle::PM_SmallIconSize);
    return metrics;
}

bool TsSkinableMenus::popupsSkinned() const {
    return active_ && manager_ && manager_->Active() &&
           manager_->IsValidSection(section(kMainMenu));
}

bool TsSkinableMenus::barsSkinned() const {
    return active_ && manager_ && manager_->Active() &&
           manager_->IsValidSection(section(kMenuLine));
}

// ---- popups ---------------------------------------------------------------------------------

QSize TsSkinableMenus::popupItemSize(const QStyleOptionMenuItem& option, const QMenu*) const {
    const TsMenuItemMetrics metrics = itemMetrics();
    const CaptionParts text = splitCaption(option.text);
    const TsMenuItemKind kind = kindOf(option, text.Caption);
    const int room = PopupItemWidth(0, metrics.Glyph, metrics.Margin, metrics.Spacing) + kItemRoom;
    if (kind == mkSeparator) {
        const int divider = dividerImage();
        return QSize(
            room,
            SeparatorHeight(
                divider < 0 ? 0 : TsSkinModel::FrameHeight(manager_->images()[size_t(divider)]),
                metrics.Margin));
    }
    if (kind == mkTitle) {
        const QFontMetrics fm(CaptionFont);
        const QString framed = u'-' + titleText(option, text.Caption) + u'-';
        return QSize(room + fm.horizontalAdvance(framed),
                     PopupItemHeight(kind, fm.height(), 0, metrics.Margin));
    }
    QFont font = option.font;
    if (option.menuItemType == QStyleOptionMenuItem::DefaultItem) font.setBold(true);
    const QFontMetrics fm(font);
    int width = fm.horizontalAdvance(StripMnemonics(MenuItemText(text.Caption)));
    // Qt adds the widest shortcut of the popup to every item itself; what is left to
    // measure is the caption and the tab that leads to the shortcut.
    if (!text.Shortcut.isEmpty()) width = ExpandedTextWidth(width, 0, 8 * fm.averageCharWidth());
    return QSize(room + width, PopupItemHeight(kind, fm.height(), metrics.Glyph, metrics.Margin));
}

Bitmap32 TsSkinableMenus::buildPopupBackground(QSize size, bool rightToLeft) const {
    Bitmap32 background = CreateBitmap32(size.width(), size.height());
    const int main = section(kMainMenu);
    TsSectionPaint paint;
    paint.SectionIndex = main;
    paint.SectionName = kMainMenu;
    paint.Parent = MakeCacheInfo(manager_->FormColor());
    paint.Manager = manager_;
    paint.Area = background.rect();
    paint.DrawBorder = false;  // the border goes over the stripe
    PaintSection(background, paint);

    // The stripe behind the glyph column.
    const QString stripeName =
        manager_->MenuSupport.IcoLineSkin.isEmpty() ? kIcoLine : manager_->MenuSupport.IcoLineSkin;
    const int stripe = section(stripeName);
    if (!rightToLeft && manager_->IsValidSection(stripe)) {
        const TsMenuItemMetrics metrics = itemMetrics();
        const QRect area = QRect(BorderWidth, BorderWidth, metrics.Glyph + Margin + Spacing,
                                 size.height() - 2 * BorderWidth) &
                           background.rect();
        if (!area.isEmpty()) {
            TsSectionPaint column = paint;
            column.SectionIndex = stripe;
            column.SectionName = stripeName;
            column.Parent = MakeCacheInfo(&background, QPoint(0, 0));
            column.Area = area;
            column.DrawBorder = true;
            PaintSection(background, column);
        }
    }

    const int border = manager_->sections()[main].BorderIndex;
    if (manager_->IsValidImage(border))
        DrawBorderImage(background, background.rect(), false, 0, 0,
                        manager_->images()[size_t(border)], MakeCacheInfo(&background, QPoint()));
    return background;
}

const Bitmap32& TsSkinableMenus::popupBackground(const QMenu* menu) {
    static const Bitmap32 none;
    if (!menu || !popupsSkinned()) return none;
    const bool rightToLeft = menu->layoutDirection() == Qt::RightToLeft;
    auto it = popups_.find(menu);
    if (it == popups_.end()) {
        it = popups_.insert(menu, PopupPicture());
        connect(menu, &QObject::destroyed, this, &TsSkinableMenus::forget, Qt::UniqueConnection);
    }
    PopupPicture& picture = *it;
    if (picture.Background.width() != menu->width() ||
        picture.Background.height() != menu->height() || picture.RightToLeft != rightToLeft) {
        picture.Background = buildPopupBackground(menu->size(), rightToLeft);
        picture.RightToLeft = rightToLeft;
    }
    return picture.Background;
}

QRegion TsSkinableMenus::popupShape(QSize size) const {
    if (!popupsSkinned()) return QRegion();
    const int border = manager_->sections()[section(kMainMenu)].BorderIndex;
    const QRegion cut = manager_->IsValidImage(border)
                            ? BorderCutOff(manager_->images()[size_t(border)], 0, size)
                            : QRegion();
    return PopupShape(size, cut);
}

void TsSkinableMenus::drawPopupBackground(QPainter& painter, const QMenu* menu, const QRect& area) {
    const Bitmap32& background = popupBackground(menu);
    CopyToScreen(painter, background, area & background.rect());
}

void TsSkinableMenus::drawPopupItem(QPainter& painter, const QStyleOptionMenuItem& option,
                                    const QMenu* menu) {
    const Bitmap32& background = popupBackground(menu);
    const QRect area = option.rect;
    if (area.isEmpty() || background.isNull()) return;
    // The item is painted over its part of the popup's background.
    Bitmap32 picture = CreateBitmap32(area.width(), area.height());
    picture.copyFrom(background, area, QPoint(0, 0));
    paintPopupItem(picture, MakeCacheInfo(&background, area.topLeft()), option, menu);
    painter.save();
    painter.translate(area.topLeft());
    CopyToScreen(painter, picture, picture.rect());
    painter.restore();
}

void TsSkinableMenus::paintPopupItem(Bitmap32& picture, const TCacheInfo& behind,
                                     const QStyleOptionMenuItem& option, const QMenu* menu) const {
    const TsMenuItemMetrics metrics = itemMetrics();
    const bool rightToLeft = option.direction == Qt::RightToLeft;
    const TsPopupItemParts parts = PopupItemParts(picture.rect().size(), metrics, rightToLeft);
    const CaptionParts text = splitCaption(option.text);
    const TsMenuItemKind kind = kindOf(option, text.Caption);
    const bool enabled = option.state & QStyle::State_Enabled;
    const int state = enabled && (option.state & QStyle::State_Selected) ? 1 : 0;
    const int itemSection = section(kMenuItem);
    // The picture itself holds what lies behind what is painted into it.
    const TCacheInfo self = MakeCacheInfo(&picture, QPoint(0, 0));
    QAction* action = menu ? menu->actionAt(option.rect.center()) : nullptr;
    TsSectionPaint paint;
    paint.Parent = self;
    paint.Manager = manager_;
    paint.Area = picture.rect();

    // The text colour of the item's state, for what is drawn by hand.
    TColor textColour = FromQColor(option.palette.color(QPalette::Text));
    if (manager_->IsValidSection(itemSection))
        textColour = StateLook(manager_->sections()[itemSection],
                               LimitState(manager_->sections()[itemSection], state))
                         .FontColor[0];
    const quint32 textPixel = FillPixel(textColour);

    if (kind == mkSeparator) {
        const int divider = dividerImage();
        const int left = parts.DividerLeft, width = parts.DividerRight - parts.DividerLeft;
        if (divider >= 0) {
            // The divider at its own height, in the middle of the separator.
            const TsMaskData& image = manager_->images()[size_t(divider)];
            const int height = std::min(picture.height(), TsSkinModel::FrameHeight(image));
            const QRect line(left, (picture.height() - height) / 2, width, height);
            drawDivider(picture, line, image, image.Bmp ? *image.Bmp : manager_->masterBitmap(),
                        self);
        } else {
            TColor colour = manager_->SkinData().BorderColor;
            if (colour == clKey) colour = clBtnShadow;
            FillRect32(picture, QRect(left, 0, width, 1), colour);
        }
    } else if (kind == mkTitle) {
        const int toolbar = section(kToolbar);
        if (manager_->IsValidSection(toolbar)) {
            paint.SectionIndex = toolbar;
            paint.SectionName = kToolbar;
            PaintSection(picture, paint);
        }
        QImage canvas = picture.image();
        QPainter painter(&canvas);
        painter.setFont(CaptionFont);
        painter.setPen(ToQColor(textColour));
        WriteSectionText(painter, titleText(option, text.Caption), true, manager_, 0,
                         manager_->IsValidSection(toolbar) ? toolbar : itemSection,
                         Qt::AlignCenter | Qt::TextSingleLine | DT_NOCLIP, picture.rect());
    } else {
        if (manager_->IsValidSection(itemSection)) {
            paint.SectionIndex = itemSection;
            paint.SectionName = kMenuItem;
            paint.State = state;
            PaintSection(picture, paint);
        }
        const QRect& glyph = parts.Glyph;
        const auto* systemMenu = qobject_cast<const TsSystemMenu*>(menu);
        if (!option.icon.isNull()) {
            if (option.checked) {
                // A checked item's image sits on a pressed button.
                const int frame = section(kSpeedButtonSmall);
                if (manager_->IsValidSection(frame)) {
                    TsSectionPaint pressed = paint;
                    pressed.SectionIndex = frame;
                    pressed.SectionName = kSpeedButtonSmall;
                    pressed.State = kPressed;
                    pressed.Area = glyph.adjusted(-1, -1, 1, 1) & picture.rect();
                    PaintSection(picture, pressed);
                }
            }
            const QPixmap image = option.icon.pixmap(glyph.size(), QIcon::Normal,
                                                     option.checked ? QIcon::On : QIcon::Off);
            QImage canvas = picture.image();
            QPainter painter(&canvas);
            const QSize shown = image.deviceIndependentSize().toSize();
            painter.drawPixmap(glyph.left() + (glyph.width() - shown.width()) / 2,
                               glyph.top() + (glyph.height() - shown.height()) / 2, image);
        } else if (option.checked) {
            int mark = option.checkType == QStyleOptionMenuItem::Exclusive
                           ? globalImage(QStringLiteral("RADIOCHECKED"))
                           : -1;
            if (mark < 0) mark = globalImage(QStringLiteral("CHECK"));
            if (mark < 0) mark = globalImage(QStringLiteral("BOXCHECKED"));
            if (manager_->IsValidImage(mark)) {
                const TsMaskData& item = manager_->images()[size_t(mark)];
                const int w = TsSkinModel::FrameWidth(item), h = TsSkinModel::FrameHeight(item);
                const int x = rightToLeft ? picture.width() - Margin - w : Margin;
                DrawImageFrame(picture, QPoint(x, (picture.height() - h) / 2), state, self, item,
                               1);
            }
        } else if (systemMenu && action) {
            for (const TsSystemMenuItem command : {smMinimize, smMaximize, smRestore, smClose})
                if (systemMenu->item(command) == action)
                    drawWindowSymbol(picture, glyph, command, textPixel);
        }
        if (option.menuItemType == QStyleOptionMenuItem::SubMenu)
            drawSubmenuArrow(picture, parts.Arrow, rightToLeft, textPixel);

        QImage canvas = picture.image();
        QPainter painter(&canvas);
        QFont font = option.font;
        if (option.menuItemType == QStyleOptionMenuItem::DefaultItem) font.setBold(true);
        painter.setFont(font);
        painter.setPen(ToQColor(textColour));
        painter.setLayoutDirection(option.direction);
        const int mnemonics = showsMnemonics(menu) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
        const int line =
            Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextExpandTabs | DT_NOCLIP | mnemonics;
        QRect captionArea = parts.Caption;
        QString caption = text.Caption;
        int alignment = 0;
        if (kind == mkRightAligned) {
            // The six spaces that follow the text keep it off the edge.
            caption = caption.mid(1);
            const int tail = QFontMetrics(font).horizontalAdvance(kRightAlignedTail);
            captionArea.adjust(rightToLeft ? tail : 0, 0, rightToLeft ? 0 : -tail, 0);
            alignment = absoluteAlignment(!rightToLeft);
        } else if (Alignment == taCenter) {
            alignment = Qt::AlignHCenter;
        } else {
            alignment = absoluteAlignment((Alignment == taRightJustify) != rightToLeft);
        }
        WriteSectionText(painter, caption, true, manager_, state, itemSection, line | alignment,
                         captionArea);
        if (!text.Shortcut.isEmpty())
            WriteSectionText(painter, text.Shortcut, true, manager_, state, itemSection,
                             line | absoluteAlignment(!rightToLeft), parts.Shortcut);
    }

    if (!enabled) blendWithBehind(picture, behind, kDisabledShare);
    if (OnDrawItem) OnDrawItem(action, picture, picture.rect().size());
}

// ---- menu bars ------------------------------------------------------------------------------

QSize TsSkinableMenus::barItemSize(const QStyleOptionMenuItem& option, const QMenuBar* bar) const {
    // A menu bar draws every item in its own font.
    QFont font = bar->font();
    if (option.menuItemType == QStyleOptionMenuItem::DefaultItem) font.setBold(true);
    const int text = QFontMetrics(font).horizontalAdvance(StripMnemonics(option.text));
    const int image = option.icon.isNull() ? 0 : itemMetrics().Glyph;
    return QSize(MenuBarItemWidth(text, image) + 2 * kBarItemRoom,
                 MenuBarItemHeight(FrameMetrics().MenuBar));
}

QString TsSkinableMenus::menuLineSection(const QMenuBar* bar) const {
    const TsSkinProvider* provider = bar ? TsSkinProvider::of(bar->window()) : nullptr;
    if (provider && !provider->MenuLineSkin.isEmpty()) return provider->MenuLineSkin;
    return kMenuLine;
}

TCacheInfo TsSkinableMenus::barBackground(const QMenuBar* bar, bool& isBand) const {
    isBand = false;
    QWidget* parent = bar->parentWidget();
    if (!parent) return MakeCacheInfo(manager_->FormColor());
    const QRect geometry = bar->geometry();
    // The form's provider keeps the band in its window image; whether the bar lies on it
    // decides whether the window's background already is the bar's band.
    TsSkinProvider* provider = TsSkinProvider::of(parent);
    if (provider && provider->skinned()) {
        provider->windowImage();  // brought up to date first
        const TsFrameSizes& sizes = provider->frameSizes();
        const QRect band(sizes.Border, sizes.Border + sizes.Title,
                         parent->width() - 2 * sizes.Border, sizes.Menu);
        isBand = sizes.Menu > 0 && band.contains(geometry);
    } else if (TsSkinMessage::ask(parent, TsSkinMessage::AC_PREPARING) == 1) {
        TsSkinMessage::ask(parent, TsSkinMessage::AC_PREPARECACHE);
    }
    TacBGInfo info;
    info.R = geometry;
    TsSkinMessage ask(TsSkinMessage::AC_GETBG, 0, quintptr(&info));
    if (TsSkinMessage::send(parent, ask) && info.BgType != TacBGInfo::btUnknown) {
        if (info.BgType == TacBGInfo::btCache) info.Offset += geometry.topLeft();
        return BGInfoToCI(info);
    }
    isBand = false;
    return MakeCacheInfo(FromQColor(parent->palette().color(parent->backgroundRole())));
}

const Bitmap32& TsSkinableMenus::barBand(const QMenuBar* bar) {
    auto it = bars_.find(bar);
    if (it == bars_.end()) {
        it = bars_.insert(bar, BarPicture());
        connect(bar, &QObject::destroyed, this, &TsSkinableMenus::forget, Qt::UniqueConnection);
    }
    BarPicture& picture = *it;
    if (!picture.Stale && picture.Band.width() == bar->width() &&
        picture.Band.height() == bar->height())
        return picture.Band;
    picture.Stale = false;
    picture.Band = CreateBitmap32(std::max(1, bar->width()), std::max(1, bar->height()));
    bool isBand = false;
    const TCacheInfo behind = barBackground(bar, isBand);
    const QString name = menuLineSection(bar);
    const int line = section(name);
    if (isBand || !manager_->IsValidSection(line)) {
        CopyParentBackground(picture.Band, picture.Band.rect(), behind);
        return picture.Band;
    }
    // The band in the window's state, as the provider paints its frame.
    const TsSkinProvider* provider = TsSkinProvider::of(bar->window());
    TsSectionPaint paint;
    paint.SectionIndex = line;
    paint.SectionName = name;
    paint.Parent = behind;
    paint.Manager = manager_;
    paint.Area = picture.Band.rect();
    paint.State = provider ? provider->activeState() : (bar->isActiveWindow() ? 1 : 0);
    PaintSection(picture.Band, paint);
    return picture.Band;
}

void TsSkinableMenus::drawBarBackground(QPainter& painter, const QMenuBar* bar, const QRect& area) {
    const Bitmap32& band = barBand(bar);
    CopyToScreen(painter, band, area & band.rect());
}

void TsSkinableMenus::drawBarItem(QPainter& painter, const QStyleOptionMenuItem& option,
                                  const QMenuBar* bar) {
    const Bitmap32& band = barBand(bar);
    const QRect area = option.rect;
    if (area.isEmpty() || band.isNull()) return;
    Bitmap32 picture = CreateBitmap32(area.width(), area.height());
    picture.copyFrom(band, area, QPoint(0, 0));
    paintBarItem(picture, MakeCacheInfo(&band, area.topLeft()), option, bar);
    painter.save();
    painter.translate(area.topLeft());
    CopyToScreen(painter, picture, picture.rect());
    painter.restore();
}

void TsSkinableMenus::paintBarItem(Bitmap32& picture, const TCacheInfo& behind,
                                   const QStyleOptionMenuItem& option, const QMenuBar* bar) const {
    const bool enabled = option.state & QStyle::State_Enabled;
    const int state = enabled && (option.state & QStyle::State_Selected) ? 1 : 0;
    const int itemSection = section(kMenuItem);
    if (manager_->IsValidSection(itemSection)) {
        TsSectionPaint paint;
        paint.SectionIndex = itemSection;
        paint.SectionName = kMenuItem;
        paint.Parent = MakeCacheInfo(&picture, QPoint(0, 0));
        paint.Manager = manager_;
        paint.Area = picture.rect();
        paint.State = state;
        PaintSection(picture, paint);
    }
    QImage canvas = picture.image();
    QPainter painter(&canvas);
    QRect textArea = picture.rect();
    if (!option.icon.isNull()) {
        const int side = itemMetrics().Glyph;
        const QPixmap image = option.icon.pixmap(QSize(side, side));
        const QSize shown = image.deviceIndependentSize().toSize();
        painter.drawPixmap(kBarImageLeft, (picture.height() - shown.height()) / 2, image);
        textArea.setLeft(kBarImageLeft + side + 3);
    }
    QFont font = bar->font();
    if (option.menuItemType == QStyleOptionMenuItem::DefaultItem) font.setBold(true);
    painter.setFont(font);
    painter.setPen(option.palette.color(QPalette::ButtonText));
    const int mnemonics = showsMnemonics(bar) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
    WriteSectionText(painter, option.text, true, manager_, state, section(menuLineSection(bar)),
                     Qt::AlignCenter | Qt::TextSingleLine | DT_NOCLIP | mnemonics, textArea);
    painter.end();
    if (!enabled) blendWithBehind(picture, behind, kDisabledShare);
}

void TsSkinableMenus::paintMenuBar(const QMenuBar* bar, Bitmap32& image, QPoint origin) {
    if (!bar || !barsSkinned()) return;
    for (QAction* action : bar->actions()) {
        if (!action->isVisible() || action->isSeparator()) continue;
        const QRect area = bar->actionGeometry(action);
        if (area.isEmpty()) continue;
        // The option Qt gives the bar's own painting.
        QStyleOptionMenuItem option;
        option.initFrom(bar);
        option.state = QStyle::State_None;
        if (bar->isEnabled() && action->isEnabled()) option.state |= QStyle::State_Enabled;
        if (bar->activeAction() == action) option.state |= QStyle::State_Selected;
        option.fontMetrics = bar->fontMetrics();
        option.menuItemType = QStyleOptionMenuItem::Normal;
        option.text = action->text();
        option.icon = action->icon();
        option.rect = area;
        const QRect place = area.translated(origin);
        Bitmap32 picture = CreateBitmap32(area.width(), area.height());
        picture.copyFrom(image, place, QPoint(0, 0));
        paintBarItem(picture, MakeCacheInfo(&image, place.topLeft()), option, bar);
        image.copyFrom(picture, picture.rect(), place.topLeft());
    }
}
