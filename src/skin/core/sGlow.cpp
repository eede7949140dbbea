#include "skin/core/sGlow.h"

#include <QMap>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

QMap<int, QPointer<TsGlowWindow>>& glows() {
    static QMap<int, QPointer<TsGlowWindow>> list;
    return list;
}
int nextGlowId = 1;

// The item's first frame as a picture with alpha: key pixels become fully transparent, and
// a mask half (white: transparent) turns into alpha.
QImage framePicture(const TsMaskData& item, const Bitmap32& source) {
    const QRect frame = FrameRect(item, 0);
    const int width = frame.width();
    const int height = frame.height();
    if (frame.isEmpty() || (frame & source.rect()) != frame) return QImage();
    QImage picture(frame.size(), QImage::Format_ARGB32);
    const bool masked = item.MaskType > 0 && frame.bottom() + height < source.height();
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint32 pixel = source.pixel(frame.left() + x, frame.top() + y);
            if (pixel == kKeyPixel) {
                line[x] = 0;
                continue;
            }
            int alpha = int(pixel >> 24);
            if (masked)
                alpha = 255 -
                        int(source.pixel(frame.left() + x, frame.top() + height + y) >> 16 & 0xFF);
            line[x] = (pixel & 0x00FFFFFFu) | quint32(alpha) << 24;
        }
    }
    return picture;
}

// The picture drawn around `size`: corners as they are, edges stretched, the middle left
// empty.
QImage nineParts(const QImage& picture, QSize size, int left, int top, int right, int bottom) {
    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int w = picture.width(), h = picture.height();
    const int sx[] = {0, left, w - right, w};
    const int sy[] = {0, top, h - bottom, h};
    const int dx[] = {0, left, size.width() - right, size.width()};
    const int dy[] = {0, top, size.height() - bottom, size.height()};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const QRect from(sx[column], sy[row], sx[column + 1] - sx[column],
                             sy[row + 1] - sy[row]);
            const QRect to(dx[column], dy[row], dx[column + 1] - dx[column], dy[row + 1] - dy[row]);
            // The middle would cover the control itself.
            if (row == 1 && column == 1) continue;
            if (!from.isEmpty() && !to.isEmpty()) painter.drawImage(to, picture, from);
        }
    return result;
}

}  // namespace

TsGlowWindow::TsGlowWindow(const QImage& picture, const QRect& screenArea)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      picture_(picture) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(screenArea);
    setWindowOpacity(1.0);
}

void TsGlowWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, picture_);
}

QImage GlowPicture(const TsSkinManager& manager, const QString& section, QSize size, int margin) {
    const int index = manager.FindImageInSection(section, QStringLiteral("GLOW0"));
    if (!manager.IsValidImage(index)) return QImage();
    margin = std::clamp(margin, -TsSkinLimits::GlowMargin, TsSkinLimits::GlowMargin);
    const QSize grown = size + QSize(2 * margin, 2 * margin);
    // A glow that leaves nothing around the control, or one beyond any picture, is not shown.
    if (grown.isEmpty() || grown.width() > Bitmap32::MaxSide ||
        grown.height() > Bitmap32::MaxSide ||
        qint64(grown.width()) * grown.height() > Bitmap32::MaxPixels)
        return QImage();
    const TsMaskData& item = manager.images()[size_t(index)];
    const Bitmap32& source = item.Bmp ? *item.Bmp : manager.masterBitmap();
    const QImage frame = framePicture(item, source);
    if (frame.isNull()) return QImage();
    const int left = item.WL > 0 ? item.WL : frame.width() / 3;
    const int top = item.WT > 0 ? item.WT : frame.height() / 3;
    const int right = item.WR > 0 ? item.WR : left;
    const int bottom = item.WB > 0 ? item.WB : top;
    return nineParts(frame, grown, left, top, right, bottom);
}

int ShowGlow(const TsSkinManager& manager, QWidget& control, const QString& section, int margin) {
    if (!control.isVisible()) return -1;
    margin = std::clamp(margin, -TsSkinLimits::GlowMargin, TsSkinLimits::GlowMargin);
    const QImage picture = GlowPicture(manager, section, control.size(), margin);
    if (picture.isNull()) return -1;
    const QRect area(control.mapToGlobal(QPoint(-margin, -margin)), picture.size());
    auto* glow = new TsGlowWindow(picture, area);
    glow->show();
    const int id = nextGlowId++;
    glows().insert(id, glow);
    return id;
}

void HideGlow(int& id) {
    if (id < 0) return;
    if (QPointer<TsGlowWindow> glow = glows().take(id)) glow->close();
    id = -1;
}

void ClearGlows() {
    const auto all = glows();
    glows().clear();
    for (const QPointer<TsGlowWindow>& glow : all)
        if (glow) glow->close();
}

TsGlowWindow* GlowWindow(int id) {
    return glows().value(id).data();
}
