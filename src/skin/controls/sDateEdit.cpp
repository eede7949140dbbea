#include "skin/controls/sDateEdit.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "platform/skin_message.h"
#include "skin/controls/sCalendar.h"
#include "skin/controls/sScrollBar.h"
#include "skin/core/sSkinManager.h"

TsDateEdit::TsDateEdit(QWidget* parent)
    : TDateTimePicker(parent),
      SkinData(this, 3),
      cache_(this, SkinData),
      style_(new TsDropDownStyle([this] { return BorderMargins(); })),
      calendar_(new TsCalendarPopup(this)) {
    style_->setParent(this);
    cache_.Prepare = [this](Bitmap32& cache, const TCacheInfo& background) {
        PaintLook(cache, background);
    };
    cache_.State = [this] { return CurrentState(); };
    SkinData.setSkinSection(QStringLiteral("EDIT"));
    calendar_->installEventFilter(this);
    connect(calendar_, &TsCalendarPopup::picked, this, [this](const QDate& day) { setDate(day); });
    syncSkin();
}

TsDateEdit::~TsDateEdit() {
    calendar_->removeEventFilter(this);
}

QMargins TsDateEdit::BorderMargins() const {
    return SectionBorderMargins(SkinData);
}

TsComboBoxLayout TsDateEdit::Layout() const {
    return ComboBoxLayout(size(), BorderMargins(), kScrollBarExtent, layoutDirection());
}

int TsDateEdit::CurrentState() const {
    return SkinData.IsHot() ? 1 : 0;
}

int TsDateEdit::ButtonState() const {
    return calendarShown() ? 2 : CurrentState();
}

void TsDateEdit::syncSkin() {
    const bool on = cache_.skinned();
    style_->wear(this, on);
    SkinLineEdit(lineEdit(), SkinData.SkinManager(), on);
    if (calendar_->SkinData.SkinManager() != SkinData.SkinManager())
        calendar_->SkinData.setSkinManager(SkinData.SkinManager());
    // The skin's calendar goes with the skin; the platform's comes back with the platform box.
    if (!on && calendar_->isVisible()) calendar_->close();
    cache_.regionChanged();
    cache_.invalidate();
}

void TsDateEdit::showCalendar() {
    if (!cache_.skinned()) {
        TDateTimePicker::showCalendar();
        return;
    }
    if (isReadOnly() || calendar_->isVisible()) return;
    calendar_->setFont(font());
    calendar_->setLocale(locale());
    calendar_->popup(QRect(mapToGlobal(QPoint(0, 0)), size()), date(), minimumDate(),
                     maximumDate());
}

bool TsDateEdit::calendarShown() const {
    return calendar_->isVisible() || TDateTimePicker::calendarShown();
}

void TsDateEdit::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    paintedState_ = CurrentState();
    paintedButton_ = ButtonState();
    paintedText_ = text();
    PaintControlSection(SkinData, parent, paintedState_, cache, QPoint(0, 0), cache.rect());
    PaintDropDownButton(cache, Layout().Button, paintedButton_, SkinData);
    if (isEnabled()) return;
    // A disabled box takes no input: its date is part of the picture, blended with the rest.
    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(font());
    const QRect area = lineEdit()->geometry().adjusted(2, 1, -2, -1);
    int flags = int(QStyle::visualAlignment(layoutDirection(), alignment())) | Qt::AlignVCenter |
                Qt::TextSingleLine;
    if (layoutDirection() == Qt::RightToLeft) flags |= Qt::TextForceRightToLeft;
    WriteCaption(canvas, text(), true, false, SkinData, flags, area, nullptr);
    canvas.end();
    ApplyDisabledLook(cache, parent, DisabledKind);
}

bool TsDateEdit::event(QEvent* event) {
    if (FollowDropDownEvent(
            event, cache_, [this]() -> QObject* { return calendar_; }, [this] { syncSkin(); }))
        return true;
    return TDateTimePicker::event(event);
}

bool TsDateEdit::eventFilter(QObject* watched, QEvent* event) {
    // The button is pressed while the calendar is open.
    if (watched == calendar_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        cache_.invalidate();
    return TDateTimePicker::eventFilter(watched, event);
}

void TsDateEdit::paintEvent(QPaintEvent* event) {
    if (CurrentState() != paintedState_ || ButtonState() != paintedButton_ ||
        (!isEnabled() && text() != paintedText_))
        SkinData.BGChanged = true;
    QPainter painter(this);
    if (cache_.paint(painter, event->rect())) return;
    painter.end();
    TDateTimePicker::paintEvent(event);
}

void TsDateEdit::resizeEvent(QResizeEvent* event) {
    TDateTimePicker::resizeEvent(event);
    cache_.resized();
}

void TsDateEdit::changeEvent(QEvent* event) {
    TDateTimePicker::changeEvent(event);
    cache_.followChange(event);
}

void TsDateEdit::mousePressEvent(QMouseEvent* event) {
    if (cache_.skinned() && event->button() == Qt::LeftButton &&
        Layout().Button.contains(event->position().toPoint())) {
        event->accept();
        showCalendar();
        return;
    }
    TDateTimePicker::mousePressEvent(event);
}
