#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <array>

#include "skin/core/sSkinLoader.h"
#include "skin/core/sSkinModel.h"

class QWidget;

// One skin stored inside the program.
struct TsStoredSkin {
    QString Name;
    QImage MasterBitmap;
    QColor Shadow1Color = Qt::black;
    int Shadow1Offset = 0;
    int Shadow1Blur = -1;
    int Shadow1Transparency = 0;
    quint32 BorderColor = 0xFF00FF;
    double Version = 0;
    QString Author;
    QString Description;
    QByteArray Data;  // the bytes of a packed skin, or empty
};

enum TacAnimType { atFading, atAero };

struct TsAnimEffect {
    bool Active = true;
    int Time = 0;
    TacAnimType Mode = atAero;
};

// Animation settings, with the values set at construction.
struct TsAnimEffects {
    enum ButtonEvent : unsigned {
        beMouseEnter = 1,
        beMouseLeave = 2,
        beMouseDown = 4,
        beMouseUp = 8
    };
    unsigned ButtonEvents = beMouseEnter | beMouseLeave | beMouseDown | beMouseUp;
    struct {
        bool Active = false;
        int Time = 1000;
        int BlendValue = 170;
    } BlendOnMoving;
    TsAnimEffect DialogShow{true, 0, atAero};
    TsAnimEffect FormShow{true, 0, atAero};
    TsAnimEffect FormHide{true, 0, atAero};
    TsAnimEffect DialogHide{true, 0, atAero};
    TsAnimEffect Minimizing{true, 200, atAero};
    TsAnimEffect PageChange{true, 0, atAero};
    TsAnimEffect SkinChanging{true, 100, atFading};
};

struct TsMenuSupport {
    QString IcoLineSkin;
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    QFont ExtraLineFont;
};

// Class names of foreign controls the engine skins, one list per kind of control.
struct ThirdPartyList {
    enum Kind {
        ThirdEdits,
        ThirdButtons,
        ThirdBitBtns,
        ThirdCheckBoxes,
        ThirdComboBoxes,
        ThirdGrids,
        ThirdGroupBoxes,
        ThirdListViews,
        ThirdPanels,
        ThirdTreeViews,
        ThirdWWEdits,
        ThirdGridEh,
        ThirdVirtualTrees,
        ThirdPageControl,
        ThirdTabControl,
        ThirdToolBar,
        ThirdStatusBar,
        ThirdSpeedButton,
        Count
    };
    // Each text holds class names separated by line breaks.
    std::array<QString, Count> Lists;
    // The program's own default for a list whose text is empty.
    static QString defaultFor(int kind);
};

enum TsSkinningRule : unsigned { srStdForms = 1, srStdDialogs = 2, srThirdParty = 4 };

// Which skins ListSkins looks for (skins stored in the program are always listed).
enum TsSkinKind { skFolder = 0, skPacked = 1, skAll = 2 };

// The skin manager: the one non-visual component that owns the skin in use and the
// settings every skinned window and control follows. It finds the skin named by SkinName
// (a skin folder with "Options.dat", a packed skin file, or a skin stored in the program),
// loads it, tells every window about it and answers the look-ups painting makes.
class TsSkinManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ExtendedBorders READ ExtendedBorders WRITE setExtendedBorders)
    Q_PROPERTY(bool SkinnedPopups MEMBER SkinnedPopups)
    Q_PROPERTY(bool IsDefault READ IsDefault WRITE setIsDefault)
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(QStringList CommonSections MEMBER CommonSections)
    Q_PROPERTY(int Saturation READ Saturation WRITE setSaturation)
    Q_PROPERTY(int HueOffset READ HueOffset WRITE setHueOffset)
    Q_PROPERTY(QString SkinDirectory READ SkinDirectory WRITE setSkinDirectory)
    Q_PROPERTY(QString SkinName READ SkinName WRITE setSkinName)
    Q_PROPERTY(QString SkinInfo READ SkinInfo WRITE setSkinInfo)
    Q_PROPERTY(unsigned SkinningRules MEMBER SkinningRules)
    Q_PROPERTY(QString Version READ Version CONSTANT)

public:
    explicit TsSkinManager(QObject* owner = nullptr);
    ~TsSkinManager() override;

    // The manager that controls follow when they name none: the first one created.
    static TsSkinManager* DefaultManager();
    // Set while any manager loads a skin; controls keep their old picture meanwhile.
    static bool SkinLoading();

    // Frames drawn as separate shadowed windows are not built yet: it always reads false,
    // so the shadow templates are never needed.
    bool ExtendedBorders() const { return false; }
    void setExtendedBorders(bool) {}
    bool IsDefault() const { return DefaultManager() == this; }
    void setIsDefault(bool value);
    bool Active() const { return active_; }
    void setActive(bool value);
    int Saturation() const { return saturation_; }
    void setSaturation(int value);
    int HueOffset() const { return hueOffset_; }
    void setHueOffset(int value);
    const QString& SkinDirectory() const { return skinDirectory_; }
    void setSkinDirectory(const QString& value);
    const QString& SkinName() const { return skinName_; }
    // Changes the skin. A skin that cannot be loaded is reported in an "Error" box and the
    // previous name (and skin) stay.
    void setSkinName(const QString& value);
    // The loaded skin's version, or "N/A" while no skin is loaded; writing it does nothing.
    QString SkinInfo() const;
    void setSkinInfo(const QString&) {}
    static QString Version() { return QStringLiteral("7.30"); }

    // Settings made by the form that owns the manager: between beginLoading() and loaded()
    // a new skin is loaded but not yet announced.
    void beginLoading() { loading_ = true; }
    // The steps that follow setting the properties: defaults for empty settings, the
    // class-name lists rebuilt from the ThirdParty texts, and the skin announced.
    void loaded();
    bool isLoading() const { return loading_; }
    // The skin now loaded came from a container (a packed file or a stored skin's data).
    bool isPacked() const { return packed_; }
    // Set while RemoveSkin tells everything that the skin is gone.
    bool isRemoving() const { return removing_; }

    // The class names of one ThirdParty list, as rebuilt by loaded().
    const QStringList& thirdPartyNames(int kind) const { return thirdNames_[kind]; }

    // SkinDirectory made absolute against the program's folder, with a trailing "/".
    QString ResolveSkinFolder() const;
    static QString ResolveSkinFolder(const QString& directory, const QString& programFolder);
    // The packed file the current SkinName would be read from.
    QString packedSkinFile() const;
    // Fills `list` with the names of the available skins, sorted without regard to case,
    // and answers the first name found (skins stored in the program come first).
    QString ListSkins(QStringList& list, int kind = skAll) const;

    // Reading the skin from its source (as chosen when the skin changes).
    void LoadFolderSkin();
    void LoadPackedSkin();
    // Shows the messages about a skin made for another version of the engine.
    void CheckSkinVersion(double version);

    // Tells everything skinned that the skin is new, gone or to be repainted.
    void ApplySkin(bool animate);
    void RemoveSkin();
    void RefreshSkin(bool animate);
    // Skin changes between these are loaded but announced only at the end.
    void BeginUpdate() { batch_ = true; }
    void EndUpdate(bool animate, bool allowAnimation);

    // Sends the skin command message to every form and down every control tree.
    void broadcast(int command, int argument = 0);
    // Forms that paint their own frame are kept in this list and reached through it.
    static void addProviderForm(QWidget* form);
    static void removeProviderForm(QWidget* form);

    // The loaded skin.
    const TsSkinModel& skin() const { return model_; }
    const TsSkinData& SkinData() const { return model_.SkinData; }
    const TsGeneralDataArray& sections() const { return model_.Sections; }
    const TsMaskArray& images() const { return model_.Images; }
    const TsPatternArray& largeTextures() const { return model_.Patterns; }
    const Bitmap32& masterBitmap() const { return model_.MasterBitmap; }
    const TsCommonIndexes& commonIndexes() const { return model_.Common; }

    int FindSection(const QString& name) const { return model_.FindSection(name); }
    int FindImage(int section, const QString& sectionName, const QString& key) const {
        return model_.FindImage(section, sectionName, key);
    }
    int FindImageInSection(const QString& sectionName, const QString& key) const {
        return model_.FindImageInSection(sectionName, key);
    }
    int FindTexture(int section, const QString& sectionName, const QString& key) const {
        return model_.FindTexture(section, sectionName, key);
    }
    int FindLargeTexture(int section, const QString& sectionName, const QString& key) const {
        return model_.FindLargeTexture(section, sectionName, key);
    }
    bool IsValidSection(int index) const { return model_.IsValidSection(index); }
    bool IsValidImage(int index) const { return model_.IsValidImage(index); }
    int LeftMargin(int image) const { return model_.LeftMargin(image); }
    int BottomMargin(int image) const { return model_.BottomMargin(image); }
    TColor FormColor() const { return model_.FormColor(); }
    TColor GlobalFontColor() const { return model_.GlobalFontColor(); }
    TColor GlobalHotColor() const { return model_.GlobalHotColor(); }
    TColor EditFontColor() const { return model_.EditFontColor(); }
    TColor SelectionColor(bool hot) const { return model_.SelectionColor(hot); }
    TColor SelectionTextColor(bool hot) const { return model_.SelectionTextColor(hot); }

    // The skinned control under the mouse, told when it stops being it.
    QPointer<QWidget> ActiveControl;

    bool SkinnedPopups = true;
    QStringList CommonSections;
    unsigned SkinningRules = srStdForms | srStdDialogs | srThirdParty;
    TsAnimEffects AnimEffects;
    struct {
        bool AllowGlowing = true;
    } Effects;
    TsMenuSupport MenuSupport;
    ThirdPartyList ThirdParty;
    QList<TsStoredSkin> InternalSkins;
    // The memory the decoded pictures of one skin may take together; a skin that needs more
    // is refused like any other faulty skin, and the previous one stays.
    qint64 PictureMemory = PictureBudget::DefaultBytes;

Q_SIGNALS:
    void OnBeforeChange();
    void OnAfterChange();
    // For the parts of the engine that follow the skin as a whole (the menus, the watcher of
    // new windows): a skin is about to change or be refreshed, it has been applied (and is
    // active), it is about to be removed.
    void SkinChanging();
    void SkinApplied();
    void SkinRemoving();

private:
    void rebuildThirdPartyNames();
    void changeSkin(const QString& oldName);
    void reloadCurrentSkin();
    void load(TsSkinSource source);
    QList<QWidget*> freezeForms() const;
    static void unfreezeForms(const QList<QWidget*>& forms);

    bool active_ = true;
    bool loading_ = false;  // the owner form is still setting the properties
    bool batch_ = false;
    bool removing_ = false;
    bool skinLoaded_ = false;
    bool packed_ = false;  // the skin now loaded came from a container
    int saturation_ = 0;
    int hueOffset_ = 0;
    QString skinDirectory_;
    QString skinName_;
    TsSkinModel model_;
    std::array<QStringList, ThirdPartyList::Count> thirdNames_;
};
