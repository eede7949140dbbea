#include "imaging/decode.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>

namespace {

const char* formatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp:
            return "bmp";
        case PictureFormat::Png:
            return "png";
        case PictureFormat::Jpeg:
            return "jpeg";
    }
    return "";
}

QString formatTitle(PictureFormat format) {
    return QString::fromLatin1(formatName(format)).toUpper();
}

[[noreturn]] void fail(const QString& name, PictureFormat format, const QString& why) {
    throw ImagingError(QStringLiteral("The picture %1 cannot be decoded as %2: %3")
                           .arg(name, formatTitle(format), why));
}

// Reads the header only and checks the size against the limits.
QSize readSize(QImageReader& reader, PictureFormat format, const QString& name) {
    if (!reader.canRead()) fail(name, format, reader.errorString());
    const QSize size = reader.size();
    if (!size.isValid()) fail(name, format, reader.errorString());
    checkBitmapSize(size.width(), size.height(), name);
    return size;
}

void prepare(QImageReader& reader, PictureFormat format) {
    reader.setFormat(formatName(format));
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
}

}  // namespace

Bitmap32 toSkinBitmap(const QImage& decoded, PictureFormat format) {
    if (decoded.isNull()) return Bitmap32();
    if (!decoded.hasAlphaChannel()) {
        // RGB32 has the memory layout of ARGB32 with every alpha byte 255.
        QImage opaque = decoded.convertToFormat(QImage::Format_RGB32);
        opaque.reinterpretAsFormat(QImage::Format_ARGB32);
        Bitmap32 result = Bitmap32::fromImage(opaque);
        for (int y = 0; y < result.height(); ++y) {
            quint32* pixel = result.row(y);
            for (int x = 0; x < result.width(); ++x) {
                if ((pixel[x] & 0x00FFFFFF) == 0x00FF00FF) pixel[x] = kKeyPixel;
            }
        }
        return result;
    }
    Bitmap32 result = Bitmap32::fromImage(decoded);
    if (format == PictureFormat::Png) {
        for (int y = 0; y < result.height(); ++y) {
            quint32* pixel = result.row(y);
            for (int x = 0; x < result.width(); ++x) {
                if (pixel[x] == 0x00FFFFFF) pixel[x] = 0;
            }
        }
    }
    return result;
}

void PictureBudget::take(int width, int height, const QString& name) {
    const qint64 bytes = qint64(std::max(width, 0)) * std::max(height, 0) * 4;
    if (bytes <= limit_ - used_) {
        used_ += bytes;
        return;
    }
    constexpr qint64 mebibyte = qint64(1) << 20;
    const QString amount = limit_ % mebibyte == 0 ? QStringLiteral("%1 MiB").arg(limit_ / mebibyte)
                                                  : QStringLiteral("%1 bytes").arg(limit_);
    throw ImagingError(QStringLiteral("The pictures of the skin need more than %1 of memory; the "
                                      "picture %2 (%3 by %4 pixels) does not fit")
                           .arg(amount)
                           .arg(name)
                           .arg(width)
                           .arg(height));
}

Bitmap32 decodePicture(const QByteArray& data, PictureFormat format, const QString& name,
                       PictureBudget* budget) {
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    prepare(reader, format);
    const QSize size = readSize(reader, format, name);
    if (budget) budget->take(size.width(), size.height(), name);
    QImage image;
    if (!reader.read(&image) || image.isNull()) fail(name, format, reader.errorString());
    // The pixels counted are those the header promised; a decoder giving more is not trusted.
    if (image.width() > size.width() || image.height() > size.height())
        fail(name, format, QStringLiteral("the picture is larger than its header says"));
    return toSkinBitmap(image, format);
}

QByteArray readPictureFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ImagingError(
            QStringLiteral("The picture %1 cannot be read: %2").arg(path, file.errorString()));
    if (file.size() > kMaxPictureFileSize)
        throw ImagingError(QStringLiteral("The picture %1 is too large").arg(path));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ImagingError(
            QStringLiteral("The picture %1 cannot be read: %2").arg(path, file.errorString()));
    return bytes;
}

JpegImage::JpegImage(QByteArray data, const QString& name) : data_(std::move(data)), name_(name) {
    QBuffer buffer(&data_);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    prepare(reader, PictureFormat::Jpeg);
    size_ = readSize(reader, PictureFormat::Jpeg, name_);
}

Bitmap32 JpegImage::decode(PictureBudget* budget) const {
    return decodePicture(data_, PictureFormat::Jpeg, name_, budget);
}

const Bitmap32& JpegImage::picture() const {
    if (!decoded_) {
        decoded_ = true;
        try {
            picture_ = decode();
        } catch (const ImagingError&) {
            // The header was sound when the skin loaded; a picture damaged further in is
            // simply not painted, and not tried again.
            picture_ = Bitmap32();
        }
    }
    return picture_;
}

void JpegImage::tile(Bitmap32& target, const QRect& area) const {
    const QRect cut = area & target.rect();
    if (cut.isEmpty()) return;
    const Bitmap32& tile = picture();
    if (tile.isNull()) return;
    const int w = tile.width();
    const int h = tile.height();
    // The first tile that reaches into the cut, counted from the area's corner.
    const int top = area.top() + (cut.top() - area.top()) / h * h;
    const int left = area.left() + (cut.left() - area.left()) / w * w;
    for (int y = top; y <= cut.bottom(); y += h) {
        for (int x = left; x <= cut.right(); x += w) {
            const QRect piece = QRect(x, y, w, h) & cut;
            target.copyFrom(tile, piece.translated(-x, -y), piece.topLeft());
        }
    }
}
