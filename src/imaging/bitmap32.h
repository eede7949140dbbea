#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <stdexcept>

// An error of picture handling; its text is meant for the user.
class ImagingError : public std::runtime_error {
public:
    explicit ImagingError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The key pixel: magenta with alpha 0. Painting skips it or puts the parent's background there.
constexpr quint32 kKeyPixel = 0x00FF00FF;

// A 32-bit picture: rows of pixels, each four bytes blue, green, red, alpha (read as one
// 32-bit number it is 0xAARRGGBB). The memory is either owned or wraps someone else's rows;
// a copy always owns its memory.
class Bitmap32 {
public:
    // The largest picture made or decoded: sides up to 16384 pixels, 64 million pixels in all.
    static constexpr int MaxSide = 16384;
    static constexpr qint64 MaxPixels = qint64(64) << 20;

    Bitmap32() = default;
    // Owned memory, every pixel 0. Throws ImagingError for a size beyond the limits.
    Bitmap32(int width, int height);
    // Wraps rows that stay owned by the caller and must outlive the bitmap.
    static Bitmap32 wrap(uchar* bits, int width, int height, qsizetype bytesPerLine);
    // Takes over a picture, converted to 32 bits with alpha if it is not already.
    static Bitmap32 fromImage(const QImage& image);

    Bitmap32(const Bitmap32& other);
    Bitmap32& operator=(const Bitmap32& other);
    Bitmap32(Bitmap32&& other) noexcept;
    Bitmap32& operator=(Bitmap32&& other) noexcept;
    ~Bitmap32() = default;

    int width() const { return width_; }
    int height() const { return height_; }
    bool isNull() const { return width_ <= 0 || height_ <= 0; }
    QRect rect() const { return QRect(0, 0, width_, height_); }
    qsizetype bytesPerLine() const { return bytesPerLine_; }
    bool ownsMemory() const { return !image_.isNull() || isNull(); }

    quint32* row(int y) { return reinterpret_cast<quint32*>(bits_ + y * bytesPerLine_); }
    const quint32* row(int y) const {
        return reinterpret_cast<const quint32*>(bits_ + y * bytesPerLine_);
    }
    quint32 pixel(int x, int y) const { return row(y)[x]; }
    void setPixel(int x, int y, quint32 value) { row(y)[x] = value; }
    uchar* bits() { return bits_; }
    const uchar* bits() const { return bits_; }

    void fill(quint32 value);
    // An owned copy of part of the picture (cut to the picture).
    Bitmap32 copy(const QRect& area) const;
    // Copies the pixels of `source` into this picture at `position`, cut to both pictures.
    void copyFrom(const Bitmap32& source, const QRect& sourceArea, QPoint position);

    // A QImage (ARGB32, not premultiplied) over the same memory, for drawing text or
    // stretching with Qt. It must not outlive this bitmap.
    QImage image();
    QImage constImage() const;

    bool operator==(const Bitmap32& other) const;
    bool operator!=(const Bitmap32& other) const { return !(*this == other); }

private:
    void adopt(QImage image);

    QImage image_;  // the owned memory, or null when the rows are wrapped
    uchar* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    qsizetype bytesPerLine_ = 0;
};

// Checks a picture size against the limits; throws ImagingError naming `what` otherwise.
void checkBitmapSize(int width, int height, const QString& what);
