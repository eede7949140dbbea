#include "skin/controls/sLabel.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/skin_message.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

// The skin data of the nearest parent drawn from a section of the skin.
const TsCommonData* skinnedParent(const QWidget* label) {
    for (const QWidget* parent = label->parentWidget(); parent; parent = parent->parentWidget()) {
        const TsCommonData* data = TsCommonData::of(parent);
        if (data && data->IsSkinned()) return data;
        if (parent->isWindow()) break;
    }
    return nullptr;
}

// Whether the manager has a skin that its controls are drawn from (also while it announces
// a new skin, before it calls the skin active).
bool hasSkin(const TsSkinManager* manager) {
    return manager && manager->Active() && !manager->isRemoving() && !manager->sections().isEmpty();
}

}  // namespace

TsLabel::TsLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

TsSkinManager* TsLabel::manager() const {
    if (const TsCommonData* data = skinnedParent(this)) return data->SkinManager();
    return TsSkinManager::DefaultManager();
}

void TsLabel::setUseSkinColor(bool use) {
    useSkinColor_ = use;
    updateFontColor();
}

void TsLabel::setFontColor(const QColor& color) {
    ownColour_ = color;
    updateFontColor();
}

void TsLabel::setCaption(const QString& caption) {
    setText(caption);
    if (AutoSize) adjustSize();
}

QColor TsLabel::skinFontColor() const {
    if (!useSkinColor_) return QColor();
    const TsSkinManager* skin = manager();
    if (!hasSkin(skin)) return QColor();
    const TsCommonData* parent = skinnedParent(this);
    const TColor colour = parent ? skin->sections()[parent->SkinIndex].Props[0].FontColor[0]
                                 : skin->GlobalFontColor();
    // The skin's "none" leaves the label its own colour.
    if (colour == clNone) return QColor();
    return ToQColor(colour);
}

void TsLabel::updateFontColor() {
    QColor colour = skinFontColor();
    if (!colour.isValid()) colour = ownColour_.isValid() ? ownColour_ : ToQColor(clWindowText);
    if (palette().color(QPalette::WindowText) == colour) return;
    QPalette own = palette();
    own.setColor(QPalette::WindowText, colour);
    setPalette(own);
}

bool TsLabel::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        switch (message->Command) {
            case TsSkinMessage::AC_CTRLHANDLED:
                message->Result = 1;
                message->Handled = true;
                return true;
            case TsSkinMessage::AC_SETNEWSKIN:
            case TsSkinMessage::AC_REMOVESKIN:
            case TsSkinMessage::AC_REFRESH:
                updateFontColor();
                update();
                message->Handled = true;
                return true;
            default:
                return QLabel::event(event);
        }
    }
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::ParentChange:
            updateFontColor();
            break;
        default:
            break;
    }
    return QLabel::event(event);
}

void TsLabel::paintEvent(QPaintEvent* event) {
    const TsSkinManager* skin = manager();
    const int section =
        hasSkin(skin) && !SkinSection.isEmpty() ? skin->FindSection(SkinSection.toUpper()) : -1;
    if (section >= 0 && width() > 0 && height() > 0) {
        // The section over what the parent shows behind the label.
        TacBGInfo info;
        info.R = geometry();
        TsSkinMessage ask(TsSkinMessage::AC_GETBG, 0, quintptr(&info));
        TCacheInfo behind = MakeCacheInfo(FromQColor(
            parentWidget() ? parentWidget()->palette().color(parentWidget()->backgroundRole())
                           : palette().color(QPalette::Window)));
        if (TsSkinMessage::send(parentWidget(), ask) && info.BgType != TacBGInfo::btUnknown) {
            if (info.BgType == TacBGInfo::btCache) info.Offset += pos();
            behind = BGInfoToCI(info);
        }
        Bitmap32 picture = CreateBitmap32(width(), height());
        CopyParentBackground(picture, picture.rect(), behind);
        TsSectionPaint paint;
        paint.SectionIndex = section;
        paint.SectionName = SkinSection.toUpper();
        paint.Parent = behind;
        paint.Manager = skin;
        paint.Area = picture.rect();
        PaintSection(picture, paint);
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), picture.constImage().convertToFormat(QImage::Format_RGB32));
    }
    QLabel::paintEvent(event);
}
