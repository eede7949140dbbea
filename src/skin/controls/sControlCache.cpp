#include "skin/controls/sControlCache.h"

#include <QPaintEngine>
#include <QPainter>
#include <QWidget>
#include <cstring>

#include "platform/skin_message.h"
#include "skin/core/sSkinManager.h"

TsControlCache::TsControlCache(QWidget* control, TsCommonData& data)
    : control_(control), data_(data) {}

bool TsControlCache::skinned() const {
    const TsSkinManager* skin = manager();
    return skin && skin->Active() && data_.IsSkinned(true);
}

const Bitmap32& TsControlCache::cache() const {
    static const Bitmap32 none;
    return data_.FCacheBmp ? *data_.FCacheBmp : none;
}

TCacheInfo TsControlCache::parentBackground() const {
    QWidget* parent = control_->parentWidget();
    QPoint offset = control_->pos();
    // A container that only lays out its children, painting nothing of its own, shows
    // what lies behind it.
    while (parent && !parent->isWindow() && !parent->autoFillBackground() &&
           !TsSkinMessage::isSkinnedControl(parent)) {
        offset += parent->pos();
        parent = parent->parentWidget();
    }
    if (!parent) {
        const TsSkinManager* skin = manager();
        return MakeCacheInfo(skin ? skin->FormColor() : ColorToRGB(clBtnFace));
    }
    // A parent whose own picture is stale paints it first, so that the control shows what
    // the parent is about to show around it.
    if (TsSkinMessage::ask(parent, TsSkinMessage::AC_PREPARING) == 1)
        TsSkinMessage::ask(parent, TsSkinMessage::AC_PREPARECACHE);
    TacBGInfo info;
    info.R = QRect(offset, control_->size());
    TsSkinMessage ask(TsSkinMessage::AC_GETBG, 0, quintptr(&info));
    if (TsSkinMessage::send(parent, ask) && info.BgType != TacBGInfo::btUnknown) {
        if (info.BgType == TacBGInfo::btCache) info.Offset += offset;
        return BGInfoToCI(info);
    }
    return MakeCacheInfo(FromQColor(parent->palette().color(parent->backgroundRole())));
}

void TsControlCache::prepare() {
    if (!data_.FCacheBmp) data_.FCacheBmp = std::make_unique<Bitmap32>();
    Bitmap32& cache = *data_.FCacheBmp;
    const QSize size = control_->size();
    if (size.width() <= 0 || size.height() <= 0) {
        cache = Bitmap32();
        data_.BGChanged = false;
        return;
    }
    if (cache.width() != size.width() || cache.height() != size.height())
        cache = CreateBitmap32(size.width(), size.height());
    const TCacheInfo parent = parentBackground();
    if (Prepare) Prepare(cache, parent);
    data_.BGChanged = false;
    // What lies behind the children changed with this picture.
    TsSkinMessage::sendToChildren(control_, TsSkinMessage::AC_SETBGCHANGED);
}

bool TsControlCache::paint(QPainter& painter, const QRect& area) {
    const bool skin = skinned();
    // A skinned control paints every one of its pixels from the cache.
    if (control_->testAttribute(Qt::WA_OpaquePaintEvent) != skin)
        control_->setAttribute(Qt::WA_OpaquePaintEvent, skin);
    if (!skin) {
        if (!region_.isEmpty()) dropRegion();
        return false;
    }
    if (data_.PaintingPostponed()) {
        deferred_ = true;
        return true;
    }
    QWidget* parent = control_->parentWidget();
    const Bitmap32& current = cache();
    bool changed = data_.BGChanged || data_.HalfVisible || current.width() != control_->width() ||
                   current.height() != control_->height();
    // A parent whose picture is stale (or still to come) changes what lies behind.
    if (!changed && parent) {
        const TsCommonData* under = parentData();
        changed = under && (under->BGChanged || under->Updating);
    }
    data_.HalfVisible = parent && !parent->rect().contains(control_->geometry());
    if (changed || regionChanged_) prepare();
    if (regionChanged_) applyRegion();

    const Bitmap32& picture = Overlay && !Overlay->isNull() ? *Overlay : cache();
    if (!picture.isNull()) CopyToScreen(painter, picture, area & picture.rect());
    return true;
}

namespace {

// Copies the area straight into the picture the painter paints on, when that is a plain
// 32-bit image addressed without scaling: one block transfer per row of each visible part.
bool copyIntoImage(QPainter& painter, const Bitmap32& picture, const QRect& area) {
    // A widget's own paint event paints on its window's buffer with the painter knowing the
    // widget's place and clipping in it, and a painter on an image paints on that image; a
    // picture made of a widget in any other way (grabbed into a pixmap) goes through the
    // painter.
    if (!painter.device()) return false;
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return false;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return false;
    if (painter.device()->devType() != QInternal::Widget && painter.device() != device)
        return false;
    auto* target = static_cast<QImage*>(device);
    const QImage::Format format = target->format();
    if ((format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) ||
        target->devicePixelRatio() != 1.0)
        return false;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate) return false;
    const QPoint offset(qRound(transform.dx()), qRound(transform.dy()));
    const QRect wanted = area.translated(offset) & target->rect();
    if (wanted.isEmpty()) return true;
    uchar* base = target->bits();
    const qsizetype stride = target->bytesPerLine();
    // The alpha bytes carry no meaning on the screen; a back buffer with alpha gets opaque
    // pixels.
    const bool opaque = format == QImage::Format_RGB32;
    const auto copy = [&](const QRect& part) {
        const int width = part.width();
        for (int y = part.top(); y <= part.bottom(); ++y) {
            const quint32* from = picture.row(y - offset.y()) + (part.left() - offset.x());
            auto* to = reinterpret_cast<quint32*>(base + y * stride) + part.left();
            if (opaque) {
                std::memcpy(to, from, size_t(width) * 4);
            } else {
                for (int x = 0; x < width; ++x)
                    to[x] = from[x] | 0xFF000000u;
            }
        }
    };
    // The parts to copy: the area within the painter's clipping, one rectangle mostly.
    const QRegion system = engine->systemClip();
    if (!painter.hasClipping() && system.rectCount() <= 1) {
        const QRect part = system.isEmpty() ? wanted : wanted & system.boundingRect();
        if (!part.isEmpty()) copy(part);
        return true;
    }
    QRegion visible(wanted);
    if (!system.isEmpty()) visible &= system;
    if (painter.hasClipping()) visible &= painter.clipRegion().translated(offset);
    for (const QRect& part : visible)
        copy(part);
    return true;
}

}  // namespace

void CopyToScreen(QPainter& painter, const Bitmap32& picture, const QRect& area) {
    if (area.isEmpty() || copyIntoImage(painter, picture, area)) return;
    // Any other device: through the painter, the cache shown as opaque pixels straight from
    // its memory.
    const QImage pixels(picture.bits(), picture.width(), picture.height(), picture.bytesPerLine(),
                        QImage::Format_RGB32);
    painter.drawImage(area.topLeft(), pixels, area);
}

TsCommonData* TsControlCache::parentData() {
    QWidget* parent = control_->parentWidget();
    if (parent != parentSeen_) {
        parentSeen_ = parent;
        parentData_ = TsCommonData::of(parent);
    }
    return parentData_;
}

bool TsControlCache::followChange(const QEvent* event) {
    switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::FontChange:
        case QEvent::LayoutDirectionChange:
            invalidate();
            return true;
        default:
            return false;
    }
}

void TsControlCache::invalidate(bool repaint) {
    data_.BGChanged = true;
    if (repaint) control_->update();
}

QRegion TsControlCache::borderRegion(int state) const {
    const TsSkinManager* skin = manager();
    if (!skin || !skin->IsValidImage(data_.BorderIndex) || !skin->IsValidSection(data_.SkinIndex))
        return QRegion();
    const TsMaskData& border = skin->images()[size_t(data_.BorderIndex)];
    return BorderCutOff(border, LimitState(skin->sections()[data_.SkinIndex], state),
                        control_->size());
}

void TsControlCache::applyRegion() {
    regionChanged_ = false;
    const QRegion cut = CutToBorder ? borderRegion(State ? State() : 0) : QRegion();
    const QRegion shape = cut.isEmpty() ? QRegion() : QRegion(control_->rect()) - cut;
    if (shape == region_) return;
    region_ = shape;
    if (shape.isEmpty())
        control_->clearMask();
    else
        control_->setMask(shape);
}

void TsControlCache::dropRegion() {
    regionChanged_ = true;
    if (region_.isEmpty()) return;
    region_ = QRegion();
    control_->clearMask();
}

bool TsControlCache::handleCommand(TsSkinMessage& message) {
    const bool ours = message.Param == quintptr(manager());
    switch (message.Command) {
        case TsSkinMessage::AC_SETNEWSKIN:
            parentSeen_ = nullptr;  // the parent may have been given skin data since
            if (ours) {
                regionChanged_ = true;
                data_.Updating = false;
                invalidate();
            }
            return false;
        case TsSkinMessage::AC_REMOVESKIN:
            if (ours) {
                dropRegion();
                control_->setAttribute(Qt::WA_OpaquePaintEvent, false);
                control_->update();
            }
            return false;
        case TsSkinMessage::AC_REFRESH:
            if (ours) {
                regionChanged_ = true;
                invalidate(!(data_.CtrlSkinState & ACS_PRINTING));
            }
            return false;
        case TsSkinMessage::AC_ENDPARENTUPDATE:
            if (deferred_) {
                deferred_ = false;
                invalidate();
            }
            message.Handled = true;
            return true;
        case TsSkinMessage::AC_PREPARECACHE:
            if (skinned()) prepare();
            message.Handled = true;
            return true;
        case TsSkinMessage::AC_DRAWANIMAGE:
            message.Handled = true;
            return true;
        case TsSkinMessage::AC_FADEIMAGE:
            // The blend of a fade, shown at once.
            Overlay = reinterpret_cast<const Bitmap32*>(message.Param);
            if (control_->isVisible()) control_->repaint();
            message.Result = 1;
            message.Handled = true;
            return true;
        case TsSkinMessage::AC_FADEEND:
            Overlay = nullptr;
            control_->update();
            message.Handled = true;
            return true;
        default:
            return false;
    }
}

void ApplyDisabledLook(Bitmap32& cache, const TCacheInfo& parent, unsigned kinds) {
    if (cache.isNull()) return;
    if (kinds & dkGrayed) {
        for (int y = 0; y < cache.height(); ++y) {
            quint32* line = cache.row(y);
            for (int x = 0; x < cache.width(); ++x) {
                const quint32 p = line[x];
                const quint32 grey =
                    (((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 150 + (p & 0xFF) * 29 + 128) >>
                    8;
                line[x] = (p & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
            }
        }
    }
    if (kinds & dkBlended) {
        Bitmap32 behind = CreateBitmap32(cache.width(), cache.height());
        CopyParentBackground(behind, behind.rect(), parent);
        BlendBitmaps(cache, behind, 128, QPoint(0, 0), behind.rect());
    }
}

void DrawFocusRect(Bitmap32& target, const QRect& area, TColor colour) {
    const QRect r = area & target.rect();
    if (r.isEmpty()) return;
    const quint32 pixel = FillPixel(colour);
    const auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0) target.setPixel(x, y, pixel);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        dot(x, r.bottom());
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        dot(r.left(), y);
        dot(r.right(), y);
    }
}
