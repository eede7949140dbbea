#include "skin/controls/sDropDown.h"

#include <QLineEdit>
#include <QStyleOptionComplex>
#include <algorithm>

#include "platform/skin_message.h"
#include "skin/controls/sControlCache.h"
#include "skin/controls/sScrollBar.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"

TsComboBoxLayout ComboBoxLayout(QSize size, const QMargins& border, int buttonWidth,
                                Qt::LayoutDirection direction) {
    const QRect box(QPoint(0, 0), size);
    const QRect inner = box.marginsRemoved(border);
    const int width = std::clamp(buttonWidth, 0, std::max(0, inner.width()));
    TsComboBoxLayout layout;
    layout.Button = QRect(inner.right() + 1 - width, inner.top(), width, inner.height());
    const int left = std::max(3, border.left());
    const int top = std::max(3, border.top());
    const int bottom = std::max(3, border.bottom());
    layout.Text =
        QRect(QPoint(left, top), QPoint(layout.Button.left() - 1, size.height() - 1 - bottom));
    if (direction == Qt::RightToLeft) {
        layout.Button = QStyle::visualRect(direction, box, layout.Button);
        layout.Text = QStyle::visualRect(direction, box, layout.Text);
    }
    return layout;
}

QMargins SectionBorderMargins(const TsCommonData& data) {
    const TsSkinManager* manager = data.SkinManager();
    if (!manager || !manager->IsValidImage(data.BorderIndex)) return QMargins();
    const TsMaskData& border = manager->images()[size_t(data.BorderIndex)];
    return QMargins(border.WL, border.WT, border.WR, border.WB);
}

TsDropDownStyle::TsDropDownStyle(std::function<QMargins()> border) : border_(std::move(border)) {}

TsComboBoxLayout TsDropDownStyle::layoutOf(const QStyleOptionComplex& option) const {
    TsComboBoxLayout layout =
        ComboBoxLayout(option.rect.size(), border_(), kScrollBarExtent, option.direction);
    layout.Button.translate(option.rect.topLeft());
    layout.Text.translate(option.rect.topLeft());
    return layout;
}

QRect TsDropDownStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl part, const QWidget* widget) const {
    if (control != CC_ComboBox)
        return TsControlStyle::subControlRect(control, option, part, widget);
    const TsComboBoxLayout layout = layoutOf(*option);
    switch (part) {
        case SC_ComboBoxFrame:
            return option->rect;
        case SC_ComboBoxEditField:
            return layout.Text;
        case SC_ComboBoxArrow:
            return layout.Button;
        default:
            return TsControlStyle::subControlRect(control, option, part, widget);
    }
}

QStyle::SubControl TsDropDownStyle::hitTestComplexControl(ComplexControl control,
                                                          const QStyleOptionComplex* option,
                                                          const QPoint& point,
                                                          const QWidget* widget) const {
    if (control != CC_ComboBox)
        return TsControlStyle::hitTestComplexControl(control, option, point, widget);
    if (layoutOf(*option).Button.contains(point)) return SC_ComboBoxArrow;
    return option->rect.contains(point) ? SC_ComboBoxEditField : SC_None;
}

void PaintDropDownButton(Bitmap32& cache, const QRect& button, int state,
                         const TsCommonData& data) {
    const TsSkinManager* manager = data.SkinManager();
    if (!manager || button.isEmpty()) return;
    const TsCommonIndexes& common = manager->commonIndexes();
    if (manager->IsValidSection(common.ComboBtn)) {
        // The box's own pixels show through the button's corners.
        const Bitmap32 under = cache;
        TsSectionPaint paint;
        paint.SectionIndex = common.ComboBtn;
        paint.SectionName = QStringLiteral("COMBOBTN");
        paint.Parent = MakeCacheInfo(&under, QPoint(0, 0));
        paint.Texture = common.ComboBtnTexture;
        paint.HotTexture = common.ComboBtnHotTexture;
        paint.Manager = manager;
        paint.Area = button;
        paint.State = state;
        PaintSection(cache, paint);
    }
    if (manager->IsValidImage(common.ComboGlyph)) {
        const TsMaskData& glyph = manager->images()[size_t(common.ComboGlyph)];
        const int w = TsSkinModel::FrameWidth(glyph), h = TsSkinModel::FrameHeight(glyph);
        if (w > 0 && h > 0 && w <= button.width() && h <= button.height()) {
            const QPoint at(button.left() + (button.width() - w) / 2,
                            button.top() + (button.height() - h) / 2);
            DrawImageFrame(cache, at, state, MakeCacheInfo(&cache, QPoint(0, 0)), glyph, 1);
        }
        return;
    }
    TColor colour = data.OwnerFontColour();
    if (manager->IsValidSection(common.ComboBtn))
        colour = StateLook(manager->sections()[common.ComboBtn], state).FontColor[0];
    PaintArrowGlyph(cache, button, Qt::DownArrow, colour);
}

void SkinLineEdit(QLineEdit* edit, const TsSkinManager* manager, bool on) {
    if (!edit) return;
    if (!on || !manager) {
        edit->setPalette(QPalette());
        return;
    }
    QPalette own;
    own.setBrush(QPalette::Base, Qt::NoBrush);
    own.setColor(QPalette::Disabled, QPalette::Text, Qt::transparent);
    own.setColor(QPalette::Highlight, ToQColor(manager->SelectionColor(true)));
    own.setColor(QPalette::HighlightedText, ToQColor(manager->SelectionTextColor(true)));
    edit->setPalette(own);
}

bool FollowDropDownEvent(QEvent* event, TsControlCache& cache,
                         const std::function<QObject*()>& popup,
                         const std::function<void()>& sync) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        if (cache.handleCommand(*message)) return true;
        switch (message->Command) {
            case TsSkinMessage::AC_SETNEWSKIN:
            case TsSkinMessage::AC_REMOVESKIN:
            case TsSkinMessage::AC_REFRESH:
            case TsSkinMessage::AC_STOPFADING:
                if (message->Param == quintptr(cache.manager()) &&
                    message->Command != TsSkinMessage::AC_STOPFADING)
                    sync();
                // A command meant for the box alone (argument 1) stays with it.
                if (message->Argument != 1) {
                    if (QObject* window = popup())
                        TsSkinMessage::ask(window, message->Command, message->Argument,
                                           message->Param);
                }
                break;
            default:
                break;
        }
        return false;
    }
    switch (event->type()) {
        case QEvent::Show:
            sync();
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Enter:
        case QEvent::Leave:
            cache.invalidate();
            break;
        default:
            break;
    }
    return false;
}
