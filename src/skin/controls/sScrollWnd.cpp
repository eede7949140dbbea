#include "skin/controls/sScrollWnd.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

#include "platform/skin_message.h"
#include "skin/controls/sGridHeader.h"
#include "skin/controls/sScrollBar.h"
#include "skin/controls/sSelectionDelegate.h"
#include "skin/core/sSkinManager.h"

namespace {

// A scrolling window without skin data of its own is skinned as a memo is: edit-like, so
// its colours follow the section, and hot by the focus or the mouse.
constexpr int kWindowKind = 7;

}  // namespace

TsScrollWnd::TsScrollWnd(QAbstractScrollArea* window, TsCommonData& data,
                         const unsigned* disabledKind)
    : QObject(window), window_(window), data_(&data), disabledKind_(disabledKind) {
    init();
}

TsScrollWnd::TsScrollWnd(QAbstractScrollArea* window) : QObject(window), window_(window) {}

TsScrollWnd::~TsScrollWnd() {
    if (window_) window_->removeEventFilter(this);
    delete vbar_.data();
    delete hbar_.data();
}

TsScrollWnd* TsScrollWnd::attach(QAbstractScrollArea* window, const QString& section,
                                 TsSkinManager* manager) {
    if (!window) return nullptr;
    if (TsScrollWnd* existing = of(window)) return existing;
    // The component comes first among the window's children, so that it is gone before the
    // skin data it made when the window is destroyed.
    auto* component = new TsScrollWnd(window);
    component->ownData_ = std::make_unique<TsCtrlSkinData>(window, kWindowKind);
    component->ownData_->setSkinManager(manager);
    component->ownData_->setSkinSection(section);
    component->data_ = component->ownData_.get();
    component->init();
    // A grid's selected cells and its cell editor are the skin's too; its own delegate
    // still sizes the cells and serves while no skin is active.
    if (auto* grid = qobject_cast<QTableView*>(window))
        grid->setItemDelegate(new TsSelectionDelegate(*component->data_,
                                                      TsSelectionDelegate::saCell, false, component,
                                                      grid->itemDelegate()));
    return component;
}

TsScrollWnd* TsScrollWnd::of(const QAbstractScrollArea* window) {
    return window ? window->findChild<TsScrollWnd*>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

void TsScrollWnd::init() {
    cache_ = std::make_unique<TsControlCache>(window_, *data_);
    cache_->Prepare = [this](Bitmap32& cache, const TCacheInfo& parent) {
        paintLook(cache, parent);
    };
    cache_->State = [this] { return State(); };
    if (auto* view = qobject_cast<QAbstractItemView*>(window_))
        header_ = new TsGridHeader(view, *data_);
    window_->installEventFilter(this);
    sync();
}

bool TsScrollWnd::wantsSkin() const {
    const TsSkinManager* manager = data_->SkinManager();
    return enabled_ && manager && manager->Active() && data_->IsSkinned();
}

bool TsScrollWnd::skinned() const {
    return enabled_ && applied_ && cache_->skinned();
}

int TsScrollWnd::State() const {
    return data_->IsHot() ? 1 : 0;
}

int TsScrollWnd::FrameWidth() const {
    const TsSkinManager* manager = data_->SkinManager();
    if (!manager || !manager->IsValidImage(data_->BorderIndex)) return 0;
    const TsMaskData& border = manager->images()[size_t(data_->BorderIndex)];
    return std::max({0, int(border.WL), int(border.WT), int(border.WR), int(border.WB)});
}

void TsScrollWnd::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    sync();
}

void TsScrollWnd::sync() {
    const bool on = wantsSkin();
    bool relayout = false;
    if (on) {
        if (!applied_) {
            platformShape_ = window_->frameStyle();
            platformLineWidth_ = window_->lineWidth();
            platformMidLineWidth_ = window_->midLineWidth();
            applied_ = true;
        }
        // A plain box as wide as the border keeps the window's contents and bars inside the
        // ring the skin paints there.
        const int width = FrameWidth();
        if (window_->frameStyle() != (QFrame::Box | QFrame::Plain) ||
            window_->lineWidth() != width || window_->midLineWidth() != 0) {
            window_->setFrameStyle(QFrame::Box | QFrame::Plain);
            window_->setLineWidth(width);
            window_->setMidLineWidth(0);
            relayout = true;
        }
        cache_->regionChanged();
        cache_->invalidate(false);
    } else if (applied_) {
        applied_ = false;
        window_->setFrameStyle(platformShape_);
        window_->setLineWidth(platformLineWidth_);
        window_->setMidLineWidth(platformMidLineWidth_);
        cache_->dropRegion();
        window_->setAttribute(Qt::WA_OpaquePaintEvent, false);
        relayout = true;
    }

    // The window may have been given other bars since.
    const auto follow = [this, on](QPointer<TsScrollBar>& skin, QScrollBar* bar) {
        if (!skin || skin->bar() != bar) {
            delete skin.data();
            skin = new TsScrollBar(bar, *data_, this);
        }
        return skin->sync(on);
    };
    relayout |= follow(vbar_, window_->verticalScrollBar());
    relayout |= follow(hbar_, window_->horizontalScrollBar());
    if (header_) header_->sync(on);
    // The bars' new sizes and the frame's take effect at once: the bars' holders learn
    // their new widths first, then the window places them.
    if (relayout) {
        for (QScrollBar* bar : {window_->verticalScrollBar(), window_->horizontalScrollBar()}) {
            QLayout* holder = bar && bar->parentWidget() ? bar->parentWidget()->layout() : nullptr;
            if (!holder) continue;
            holder->invalidate();
            holder->activate();
        }
        QEvent request(QEvent::LayoutRequest);
        QCoreApplication::sendEvent(window_, &request);
    }
    window_->update();
}

void TsScrollWnd::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    paintedState_ = State();
    PaintControlSection(*data_, parent, paintedState_, cache, QPoint(0, 0), cache.rect());
    if (!window_->isEnabled())
        ApplyDisabledLook(cache, parent, disabledKind_ ? *disabledKind_ : unsigned(dkBlended));
}

bool TsScrollWnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_) return false;
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        const bool ours = message->Param == quintptr(data_->SkinManager());
        switch (message->Command) {
            case TsSkinMessage::AC_SETNEWSKIN:
                // The skin data may see the message after this component: the indexes are
                // worked out here already, as they are about to be.
                if (ours) data_->RefreshIndexes();
                [[fallthrough]];
            case TsSkinMessage::AC_REMOVESKIN:
            case TsSkinMessage::AC_REFRESH:
                cache_->handleCommand(*message);
                if (ours) sync();
                return false;
            default:
                return cache_->handleCommand(*message);
        }
    }
    switch (event->type()) {
        case QEvent::Paint: {
            if (!skinned()) return false;
            // A change of state nobody announced (the mouse left) shows in the state painted.
            if (State() != paintedState_) data_->BGChanged = true;
            QPainter painter(window_);
            cache_->paint(painter, static_cast<QPaintEvent*>(event)->rect());
            return true;
        }
        case QEvent::Show:
            sync();
            break;
        case QEvent::Resize:
            cache_->regionChanged();
            cache_->invalidate(false);
            break;
        case QEvent::EnabledChange:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Enter:
        case QEvent::Leave:
            if (applied_) {
                cache_->invalidate();
                // What shows around the bars' parts is the window's colour of its state.
                for (TsScrollBar* bar : {vbar_.data(), hbar_.data()})
                    if (bar && bar->skinned()) bar->bar()->update();
            }
            break;
        default:
            break;
    }
    return false;
}
