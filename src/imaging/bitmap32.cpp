#include "imaging/bitmap32.h"

#include <cstring>

void checkBitmapSize(int width, int height, const QString& what) {
    if (width < 0 || height < 0 || width > Bitmap32::MaxSide || height > Bitmap32::MaxSide ||
        qint64(width) * height > Bitmap32::MaxPixels)
        throw ImagingError(QStringLiteral("%1: a picture of %2 by %3 pixels is too large")
                               .arg(what)
                               .arg(width)
                               .arg(height));
}

Bitmap32::Bitmap32(int width, int height) {
    checkBitmapSize(width, height, QStringLiteral("Bitmap"));
    if (width == 0 || height == 0) return;
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        throw ImagingError(
            QStringLiteral("Not enough memory for a picture of %1 by %2").arg(width).arg(height));
    image.fill(0);
    adopt(std::move(image));
}

Bitmap32 Bitmap32::wrap(uchar* bits, int width, int height, qsizetype bytesPerLine) {
    Bitmap32 result;
    if (!bits || width <= 0 || height <= 0) return result;
    result.bits_ = bits;
    result.width_ = width;
    result.height_ = height;
    result.bytesPerLine_ = bytesPerLine;
    return result;
}

Bitmap32 Bitmap32::fromImage(const QImage& image) {
    Bitmap32 result;
    if (image.isNull()) return result;
    checkBitmapSize(image.width(), image.height(), QStringLiteral("Bitmap"));
    result.adopt(image.format() == QImage::Format_ARGB32
                     ? image
                     : image.convertToFormat(QImage::Format_ARGB32));
    return result;
}

void Bitmap32::adopt(QImage image) {
    image_ = std::move(image);
    bits_ = image_.bits();  // detaches: this bitmap's memory is its own from now on
    width_ = image_.width();
    height_ = image_.height();
    bytesPerLine_ = image_.bytesPerLine();
}

Bitmap32::Bitmap32(const Bitmap32& other) {
    *this = other;
}

Bitmap32& Bitmap32::operator=(const Bitmap32& other) {
    if (this == &other) return *this;
    if (other.isNull()) {
        *this = Bitmap32();
        return *this;
    }
    adopt(other.constImage().copy());
    return *this;
}

Bitmap32::Bitmap32(Bitmap32&& other) noexcept {
    *this = std::move(other);
}

Bitmap32& Bitmap32::operator=(Bitmap32&& other) noexcept {
    if (this == &other) return *this;
    image_ = std::move(other.image_);
    bits_ = other.bits_;
    width_ = other.width_;
    height_ = other.height_;
    bytesPerLine_ = other.bytesPerLine_;
    other.image_ = QImage();
    other.bits_ = nullptr;
    other.width_ = other.height_ = 0;
    other.bytesPerLine_ = 0;
    return *this;
}

void Bitmap32::fill(quint32 value) {
    for (int y = 0; y < height_; ++y) {
        quint32* line = row(y);
        std::fill(line, line + width_, value);
    }
}

Bitmap32 Bitmap32::copy(const QRect& area) const {
    const QRect cut = area & rect();
    if (cut.isEmpty()) return Bitmap32();
    Bitmap32 result(cut.width(), cut.height());
    result.copyFrom(*this, cut, QPoint(0, 0));
    return result;
}

void Bitmap32::copyFrom(const Bitmap32& source, const QRect& sourceArea, QPoint position) {
    QRect from = sourceArea & source.rect();
    if (from.isEmpty()) return;
    QRect to(position + (from.topLeft() - sourceArea.topLeft()), from.size());
    const QRect cut = to & rect();
    if (cut.isEmpty()) return;
    from.translate(cut.topLeft() - to.topLeft());
    for (int y = 0; y < cut.height(); ++y)
        std::memmove(row(cut.top() + y) + cut.left(), source.row(from.top() + y) + from.left(),
                     size_t(cut.width()) * 4);
}

QImage Bitmap32::image() {
    if (isNull()) return QImage();
    return QImage(bits_, width_, height_, bytesPerLine_, QImage::Format_ARGB32);
}

QImage Bitmap32::constImage() const {
    if (isNull()) return QImage();
    return QImage(static_cast<const uchar*>(bits_), width_, height_, bytesPerLine_,
                  QImage::Format_ARGB32);
}

bool Bitmap32::operator==(const Bitmap32& other) const {
    if (width_ != other.width_ || height_ != other.height_) return false;
    for (int y = 0; y < height_; ++y) {
        if (std::memcmp(row(y), other.row(y), size_t(width_) * 4) != 0) return false;
    }
    return true;
}
