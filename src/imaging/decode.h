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

// The memory the decoded pictures of one skin may take together, so that many pictures, or
// one small picture named a thousand times, cannot take the machine's memory. Each picture
// is counted from its header, before anything is allocated for its pixels.
class PictureBudget {
public:
    static constexpr qint64 DefaultBytes = qint64(256) << 20;

    explicit PictureBudget(qint64 bytes = DefaultBytes) : limit_(bytes) {}

    // Counts a picture of width by height 32-bit pixels; throws ImagingError naming the
    // picture when the pictures counted before leave no room for it.
    void take(int width, int height, const QString& name);
    qint64 used() const { return used_; }
    qint64 limit() const { return limit_; }

private:
    qint64 limit_;
    qint64 used_ = 0;
};

// `name` is the picture's name as the skin gives it, for messages. With a budget, the
// picture is counted in it before it is decoded.
Bitmap32 decodePicture(const QByteArray& data, PictureFormat format, const QString& name,
                       PictureBudget* budget = nullptr);

// Reads a picture file whole; throws ImagingError when it cannot be read or is too large.
QByteArray readPictureFile(const QString& path);

// Applies the rules above to a picture fresh from a decoder.
Bitmap32 toSkinBitmap(const QImage& decoded, PictureFormat format);

// A JPEG picture kept compressed: only its header is read until it is first painted. Large
// textures stay this way, so a big photograph that is never shown costs its file size, not
// its pixels; once painted, its pixels are kept for every later paint.
class JpegImage {
public:
    // Reads the header; throws ImagingError when the data is not a JPEG picture of
    // acceptable size.
    JpegImage(QByteArray data, const QString& name);

    int width() const { return size_.width(); }
    int height() const { return size_.height(); }
    const QByteArray& bytes() const { return data_; }
    const QString& name() const { return name_; }

    // A fresh copy of the whole picture, alpha 255 except key pixels; counted in the budget
    // when one is given.
    Bitmap32 decode(PictureBudget* budget = nullptr) const;
    // The picture decoded on first use and kept; a null bitmap when its data turns out to be
    // damaged beyond the header (painting then leaves the area alone).
    const Bitmap32& picture() const;
    // Whether picture() has decoded it yet.
    bool isDecoded() const { return decoded_; }
    // Fills `area` of `target` with copies of the picture side by side, the first one at the
    // area's top left corner; cut to the target.
    void tile(Bitmap32& target, const QRect& area) const;

private:
    QByteArray data_;
    QString name_;
    QSize size_;
    // Painting happens on the user-interface thread only, so the kept picture needs no lock.
    mutable Bitmap32 picture_;
    mutable bool decoded_ = false;
};
