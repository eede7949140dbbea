#include "imaging/decode.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

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

Bitmap32 decodePicture(const QByteArray& data, PictureFormat format, const QString& name) {
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    prepare(reader, format);
    readSize(reader, format, name);
    QImage image;
    if (!reader.read(&image) || image.isNull()) fail(name, format, reader.errorString());
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

Bitmap32 JpegImage::decode() const {
    return decodePicture(data_, PictureFormat::Jpeg, name_);
}

void JpegImage::tile(Bitmap32& target, const QRect& area) const {
    const QRect cut = area & target.rect();
    if (cut.isEmpty()) return;
    const Bitmap32 picture = decode();
    if (picture.isNull()) return;
    for (int y = area.top(); y <= cut.bottom(); y += picture.height()) {
        if (y + picture.height() <= cut.top()) continue;
        for (int x = area.left(); x <= cut.right(); x += picture.width()) {
            if (x + picture.width() <= cut.left()) continue;
            const QRect piece = QRect(x, y, picture.width(), picture.height()) & cut;
            target.copyFrom(picture, piece.translated(-x, -y), piece.topLeft());
        }
    }
}
