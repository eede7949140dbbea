#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <array>

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

// The skin manager: the one non-visual component that owns the skin in use and the
// settings every skinned window and control follows.
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

    bool ExtendedBorders() const { return false; }  // needs layered windows with shadows
    void setExtendedBorders(bool) {}
    bool IsDefault() const { return DefaultManager() == this; }
    void setIsDefault(bool value);
    bool Active() const { return active_; }
    void setActive(bool value) { active_ = value; }
    int Saturation() const { return saturation_; }
    void setSaturation(int value) { saturation_ = value; }
    int HueOffset() const { return hueOffset_; }
    void setHueOffset(int value) { hueOffset_ = value; }
    const QString& SkinDirectory() const { return skinDirectory_; }
    void setSkinDirectory(const QString& value) { skinDirectory_ = value; }
    const QString& SkinName() const { return skinName_; }
    void setSkinName(const QString& value) { skinName_ = value; }
    // The loaded skin's version, or "N/A" while no skin is loaded; writing it does nothing.
    QString SkinInfo() const;
    void setSkinInfo(const QString&) {}
    static QString Version() { return QStringLiteral("7.30"); }

    // The steps that follow setting the properties: defaults for empty settings, and the
    // class-name lists rebuilt from the ThirdParty texts.
    void loaded();

    // The class names of one ThirdParty list, as rebuilt by loaded().
    const QStringList& thirdPartyNames(int kind) const { return thirdNames_[kind]; }

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

Q_SIGNALS:
    void OnBeforeChange();
    void OnAfterChange();

private:
    void rebuildThirdPartyNames();

    bool active_ = true;
    int saturation_ = 0;
    int hueOffset_ = 0;
    QString skinDirectory_;
    QString skinName_;
    double loadedVersion_ = 0;  // 0 while no skin is loaded
    std::array<QStringList, ThirdPartyList::Count> thirdNames_;
};
