#include "skin/controls/sEdit.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionFrame>

#include "platform/skin_message.h"
#include "skin/controls/sDropDown.h"
#include "skin/core/sSkinManager.h"

TsEdit::TsEdit(QWidget* parent)
    : QLineEdit(parent), SkinData(this, 3), BoundLabel(this), cache_(this, SkinData) {
    cache_.Prepare = [this](Bitmap32& cache, const TCacheInfo& background) {
        PaintLook(cache, background);
    };
    cache_.State = [this] { return CurrentState(); };
    SkinData.setSkinSection(QStringLiteral("EDIT"));
    syncFrame();
}

int TsEdit::CurrentState() const {
    return SkinData.IsHot() ? 1 : 0;
}

QMargins TsEdit::BorderMargins() const {
    return SectionBorderMargins(SkinData);
}

void TsEdit::syncFrame() {
    const TsSkinManager* manager = SkinData.SkinManager();
    const bool skin = manager && manager->Active() && SkinData.IsSkinned();
    if (skin) {
        if (!framed_) {
            platformFrame_ = hasFrame();
            platformMargins_ = textMargins();
            framed_ = true;
        }
        setFrame(false);
        setTextMargins(BorderMargins());
    } else if (framed_) {
        framed_ = false;
        setFrame(platformFrame_);
        setTextMargins(platformMargins_);
    }
}

void TsEdit::initStyleOption(QStyleOptionFrame* option) const {
    QLineEdit::initStyleOption(option);
    // The field under the text is the cache's: the platform paints no background of its own.
    if (cache_.skinned()) option->palette.setBrush(QPalette::Base, Qt::NoBrush);
}

void TsEdit::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    paintedState_ = CurrentState();
    PaintControlSection(SkinData, parent, paintedState_, cache, QPoint(0, 0), cache.rect());
    paintedText_ = displayText();
    if (isEnabled()) return;
    // A disabled box takes no input: its text is part of the picture, written as enabled
    // and blended with the rest.
    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(font());
    // Where the platform box writes: inside the text margins, less its own small margins.
    const QRect area = rect().marginsRemoved(textMargins()).adjusted(2, 1, -2, -1);
    int flags = int(alignment()) | Qt::TextSingleLine;
    if (layoutDirection() == Qt::RightToLeft) flags |= Qt::TextForceRightToLeft;
    WriteCaption(canvas, displayText(), true, false, SkinData, flags, area, nullptr);
    canvas.end();
    ApplyDisabledLook(cache, parent, DisabledKind);
}

bool TsEdit::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        if (cache_.handleCommand(*message)) return true;
        switch (message->Command) {
            case TsSkinMessage::AC_SETNEWSKIN:
            case TsSkinMessage::AC_REMOVESKIN:
            case TsSkinMessage::AC_REFRESH:
                if (message->Param == quintptr(SkinData.SkinManager())) syncFrame();
                break;
            default:
                break;
        }
        return QLineEdit::event(event);
    }
    switch (event->type()) {
        case QEvent::Show:
            syncFrame();
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Enter:
        case QEvent::Leave:
            cache_.invalidate();
            break;
        default:
            break;
    }
    return QLineEdit::event(event);
}

void TsEdit::paintEvent(QPaintEvent* event) {
    if (CurrentState() != paintedState_ || (!isEnabled() && displayText() != paintedText_))
        SkinData.BGChanged = true;
    QPainter painter(this);
    const bool skinned = cache_.paint(painter, event->rect());
    painter.end();
    // Over the skin's picture the platform box writes its text, selection and cursor.
    if (!skinned || isEnabled()) QLineEdit::paintEvent(event);
}

void TsEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    cache_.resized();
}

void TsEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        BoundLabel.followEnabled(!(DisabledKind & dkBlended));
    cache_.followChange(event);
}
