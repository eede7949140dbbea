#include "skin/controls/sSectionPicture.h"

#include <QImage>
#include <QPainter>

#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

Bitmap32 PaintSectionPicture(const TsSkinManager& manager, int section, int state, QSize size,
                             TColor behind, bool frame) {
    Bitmap32 picture = CreateBitmap32(size.width(), size.height());
    if (picture.isNull() || !manager.IsValidSection(section)) return picture;
    picture.fill(FillPixel(behind));
    TsSectionPaint paint;
    paint.SectionIndex = section;
    paint.SectionName = manager.sections()[section].ClassName;
    paint.Parent = MakeCacheInfo(behind);
    paint.Manager = &manager;
    paint.Area = picture.rect();
    paint.State = state;
    paint.DrawBorder = frame;
    PaintSection(picture, paint);
    return picture;
}

void DrawSectionPicture(QPainter& painter, QPoint position, const Bitmap32& picture) {
    if (picture.isNull()) return;
    const QImage pixels(picture.bits(), picture.width(), picture.height(), picture.bytesPerLine(),
                        QImage::Format_RGB32);
    painter.drawImage(position, pixels);
}
