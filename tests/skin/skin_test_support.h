#pragma once

// Skins made on the spot for the tests: a folder with a skin text and small pictures.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "skin/core/sSkinLoader.h"
#include "skin/core/sSkinText.h"

// A picture of the given size in one colour, encoded in `format` ("BMP", "PNG", "JPG").
inline QByteArray pictureBytes(int width, int height, const char* format,
                               QRgb colour = qRgb(40, 90, 200)) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class SkinFolder {
public:
    SkinFolder() { dir_.setAutoRemove(true); }

    QString path() const { return dir_.path() + u'/'; }

    void write(const QString& name, const QByteArray& bytes) const {
        const QString file = path() + name;
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
    }
    void picture(const QString& name, int width, int height, const char* format) const {
        write(name, pictureBytes(width, height, format));
    }

    // Loads `text` as a folder skin with the pictures written so far.
    TsSkinModel load(const QString& text, const QStringList& common = {}, int hue = 0,
                     int saturation = 0) const {
        TsSkinSource source;
        source.text = TsSkinText::parse(text.toUtf8());
        source.skinPath = path();
        source.commonSections = common;
        source.hueOffset = hue;
        source.saturation = saturation;
        TsSkinModel model;
        loadSkin(source, model);
        return model;
    }

private:
    QTemporaryDir dir_;
};

// The first image item with that section and key.
inline const TsMaskData& imageOf(const TsSkinModel& model, const QString& section,
                                 const QString& key) {
    static const TsMaskData none;
    const int index = model.FindImageInSection(section, key);
    return index >= 0 ? model.Images[index] : none;
}

inline const TsGeneralData& sectionOf(const TsSkinModel& model, const QString& name) {
    static const TsGeneralData none;
    const int index = model.FindSection(name);
    return index >= 0 ? model.Sections[index] : none;
}
