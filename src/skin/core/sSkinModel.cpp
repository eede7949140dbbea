#include "skin/core/sSkinModel.h"

namespace {

const QString kGlobalInfo = QStringLiteral("GLOBALINFO");
const QString kBordersMask = QStringLiteral("BORDERSMASK");
const QString kGlyphMask = QStringLiteral("GLYPHMASK");
const QString kPattern = QStringLiteral("PATTERN");
const QString kHotPattern = QStringLiteral("HOTPATTERN");

// Indexes are kept as 16-bit values; one beyond that range is as good as none.
qint16 index16(int index) {
    return index >= 0 && index <= 0x7FFF ? qint16(index) : qint16(-1);
}

}  // namespace

void TsCommonIndexes::forEach(const std::function<void(const QString&, int)>& visit) const {
    visit(QStringLiteral("GLOBALINFO"), GlobalInfo);
    visit(QStringLiteral("BOXCHECKED"), CheckBoxChecked);
    visit(QStringLiteral("BOXUNCHECKED"), CheckBoxUnChecked);
    visit(QStringLiteral("BOXGRAYED"), CheckBoxGrayed);
    visit(QStringLiteral("RADIOCHECKED"), RadioButtonChecked);
    visit(QStringLiteral("RADIOUNCHECKED"), RadioButtonUnChecked);
    visit(QStringLiteral("RADIOGRAYED"), RadioButtonGrayed);
    visit(QStringLiteral("SMALLCHECKED"), SmallBoxChecked);
    visit(QStringLiteral("SMALLUNCHECKED"), SmallBoxUnChecked);
    visit(QStringLiteral("SMALLGRAYED"), SmallBoxGrayed);
    visit(QStringLiteral("EXBORDER"), ExBorder);
    visit(QStringLiteral("COMBOBTN"), ComboBtn);
    visit(QStringLiteral("COMBOBTN.BORDERSMASK"), ComboBtnBorder);
    visit(QStringLiteral("COMBOBTN.PATTERN"), ComboBtnTexture);
    visit(QStringLiteral("COMBOBTN.HOTPATTERN"), ComboBtnHotTexture);
    visit(QStringLiteral("COMBOBOX.GLYPHMASK"), ComboGlyph);
    static const char* const tabs[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    for (int i = 0; i < 4; ++i) {
        const QString name = QLatin1String(tabs[i]);
        visit(name, Tabs[i].Section);
        visit(name + QStringLiteral(".BORDERSMASK"), Tabs[i].Border);
    }
    const auto part = [&visit](const QString& name, const Part& p, bool glyph) {
        visit(name, p.Section);
        visit(name + QStringLiteral(".BORDERSMASK"), p.Border);
        if (glyph) visit(name + QStringLiteral(".GLYPHMASK"), p.Glyph);
        visit(name + QStringLiteral(".PATTERN"), p.Texture);
        visit(name + QStringLiteral(".HOTPATTERN"), p.HotTexture);
    };
    static const char* const buttons[] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT",
                                          "SCROLLBTNRIGHT"};
    for (int i = 0; i < 4; ++i)
        part(QLatin1String(buttons[i]), ScrollButtons[i], true);
    part(QStringLiteral("SCROLLSLIDERV"), ScrollSliders[0], true);
    part(QStringLiteral("SCROLLSLIDERH"), ScrollSliders[1], true);
    static const char* const bars[] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (int i = 0; i < 4; ++i)
        part(QLatin1String(bars[i]), ScrollBars[i], false);
}

void TsSkinModel::clear() {
    Sections.clear();
    Images.clear();
    Patterns.clear();
    MasterBitmap = Bitmap32();
    SkinData = TsSkinData();
    Common = TsCommonIndexes();
    reindex();
}

namespace {
QString itemKey(const QString& section, const QString& key) {
    return section + QChar(0x1F) + key;
}
}  // namespace

const TsSkinModel::Lookups& TsSkinModel::lookups() const {
    Lookups& l = lookups_;
    if (l.sections == Sections.size() && l.images == Images.size() && l.patterns == Patterns.size())
        return l;
    l = Lookups();
    l.sections = Sections.size();
    l.images = Images.size();
    l.patterns = Patterns.size();
    for (int i = int(Sections.size()) - 1; i >= 0; --i)
        l.section[Sections[i].ClassName] = i;
    for (int i = int(Images.size()) - 1; i >= 0; --i) {
        const TsMaskData& item = Images[size_t(i)];
        const QString key = itemKey(item.ClassName, item.PropertyName);
        l.image[key] = i;
        if (item.ImgType == itTexture) l.texture[key] = i;
    }
    for (int i = int(Patterns.size()) - 1; i >= 0; --i)
        l.pattern[itemKey(Patterns[size_t(i)].ClassName, Patterns[size_t(i)].PropertyName)] = i;
    return l;
}

void TsSkinModel::reindex() {
    lookups_ = Lookups();
}

int TsSkinModel::FindSection(const QString& name) const {
    return lookups().section.value(name, -1);
}

template <class Match>
int TsSkinModel::findWithParents(int sectionIndex, const QString& sectionName, Match match) const {
    if (sectionIndex < 0 || sectionName.isEmpty()) return -1;
    QString name = sectionName;
    // A chain of parents that runs in a circle, or deeper than skins nest, ends the search:
    // the skin then simply has no such item.
    const qsizetype depth = std::min<qsizetype>(Sections.size(), TsSkinLimits::ParentDepth);
    for (qsizetype step = 0; step <= depth; ++step) {
        const int found = match(name);
        if (found >= 0) return found;
        if (!IsValidSection(sectionIndex)) return -1;
        const QString& parent = Sections[sectionIndex].ParentClass;
        if (parent.isEmpty() || parent == name) return -1;
        sectionIndex = FindSection(parent);
        if (sectionIndex < 0) return -1;
        name = parent;
    }
    return -1;
}

int TsSkinModel::FindImage(int sectionIndex, const QString& sectionName, const QString& key) const {
    return findWithParents(sectionIndex, sectionName,
                           [&](const QString& name) { return FindImageInSection(name, key); });
}

int TsSkinModel::FindImageInSection(const QString& sectionName, const QString& key) const {
    return lookups().image.value(itemKey(sectionName, key), -1);
}

int TsSkinModel::FindTexture(int sectionIndex, const QString& sectionName,
                             const QString& key) const {
    return findWithParents(sectionIndex, sectionName, [&](const QString& name) {
        return lookups().texture.value(itemKey(name, key), -1);
    });
}

int TsSkinModel::FindLargeTexture(int sectionIndex, const QString& sectionName,
                                  const QString& key) const {
    return findWithParents(sectionIndex, sectionName, [&](const QString& name) {
        return lookups().pattern.value(itemKey(name, key), -1);
    });
}

int TsSkinModel::FrameWidth(const TsMaskData& item) {
    switch (item.ImageCount) {
        case 0:
            return 0;
        case 1:
            return item.R.width();
        default:
            return item.R.width() / item.ImageCount;
    }
}

int TsSkinModel::FrameHeight(const TsMaskData& item) {
    switch (item.MaskType) {
        case -1:
            return 0;
        case 0:
            return item.R.height();
        case 1:
            return item.R.height() / 2;
        default:
            return item.R.height() / (item.MaskType + 1);
    }
}

int TsSkinModel::LeftMargin(int imageIndex) const {
    if (!IsValidImage(imageIndex)) return 0;
    const TsMaskData& item = Images[imageIndex];
    if (item.WL > 0) return item.WL;
    if (item.BorderWidth > 0) return item.BorderWidth;
    return item.ImageCount == 0 ? item.R.width() : FrameWidth(item);
}

int TsSkinModel::BottomMargin(int imageIndex) const {
    if (!IsValidImage(imageIndex)) return 0;
    const TsMaskData& item = Images[imageIndex];
    if (item.WB > 0) return item.WB;
    if (item.BorderWidth > 0) return item.BorderWidth;
    return FrameHeight(item);
}

TColor TsSkinModel::FormColor() const {
    const int global = FindSection(kGlobalInfo);
    return ColorToRGB(global >= 0 ? Sections[global].Props[0].Color : clBtnFace);
}

TColor TsSkinModel::GlobalFontColor() const {
    const int global = FindSection(kGlobalInfo);
    return global >= 0 ? ColorToRGB(Sections[global].Props[0].FontColor[0]) : clKey;
}

TColor TsSkinModel::GlobalHotColor() const {
    const int global = FindSection(kGlobalInfo);
    return ColorToRGB(global >= 0 ? Sections[global].HotColor : clWindow);
}

TColor TsSkinModel::EditFontColor() const {
    const int edit = FindSection(QStringLiteral("EDIT"));
    return ColorToRGB(edit >= 0 ? Sections[edit].Props[0].FontColor[0] : clWindowText);
}

TColor TsSkinModel::SelectionColor(bool hot) const {
    const int selection = FindSection(QStringLiteral("SELECTION"));
    if (selection >= 0) {
        const TsGeneralData& section = Sections[selection];
        const TColor color = section.Props[hot && section.States > 1 ? 1 : 0].Color;
        if (color != clNone && color != clKey) return ColorToRGB(color);
    }
    const int menuItem = FindSection(QStringLiteral("MENUITEM"));
    if (menuItem >= 0) {
        const TColor color = Sections[menuItem].HotColor;
        if (color != clKey && color != clWhite && color != clNone) return ColorToRGB(color);
    }
    return ColorToRGB(clHighlight);
}

TColor TsSkinModel::SelectionTextColor(bool hot) const {
    const int selection = FindSection(QStringLiteral("SELECTION"));
    if (selection >= 0) {
        const TsGeneralData& section = Sections[selection];
        const TColor color = section.Props[hot && section.States > 1 ? 1 : 0].FontColor[0];
        if (color != clNone && color != clKey) return ColorToRGB(color);
    }
    const int menuItem = FindSection(QStringLiteral("MENUITEM"));
    if (menuItem >= 0) {
        const TColor color = Sections[menuItem].HotFontColor[0];
        if (color != clNone && color != clKey) return ColorToRGB(color);
    }
    return ColorToRGB(clHighlightText);
}

void TsSkinModel::IndexCommonItems() {
    reindex();
    TsCommonIndexes& c = Common;
    c = TsCommonIndexes();
    c.GlobalInfo = index16(FindSection(kGlobalInfo));
    if (c.GlobalInfo >= 0) {
        const auto global = [this, &c](const char* key) {
            return index16(FindImage(c.GlobalInfo, kGlobalInfo, QLatin1String(key)));
        };
        c.CheckBoxChecked = global("BOXCHECKED");
        c.CheckBoxUnChecked = global("BOXUNCHECKED");
        c.CheckBoxGrayed = global("BOXGRAYED");
        c.RadioButtonChecked = global("RADIOCHECKED");
        c.RadioButtonUnChecked = global("RADIOUNCHECKED");
        c.RadioButtonGrayed = global("RADIOGRAYED");
        c.SmallBoxChecked = global("SMALLCHECKED");
        c.SmallBoxUnChecked = global("SMALLUNCHECKED");
        c.SmallBoxGrayed = global("SMALLGRAYED");
        c.ExBorder = global("EXBORDER");
    }

    const QString comboBtn = QStringLiteral("COMBOBTN");
    c.ComboBtn = index16(FindSection(comboBtn));
    c.ComboBtnBorder = index16(FindImageInSection(comboBtn, kBordersMask));
    c.ComboBtnTexture = index16(FindTexture(c.ComboBtn, comboBtn, kPattern));
    c.ComboBtnHotTexture = index16(FindTexture(c.ComboBtn, comboBtn, kHotPattern));
    c.ComboGlyph = index16(FindImageInSection(QStringLiteral("COMBOBOX"), kGlyphMask));

    static const char* const tabs[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    for (int i = 0; i < 4; ++i) {
        const QString name = QLatin1String(tabs[i]);
        c.Tabs[i].Section = index16(FindSection(name));
        c.Tabs[i].Border = index16(FindImage(c.Tabs[i].Section, name, kBordersMask));
    }

    const auto part = [this](const QString& name, TsCommonIndexes::Part& p, bool glyph) {
        p.Section = index16(FindSection(name));
        p.Border = index16(FindImage(p.Section, name, kBordersMask));
        if (glyph && p.Section >= 0) p.Glyph = index16(FindImage(p.Section, name, kGlyphMask));
        p.Texture = index16(FindTexture(p.Section, name, kPattern));
        p.HotTexture = index16(FindTexture(p.Section, name, kHotPattern));
    };
    static const char* const buttons[] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT",
                                          "SCROLLBTNRIGHT"};
    for (int i = 0; i < 4; ++i)
        part(QLatin1String(buttons[i]), c.ScrollButtons[i], true);
    part(QStringLiteral("SCROLLSLIDERV"), c.ScrollSliders[0], true);
    part(QStringLiteral("SCROLLSLIDERH"), c.ScrollSliders[1], true);
    static const char* const bars[] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (int i = 0; i < 4; ++i)
        part(QLatin1String(bars[i]), c.ScrollBars[i], false);

    IndexSectionImages();
}

void TsSkinModel::IndexSectionImages() {
    reindex();
    static const char* const corners[] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
    for (int i = 0; i < Sections.size(); ++i) {
        TsGeneralData& section = Sections[i];
        if (section.ClassName == kGlobalInfo) continue;
        section.BorderIndex = FindImage(i, section.ClassName, kBordersMask);
        for (int corner = 0; corner < 4; ++corner)
            section.ImgCorners[corner] =
                FindImage(i, section.ClassName, QLatin1String(corners[corner]));
    }
}
