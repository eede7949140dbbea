#include "skin/controls/sDBNavigator.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "platform/message_box.h"
#include "skin/core/sSkinManager.h"

namespace {

const char* const kHints[kNavigateButtons] = {
    "First record",  "Prior record", "Next record", "Last record", "Insert record",
    "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};

constexpr int kMinimumButton = 6;

}  // namespace

TsNavButton::TsNavButton(QWidget* parent, TNavigateBtn kind) : TsSpeedButton(parent), Index(kind) {
    SkinData.setSkinSection(QStringLiteral("TOOLBUTTON"));
    setAutoRaise(true);
    ShowCaption = false;
    Glyph = builtInPicture(kind);
    Refresh();
}

void TsNavButton::setFocusShown(bool shown) {
    if (shown == focusShown_) return;
    focusShown_ = shown;
    Cache().invalidate();
}

namespace {

// Simple dark glyphs on a transparent ground, 13 pixels high, 9 to 15 wide.
QImage drawNavPicture(TNavigateBtn kind) {
    const int width = kind == nbFirst || kind == nbLast || kind == nbRefresh ? 13
                      : kind == nbEdit                                       ? 11
                                                                             : 9;
    QImage picture(width, 13, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0, 0, 128);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const auto triangle = [&p](QPointF a, QPointF b, QPointF c) {
        p.drawPolygon(QPolygonF{a, b, c});
    };
    switch (kind) {
        case nbFirst:
            p.drawRect(QRectF(1, 2, 2, 9));
            triangle({11, 1.5}, {11, 11.5}, {4, 6.5});
            break;
        case nbPrior:
            triangle({7.5, 1.5}, {7.5, 11.5}, {1.5, 6.5});
            break;
        case nbNext:
            triangle({1.5, 1.5}, {1.5, 11.5}, {7.5, 6.5});
            break;
        case nbLast:
            triangle({2, 1.5}, {2, 11.5}, {9, 6.5});
            p.drawRect(QRectF(10, 2, 2, 9));
            break;
        case nbInsert:
            p.drawRect(QRectF(3.5, 2, 2, 9));
            p.drawRect(QRectF(0, 5.5, 9, 2));
            break;
        case nbDelete:
            p.drawRect(QRectF(0, 5.5, 9, 2));
            break;
        case nbEdit:
            triangle({5.5, 2}, {10.5, 10}, {0.5, 10});
            break;
        case nbPost: {
            QPen pen(QColor(0, 110, 0), 2.2);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF{{1, 6.5}, {3.5, 10}, {8, 2}});
            break;
        }
        case nbCancel: {
            QPen pen(QColor(160, 0, 0), 2.2);
            p.setPen(pen);
            p.drawLine(QPointF(1, 2.5), QPointF(8, 10.5));
            p.drawLine(QPointF(8, 2.5), QPointF(1, 10.5));
            break;
        }
        case nbRefresh: {
            QPen pen(ink, 1.8);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(2, 2, 9, 9), 60 * 16, 290 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            triangle({8, 0.5}, {12.5, 3}, {8.5, 5.5});
            break;
        }
    }
    return picture;
}

}  // namespace

const QImage& TsNavButton::builtInPicture(TNavigateBtn kind) {
    static const std::array<QImage, kNavigateButtons> pictures = [] {
        std::array<QImage, kNavigateButtons> drawn;
        for (int k = 0; k < kNavigateButtons; ++k)
            drawn[size_t(k)] = drawNavPicture(TNavigateBtn(k));
        return drawn;
    }();
    return pictures[size_t(kind)];
}

void TsNavButton::PaintLook(Bitmap32& cache, const TCacheInfo& parent) {
    // A navigator's button and its picture always fade into the bar when disabled.
    DisabledKind = dkBlended;
    DisabledGlyphKind = dgBlended;
    TsSpeedButton::PaintLook(cache, parent);
    const TsSkinManager* manager = SkinData.SkinManager();
    if (!focusShown_ || !manager || !manager->IsValidSection(SkinData.SkinIndex)) return;
    const TsGeneralData& section = manager->sections()[SkinData.SkinIndex];
    const TColor colour = StateLook(section, SkinState() > 0 ? 1 : 0).FontColor[0];
    DrawFocusRect(cache, cache.rect().adjusted(2, 2, -3, -3),
                  HueAndSaturation(colour, SkinData.HUEOffset, SkinData.Saturation));
}

void TsNavButton::paintEvent(QPaintEvent* event) {
    TsSpeedButton::paintEvent(event);
    if (!focusShown_ || Cache().skinned()) return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(2, 2, -2, -2);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

TsDBNavigator::TsDBNavigator(QWidget* parent) : TsPanel(parent, 54) {
    setFocusPolicy(Qt::StrongFocus);
    for (int kind = 0; kind < kNavigateButtons; ++kind) {
        auto* button = new TsNavButton(this, TNavigateBtn(kind));
        button->setObjectName(QStringLiteral("NavButton%1").arg(kind));
        button->setToolTip(QString::fromLatin1(kHints[kind]));
        button->installEventFilter(this);
        connect(button, &QToolButton::clicked, this,
                [this, kind] { BtnClick(TNavigateBtn(kind)); });
        buttons_[size_t(kind)] = button;
    }
    resize(240, 25);
    setUpButtons();
    updateEnabling();
}

void TsDBNavigator::setImages(const TsImageList* images) {
    images_ = images;
    setUpButtons();
}

void TsDBNavigator::setFirstImageIndex(int index) {
    firstImageIndex_ = index;
    setUpButtons();
}

void TsDBNavigator::setUpButtons() {
    for (int kind = 0; kind < kNavigateButtons; ++kind) {
        TsNavButton* button = buttons_[size_t(kind)];
        button->SkinData.setSkinManager(SkinData.SkinManager());
        button->Images = images_;
        button->ImageIndex = images_ ? firstImageIndex_ + kind : -1;
        button->Refresh();
    }
}

bool TsDBNavigator::event(QEvent* event) {
    // Set up as the window made it: the buttons follow the navigator's manager from now on.
    if (event->type() == QEvent::Polish) setUpButtons();
    return TsPanel::event(event);
}

QString TsDBNavigator::defaultHint(TNavigateBtn kind) {
    return QString::fromLatin1(kHints[kind]);
}

void TsDBNavigator::setDataSource(TDataSource* source) {
    if (source_) disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &TDataSource::dataChanged, this, &TsDBNavigator::updateEnabling);
        connect(source_, &TDataSource::scrolled, this, &TsDBNavigator::updateEnabling);
        connect(source_, &TDataSource::stateChanged, this, &TsDBNavigator::updateEnabling);
        connect(source_, &TDataSource::enabledChanged, this, &TsDBNavigator::updateEnabling);
    }
    updateEnabling();
}

void TsDBNavigator::setVisibleButtons(unsigned buttons) {
    visible_ = buttons & kAllNavButtons;
    for (int kind = 0; kind < kNavigateButtons; ++kind)
        buttons_[size_t(kind)]->setVisible(visible_ & navButtonBit(TNavigateBtn(kind)));
    if (!(visible_ & (1u << focused_))) {
        for (int kind = 0; kind < kNavigateButtons; ++kind) {
            if (visible_ & (1u << kind)) {
                focused_ = kind;
                break;
            }
        }
    }
    layoutButtons();
}

void TsDBNavigator::setHints(const QStringList& hints) {
    for (int kind = 0; kind < kNavigateButtons; ++kind) {
        const QString line = hints.value(kind);
        buttons_[size_t(kind)]->setToolTip(line.isEmpty() ? defaultHint(TNavigateBtn(kind)) : line);
    }
}

void TsDBNavigator::resizeEvent(QResizeEvent* event) {
    TsPanel::resizeEvent(event);
    layoutButtons();
}

void TsDBNavigator::layoutButtons() {
    const int border = frameWidth();
    const int count = std::max(1, std::popcount(visible_));
    setMinimumSize(count * kMinimumButton + 2 * border, kMinimumButton + 2 * border);
    const int buttonWidth = (width() - 2 * border) / count;
    const int remainder = width() - 2 * border - count * buttonWidth;
    // The pixels left over are spread evenly over the buttons.
    int spread = count / 2;
    int left = border;
    for (int kind = 0; kind < kNavigateButtons; ++kind) {
        TsNavButton* button = buttons_[size_t(kind)];
        if (!(visible_ & (1u << kind))) {
            button->move(width() + 1, border);
            continue;
        }
        int wide = buttonWidth;
        spread -= remainder;
        if (spread < 0) {
            spread += count;
            ++wide;
        }
        button->setGeometry(left, border, wide, height() - 2 * border - 1);
        left += wide;
    }
}

void TsDBNavigator::updateEnabling() {
    TTable* table = source_ && source_->enabled() ? source_->dataSet() : nullptr;
    const bool active = isEnabled() && table && table->active();
    const bool modifiable = active && table->canModify();
    const bool editing = active && table->state() != DataSetState::Browse;
    const bool bof = active && table->bof();
    const bool eof = active && table->eof();
    const bool enabled[kNavigateButtons] = {
        active && !bof,
        active && !bof,
        active && !eof,
        active && !eof,
        modifiable,
        modifiable && !(bof && eof),
        modifiable && !editing,
        modifiable && editing,
        modifiable && editing,
        modifiable,
    };
    for (int kind = 0; kind < kNavigateButtons; ++kind)
        buttons_[size_t(kind)]->setEnabled(enabled[kind]);
}

void TsDBNavigator::BtnClick(TNavigateBtn kind) {
    TTable* table = source_ ? source_->dataSet() : nullptr;
    if (table && table->active()) {
        Q_EMIT BeforeAction(kind);
        switch (kind) {
            case nbFirst:
                table->first();
                break;
            case nbPrior:
                table->prior();
                break;
            case nbNext:
                table->next();
                break;
            case nbLast:
                table->last();
                break;
            case nbInsert:
                table->insert();
                break;
            case nbDelete:
                if (!ConfirmDelete ||
                    MessageBox(QStringLiteral("Delete record?"), QStringLiteral("Confirm"),
                               mbOkCancel | mbIconQuestion) == idOk)
                    table->deleteRecord();
                break;
            case nbEdit:
                table->edit();
                break;
            case nbPost:
                table->post();
                break;
            case nbCancel:
                table->cancel();
                break;
            case nbRefresh:
                table->refresh();
                break;
        }
    }
    Q_EMIT OnClick(kind);
}

void TsDBNavigator::keyPressEvent(QKeyEvent* event) {
    const auto step = [this](int direction) {
        for (int kind = focused_ + direction; kind >= 0 && kind < kNavigateButtons;
             kind += direction) {
            if (visible_ & (1u << kind)) {
                focused_ = kind;
                showFocus();
                return;
            }
        }
    };
    switch (event->key()) {
        case Qt::Key_Space:
            if (buttons_[size_t(focused_)]->isEnabled()) buttons_[size_t(focused_)]->click();
            return;
        case Qt::Key_Left:
            step(-1);
            return;
        case Qt::Key_Right:
            step(1);
            return;
        default:
            TsPanel::keyPressEvent(event);
    }
}

void TsDBNavigator::showFocus() {
    for (int kind = 0; kind < kNavigateButtons; ++kind) {
        TsNavButton* button = buttons_[size_t(kind)];
        const bool shown = hasFocus() && kind == focused_;
        button->setFocusShown(shown);
    }
}

void TsDBNavigator::focusInEvent(QFocusEvent* event) {
    TsPanel::focusInEvent(event);
    showFocus();
}

void TsDBNavigator::focusOutEvent(QFocusEvent* event) {
    TsPanel::focusOutEvent(event);
    showFocus();
}

void TsDBNavigator::changeEvent(QEvent* event) {
    TsPanel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) updateEnabling();
}

bool TsDBNavigator::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* button = static_cast<TsNavButton*>(watched);
        // A press takes the focus for the navigator; with the focus, the pressed button
        // becomes the focused one.
        if (hasFocus()) {
            focused_ = button->Index;
            showFocus();
        } else if (focusPolicy() & Qt::TabFocus) {
            setFocus(Qt::MouseFocusReason);
        }
    }
    return TsPanel::eventFilter(watched, event);
}
