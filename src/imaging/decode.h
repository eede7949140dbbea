#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include "imaging/bitmap32.h"

// Decoding of the pictures skins are made of, through Qt's image readers (the system's
// libpng and libjpeg). Every picture comes out as a Bitmap32:
//  - a picture without an alpha channel gets alpha 255, except magenta pixels (FF00FF),
//    which become the key pixel 0x00FF00FF;
//  - a picture with an alpha channel keeps its alpha; a PNG pixel that is white with alpha 0
//    becomes all zero.
// A picture that cannot be decoded throws ImagingError with the decoder's message.

enum class PictureFormat { Bmp, Png, Jpeg };

// The largest picture file read: skins come from anywhere.
constexpr qint64 kMaxPictureFileSize = qint64(128) << 20;

// `name` is the picture's name as the skin gives it, for messages.
Bitmap32 decodePicture(const QByteArray& data, PictureFormat format, const QString& name);

// Reads a picture file whole; throws ImagingError when it cannot be read or is too large.
QByteArray readPictureFile(const QString& path);

// Applies the rules above to a picture fresh from a decoder.
Bitmap32 toSkinBitmap(const QImage& decoded, PictureFormat format);

// A JPEG picture kept compressed: only its header is read until it is painted. Large
// textures stay this way, so a big photograph costs its file size, not its pixels.
class JpegImage {
public:
    // Reads the header; throws ImagingError when the data is not a JPEG picture of
    // acceptable size.
    JpegImage(QByteArray data, const QString& name);

    int width() const { return size_.width(); }
    int height() const { return size_.height(); }
    const QByteArray& bytes() const { return data_; }
    const QString& name() const { return name_; }

    // The whole picture, alpha 255 except key pixels.
    Bitmap32 decode() const;
    // Fills `area` of `target` with copies of the picture side by side, the first one at the
    // area's top left corner, from a copy decoded for this call; cut to the target.
    void tile(Bitmap32& target, const QRect& area) const;

private:
    QByteArray data_;
    QString name_;
    QSize size_;
};
