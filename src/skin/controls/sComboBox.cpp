#include "skin/controls/sComboBox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <algorithm>

#include "platform/skin_message.h"
#include "skin/controls/sControlStyle.h"
#include "skin/controls/sScrollBar.h"
#include "skin/controls/sScrollWnd.h"
#include "skin/controls/sSelectionDelegate.h"
#include "skin/core/sSkinManager.h"

namespace {

// The platform's inner margins of a line edit without a frame: its text starts this far in.
constexpr int kEditMarginX = 2;
constexpr int kEditMarginY = 1;

}  // namespace

TsComboBox::TsComboBox(QWidget* parent)
    : QComboBox(parent),
      SkinData(this, 3),
      BoundLabel(this),
      cache_(this, SkinData),
      style_(new TsDropDownStyle([this] { return BorderMargins(); })) {
    style_->setParent(this);
    cache_.Prepare = [this](Bitmap32& cache, const TCacheInfo& background) {
        PaintLook(cache, background);
    };
    cache_.State = [this] { return CurrentState(); };
    SkinData.setSkinSection(QStringLiteral("COMBOBOX"));
    setMaxVisibleItems(16);

    // The open list: its selected item drawn from the skin, its frame and bars skinned as an
    // edit's while it scrolls.
    QAbstractItemView* list = view();
    delegate_ = new TsSelectionDelegate(SkinData, TsSelectionDelegate::saItem, true, this,
                                        list->itemDelegate());
    list->setItemDelegate(delegate_);
    popupWnd_ = TsScrollWnd::attach(list, QStringLiteral("EDIT"), SkinData.SkinManager());
    popupWnd_->setEnabled(false);
    popup_ = list->window();
    if (popup_ && popup_ != window()) popup_->installEventFilter(this);
    syncSkin();
}

TsComboBox::~TsComboBox() {
    if (popup_) popup_->removeEventFilter(this);
}

QMargins TsComboBox::BorderMargins() const {
    return SectionBorderMargins(SkinData);
}

TsComboBoxLayout TsComboBox::Layout() const {
    return ComboBoxLayout(size(), BorderMargins(), kScrollBarExtent, layoutDirection());
}

void TsComboBox::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (QLineEdit* edit = lineEdit()) edit->setReadOnly(readOnly);
}

bool TsComboBox::DroppedDown() const {
    return popup_ && popup_->isVisible();
}

int TsComboBox::CurrentState() const {
    return SkinData.IsHot() ? 1 : 0;
}

int TsComboBox::ButtonState() const {
    return DroppedDown() ? 2 : CurrentState();
}

bool TsComboBox::wantsSkin() const {
    const TsSkinManager* manager = SkinData.SkinManager();
    return manager && manager->Active() && SkinData.IsSkinned();
}

void TsComboBox::syncSkin() {
    const bool on = wantsSkin();
    style_->wear(this, on);
    SkinLineEdit(lineEdit(), SkinData.SkinManager(), on);
    if (popupWnd_ && popupWnd_->data().SkinManager() != SkinData.SkinManager())
        popupWnd_->data().setSkinManager(SkinData.SkinManager());
    cache_.regionChanged();
    cache_.invalidate();
}

void TsComboBox::showPopup() {
    if (readOnly_) return;
    // A list longer than it shows scrolls: it is framed as an edit, in place of the
    // platform's frame around it.
    const bool scrolls = wantsSkin() && count() > maxVisibleItems();
    if (popupWnd_) popupWnd_->setEnabled(scrolls);
    if (auto* frame = qobject_cast<QFrame*>(view()->parentWidget())) {
        if (scrolls && frame->frameStyle() != QFrame::NoFrame) {
            popupFrame_ = frame->frameStyle();
            frame->setFrameStyle(QFrame::NoFrame);
        } else if (!scrolls && popupFrame_ >= 0) {
            frame->setFrameStyle(popupFrame_);
            popupFrame_ = -1;
        }
    }
    QComboBox::showPopup();
    cache_.invalidate();
}

void PaintComboText(Bitmap32& cache, const TsCommonData& data, const QFont& font,
                    Qt::LayoutDirection direction, const QString& text, const QRect& area,
                    bool selected, bool hot) {
    const TsSkinManager* manager = data.SkinManager();
    if (selected) {
        const int section = manager->FindSection(QStringLiteral("SELECTION"));
        if (manager->IsValidSection(section)) {
            const Bitmap32 under = cache;
            TsSectionPaint paint;
            paint.SectionIndex = section;
            paint.SectionName = QStringLiteral("SELECTION");
            paint.Parent = MakeCacheInfo(&under, QPoint(0, 0));
            paint.Manager = manager;
            paint.Area = area & cache.rect();
            paint.State = 1;
            PaintSection(cache, paint);
        } else {
            FillRect32(cache, area, manager->SelectionColor(true));
        }
    }
    if (text.isEmpty()) return;
    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(font);
    const QRect textArea = area.adjusted(kEditMarginX, kEditMarginY, -kEditMarginX, -kEditMarginY);
    int flags =
        int(QStyle::visualAlignment(direction, Qt::AlignLeft)) | Qt::AlignVCenter | Qt::TextSingleLine;
    if (direction == Qt::RightToLeft) flags |= Qt::TextForceRightToLeft;
    if (selected) {
        canvas.setPen(ToQColor(manager->SelectionTextColor(true)));
        canvas.drawText(textArea, flags, text);
    } else {
        WriteCaption(canvas, text, true, hot, data, flags, textArea, nullptr);
    }
}

void TsComboBox::paintText(Bitmap32& cache, const QRect& area, bool selectable) const {
    const QString text = isEditable() && lineEdit() ? lineEdit()->displayText() : currentText();
    // A drop-down list marks its item as selected while the box has the focus.
    const bool selected = selectable && hasFocus() && isEnabled();
    PaintComboText(cache, SkinData, font(), layoutDirection(), text, area, selected,
                   paintedState_ > 0);
}

void TsComboBox::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    paintedState_ = CurrentState();
    paintedButton_ = ButtonState();
    paintedFocus_ = hasFocus();
    paintedText_ = isEditable() && lineEdit() ? lineEdit()->displayText() : currentText();
    PaintControlSection(SkinData, parent, paintedState_, cache, QPoint(0, 0), cache.rect());
    const TsComboBoxLayout layout = Layout();
    PaintDropDownButton(cache, layout.Button, paintedButton_, SkinData);
    if (!isEditable())
        paintText(cache, layout.Text, true);
    else if (!isEnabled() && lineEdit())
        // A disabled box takes no typing: its text is part of the picture, blended with it.
        paintText(cache, lineEdit()->geometry(), false);
    if (!isEnabled()) ApplyDisabledLook(cache, parent, DisabledKind);
}

bool TsComboBox::event(QEvent* event) {
    // A line edit made later (the box made editable) takes the skin's colours too.
    if (event->type() == QEvent::ChildPolished &&
        static_cast<QChildEvent*>(event)->child() == lineEdit())
        syncSkin();
    if (FollowDropDownEvent(
            event, cache_, [this]() -> QObject* { return view(); }, [this] { syncSkin(); }))
        return true;
    return QComboBox::event(event);
}

bool TsComboBox::eventFilter(QObject* watched, QEvent* event) {
    // The button is pressed while the list is open.
    if (watched == popup_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        cache_.invalidate();
    return QComboBox::eventFilter(watched, event);
}

void TsComboBox::paintEvent(QPaintEvent* event) {
    const bool textInPicture = !isEditable() || !isEnabled();
    const QString text = isEditable() && lineEdit() ? lineEdit()->displayText() : currentText();
    if (CurrentState() != paintedState_ || ButtonState() != paintedButton_ ||
        hasFocus() != paintedFocus_ || (textInPicture && text != paintedText_))
        SkinData.BGChanged = true;
    QPainter painter(this);
    if (cache_.paint(painter, event->rect())) return;
    painter.end();
    QComboBox::paintEvent(event);
}

void TsComboBox::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    cache_.resized();
}

void TsComboBox::changeEvent(QEvent* event) {
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        BoundLabel.followEnabled(!(DisabledKind & dkBlended));
    cache_.followChange(event);
}

void TsComboBox::keyPressEvent(QKeyEvent* event) {
    // A read-only box lets no key change its item or open its list.
    if (readOnly_) {
        switch (event->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_F4:
            case Qt::Key_Space:
                event->ignore();
                return;
            default:
                break;
        }
    }
    QComboBox::keyPressEvent(event);
}

void TsComboBox::wheelEvent(QWheelEvent* event) {
    if (readOnly_) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}
