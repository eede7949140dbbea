#pragma once

#include <QImage>
#include <QList>
#include <QSize>

// A list of pictures of one size, as the buttons of the family show them by state.
class TsImageList {
public:
    TsImageList() = default;
    explicit TsImageList(QSize size) : size_(size) {}

    QSize size() const { return size_; }
    int count() const { return int(images_.size()); }
    bool isValidIndex(int index) const { return index >= 0 && index < count(); }
    const QImage& image(int index) const { return images_[index]; }
    // Adds a picture, scaled to the list's size when it has another.
    void add(const QImage& image);
    // Whether the pictures carry their own transparency (an alpha image list).
    bool hasAlpha() const { return alpha_; }

private:
    QSize size_{16, 16};
    QList<QImage> images_;
    bool alpha_ = false;
};
