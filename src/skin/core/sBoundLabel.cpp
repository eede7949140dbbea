#include "skin/core/sBoundLabel.h"

#include <QEvent>
#include <QWidget>

#include "skin/controls/sLabel.h"

namespace {

// The gap between the label and its control.
constexpr int kGap = 4;

}  // namespace

TsBoundLabel::TsBoundLabel(QWidget* control) : QObject(control), control_(control) {
    if (control_) {
        font_ = control_->font();
        control_->installEventFilter(this);
    }
}

TsBoundLabel::~TsBoundLabel() {
    delete label_.data();
}

void TsBoundLabel::setActive(bool value) {
    active_ = value;
    update();
}

QString TsBoundLabel::Caption() const {
    return caption_.isEmpty() && control_ ? control_->objectName() : caption_;
}

void TsBoundLabel::setCaption(const QString& value) {
    caption_ = value;
    update();
}

void TsBoundLabel::setIndent(int value) {
    indent_ = value;
    placeLabel();
}

void TsBoundLabel::setFont(const QFont& value) {
    font_ = value;
    update();
}

void TsBoundLabel::setLayout(TsCaptionLayout value) {
    layout_ = value;
    placeLabel();
}

void TsBoundLabel::setMaxWidth(int value) {
    maxWidth_ = value;
    update();
}

void TsBoundLabel::setUseSkinColor(bool value) {
    useSkinColor_ = value;
    update();
}

void TsBoundLabel::update() {
    if (!active_ || !control_ || !control_->parentWidget()) {
        delete label_.data();
        return;
    }
    if (!label_ || label_->parentWidget() != control_->parentWidget()) {
        delete label_.data();
        label_ = new TsLabel(control_->parentWidget());
    }
    label_->setObjectName(control_->objectName() + QStringLiteral("Label"));
    label_->setFont(font_);
    label_->setUseSkinColor(useSkinColor_);
    label_->setWordWrap(maxWidth_ != 0);
    label_->AutoSize = maxWidth_ == 0;
    label_->setCaption(Caption());
    if (maxWidth_ != 0) {
        label_->setFixedWidth(maxWidth_);
        label_->setFixedHeight(label_->heightForWidth(maxWidth_));
    } else {
        label_->setMinimumSize(0, 0);
        label_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        label_->adjustSize();
    }
    label_->setVisible(control_->isVisible());
    placeLabel();
}

void TsBoundLabel::placeLabel() {
    if (!label_ || !control_) return;
    const QRect c = control_->geometry();
    const QSize size = label_->size();
    QPoint at;
    switch (layout_) {
        case sclLeft:
            at = QPoint(c.left() - size.width() - kGap - indent_,
                        c.top() + (c.height() - size.height()) / 2);
            break;
        case sclTopLeft:
            at = QPoint(c.left() + indent_, c.top() - size.height() - kGap);
            break;
        case sclTopCenter:
            at = QPoint(c.left() + (c.width() - size.width()) / 2, c.top() - size.height() - kGap);
            break;
        case sclTopRight:
            at = QPoint(c.right() + 1 - size.width() - indent_, c.top() - size.height() - kGap);
            break;
    }
    label_->move(at);
}

bool TsBoundLabel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_ && label_) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
                placeLabel();
                break;
            case QEvent::Show:
                label_->show();
                break;
            case QEvent::Hide:
                label_->hide();
                break;
            case QEvent::ParentChange:
                update();
                break;
            default:
                break;
        }
    }
    return false;
}

void TsBoundLabel::followEnabled(bool follow) {
    if (label_ && control_) label_->setEnabled(!follow || control_->isEnabled());
}

TsLabel* TsBoundLabel::label() const {
    return label_.data();
}
