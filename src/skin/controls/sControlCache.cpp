#include "skin/controls/sControlCache.h"

#include <QPainter>
#include <QWidget>

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
    if (!changed && parent) changed = TsSkinMessage::ask(parent, TsSkinMessage::AC_PREPARING) == 1;
    data_.HalfVisible = parent && !parent->rect().contains(control_->geometry());
    if (changed || regionChanged_) prepare();
    if (regionChanged_) applyRegion();

    const Bitmap32& picture = cache();
    if (picture.isNull()) return true;
    // The alpha bytes carry no meaning on the screen: the cache is shown as opaque pixels,
    // straight from its memory.
    const QImage pixels(picture.bits(), picture.width(), picture.height(), picture.bytesPerLine(),
                        QImage::Format_RGB32);
    const QRect part = area & picture.rect();
    painter.drawImage(part.topLeft(), pixels, part);
    return true;
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
    const QRegion cut = borderRegion(State ? State() : 0);
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
