#include "skin/forms/sWidgetWrapper.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include "platform/skin_message.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

TsWidgetWrapper::TsWidgetWrapper(QWidget* widget, const QString& section, int kind)
    : QObject(widget), widget_(widget) {
    // While the widget is being destroyed only its QWidget part is left: nothing of its class
    // may be touched then.
    connect(widget, &QObject::destroyed, this, [this] { widgetGone_ = true; });
    // Installed before the skin data's filter, this one hears of every event after the data:
    // a new skin's indexes are worked out when the wrapper follows it.
    widget->installEventFilter(this);
    data_ = std::make_unique<TsCtrlSkinData>(widget, kind);
    data_->setSkinSection(section);
    cache_ = std::make_unique<TsControlCache>(widget, *data_);
    cache_->Prepare = [this](Bitmap32& cache, const TCacheInfo& parent) {
        paintedState_ = state();
        paintedKey_ = lookKey();
        paintLook(cache, parent);
    };
    cache_->State = [this] { return skinState(); };
}

TsWidgetWrapper::~TsWidgetWrapper() {
    release();
    if (widgetAlive()) {
        widget_->removeEventFilter(this);
        cache_->dropRegion();
        widget_->setAttribute(Qt::WA_OpaquePaintEvent, false);
    }
    cache_.reset();
    data_.reset();
    if (widgetAlive()) widget_->update();
}

TsWidgetWrapper* TsWidgetWrapper::of(const QWidget* widget) {
    return widget ? widget->findChild<TsWidgetWrapper*>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

void TsWidgetWrapper::start() {
    started_ = true;
    sync();
}

void TsWidgetWrapper::release() {
    if (!applied_) return;
    applied_ = false;
    if (widgetAlive()) apply(false);
}

bool TsWidgetWrapper::skinned() const {
    return cache_ && cache_->skinned();
}

int TsWidgetWrapper::state() const {
    return data_->IsHot() ? 1 : 0;
}

int TsWidgetWrapper::skinState() const {
    return LimitState(*data_, state());
}

void TsWidgetWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    PaintControlSection(*data_, parent, skinState(), cache, QPoint(0, 0), cache.rect());
}

void TsWidgetWrapper::apply(bool) {}

bool TsWidgetWrapper::widgetEvent(QEvent*) {
    return false;
}

void TsWidgetWrapper::sync() {
    const bool on = skinned();
    if (on != applied_) {
        applied_ = on;
        apply(on);
    }
    if (!on) {
        cache_->dropRegion();
        widget_->setAttribute(Qt::WA_OpaquePaintEvent, false);
    }
    cache_->regionChanged();
    cache_->invalidate(false);
    widget_->update();
}

bool TsWidgetWrapper::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_ || !started_ || widgetGone_) return false;
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        if (cache_->handleCommand(*message)) return true;
        switch (message->Command) {
            case TsSkinMessage::AC_SETNEWSKIN:
            case TsSkinMessage::AC_REMOVESKIN:
            case TsSkinMessage::AC_REFRESH:
                if (message->Param == quintptr(data_->SkinManager())) sync();
                break;
            default:
                break;
        }
        return false;
    }
    switch (event->type()) {
        case QEvent::Paint: {
            if (paintMode() == pmNone || !skinned()) break;
            // A look that changed without telling shows in the state or the values painted.
            if (state() != paintedState_ || lookKey() != paintedKey_) data_->BGChanged = true;
            {
                QPainter painter(widget_);
                cache_->paint(painter, static_cast<QPaintEvent*>(event)->rect());
            }
            if (paintMode() == pmWhole) return true;
            break;
        }
        case QEvent::Show:
            sync();
            break;
        case QEvent::Resize:
            cache_->resized();
            break;
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::EnabledChange:
        case QEvent::FontChange:
        case QEvent::LayoutDirectionChange:
            if (skinned()) cache_->invalidate();
            break;
        default:
            break;
    }
    return widgetEvent(event);
}
