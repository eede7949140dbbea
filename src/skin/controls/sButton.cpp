#include "skin/controls/sButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QThread>

#include "platform/skin_message.h"
#include "skin/controls/sButtonFace.h"
#include "skin/core/sSkinManager.h"

TsButtonLayout PushButtonLayout(QSize size, QSize picture, TImageAlignment alignment,
                                const TImageMargins& m, int contentMargin) {
    TsButtonLayout layout;
    const int w = size.width(), h = size.height();
    const int pw = picture.width(), ph = picture.height();
    layout.Caption = QRect(0, 0, w, h);
    if (picture.isEmpty()) return layout;
    switch (alignment) {
        case iaLeft:
            layout.Picture = QRect(m.Left + contentMargin, (h - ph) / 2, pw, ph);
            layout.Caption.setLeft(m.Left + contentMargin + pw + m.Right);
            layout.Caption.setRight(w - contentMargin - 1);
            break;
        case iaRight:
            layout.Picture = QRect(w - m.Right - contentMargin - pw, (h - ph) / 2, pw, ph);
            layout.Caption.setLeft(contentMargin);
            layout.Caption.setRight(w - m.Right - contentMargin - pw - m.Left - 1);
            break;
        case iaTop:
            layout.Picture = QRect((w - pw) / 2, m.Top + contentMargin, pw, ph);
            layout.Caption.setTop(m.Top + 2 * contentMargin + ph);
            break;
        case iaBottom:
            layout.Picture = QRect((w - pw) / 2, h - m.Bottom - contentMargin - ph, pw, ph);
            layout.Caption.setBottom(h - m.Bottom - 2 * contentMargin - ph - 1);
            break;
        case iaCenter:
            layout.Picture = QRect((w - pw) / 2, (h - ph) / 2, pw, ph);
            break;
    }
    return layout;
}

TsButton::TsButton(QWidget* parent) : TsButton(parent, 93) {}

TsButton::TsButton(QWidget* parent, int kind)
    : QPushButton(parent), SkinData(this, kind), cache_(this, SkinData) {
    cache_.Prepare = [this](Bitmap32& cache, const TCacheInfo& background) {
        PaintLook(cache, background);
        paintedState_ = CurrentState();
        paintedText_ = text();
        paintedFocus_ = hasFocus();
    };
    cache_.State = [this] { return SkinState(); };
    SkinData.setSkinSection(QStringLiteral("BUTTON"));
    // The button marked default is hot while the focus is on a control that is not a
    // button: its look follows the focus wherever in the window it goes.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (isDefault() && isVisible() && CurrentState() != paintedState_) cache_.invalidate();
    });
}

bool TsButton::actsAsDefault() const {
    if (hasFocus()) return true;
    if (!isDefault()) return false;
    // The button marked default stands for Enter while the focus is on a control that is
    // not a button.
    const QWidget* focus = QApplication::focusWidget();
    return !focus || focus->window() != window() || !qobject_cast<const QPushButton*>(focus);
}

int TsButton::CurrentState() const {
    if (isDown() || Down) return 2;
    if (actsAsDefault() || SkinData.IsHot() || (isEnabled() && mouseAbove_)) return 1;
    return 0;
}

int TsButton::SkinState() const {
    return LimitState(SkinData, CurrentState());
}

int TsButton::CurrentImageIndex() const {
    if (!Images) return -1;
    const auto usable = [this](int index) { return Images->isValidIndex(index) ? index : -1; };
    int index = -1;
    if (!isEnabled())
        index = usable(DisabledImageIndex);
    else if (CurrentState() == 2)
        index = usable(PressedImageIndex);
    else if (hasFocus())
        index = usable(SelectedImageIndex);
    else if (CurrentState() == 1)
        index = usable(HotImageIndex);
    return index >= 0 ? index : usable(ImageIndex);
}

void TsButton::Refresh() {
    cache_.regionChanged();
    cache_.invalidate();
}

void TsButton::Transition(unsigned event, bool halfSteps) {
    fade_.transition(event, halfSteps, AnimatEvents);
}

void TsButton::drawPicture(QPainter& canvas, const QRect& area) const {
    const int index = CurrentImageIndex();
    if (index < 0 || area.isEmpty()) return;
    const QImage& picture = Images->image(index);
    canvas.drawImage(area.topLeft(), picture);
    if (Reflected && Images->hasAlpha())
        DrawReflection(canvas, area.bottomLeft() + QPoint(0, 1), picture);
}

void TsButton::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    const int state = CurrentState();
    const int skinState = SkinState();
    PaintControlSection(SkinData, parent, skinState, cache, QPoint(0, 0), cache.rect());

    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(font());
    const QSize picture = CurrentImageIndex() >= 0 ? Images->size() : QSize();
    int flags = Qt::AlignHCenter | Qt::AlignVCenter | (WordWrap ? Qt::TextWordWrap : 0);
    QRect captionArea, pictureArea;
    QRect hintArea;
    if (Style == bsCommandLink) {
        const QSize counted = picture.isEmpty() ? QSize(32, 32) : picture;
        const int left =
            ImageMargins.Left + counted.width() + ImageMargins.Right + ContentMargin + 6;
        QFont bold = font();
        bold.setBold(true);
        if (bold.pointSizeF() > 0)
            bold.setPointSizeF(bold.pointSizeF() + 2);
        else
            bold.setPixelSize(bold.pixelSize() + 3);
        canvas.setFont(bold);
        flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const int width = std::max(0, cache.width() - left - ContentMargin);
        const QRect measured =
            canvas.fontMetrics().boundingRect(QRect(0, 0, width, cache.height()), flags, text());
        captionArea = QRect(left, ContentMargin, width, measured.height());
        hintArea = QRect(left, captionArea.bottom() + 1 + 6, width,
                         cache.height() - ContentMargin - captionArea.bottom() - 7);
        if (!picture.isEmpty())
            pictureArea = QRect(QPoint(ImageMargins.Left + ContentMargin, ContentMargin), picture);
    } else {
        const TsButtonLayout layout = PushButtonLayout(cache.rect().size(), picture, ImageAlignment,
                                                       ImageMargins, ContentMargin);
        pictureArea = layout.Picture;
        // The caption is measured within its area and centred in it.
        const QRect measured =
            canvas.fontMetrics().boundingRect(layout.Caption, flags, text()) & layout.Caption;
        captionArea = measured;
    }
    if (state == 2) {
        captionArea.translate(1, 1);
        pictureArea.translate(1, 1);
        hintArea.translate(1, 1);
    }
    drawPicture(canvas, pictureArea);
    if (layoutDirection() == Qt::RightToLeft) flags |= Qt::TextForceRightToLeft;
    // A disabled button writes as an enabled one; its disabled look is laid over it all.
    WriteCaption(canvas, text(), true, state > 0, SkinData, flags, captionArea, &cache);
    if (Style == bsCommandLink && !CommandLinkHint.isEmpty()) {
        canvas.setFont(font());
        WriteCaption(canvas, CommandLinkHint, true, state > 0, SkinData,
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, hintArea, nullptr);
    }
    canvas.end();

    const TsSkinManager* manager = SkinData.SkinManager();
    const TsGeneralData& section = manager->sections()[SkinData.SkinIndex];
    if (hasFocus() && isEnabled() && !text().isEmpty() && ShowFocus && section.ShowFocus) {
        const TColor colour = StateLook(section, skinState > 0 ? 1 : 0).FontColor[0];
        DrawFocusRect(cache,
                      captionArea.adjusted(-FocusMargin, -FocusMargin, FocusMargin, FocusMargin),
                      HueAndSaturation(colour, SkinData.HUEOffset, SkinData.Saturation));
    }
    if (!isEnabled()) ApplyDisabledLook(cache, parent, DisabledKind);
}

bool TsButton::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        const bool stopOrder = fade_.followCommand(*message);
        if (cache_.handleCommand(*message) || stopOrder) return true;
        return QPushButton::event(event);
    }
    switch (event->type()) {
        case QEvent::Enter:
            if (isEnabled() && !mouseAbove_) {
                mouseAbove_ = true;
                Q_EMIT OnMouseEnter();
                Transition(aeMouseEnter);
            }
            break;
        case QEvent::Leave:
            if (mouseAbove_) {
                mouseAbove_ = false;
                Q_EMIT OnMouseLeave();
                Transition(aeMouseLeave);
            }
            break;
        case QEvent::FocusIn:
            cache_.invalidate();
            break;
        case QEvent::FocusOut:
            fade_.stop();
            cache_.invalidate();
            break;
        default:
            break;
    }
    return QPushButton::event(event);
}

void TsButton::paintEvent(QPaintEvent* event) {
    // Whatever changed the look without telling (a new caption, a state the platform
    // changed) shows in the state or the text the cache was painted for.
    if (CurrentState() != paintedState_ || text() != paintedText_ || hasFocus() != paintedFocus_)
        SkinData.BGChanged = true;
    QPainter painter(this);
    if (cache_.paint(painter, event->rect())) return;
    painter.end();
    QPushButton::paintEvent(event);
}

void TsButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        if (isEnabled()) click();
        return;
    }
    QPushButton::keyPressEvent(event);
    // Space on the focused button: any fade stops and the pressed look shows at once, as
    // the key gives no time for a fade to be seen.
    if (event->key() == Qt::Key_Space && isEnabled()) {
        fade_.stop();
        cache_.invalidate();
    }
}

void TsButton::keyReleaseEvent(QKeyEvent* event) {
    QPushButton::keyReleaseEvent(event);
    // The pressed look ends, at once as well.
    if (event->key() == Qt::Key_Space) cache_.invalidate();
}

void TsButton::mousePressEvent(QMouseEvent* event) {
    QPushButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !Down) {
        pressedByMouse_ = true;
        Transition(aeMouseDown, true);
    }
}

void TsButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressedByMouse_ && event->button() == Qt::LeftButton;
    if (wasPressed) pressedByMouse_ = false;
    if (wasPressed && fade_.isRunning()) {
        // A quick click is always seen: the pressed look at once, for a moment, before the
        // release fades it away.
        fade_.stop();
        cache_.invalidate(false);
        cache_.prepare();
        repaint();
        QThread::msleep(30);
    }
    QPushButton::mouseReleaseEvent(event);
    if (wasPressed) Transition(aeMouseUp, true);
}

void TsButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    cache_.resized();
}

void TsButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        mouseAbove_ = false;
        fade_.stop();
    }
    cache_.followChange(event);
}
