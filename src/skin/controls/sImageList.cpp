#include "skin/controls/sImageList.h"

void TsImageList::add(const QImage& image) {
    alpha_ = alpha_ || image.hasAlphaChannel();
    const QImage picture = image.size() == size_ ? image
                                                 : image.scaled(size_, Qt::IgnoreAspectRatio,
                                                                Qt::SmoothTransformation);
    images_.append(picture.convertToFormat(QImage::Format_ARGB32));
}
