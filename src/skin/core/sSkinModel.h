#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "imaging/bitmap32.h"
#include "imaging/decode.h"
#include "skin/core/sColors.h"

class TsSkinManager;

// One piece of a gradient: from Color1 to Color2 over Percent of the length, in Mode.
struct TsGradPiece {
    TColor Color1 = 0;
    TColor Color2 = 0;
    quint8 Percent = 0;
    qint32 Mode = 0;
    qint32 Reserved = 0;  // not filled
};
using TsGradArray = QList<TsGradPiece>;

// The look of a section in one state.
struct TsGenState {
    TColor Color = clWhite;
    // Text colour, then the contour colours left, top, right, bottom (-1: no contour).
    std::array<TColor, 5> FontColor{0, clNone, clNone, clNone, clNone};
    qint32 GradientPercent = 0;
    QString GradientData;
    TsGradArray GradientArray;
    qint32 ImagePercent = 0;
    TColor GlowColor = clWhite;
    quint8 GlowSize = 0;
    qint32 Transparency = 0;
};

// Corners of a section, in the order of the indexes kept for them.
enum TsCorner { ctTopLeft, ctTopRight, ctBottomLeft, ctBottomRight };

// One section of the skin text with every section key read (parents followed).
struct TsGeneralData {
    QString ParentClass;
    QString ClassName;
    qint32 States = 4;
    std::array<TsGenState, 2> Props;  // 0 normal, 1 hot
    bool GiveOwnFont = false;
    bool ReservedBoolean = false;
    bool ShowFocus = false;
    qint32 GlowCount = 0;  // GLOW
    qint32 GlowMargin = 0;
    qint32 BorderIndex = -1;
    std::array<qint32, 4> ImgCorners{-1, -1, -1, -1};  // TsCorner order
    TColor Color = clWhite;
    qint32 Transparency = 0;
    qint32 GradientPercent = 0;
    QString GradientData;
    TsGradArray GradientArray;
    qint32 ImagePercent = 0;
    std::array<TColor, 5> FontColor{0, clNone, clNone, clNone, clNone};
    TColor HotColor = clWhite;
    qint32 HotTransparency = 0;
    qint32 HotGradientPercent = 0;
    QString HotGradientData;
    TsGradArray HotGradientArray;
    qint32 HotImagePercent = 0;
    std::array<TColor, 5> HotFontColor{0, clNone, clNone, clNone, clNone};
    bool FadingEnabled = false;
    qint32 FadingIterations = 5;
    TColor HotGlowColor = clWhite;
    TColor GlowColor = clWhite;
    quint8 HotGlowSize = 0;
    quint8 GlowSize = 0;
};
using TsGeneralDataArray = QList<TsGeneralData>;

// Bounds of the numbers a skin text gives, applied as the skin loads: a skin is a file from
// anywhere, and no value in it may overflow the painting arithmetic or ask for windows and
// pictures of absurd size. Skins as they are made lie far inside these bounds and load
// exactly as written.
struct TsSkinLimits {
    // Rectangle coordinates, either way: no picture is wider than Bitmap32::MaxSide, so a
    // rectangle reaching this far is never drawn, and sums of a few such numbers fit an int.
    static constexpr qint32 Coordinate = 1 << 24;
    // Pixel sizes and offsets of the window frame, the title and its buttons, either way.
    static constexpr qint32 FrameMetric = 1024;
    // How far a glow reaches beyond its control, either way, and how wide a glow is.
    static constexpr qint32 GlowMargin = 255;
    static constexpr qint32 GlowSize = 255;
    // States of a section: no image item has more frames than a 16-bit count.
    static constexpr qint32 States = 0x7FFF;
    // Steps of a fade between two states.
    static constexpr qint32 FadingIterations = 100;
    // How many parents a section's keys and images are looked for in: skins nest a few
    // levels deep, and a longer chain would make every look-up as slow as the skin is long.
    static constexpr qint32 ParentDepth = 8;
    // Sections and image items of one skin: skins have a few hundred of each, and every
    // look-up and every loading step grows with them.
    static constexpr qint32 Sections = 2048;
    static constexpr qint32 Images = 16384;
};

// A rectangle as left, top, right, bottom (right and bottom exclusive).
struct TsRect {
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;
    qint32 Bottom = 0;
    qint32 width() const { return Right - Left; }
    qint32 height() const { return Bottom - Top; }
    bool operator==(const TsRect&) const = default;
};

// Kinds of image items.
enum TsImageKind : quint8 { itBorder = 0, itTexture = 1, itGlyph = 2 };

// One image item: a border, texture or glyph, in its own bitmap or in the master bitmap.
struct TsMaskData {
    std::unique_ptr<Bitmap32> Bmp;  // own image; none when the item lies in the master bitmap
    QString ClassName;              // section
    QString PropertyName;           // key
    TsRect R;
    qint16 ImageCount = 0;  // frames side by side, one per state
    // -1: no height; 0: all image; 1: upper half image, lower half mask; n > 1: n + 1 rows.
    qint16 MaskType = 0;
    qint16 BorderWidth = 0;
    qint16 DrawMode = 0;
    quint8 ImgType = itBorder;
    TsSkinManager* Manager = nullptr;
    qint16 WL = 0;  // margins: widths of the fixed outer parts
    qint16 WT = 0;
    qint16 WR = 0;
    qint16 WB = 0;
};
using TsMaskArray = std::vector<TsMaskData>;

// A JPEG texture too large to expand at load time.
struct TsPatternData {
    std::unique_ptr<JpegImage> Img;
    QString ClassName;     // upper-cased
    QString PropertyName;  // upper-cased
};
using TsPatternArray = std::vector<TsPatternData>;

// What the GLOBALINFO section says of the skin as a whole.
struct TsSkinData {
    QString SkinPath;  // folder image files are read from, with a trailing separator
    bool Active = false;
    double Version = 0;
    QString Author;
    QString Description;
    qint16 BorderWidth = 4;
    qint16 TitleHeight = 30;
    qint16 MaxTitleHeight = 30;
    qint16 FormOffset = 4;
    qint16 AlignOffset = 0;
    qint16 CenterOffset = 0;
    qint16 BorderMode = 0;
    TColor Shadow1Color = 0;
    qint16 Shadow1Offset = 0;
    qint16 Shadow1Blur = -1;
    qint16 Shadow1Transparency = 0;
    qint16 BISpacing = 0;
    qint16 BIVAlign = 0;
    qint16 BIRightMargin = 0;
    qint16 BILeftMargin = 0;
    qint16 BITopMargin = 0;
    TColor BorderColor = 0;
    qint16 BIKeepHUE = 0;
    qint16 BICloseGlow = 0;
    qint16 BICloseGlowMargin = 0;
    qint16 BIMaxGlow = 0;
    qint16 BIMaxGlowMargin = 0;
    qint16 BIMinGlow = 0;
    qint16 BIMinGlowMargin = 0;
};

// Indexes of often-used sections and images, worked out once per skin (-1: not found).
struct TsCommonIndexes {
    qint16 GlobalInfo = -1;
    qint16 CheckBoxChecked = -1;
    qint16 CheckBoxUnChecked = -1;
    qint16 CheckBoxGrayed = -1;
    qint16 RadioButtonChecked = -1;
    qint16 RadioButtonUnChecked = -1;
    qint16 RadioButtonGrayed = -1;
    qint16 SmallBoxChecked = -1;
    qint16 SmallBoxUnChecked = -1;
    qint16 SmallBoxGrayed = -1;
    qint16 ExBorder = -1;

    qint16 ComboBtn = -1;
    qint16 ComboBtnBorder = -1;
    qint16 ComboBtnTexture = -1;
    qint16 ComboBtnHotTexture = -1;
    qint16 ComboGlyph = -1;

    struct Tab {
        qint16 Section = -1;
        qint16 Border = -1;
    };
    std::array<Tab, 4> Tabs;  // top, bottom, left, right

    struct Part {
        qint16 Section = -1;
        qint16 Border = -1;
        qint16 Glyph = -1;
        qint16 Texture = -1;
        qint16 HotTexture = -1;
    };
    std::array<Part, 4> ScrollButtons;  // top, bottom, left, right
    std::array<Part, 2> ScrollSliders;  // vertical, horizontal
    std::array<Part, 4> ScrollBars;     // 1H, 1V, 2H, 2V (no glyph)

    // Every index with its name, for tools and tests.
    void forEach(const std::function<void(const QString&, int)>& visit) const;
};

// The loaded skin: sections, image items, large textures, the master bitmap, the skin's
// global values and the common indexes. Lookups answer indexes into these arrays.
class TsSkinModel {
public:
    TsGeneralDataArray Sections;
    TsMaskArray Images;
    TsPatternArray Patterns;
    Bitmap32 MasterBitmap;
    TsSkinData SkinData;
    TsCommonIndexes Common;

    void clear();

    // Index of the first section with exactly that name, or -1.
    int FindSection(const QString& name) const;
    // The image item for (section, key), following the section's parents; -1 when none.
    int FindImage(int sectionIndex, const QString& sectionName, const QString& key) const;
    // The first item with exactly that section and key; parents are not followed.
    int FindImageInSection(const QString& sectionName, const QString& key) const;
    // As FindImage, counting only textures.
    int FindTexture(int sectionIndex, const QString& sectionName, const QString& key) const;
    // As FindImage, over the large textures.
    int FindLargeTexture(int sectionIndex, const QString& sectionName, const QString& key) const;

    bool IsValidSection(int index) const { return index >= 0 && index < Sections.size(); }
    bool IsValidImage(int index) const { return index >= 0 && size_t(index) < Images.size(); }

    static int FrameWidth(const TsMaskData& item);
    static int FrameHeight(const TsMaskData& item);
    int LeftMargin(int imageIndex) const;
    int BottomMargin(int imageIndex) const;

    // Colours the windows ask for, as RGB.
    TColor FormColor() const;
    TColor GlobalFontColor() const;
    TColor GlobalHotColor() const;
    TColor EditFontColor() const;
    TColor SelectionColor(bool hot) const;
    TColor SelectionTextColor(bool hot) const;

    // Works out the common indexes and the border and corner indexes of every section.
    void IndexCommonItems();
    // The border and corner indexes of every section but GLOBALINFO.
    void IndexSectionImages();
    // Look-ups index the arrays when their sizes change; after names were changed in place,
    // or the arrays refilled to the same sizes, this makes them index afresh.
    void reindex();

private:
    template <class Match>
    int findWithParents(int sectionIndex, const QString& sectionName, Match match) const;

    // Hash indexes over the arrays, built on the first look-up after they grew or shrank
    // (loading fills them once), so that no look-up walks a whole skin.
    struct Lookups {
        qsizetype sections = -1;
        size_t images = 0;
        size_t patterns = 0;
        QHash<QString, int> section;  // name -> first section
        QHash<QString, int> image;    // section and key -> first item
        QHash<QString, int> texture;  // section and key -> first texture item
        QHash<QString, int> pattern;  // section and key -> first large texture
    };
    const Lookups& lookups() const;
    mutable Lookups lookups_;
};
