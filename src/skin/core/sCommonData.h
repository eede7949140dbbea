#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <memory>

#include "imaging/bitmap32.h"
#include "skin/core/sColors.h"

class QPainter;
class QWidget;
class TsSkinManager;
class TsSkinMessage;
struct TCacheInfo;
struct TsGenState;

// A background request (the parameter of AC_GETBG): the asker gives its area, the answering
// control says what lies behind it.
struct TacBGInfo {
    const Bitmap32* Bmp = nullptr;  // the answering control's cache (type btCache)
    TColor Color = clKey;           // the plain colour (type btFill)
    QPoint Offset;                  // where the asker lies in that bitmap
    QRect R;                        // the asker's area
    enum Type : quint8 { btUnknown = 0, btFill = 1, btCache = 2 } BgType = btUnknown;
    bool PleaseDraw = false;  // also paint the answer into DrawDC
    QPainter* DrawDC = nullptr;

    // Answers with a control's cache (the asker lying at its top left) or a plain colour.
    void answerCache(const Bitmap32* cache) {
        BgType = btCache;
        Bmp = cache;
        Offset = QPoint(0, 0);
    }
    void answerFill(TColor colour) {
        BgType = btFill;
        Color = colour;
    }
};

// Parent information for painting, formed from an answered background request.
TCacheInfo BGInfoToCI(const TacBGInfo& info);

// Bits of TsCommonData::CtrlSkinState.
enum : quint16 {
    ACS_FAST = 0x1,        // a container whose own background is plain
    ACS_PRINTING = 0x200,  // printing into a painter
    ACS_LOCKED = 0x800,    // painting suspended by SuspendPainting
};
// Bits of TsCommonData::BGType.
enum : quint16 { BGT_HORIZONTAL = 1, BGT_VERTICAL = 2, BGT_TRIANGLE = 3, BGT_TEXTURE = 4 };

// The skin data every skinned control, and the skin provider of every form, owns: which
// skin section it is drawn from and the indexes found for it, its painted cache, the flags
// that say when the cache is stale, and the handler of the skin command message. It watches
// its owner's events (as an event filter) and answers the commands the manager, parents and
// children send.
class TsCommonData : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool CustomColor MEMBER CustomColor)
    Q_PROPERTY(bool CustomFont MEMBER CustomFont)
    Q_PROPERTY(QString SkinSection READ SkinSection WRITE setSkinSection)

public:
    // `owner` is the control (or the form, for a form's provider); `kind` the control
    // category its class sets. With `withCache` an empty cache bitmap is made.
    TsCommonData(QObject* owner, int kind, bool withCache = true);
    ~TsCommonData() override;

    // Stored upper-cased; an empty name is stored as "UNKNOWN".
    const QString& SkinSection() const { return skinSection_; }
    void setSkinSection(const QString& section);

    // None means the default manager; assigning the default manager stores none.
    TsSkinManager* SkinManager() const;
    void setSkinManager(TsSkinManager* manager);
    // Whether the property is stored: only when a manager other than the default is set.
    bool isSkinManagerStored() const { return !manager_.isNull(); }

    bool CustomColor = false;
    bool CustomFont = false;

    // The owner object (control or form), and the owner as a control (none for a provider).
    QObject* owner() const { return owner_; }
    QWidget* ownerControl() const { return ownerControl_; }
    // The control category code its class sets.
    int kind() const { return kind_; }

    int GlowID = -1;                      // glow shown for the control, -1 none
    bool Updating = false;                // painting is suspended for this control
    int BorderIndex = -1;                 // image index of the section's border
    int SkinIndex = -1;                   // section index, -1 when not found or no skin is active
    int Texture = -1;                     // PATTERN of the section
    int HotTexture = -1;                  // HOTPATTERN of the section
    bool UrgentPainting = false;          // paint now even if the background is not settled
    bool BGChanged = true;                // the cache must be repainted before it is shown
    bool HalfVisible = true;              // set by AC_SETHALFVISIBLE, answered by AC_GETHALFVISIBLE
    std::unique_ptr<Bitmap32> FCacheBmp;  // the painted look, when the owner keeps one
    bool FFocused = false;
    bool FMouseAbove = false;
    quint16 CtrlSkinState = 0;  // ACS_* bits
    quint16 BGType = 0;         // BGT_* bits
    QPainter* PrintDC = nullptr;
    QRect InvalidRectH;  // areas left to repaint
    QRect InvalidRectV;

    // The section, border and texture indexes worked out afresh.
    void RefreshIndexes();
    // The default section for an empty name, then colours synchronised.
    void UpdateSectionAndColours();
    // Edit-like controls take their colours from the section (unless custom).
    void SyncColours(bool repaint = true);
    void RequestRepaint();
    bool IsSkinned(bool checkActive = false) const;
    bool IsHot() const;
    // The owner (or, with `askParent`, its parent) is updating or has a stale background.
    bool PaintingPostponed(bool askParent = false) const;
    void SuspendPainting();
    void ResumePainting(bool repaint = true);
    // Answers a background request for the given state.
    void AnswerBackground(TacBGInfo& info, int state);
    // The colour the control shows in a state.
    TColor BackgroundColour(int state) const;
    // The section's default for the kind, or the owner's class name upper-cased.
    QString DefaultSection() const;
    // Copies the cache to the painter, leaving out the areas of visible opaque children.
    // With `refreshCorners` the border's corners are first painted again over the parent's
    // current background.
    void CopyCacheToScreen(QPainter& painter, const QRect& area, bool refreshCorners = false);
    // The common handler of the owner's events; answers true when the event is handled.
    bool HandleMessage(QEvent* event);

    // The control's own colour and font colour (its palette).
    TColor OwnerColour() const;
    TColor OwnerFontColour() const;

    // The skin data a control carries, or none.
    static TsCommonData* of(const QObject* control);

    // Whether the kind belongs to each of the kind sets.
    static bool isNeverHotKind(int kind);
    static bool isNoGlowKind(int kind);
    static bool isEditKind(int kind);
    // The default section of a kind; empty when the class name decides.
    static QString defaultSectionForKind(int kind);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The look of the section in a state (the hot one only when the section has it); only
    // while skinned.
    const TsGenState& look(int state) const;
    // The transparency of the state; 0 while not skinned.
    int transparency(int state) const;
    // After the section or the manager changed: new indexes, and the owner told to repaint.
    void sectionChanged();
    // The control's look depends on its parent's background.
    bool dependsOnParent() const;
    // Recomputes the bit of a container whose own background is plain.
    void recomputePlainBit();
    // Asks the parent for the background behind this control.
    void askParentBackground(TacBGInfo& info) const;
    // The parent's colour (command 21), or its palette colour when it does not answer.
    TColor parentColour() const;
    void handleCommand(TsSkinMessage& message);
    void mouseEntered();
    void mouseLeft();

    QObject* owner_;
    QWidget* ownerControl_ = nullptr;
    int kind_;
    QString skinSection_;
    QPointer<TsSkinManager> manager_;
};

// Skin data of the controls that cache and fade: adds their own hue and saturation.
class TsCtrlSkinData : public TsCommonData {
    Q_OBJECT
    Q_PROPERTY(int HUEOffset MEMBER HUEOffset)
    Q_PROPERTY(int Saturation MEMBER Saturation)

public:
    using TsCommonData::TsCommonData;

    int HUEOffset = 0;
    int Saturation = 0;
};

// The hue offset and saturation of a control's painting: its own for TsCtrlSkinData, else 0.
int ControlHue(const TsCommonData& data);
int ControlSaturation(const TsCommonData& data);
