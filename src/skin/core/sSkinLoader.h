#pragma once

#include <QStringList>
#include <functional>

#include "skin/core/sSkinModel.h"
#include "skin/core/sSkinText.h"

class TsPackedSkin;

// Everything a skin is loaded from.
struct TsSkinSource {
    TsSkinText text;                          // the skin text; empty for a skin without one
    const TsPackedSkin* container = nullptr;  // the packed skin, or none for a folder skin
    // Folder image files are read from, with a trailing separator; for a packed skin, the
    // place of images the container does not hold.
    QString skinPath;
    QStringList commonSections;  // extra skin text merged into every skin
    int hueOffset = 0;
    int saturation = 0;
    TsSkinManager* manager = nullptr;  // the owner recorded in every image item
    // Called once the skin's version is read, before the sections are.
    std::function<void(double version)> checkVersion;
    // The memory all decoded pictures of the skin may take together; a skin whose pictures
    // need more is refused.
    qint64 pictureBudget = PictureBudget::DefaultBytes;
};

// Builds the model from the source: the image items, the textures, the sections (with the
// hue and saturation of the source applied) and the common indexes. Numbers of the text that
// could overflow the painting arithmetic or make windows and pictures of absurd size are
// bounded (TsSkinLimits). Throws ESkinError or ImagingError at the first fault, also when
// the pictures need more than the source's budget; `model` is then left partly filled, so
// callers load into a fresh model.
void loadSkin(const TsSkinSource& source, TsSkinModel& model);

// The image item one image reference of the skin text describes, or false when the value is
// not an image reference. `loadFile(name, bytes)` gives the bytes of the named picture, or
// false when there is no such file; it is asked only for "!" references and plain names.
// A picture decoded for the item is counted in the budget when one is given.
using TsFileSource = std::function<bool(const QString& name, QByteArray& bytes)>;
bool readImageReference(const QString& section, const QString& key, const QString& value,
                        const TsFileSource& loadFile, TsMaskData& item,
                        PictureBudget* budget = nullptr);

// The margins worked out from the size of an item: a third of a frame each way. Throws when
// the frame count or mask type leave nothing to divide by.
void computeMargins(TsMaskData& item, const QString& where);

// A gradient text: five words a piece (two colours, percentage, mode, one unused word),
// numbers read strictly.
TsGradArray parseGradient(const QString& text, const QString& where);
