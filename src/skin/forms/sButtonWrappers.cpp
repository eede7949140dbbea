#include "skin/forms/sButtonWrappers.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>

#include "skin/controls/sButton.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

// The control categories the wrapped buttons count as: push button, check box, radio button.
constexpr int kPushButtonKind = 93;
constexpr int kCheckBoxKind = 32;
constexpr int kRadioButtonKind = 33;
// The inner margin of a push button's caption and icon, as the skinned button's.
constexpr int kContentMargin = 6;
// The gap between a check mark and its caption.
constexpr int kCaptionGap = 4;

}  // namespace

// ---- push buttons ---------------------------------------------------------------------------

TsPushButtonWrapper::TsPushButtonWrapper(QPushButton* button)
    : TsWidgetWrapper(button, QStringLiteral("BUTTON"), kPushButtonKind), button_(button) {
    start();
}

bool TsPushButtonWrapper::actsAsDefault() const {
    if (button_->hasFocus()) return button_->autoDefault() || button_->isDefault();
    if (!button_->isDefault()) return false;
    // The default button stands for Enter while the focus is on a control that is not a
    // push button.
    const QWidget* focus = QApplication::focusWidget();
    return !focus || focus->window() != button_->window() ||
           !qobject_cast<const QPushButton*>(focus);
}

int TsPushButtonWrapper::state() const {
    if (button_->isDown() || button_->isChecked()) return 2;
    if (!button_->isEnabled()) return 0;
    if (actsAsDefault() || SkinData().IsHot()) return 1;
    return 0;
}

QString TsPushButtonWrapper::lookKey() const {
    return button_->text() + QChar(button_->hasFocus() ? u'f' : u'-') +
           QChar(button_->isDefault() ? u'd' : u'-');
}

void TsPushButtonWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    const int now = state();
    const int look = skinState();
    TsCommonData& data = SkinData();
    PaintControlSection(data, parent, look, cache, QPoint(0, 0), cache.rect());

    const QIcon icon = button_->icon();
    const QSize picture = icon.isNull() ? QSize() : button_->iconSize();
    const TsButtonLayout layout =
        PushButtonLayout(cache.rect().size(), picture, iaLeft, TImageMargins(), kContentMargin);
    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(button_->font());
    int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextShowMnemonic;
    if (button_->layoutDirection() == Qt::RightToLeft) flags |= Qt::TextForceRightToLeft;
    QRect caption =
        canvas.fontMetrics().boundingRect(layout.Caption, flags, button_->text()) & layout.Caption;
    QRect pictureArea = layout.Picture;
    if (now == 2) {
        caption.translate(1, 1);
        pictureArea.translate(1, 1);
    }
    if (!pictureArea.isEmpty())
        canvas.drawPixmap(pictureArea.topLeft(), icon.pixmap(picture, button_->isEnabled()
                                                                          ? QIcon::Normal
                                                                          : QIcon::Disabled));
    // A disabled button writes as an enabled one; its disabled look is laid over it all.
    WriteCaption(canvas, button_->text(), true, now > 0, data, flags, caption, &cache);
    canvas.end();

    const TsSkinManager* manager = data.SkinManager();
    const TsGeneralData& section = manager->sections()[data.SkinIndex];
    if (button_->hasFocus() && button_->isEnabled() && !button_->text().isEmpty() &&
        section.ShowFocus)
        DrawFocusRect(cache, caption.adjusted(-1, -1, 1, 1),
                      ColorToRGB(StateLook(section, look > 0 ? 1 : 0).FontColor[0]));
    if (!button_->isEnabled()) ApplyDisabledLook(cache, parent, dkBlended);
}

// ---- check boxes and radio buttons ----------------------------------------------------------

TsCheckBoxWrapper::TsCheckBoxWrapper(QAbstractButton* box)
    : TsWidgetWrapper(box, QStringLiteral("CHECKBOX"),
                      qobject_cast<QRadioButton*>(box) ? kRadioButtonKind : kCheckBoxKind),
      box_(box) {
    start();
}

bool TsCheckBoxWrapper::radio() const {
    return qobject_cast<const QRadioButton*>(box_) != nullptr;
}

int TsCheckBoxWrapper::state() const {
    if (box_->isDown()) return 2;
    return box_->isEnabled() && SkinData().IsHot() ? 1 : 0;
}

QString TsCheckBoxWrapper::lookKey() const {
    const auto* check = qobject_cast<const QCheckBox*>(box_);
    const int mark = check ? int(check->checkState()) : (box_->isChecked() ? 2 : 0);
    return box_->text() + QString::number(mark) + QChar(box_->hasFocus() ? u'f' : u'-');
}

int TsCheckBoxWrapper::markIndex() const {
    const TsSkinManager* manager = SkinData().SkinManager();
    if (!manager) return -1;
    const TsCommonIndexes& common = manager->commonIndexes();
    int index = -1;
    if (radio()) {
        index = box_->isChecked() ? common.RadioButtonChecked : common.RadioButtonUnChecked;
    } else {
        const auto* check = qobject_cast<const QCheckBox*>(box_);
        const Qt::CheckState mark = check ? check->checkState() : Qt::Unchecked;
        index = mark == Qt::Checked            ? common.CheckBoxChecked
                : mark == Qt::PartiallyChecked ? common.CheckBoxGrayed
                                               : common.CheckBoxUnChecked;
    }
    return manager->IsValidImage(index) ? index : -1;
}

void TsCheckBoxWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    const int now = state();
    TsCommonData& data = SkinData();
    PaintControlSection(data, parent, skinState(), cache, QPoint(0, 0), cache.rect());
    const TsSkinManager* manager = data.SkinManager();

    // Where the toolkit puts the mark and the caption; a larger mark of the skin pushes the
    // caption on.
    QStyleOptionButton option;
    option.initFrom(box_);
    option.text = box_->text();
    QStyle* style = box_->style();
    const QRect indicator = style->subElementRect(
        radio() ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, box_);
    QRect contents = style->subElementRect(
        radio() ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, box_);
    const int mark = markIndex();
    QImage image = cache.image();
    QPainter canvas(&image);
    if (mark >= 0) {
        const TsMaskData& item = manager->images()[size_t(mark)];
        const QSize size(TsSkinModel::FrameWidth(item), TsSkinModel::FrameHeight(item));
        const QRect place(QPoint(indicator.left(), (cache.height() - size.height()) / 2), size);
        DrawImageFrame(cache, place.topLeft(), now, parent, item, 1);
        if (box_->layoutDirection() == Qt::LeftToRight)
            contents.setLeft(std::max(contents.left(), place.right() + 1 + kCaptionGap));
    } else {
        // A skin without marks: the toolkit's mark over the skinned background.
        QStyleOptionButton mark = option;
        mark.rect = indicator;
        const auto* check = qobject_cast<const QCheckBox*>(box_);
        if (check && check->checkState() == Qt::PartiallyChecked)
            mark.state |= QStyle::State_NoChange;
        else
            mark.state |= box_->isChecked() ? QStyle::State_On : QStyle::State_Off;
        if (now == 2) mark.state |= QStyle::State_Sunken;
        style->drawPrimitive(
            radio() ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &mark,
            &canvas, box_);
    }

    canvas.setFont(box_->font());
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    flags |= box_->layoutDirection() == Qt::RightToLeft ? (Qt::AlignRight | Qt::TextForceRightToLeft)
                                                         : int(Qt::AlignLeft);
    const QRect caption =
        box_->text().isEmpty()
            ? QRect()
            : canvas.fontMetrics().boundingRect(contents, flags, box_->text()) & contents;
    WriteCaption(canvas, box_->text(), true, now > 0, data, flags, caption, &cache);
    canvas.end();

    const TsGeneralData& section = manager->sections()[data.SkinIndex];
    if (box_->hasFocus() && box_->isEnabled() && section.ShowFocus && !caption.isEmpty())
        DrawFocusRect(cache, caption.adjusted(-1, -1, 1, 1),
                      ColorToRGB(StateLook(section, skinState() > 0 ? 1 : 0).FontColor[0]));
    if (!box_->isEnabled()) ApplyDisabledLook(cache, parent, dkBlended);
}
