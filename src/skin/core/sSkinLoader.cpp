#include "skin/core/sSkinLoader.h"

#include <QFileInfo>
#include <QRegion>
#include <cmath>

#include "imaging/decode.h"
#include "platform/paths.h"
#include "skin/core/sPackedSkin.h"
#include "skin/core/sSkinError.h"

namespace {

const QString kGlobalInfo = QStringLiteral("GLOBALINFO");
const QString kMasterBitmap = QStringLiteral("MASTERBITMAP");
constexpr qint64 kLargeTexturePixels = 899999;

void applyHueAndSaturation(const TsSkinSource& source, TsSkinModel& model);

QString where(const QString& section, const QString& key) {
    return QStringLiteral("section %1, key %2").arg(section, key);
}

// Fixed columns of a reference, counted from 1; spaces around the number are allowed.
qint32 column(const QString& value, int from, int to, const QString& place) {
    return strictSkinInt(QStringView(value).mid(from - 1, to - from + 1).trimmed(), place);
}

// ---- where pictures come from ------------------------------------------------------------

class Files {
public:
    Files(const TsSkinSource& source, PictureBudget& budget) : source_(source), budget_(budget) {}

    // Every picture of the skin is counted in one budget as it is decoded.
    PictureBudget& budget() const { return budget_; }

    // A picture named by the skin: a container member first (for a packed skin), then a
    // file beside the skin.
    bool load(const QString& name, QByteArray& bytes) const {
        if (source_.container) {
            if (const TsPackedSkin::Member* member = source_.container->findImage(name)) {
                bytes = member->data;
                return true;
            }
        }
        return loadFromFolder(name, bytes);
    }

    // A picture named by the common sections: always a file beside the skin.
    bool loadFromFolder(const QString& name, QByteArray& bytes) const {
        // A name with a NUL character in it names no file.
        if (name.isEmpty() || name.contains(QChar(0))) return false;
        const bool absolute = name.startsWith(u'/') || name.contains(u':');
        const QString path = localPath(absolute ? name : source_.skinPath + name);
        const QFileInfo info(path);
        if (!info.isFile()) return false;
        bytes = readPictureFile(path);
        return true;
    }

    TsFileSource source() const {
        return [this](const QString& name, QByteArray& bytes) { return load(name, bytes); };
    }

private:
    const TsSkinSource& source_;
    PictureBudget& budget_;
};

// ---- image items --------------------------------------------------------------------------

void wholeImage(TsMaskData& item) {
    item.R = TsRect{0, 0, item.Bmp->width(), item.Bmp->height()};
}

bool readOwnFile(const QString& section, const QString& key, const QString& value,
                 const TsFileSource& loadFile, PictureBudget* budget, TsMaskData& item) {
    const QString name = nthWord(1, value, u"!");
    const bool bitmap = name.contains(QStringLiteral(".BMP"));
    if (!bitmap && !name.contains(QStringLiteral(".PNG"))) return false;
    QByteArray bytes;
    if (!loadFile(name, bytes)) return false;
    Bitmap32 picture =
        decodePicture(bytes, bitmap ? PictureFormat::Bmp : PictureFormat::Png, name, budget);
    if (picture.width() == 0) return false;
    item.Bmp = std::make_unique<Bitmap32>(std::move(picture));
    item.ClassName = section;
    item.PropertyName = key;
    wholeImage(item);
    const QStringList words = [&] {
        QStringList result;
        for (QStringView word : splitWords(value, u"!"))
            result.append(word.toString());
        return result;
    }();
    const auto word = [&words](int n) {
        return n <= words.size() ? skinIntOr(words[n - 1], 0) : 0;
    };
    item.ImageCount = qint16(word(2));
    item.MaskType = qint16(word(3));
    item.ImgType = quint8(std::clamp(word(4), 0, 4));
    if (words.size() < 5) {
        computeMargins(item, where(section, key));
    } else {
        item.WL = qint16(word(5));
        item.WT = qint16(word(6));
        item.WR = qint16(word(7));
        item.WB = qint16(word(8));
    }
    item.DrawMode = qint16(words.size() >= 9 ? word(9) : 1);
    return true;
}

void readMasterRect(const QString& value, const QString& place, TsMaskData& item) {
    item.R = TsRect{column(value, 2, 5, place), column(value, 7, 10, place),
                    column(value, 12, 15, place), column(value, 17, 20, place)};
}

void readGlyph(const QString& value, const QString& place, TsMaskData& item) {
    readMasterRect(value, place, item);
    item.ImageCount = qint16(column(value, 22, 22, place));
    item.MaskType = qint16(column(value, 24, 24, place));
    item.ImgType = itGlyph;
}

void readMasterBorder(const QString& value, const QString& place, TsMaskData& item) {
    readMasterRect(value, place, item);
    item.WL = qint16(column(value, 22, 25, place));
    item.WT = qint16(column(value, 27, 30, place));
    item.WR = qint16(column(value, 32, 35, place));
    item.WB = qint16(column(value, 37, 40, place));
    item.ImageCount = qint16(column(value, 42, 42, place));
    item.MaskType = qint16(column(value, 44, 44, place));
    item.DrawMode = qint16(column(value, 46, 46, place));
    item.BorderWidth = qint16(column(value, 48, 48, place));
    item.ImgType = itBorder;
    if (item.WL == 0 && item.WT == 0 && item.WR == 0 && item.WB == 0) {
        if (item.BorderWidth != 0)
            item.WL = item.WT = item.WR = item.WB = item.BorderWidth;
        else
            computeMargins(item, place);
    }
}

void readMasterTexture(const QString& value, const QString& place, TsMaskData& item) {
    readMasterRect(value, place, item);
    item.DrawMode = qint16(column(value, 22, 23, place));
    item.MaskType = qint16(value.size() >= 25 ? column(value, 25, 25, place) : 0);
    item.ImgType = itTexture;
    item.ImageCount = 1;
}

// "#(left,top,right,bottom) (frames,mask type,border width,draw mode)"
void readWordBorder(const QString& value, const QString& place, TsMaskData& item) {
    const QString rect = nthWord(2, value, u" ()");
    const QString options = nthWord(3, value, u" ()");
    const QList<QStringView> r = splitWords(rect, u" ,");
    const auto number = [](const QList<QStringView>& words, int i) {
        return i < words.size() ? skinIntOr(words[i], 0) : 0;
    };
    // The only rectangle written with numbers of any size; the others have four digits.
    const auto coordinate = [&](int i) {
        return std::clamp(number(r, i), -TsSkinLimits::Coordinate, TsSkinLimits::Coordinate);
    };
    item.R = TsRect{coordinate(0), coordinate(1), coordinate(2), coordinate(3)};
    const QList<QStringView> o = splitWords(options, u" ,");
    item.ImageCount = qint16(std::max(number(o, 0), 1));
    item.MaskType = qint16(std::max(number(o, 1), 0));
    item.BorderWidth = qint16(o.size() > 2 ? std::max(strictSkinInt(o[2], place), 0) : 0);
    item.DrawMode = qint16(o.size() > 3 ? strictSkinInt(o[3], place) : 1);
    item.ImgType = itBorder;
    if (item.BorderWidth != 0)
        item.WL = item.WT = item.WR = item.WB = item.BorderWidth;
    else
        computeMargins(item, place);
}

bool readPlainFile(const QString& section, const QString& key, const QString& value,
                   const TsFileSource& loadFile, PictureBudget* budget, TsMaskData& item) {
    const QString name = value.toUpper();
    if (!name.contains(QStringLiteral(".BMP"))) return false;
    QByteArray bytes;
    if (!loadFile(name, bytes)) return false;
    Bitmap32 picture = decodePicture(bytes, PictureFormat::Bmp, name, budget);
    if (picture.width() == 0) return false;
    item.Bmp = std::make_unique<Bitmap32>(std::move(picture));
    item.ClassName = section.toUpper();
    item.PropertyName = key.toUpper();
    wholeImage(item);
    item.ImageCount = 3;
    item.MaskType = 1;
    item.ImgType = itBorder;
    computeMargins(item, where(section, key));
    return true;
}

// ---- reading keys with inheritance ----------------------------------------------------------

class SectionReader {
public:
    explicit SectionReader(const TsSkinText& text) : text_(text) {}

    // The value of the key in the section or the nearest parent that has it, or null.
    // `missing` tells a value that does not count.
    template <class Missing>
    const QString* find(int section, const QString& key, Missing missing) const {
        // A chain that runs in a circle, or deeper than skins nest, ends the search: the key
        // is missing.
        const int depth = std::min(text_.sectionCount(), TsSkinLimits::ParentDepth + 1);
        for (int step = 0; step < depth && section >= 0; ++step) {
            const QString* value = text_.value(section, key);
            if (value && !missing(*value)) return value;
            const QString* parent = text_.value(section, QStringLiteral("PARENTCLASS"));
            if (!parent || parent->isEmpty() || *parent == QLatin1String("?") ||
                *parent == text_.section(section).name)
                return nullptr;
            section = text_.findSection(*parent);
        }
        return nullptr;
    }

    QString string(int section, const QString& key, const QString& fallback) const {
        const QString* value =
            find(section, key, [](const QString& v) { return v == QLatin1String("?"); });
        return value ? *value : fallback;
    }

    qint32 integer(int section, const QString& key, qint32 fallback) const {
        const QString* value = find(section, key, [](const QString& v) {
            qint32 n;
            return !parseSkinInt(v, n) || n == -1;
        });
        return value ? ColorToRGB(skinIntOr(*value, fallback)) : fallback;
    }

    bool boolean(int section, const QString& key) const {
        return isTrue(string(section, key, QString()));
    }

    static bool isTrue(const QString& text) {
        const QString upper = text.toUpper();
        return upper == QLatin1String("1") || upper == QLatin1String("TRUE");
    }

private:
    const TsSkinText& text_;
};

// The section keys, read from anything that answers a key (with its fallback).
template <class Source>
void readSectionKeys(const Source& read, TsGeneralData& d, bool readHot) {
    d.Color = read.integer("COLOR", d.Color);
    d.ReservedBoolean = read.boolean("RESERVEDBOOLEAN", d.ReservedBoolean);
    d.GiveOwnFont = read.boolean("GIVEOWNFONT", d.GiveOwnFont);
    d.GlowCount = read.integer("GLOW", d.GlowCount);
    d.GlowMargin = std::clamp(read.integer("GLOWMARGIN", d.GlowMargin), -TsSkinLimits::GlowMargin,
                              TsSkinLimits::GlowMargin);
    d.FontColor[0] = read.integer("FONTCOLOR", d.FontColor[0]);
    d.FontColor[1] = read.integer("TCLEFT", d.FontColor[1]);
    d.FontColor[2] = read.integer("TCTOP", d.FontColor[2]);
    d.FontColor[3] = read.integer("TCRIGHT", d.FontColor[3]);
    d.FontColor[4] = read.integer("TCBOTTOM", d.FontColor[4]);
    d.Transparency = read.integer("TRANSPARENCY", d.Transparency);
    d.GradientPercent = read.integer("GRADIENTPERCENT", d.GradientPercent);
    d.ImagePercent = read.integer("IMAGEPERCENT", d.ImagePercent);
    d.GradientData = read.string("GRADIENTDATA", d.GradientData);
    d.ShowFocus = read.boolean("SHOWFOCUS", d.ShowFocus);
    d.FadingEnabled = read.boolean("FADINGENABLED", d.FadingEnabled);
    d.FadingIterations = std::clamp(read.integer("FADINGITERATIONS", d.FadingIterations), 0,
                                    TsSkinLimits::FadingIterations);
    d.GlowColor = read.integer("GCOL", d.GlowColor);
    d.GlowSize = quint8(read.integer("GSIZE", d.GlowSize));
    if (!readHot) return;
    d.HotFontColor[0] = read.integer("HOTFONTCOLOR", d.HotFontColor[0]);
    d.HotFontColor[1] = read.integer("HOTTCLEFT", d.HotFontColor[1]);
    d.HotFontColor[2] = read.integer("HOTTCTOP", d.HotFontColor[2]);
    d.HotFontColor[3] = read.integer("HOTTCRIGHT", d.HotFontColor[3]);
    d.HotFontColor[4] = read.integer("HOTTCBOTTOM", d.HotFontColor[4]);
    d.HotGlowColor = read.integer("HGCOL", d.HotGlowColor);
    d.HotGlowSize = quint8(read.integer("HGSIZE", d.HotGlowSize));
    d.HotColor = read.integer("HOTCOLOR", d.HotColor);
    d.HotTransparency = read.integer("HOTTRANSPARENCY", d.HotTransparency);
    d.HotGradientPercent = read.integer("HOTGRADIENTPERCENT", d.HotGradientPercent);
    d.HotGradientData = read.string("HOTGRADIENTDATA", d.HotGradientData);
    d.HotImagePercent = read.integer("HOTIMAGEPERCENT", d.HotImagePercent);
}

// Keys of one section of the skin text, parents followed.
struct TextKeys {
    const SectionReader& reader;
    int section;
    qint32 integer(const char* key, qint32 fallback) const {
        return reader.integer(section, QLatin1String(key), fallback);
    }
    bool boolean(const char* key, bool) const {
        return reader.boolean(section, QLatin1String(key));
    }
    QString string(const char* key, const QString& fallback) const {
        return reader.string(section, QLatin1String(key), fallback);
    }
};

// Keys of one common section; a key it does not give keeps the value already there (the
// parent's, or the default).
struct CommonKeys {
    const TsSkinText& text;
    int section;
    const QString* raw(const char* key) const { return text.value(section, QLatin1String(key)); }
    qint32 integer(const char* key, qint32 fallback) const {
        const QString* value = raw(key);
        qint32 n;
        if (!value || !parseSkinInt(*value, n) || n == -1) return fallback;
        return ColorToRGB(n);
    }
    bool boolean(const char* key, bool fallback) const {
        const QString* value = raw(key);
        return value && *value != QLatin1String("?") ? SectionReader::isTrue(*value) : fallback;
    }
    QString string(const char* key, const QString& fallback) const {
        const QString* value = raw(key);
        return value && *value != QLatin1String("?") ? *value : fallback;
    }
};

// The state records from the flat fields; GRADIENTPERCENT counts only with a gradient.
void buildStates(TsGeneralData& d, bool hotFromKeys, const QString& place) {
    if (d.GradientData.size() < 2) d.GradientPercent = 0;
    d.GradientArray = parseGradient(d.GradientData, place);
    TsGenState& normal = d.Props[0];
    normal.Color = d.Color;
    normal.FontColor = d.FontColor;
    normal.GradientPercent = d.GradientPercent;
    normal.GradientData = d.GradientData;
    normal.GradientArray = d.GradientArray;
    normal.ImagePercent = d.ImagePercent;
    normal.GlowColor = d.GlowColor;
    normal.GlowSize = d.GlowSize;
    normal.Transparency = d.Transparency;
    if (!hotFromKeys) {
        d.Props[1] = normal;
        return;
    }
    if (d.HotGradientData.size() < 2) d.HotGradientPercent = 0;
    d.HotGradientArray = parseGradient(d.HotGradientData, place);
    TsGenState& hot = d.Props[1];
    hot.Color = d.HotColor;
    hot.FontColor = d.HotFontColor;
    hot.GradientPercent = d.HotGradientPercent;
    hot.GradientData = d.HotGradientData;
    hot.GradientArray = d.HotGradientArray;
    hot.ImagePercent = d.HotImagePercent;
    hot.GlowColor = d.HotGlowColor;
    hot.GlowSize = d.HotGlowSize;
    hot.Transparency = d.HotTransparency;
}

TsGeneralData defaultSection() {
    TsGeneralData d;
    d.GradientData = QStringLiteral(" ");
    return d;
}

// ---- the loading steps ---------------------------------------------------------------------

// Adds an image item, refusing a skin with more of them than any skin needs.
void addImage(TsSkinModel& model, TsMaskData&& item) {
    if (model.Images.size() >= size_t(TsSkinLimits::Images))
        throw ESkinError(QStringLiteral("The skin names more than %1 pictures and picture parts")
                             .arg(TsSkinLimits::Images));
    model.Images.push_back(std::move(item));
}

void loadImageItems(const TsSkinSource& source, const Files& files, TsSkinModel& model) {
    model.Images.clear();
    model.reindex();
    model.MasterBitmap = Bitmap32();
    const TsSkinText& text = source.text;

    const QString master = text.readString(kGlobalInfo, kMasterBitmap);
    QByteArray bytes;
    if (!master.isEmpty() && files.load(master, bytes))
        model.MasterBitmap = decodePicture(bytes, PictureFormat::Bmp, master, &files.budget());

    const TsFileSource loadFile = files.source();
    for (int s = 0; s < text.sectionCount(); ++s) {
        const TsSkinText::Section& section = text.section(s);
        const bool global = section.name == kGlobalInfo;
        for (const TsSkinText::Pair& pair : section.pairs) {
            if (global && pair.key == kMasterBitmap) continue;
            TsMaskData item;
            if (!readImageReference(section.name, pair.key, pair.value, loadFile, item,
                                    &files.budget()))
                continue;
            item.Manager = source.manager;
            addImage(model, std::move(item));
        }
    }

    if (source.commonSections.isEmpty()) return;
    const TsSkinText common = TsSkinText::parseCommon(source.commonSections);
    for (int s = 0; s < common.sectionCount(); ++s) {
        const TsSkinText::Section& section = common.section(s);
        if (section.name.compare(kGlobalInfo, Qt::CaseInsensitive) == 0) continue;
        for (const TsSkinText::Pair& pair : section.pairs) {
            const QString& value = pair.value;
            TsMaskData item;
            item.ClassName = section.name.toUpper();
            item.PropertyName = pair.key.toUpper();
            item.Manager = source.manager;
            if (!value.contains(u'#') || model.MasterBitmap.isNull()) {
                if (!value.toUpper().contains(QStringLiteral(".BMP"))) continue;
                if (!files.loadFromFolder(value, bytes)) continue;
                Bitmap32 picture = decodePicture(bytes, PictureFormat::Bmp, value, &files.budget());
                if (picture.width() == 0) continue;
                item.Bmp = std::make_unique<Bitmap32>(std::move(picture));
                wholeImage(item);
                item.ImageCount = 0;
            } else {
                readWordBorder(value, where(section.name, pair.key), item);
            }
            addImage(model, std::move(item));
        }
    }
}

void addTexture(const QString& section, const QString& key, QByteArray bytes, bool alwaysLarge,
                const QString& name, TsSkinModel& model, const Files& files,
                TsSkinManager* manager) {
    auto jpeg = std::make_unique<JpegImage>(std::move(bytes), name);
    if (jpeg->width() == 0) return;
    if (alwaysLarge || qint64(jpeg->width()) * jpeg->height() > kLargeTexturePixels) {
        // Kept compressed until first painted, then kept decoded: its pixels are counted now,
        // so a skin too large is refused here rather than failing when painted.
        files.budget().take(jpeg->width(), jpeg->height(), name);
        model.Patterns.push_back(TsPatternData{std::move(jpeg), section, key});
        return;
    }
    TsMaskData item;
    item.Bmp = std::make_unique<Bitmap32>(jpeg->decode(&files.budget()));
    item.ClassName = section;
    item.PropertyName = key;
    item.ImageCount = 1;
    item.ImgType = itTexture;
    item.Manager = manager;
    addImage(model, std::move(item));
}

bool namesJpeg(const QString& upper) {
    return upper.contains(QStringLiteral(".JPG")) || upper.contains(QStringLiteral(".JPEG"));
}

void loadTextures(const TsSkinSource& source, const Files& files, TsSkinModel& model) {
    model.Patterns.clear();
    model.reindex();
    const TsSkinText& text = source.text;
    QByteArray bytes;
    for (int s = 0; s < text.sectionCount(); ++s) {
        const TsSkinText::Section& section = text.section(s);
        for (const TsSkinText::Pair& pair : section.pairs) {
            const QString name = pair.value.toUpper();
            if (!namesJpeg(name) || !files.load(name, bytes)) continue;
            addTexture(section.name.toUpper(), pair.key.toUpper(), bytes, false, name, model, files,
                       source.manager);
        }
    }
    if (source.commonSections.isEmpty()) return;
    const TsSkinText common = TsSkinText::parseCommon(source.commonSections);
    for (int s = 0; s < common.sectionCount(); ++s) {
        const TsSkinText::Section& section = common.section(s);
        for (const TsSkinText::Pair& pair : section.pairs) {
            if (!namesJpeg(pair.value.toUpper()) || !files.loadFromFolder(pair.value, bytes))
                continue;
            addTexture(section.name.toUpper(), pair.key.toUpper(), bytes, true, pair.value, model,
                       files, source.manager);
        }
    }
}

void readGlobalInfo(const TsSkinText& text, TsSkinData& data) {
    const int g = text.findSection(kGlobalInfo);
    const auto raw = [&](const char* key) { return text.value(g, QLatin1String(key)); };
    const auto number = [&](const char* key, int fallback) {
        const QString* value = raw(key);
        return value ? skinIntOr(*value, fallback) : fallback;
    };
    const auto strict = [&](const char* key, int fallback) {
        const QString* value = raw(key);
        return value ? strictSkinInt(*value, where(kGlobalInfo, QLatin1String(key))) : fallback;
    };
    const auto small = [](int value) { return qint16(value); };
    // Pixel sizes and offsets of the frame and its buttons, bounded before any window or
    // picture is made from them.
    const auto metric = [](int value) {
        return qint16(std::clamp(value, -TsSkinLimits::FrameMetric, TsSkinLimits::FrameMetric));
    };
    const auto glow = [](int value) {
        return qint16(std::clamp(value, 0, TsSkinLimits::GlowSize));
    };
    const auto glowMargin = [](int value) {
        return qint16(std::clamp(value, -TsSkinLimits::GlowMargin, TsSkinLimits::GlowMargin));
    };

    const QString* version = raw("VERSION");
    bool ok = false;
    const double v = version ? version->toDouble(&ok) : 0;
    data.Version = ok && std::isfinite(v) ? v : 0;
    data.Author = text.readString(kGlobalInfo, QStringLiteral("AUTHOR"));
    data.Description = text.readString(kGlobalInfo, QStringLiteral("DESCRIPTION"));
    data.BorderWidth = metric(number("BORDERWIDTH", 4));
    data.TitleHeight = metric(number("TITLEHEIGHT", 30));
    const int maxHeight = number("MAXHEIGHT", 0);
    data.MaxTitleHeight = metric(maxHeight == 0 ? data.TitleHeight : maxHeight);
    data.FormOffset = metric(number("FORMOFFSET", 4));
    data.AlignOffset = metric(number("ALIGNOFFSET", 0));
    data.CenterOffset = metric(number("CENTEROFFSET", 0));
    data.BorderMode = small(number("BORDERMODE", 0));
    data.Shadow1Color = number("SHADOW1COLOR", 0);
    data.Shadow1Offset = metric(strict("SHADOW1OFFSET", 0));
    data.Shadow1Blur = metric(strict("SHADOW1BLUR", -1));
    data.Shadow1Transparency = small(strict("SHADOW1TRANSPARENCY", 0));
    data.BISpacing = metric(number("BISPACE", 0));
    data.BIVAlign = small(number("BIVALIGN", 0));
    data.BIRightMargin = metric(number("BIRIGHT", 0));
    data.BILeftMargin = metric(number("BILEFT", 0));
    data.BITopMargin = metric(number("BITOP", 0));
    data.BorderColor = number("BORDERCOLOR", 0);
    data.BIKeepHUE = small(number("BIKEEPHUE", 0));
    data.BICloseGlow = glow(strict("BICONCLOSEGLOW", 0));
    data.BICloseGlowMargin = glowMargin(strict("BICONCLOSEGLOWMARGIN", 0));
    data.BIMaxGlow = glow(strict("BICONMAXGLOW", 0));
    data.BIMaxGlowMargin = glowMargin(strict("BICONMAXGLOWMARGIN", 0));
    data.BIMinGlow = glow(strict("BICONMINGLOW", 0));
    data.BIMinGlowMargin = glowMargin(strict("BICONMINGLOWMARGIN", 0));
}

void loadSections(const TsSkinSource& source, TsSkinModel& model) {
    const TsSkinText& text = source.text;
    readGlobalInfo(text, model.SkinData);
    if (source.checkVersion) source.checkVersion(model.SkinData.Version);

    model.Sections.clear();
    model.reindex();
    const SectionReader reader(text);
    for (int s = 0; s < text.sectionCount(); ++s) {
        const QString& name = text.section(s).name;
        TsGeneralData d = defaultSection();
        d.ClassName = name;
        d.ParentClass = text.readString(name, QStringLiteral("PARENTCLASS"));
        const TextKeys keys{reader, s};
        d.States = std::clamp(keys.integer("STATES", 4), 0, TsSkinLimits::States);
        readSectionKeys(keys, d, d.States >= 2);
        buildStates(d, d.States >= 2, where(name, QStringLiteral("GRADIENTDATA")));
        model.Sections.append(std::move(d));
    }

    if (!source.commonSections.isEmpty()) {
        const TsSkinText common = TsSkinText::parseCommon(source.commonSections);
        for (int s = 0; s < common.sectionCount(); ++s) {
            const QString& name = common.section(s).name;
            if (model.FindSection(name) >= 0) continue;
            const QString parentName =
                common.readString(name, QStringLiteral("PARENTCLASS")).toUpper();
            const int parent = parentName.isEmpty() ? -1 : model.FindSection(parentName);
            TsGeneralData d = parent >= 0 ? model.Sections[parent] : defaultSection();
            d.ClassName = name;
            d.ParentClass = parentName;
            readSectionKeys(CommonKeys{common, s}, d, true);
            buildStates(d, true, where(name, QStringLiteral("GRADIENTDATA")));
            model.Sections.append(std::move(d));
        }
    }

    model.IndexSectionImages();
    applyHueAndSaturation(source, model);
}

// ---- hue and saturation -------------------------------------------------------------------

// Title-button glyphs, which a skin may keep in their own colours.
bool keepsHue(const TsMaskData& item, int keepHue) {
    static const QStringList all = {"BICONCLOSE", "SICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM",
                                    "BICONHELP",  "SICONMAX",   "SICONMIN", "SICONNORM"};
    if (keepHue == 0) return false;
    if (keepHue == 1) return all.contains(item.PropertyName);
    return item.PropertyName == QLatin1String("BICONCLOSE") ||
           item.PropertyName == QLatin1String("SICONCLOSE");
}

template <class Change>
void changeSectionColours(TsGeneralData& d, Change change) {
    const auto gradient = [&change](TsGradArray& pieces) {
        for (TsGradPiece& piece : pieces) {
            piece.Color1 = change(piece.Color1);
            piece.Color2 = change(piece.Color2);
        }
    };
    d.Color = change(d.Color);
    d.HotColor = change(d.HotColor);
    d.GlowColor = change(d.GlowColor);
    d.HotGlowColor = change(d.HotGlowColor);
    for (TColor& c : d.FontColor)
        c = change(c);
    for (TColor& c : d.HotFontColor)
        c = change(c);
    gradient(d.GradientArray);
    gradient(d.HotGradientArray);
    for (TsGenState& state : d.Props) {
        state.Color = change(state.Color);
        state.GlowColor = change(state.GlowColor);
        for (TColor& c : state.FontColor)
            c = change(c);
        gradient(state.GradientArray);
    }
}

void applyHueAndSaturation(const TsSkinSource& source, TsSkinModel& model) {
    const int degrees = source.hueOffset;
    const int amount = source.saturation % 101;
    if (degrees != 0) {
        const int keepHue = model.SkinData.BIKeepHUE;
        // Glyphs in the master bitmap that keep their colours are left out of the turn; a
        // glyph named many times, or glyphs that overlap, are left out once.
        Bitmap32& master = model.MasterBitmap;
        QRegion kept;
        for (const TsMaskData& item : model.Images) {
            if (item.Bmp || !keepsHue(item, keepHue)) continue;
            kept += QRect(item.R.Left, item.R.Top, item.R.width(), item.R.height()) & master.rect();
        }
        for (const QRect& area : QRegion(master.rect()).subtracted(kept)) {
            Bitmap32 part =
                Bitmap32::wrap(master.bits() + area.top() * master.bytesPerLine() + area.left() * 4,
                               area.width(), area.height(), master.bytesPerLine());
            ChangeHue(part, degrees);
        }
        for (TsMaskData& item : model.Images) {
            if (item.Bmp && !keepsHue(item, keepHue)) ChangeHue(*item.Bmp, degrees);
        }
        const auto turn = [degrees](TColor c) { return ChangeHue(c, degrees); };
        for (TsGeneralData& d : model.Sections)
            changeSectionColours(d, turn);
        model.SkinData.Shadow1Color = turn(model.SkinData.Shadow1Color);
        model.SkinData.BorderColor = turn(model.SkinData.BorderColor);
    }
    if (amount != 0) {
        ChangeSaturation(model.MasterBitmap, amount);
        for (TsMaskData& item : model.Images) {
            if (item.Bmp) ChangeSaturation(*item.Bmp, amount);
        }
        const auto saturate = [amount](TColor c) {
            return c == clNone ? c : ChangeSaturation(c, amount);
        };
        for (TsGeneralData& d : model.Sections)
            changeSectionColours(d, saturate);
        model.SkinData.Shadow1Color = saturate(model.SkinData.Shadow1Color);
        model.SkinData.BorderColor = saturate(model.SkinData.BorderColor);
    }
}

}  // namespace

void computeMargins(TsMaskData& item, const QString& place) {
    const int across = item.ImageCount * 3;
    const int down = (item.MaskType + 1) * 3;
    if (across == 0 || down == 0)
        throw ESkinError(QStringLiteral("Margins cannot be worked out for %1 frames and mask type "
                                        "%2 (%3)")
                             .arg(item.ImageCount)
                             .arg(item.MaskType)
                             .arg(place));
    item.WL = item.WR = qint16(item.R.width() / across);
    item.WT = item.WB = qint16(item.R.height() / down);
}

TsGradArray parseGradient(const QString& text, const QString& place) {
    TsGradArray pieces;
    if (text.size() < 2) return pieces;
    const QList<QStringView> words = splitWords(text, u";");
    const qsizetype count = words.size() / 5;
    pieces.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        TsGradPiece piece;
        piece.Color1 = std::max(strictSkinInt(words[i * 5], place), 0);
        piece.Color2 = std::max(strictSkinInt(words[i * 5 + 1], place), 0);
        piece.Percent = quint8(std::clamp(strictSkinInt(words[i * 5 + 2], place), 0, 100));
        piece.Mode = strictSkinInt(words[i * 5 + 3], place);
        pieces.append(piece);
    }
    return pieces;
}

bool readImageReference(const QString& section, const QString& key, const QString& value,
                        const TsFileSource& loadFile, TsMaskData& item, PictureBudget* budget) {
    if (value.isEmpty()) return false;
    const QString place = where(section, key);
    const auto master = [&](void (*read)(const QString&, const QString&, TsMaskData&)) {
        read(value, place, item);
        item.ClassName = section;
        item.PropertyName = key;
        return true;
    };
    switch (value.front().unicode()) {
        case u'!':
            return readOwnFile(section, key, value, loadFile, budget, item);
        case u'@':
            return master(readGlyph);
        case u'^':
            return master(readMasterBorder);
        case u'~':
            return master(readMasterTexture);
        default:
            break;
    }
    if (!value.contains(u'#')) return readPlainFile(section, key, value, loadFile, budget, item);
    if (value == QLatin1String("#")) return false;
    readWordBorder(value, place, item);
    item.ClassName = section.toUpper();
    item.PropertyName = key.toUpper();
    return true;
}

void loadSkin(const TsSkinSource& source, TsSkinModel& model) {
    const int sections = source.text.sectionCount();
    if (sections > TsSkinLimits::Sections)
        throw ESkinError(QStringLiteral("The skin has %1 sections; at most %2 are read")
                             .arg(sections)
                             .arg(TsSkinLimits::Sections));
    PictureBudget budget(source.pictureBudget);
    const Files files(source, budget);
    model.SkinData.SkinPath = source.skinPath;
    loadImageItems(source, files, model);
    loadTextures(source, files, model);
    loadSections(source, model);
    model.IndexCommonItems();
}
