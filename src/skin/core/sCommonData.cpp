#include "skin/core/sCommonData.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "platform/skin_message.h"
#include "skin/core/sGlow.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

bool inRange(int kind, int low, int high) {
    return kind >= low && kind <= high;
}

// Containers whose background may be plain, so children can be drawn over a colour.
bool isContainerKind(int kind) {
    return kind == 51 || kind == 52 || inRange(kind, 53, 60) || kind == 68 || kind == 73 ||
           kind == 74 || kind == 141 || kind == 143 || kind == 151;
}

// The argument of a new-skin, removal or refresh command meant for one control only, not to
// be passed on to its children.
constexpr int kThisControlOnly = 1;

// The manager's broadcasts, which every control passes on to its children and which the
// control classes see as well.
bool isBroadcast(int command) {
    return command == TsSkinMessage::AC_SETNEWSKIN || command == TsSkinMessage::AC_REMOVESKIN ||
           command == TsSkinMessage::AC_REFRESH || command == TsSkinMessage::AC_STOPFADING;
}

}  // namespace

TCacheInfo BGInfoToCI(const TacBGInfo& info) {
    if (info.BgType == TacBGInfo::btCache && info.Bmp) return MakeCacheInfo(info.Bmp, info.Offset);
    return MakeCacheInfo(ColorToRGB(info.Color));
}

int ControlHue(const TsCommonData& data) {
    const auto* ctrl = dynamic_cast<const TsCtrlSkinData*>(&data);
    return ctrl ? ctrl->HUEOffset : 0;
}

int ControlSaturation(const TsCommonData& data) {
    const auto* ctrl = dynamic_cast<const TsCtrlSkinData*>(&data);
    return ctrl ? ctrl->Saturation : 0;
}

TsCommonData::TsCommonData(QObject* owner, int kind, bool withCache)
    : QObject(owner), owner_(owner), kind_(kind) {
    ownerControl_ = dynamic_cast<QWidget*>(owner);
    if (withCache) FCacheBmp = std::make_unique<Bitmap32>();
    if (owner) owner->installEventFilter(this);
}

TsCommonData::~TsCommonData() {
    HideGlow(GlowID);
    if (owner_) owner_->removeEventFilter(this);
}

TsCommonData* TsCommonData::of(const QObject* control) {
    return control ? control->findChild<TsCommonData*>(QString(), Qt::FindDirectChildrenOnly)
                   : nullptr;
}

void TsCommonData::setSkinSection(const QString& section) {
    const QString value = section.isEmpty() ? QStringLiteral("UNKNOWN") : section.toUpper();
    if (value == skinSection_) return;
    skinSection_ = value;
    sectionChanged();
}

TsSkinManager* TsCommonData::SkinManager() const {
    return manager_ ? manager_.data() : TsSkinManager::DefaultManager();
}

void TsCommonData::setSkinManager(TsSkinManager* manager) {
    TsSkinManager* stored = manager == TsSkinManager::DefaultManager() ? nullptr : manager;
    if (stored == manager_.data()) return;
    manager_ = stored;
    sectionChanged();
}

void TsCommonData::sectionChanged() {
    TsSkinManager* manager = SkinManager();
    if (manager && !manager->sections().isEmpty())
        RefreshIndexes();
    else
        SkinIndex = -1;
    BGChanged = true;
    if (ownerControl_ && ownerControl_->parentWidget()) {
        const int command = IsSkinned() ? TsSkinMessage::AC_REFRESH : TsSkinMessage::AC_REMOVESKIN;
        TsSkinMessage::ask(ownerControl_, command, kThisControlOnly, quintptr(manager));
    }
}

const TsGenState& TsCommonData::look(int state) const {
    return StateLook(SkinManager()->sections()[SkinIndex], state);
}

int TsCommonData::transparency(int state) const {
    const TsSkinManager* manager = SkinManager();
    return manager && manager->IsValidSection(SkinIndex) ? look(state).Transparency : 0;
}

void TsCommonData::RefreshIndexes() {
    BGChanged = true;
    TsSkinManager* manager = SkinManager();
    SkinIndex = manager && manager->Active() ? manager->FindSection(skinSection_) : -1;
    BGType = 0;
    CtrlSkinState = 0;
    if (!manager || !manager->IsValidSection(SkinIndex)) {
        BorderIndex = Texture = HotTexture = -1;
        return;
    }
    const TsGeneralData& section = manager->sections()[SkinIndex];
    const TsGenState& look = section.Props[0];
    if (look.ImagePercent > 0) BGType |= BGT_TEXTURE;
    if (look.GradientPercent != 0 && !look.GradientArray.isEmpty()) {
        switch (look.GradientArray[0].Mode) {
            case 0:
                BGType |= BGT_VERTICAL;
                break;
            case 1:
                BGType |= BGT_HORIZONTAL;
                break;
            case 2:
                BGType |= BGT_TRIANGLE;
                break;
            default:
                break;
        }
    }
    BorderIndex = section.BorderIndex;
    Texture = manager->FindTexture(SkinIndex, skinSection_, QStringLiteral("PATTERN"));
    HotTexture = manager->FindTexture(SkinIndex, skinSection_, QStringLiteral("HOTPATTERN"));
    recomputePlainBit();
}

void TsCommonData::recomputePlainBit() {
    CtrlSkinState &= ~ACS_FAST;
    const TsSkinManager* manager = SkinManager();
    if (!isContainerKind(kind_) || !manager || !manager->IsValidSection(SkinIndex)) return;
    const TsGenState& look = manager->sections()[SkinIndex].Props[0];
    if (look.ImagePercent > 0 || look.GradientPercent > 0) return;
    bool plain = look.Transparency == 0;
    if (look.Transparency == 100 && ownerControl_ && ownerControl_->parentWidget())
        plain = TsSkinMessage::ask(ownerControl_->parentWidget(), TsSkinMessage::AC_GETSKINSTATE) &
                ACS_FAST;
    if (!plain) return;
    if (manager->IsValidImage(BorderIndex)) {
        const TsMaskData& border = manager->images()[size_t(BorderIndex)];
        if (border.WL + border.WR > 20 || border.WT + border.WB > 20) return;
    }
    CtrlSkinState |= ACS_FAST;
}

QString TsCommonData::defaultSectionForKind(int kind) {
    if (inRange(kind, 2, 8) || kind == 10 || kind == 41 || kind == 76 || kind == 78 ||
        inRange(kind, 83, 85) || kind == 96 || kind == 131 || kind == 140 || kind == 227)
        return QStringLiteral("EDIT");
    if (inRange(kind, 11, 18) || kind == 81 || kind == 82) return QStringLiteral("COMBOBOX");
    switch (kind) {
        case 19:
            return QStringLiteral("BAR");
        case 20:
            return QStringLiteral("BARTITLE");
        case 32:
        case 152:
            return QStringLiteral("CHECKBOX");
        case 33:
            return QStringLiteral("RADIOBUTTON");
        case 51:
        case 59:
        case 68:
        case 73:
            return QStringLiteral("PANEL");
        case 52:
        case 58:
            return QStringLiteral("PANEL_LOW");
        case 53:
        case 54:
        case 60:
            return QStringLiteral("TOOLBAR");
        case 56:
            return QStringLiteral("DRAGBAR");
        case 57:
            return QStringLiteral("TABSHEET");
        case 74:
        case 226:
            return QStringLiteral("GROUPBOX");
        case 75:
            return QStringLiteral("SPLITTER");
        case 92:
        case 95:
            return QStringLiteral("SPEEDBUTTON");
        case 93:
        case 94:
            return QStringLiteral("BUTTON");
        case 98:
            return QStringLiteral("TOOLBUTTON");
        case 141:
        case 143:
            return QStringLiteral("PAGECONTROL");
        case 151:
            return QStringLiteral("STATUSBAR");
        case 161:
            return QStringLiteral("GAUGE");
        case 165:
            return QStringLiteral("TRACKBAR");
        default:
            return QString();
    }
}

QString TsCommonData::DefaultSection() const {
    const QString section = defaultSectionForKind(kind_);
    if (!section.isEmpty() || !owner_) return section;
    return QString::fromLatin1(owner_->metaObject()->className()).toUpper();
}

bool TsCommonData::isNeverHotKind(int kind) {
    return kind == 19 || inRange(kind, 51, 74) || kind == 110 || inRange(kind, 141, 161);
}

bool TsCommonData::isNoGlowKind(int kind) {
    return kind == 51 || kind == 52 || kind == 54 || inRange(kind, 56, 60) || kind == 68 ||
           kind == 73 || kind == 74 || kind == 110 || kind == 141 || kind == 143 || kind == 151 ||
           kind == 161 || kind == 226 || inRange(kind, 92, 94);
}

bool TsCommonData::isEditKind(int kind) {
    return inRange(kind, 2, 18) || kind == 41 || inRange(kind, 76, 84) || kind == 96 ||
           inRange(kind, 131, 140);
}

void TsCommonData::UpdateSectionAndColours() {
    if (skinSection_.isEmpty()) setSkinSection(DefaultSection());
    if (IsSkinned() && ownerControl_ && ownerControl_->parentWidget()) SyncColours();
}

TColor TsCommonData::OwnerColour() const {
    if (!ownerControl_) return ColorToRGB(clBtnFace);
    return FromQColor(
        ownerControl_->palette().color(isEditKind(kind_) ? QPalette::Base : QPalette::Window));
}

TColor TsCommonData::OwnerFontColour() const {
    if (!ownerControl_) return ColorToRGB(clBtnText);
    return FromQColor(
        ownerControl_->palette().color(isEditKind(kind_) ? QPalette::Text : QPalette::WindowText));
}

void TsCommonData::SyncColours(bool repaint) {
    if (!isEditKind(kind_) || !ownerControl_ || !IsSkinned()) return;
    const TsGeneralData& section = SkinManager()->sections()[SkinIndex];
    const int hue = ControlHue(*this);
    const int saturation = ControlSaturation(*this);
    QPalette palette = ownerControl_->palette();
    if (!CustomColor)
        palette.setColor(QPalette::Base,
                         ToQColor(HueAndSaturation(section.Props[0].Color, hue, saturation)));
    if (!CustomFont)
        palette.setColor(QPalette::Text, ToQColor(HueAndSaturation(section.Props[0].FontColor[0],
                                                                   hue, saturation)));
    ownerControl_->setPalette(palette);
    if (repaint) RequestRepaint();
}

void TsCommonData::RequestRepaint() {
    BGChanged = true;
    QWidget* widget = ownerControl_ ? ownerControl_ : qobject_cast<QWidget*>(owner_);
    if (widget && widget->isVisible() && (widget->parentWidget() || widget->isWindow()))
        widget->update();
}

bool TsCommonData::IsSkinned(bool checkActive) const {
    const TsSkinManager* manager = SkinManager();
    if (skinSection_.isEmpty() || !manager || manager->isRemoving() ||
        !manager->IsValidSection(SkinIndex))
        return false;
    return !checkActive || manager->SkinData().Active;
}

bool TsCommonData::IsHot() const {
    const QWidget* control = ownerControl_;
    if (!control || !control->isEnabled()) return false;
    if (FFocused) return true;
    if (control->hasFocus() && kind_ != 51 && kind_ != 52) return true;
    return FMouseAbove && !isNeverHotKind(kind_);
}

bool TsCommonData::PaintingPostponed(bool askParent) const {
    if (Updating || TsSkinManager::SkinLoading()) return true;
    if (askParent && ownerControl_ && ownerControl_->parentWidget())
        return TsSkinMessage::ask(ownerControl_->parentWidget(), TsSkinMessage::AC_PREPARING) == 1;
    return false;
}

void TsCommonData::SuspendPainting() {
    Updating = true;
    CtrlSkinState |= ACS_LOCKED;
    TsSkinMessage::ask(owner_, TsSkinMessage::AC_BEGINUPDATE);
}

void TsCommonData::ResumePainting(bool repaint) {
    Updating = false;
    CtrlSkinState &= ~ACS_LOCKED;
    TsSkinMessage::ask(owner_, TsSkinMessage::AC_ENDUPDATE);
    if (repaint) RequestRepaint();
}

TColor TsCommonData::parentColour() const {
    QWidget* parent = ownerControl_ ? ownerControl_->parentWidget() : nullptr;
    if (!parent) return OwnerColour();
    TsSkinMessage ask(TsSkinMessage::AC_GETCONTROLCOLOR);
    if (TsSkinMessage::send(parent, ask)) {
        const TColor answer = TColor(ask.Result);
        if (answer != clKey) return answer;
    }
    return FromQColor(parent->palette().color(QPalette::Window));
}

TColor TsCommonData::BackgroundColour(int state) const {
    if (IsSkinned() && !CustomColor) {
        const TsGenState& own = look(state);
        if (own.Transparency <= 0) return ColorToRGB(own.Color);
        if (own.Transparency >= 100) return parentColour();
        return MixColours(parentColour(), ColorToRGB(own.Color), own.Transparency / 100.0);
    }
    return OwnerColour();
}

void TsCommonData::askParentBackground(TacBGInfo& info) const {
    QWidget* parent = ownerControl_ ? ownerControl_->parentWidget() : nullptr;
    if (!parent) {
        const TsSkinManager* manager = TsSkinManager::DefaultManager();
        info.answerFill(manager ? manager->FormColor() : ColorToRGB(clBtnFace));
        return;
    }
    TsSkinMessage ask(TsSkinMessage::AC_GETBG, 0, quintptr(&info));
    if (TsSkinMessage::send(parent, ask) && info.BgType != TacBGInfo::btUnknown) {
        if (info.BgType == TacBGInfo::btCache) info.Offset += ownerControl_->pos();
        return;
    }
    // A parent that is not skinned shows its plain colour.
    info.answerFill(FromQColor(parent->palette().color(QPalette::Window)));
}

void TsCommonData::AnswerBackground(TacBGInfo& info, int state) {
    const auto paintAnswer = [&info] {
        if (!info.PleaseDraw || !info.DrawDC) return;
        if (info.BgType == TacBGInfo::btFill)
            SolidFill(*info.DrawDC, info.R, info.Color);
        else if (info.BgType == TacBGInfo::btCache && info.Bmp)
            info.DrawDC->drawImage(QPoint(0, 0), info.Bmp->constImage(),
                                   info.R.translated(info.Offset));
    };
    const bool haveCache = FCacheBmp && !FCacheBmp->isNull();
    if (!IsSkinned() || CustomColor) {
        info.answerFill(OwnerColour());
    } else if (const TsGenState& own = look(state); own.Transparency >= 100) {
        if (haveCache && !BGChanged && !(CtrlSkinState & ACS_FAST))
            info.answerCache(FCacheBmp.get());
        else
            askParentBackground(info);
    } else if (own.Transparency > 0 || qint64(own.GradientPercent) + own.ImagePercent != 0) {
        // A look of its own: the painted cache, or no colour known before it is painted.
        if (haveCache)
            info.answerCache(FCacheBmp.get());
        else
            info.answerFill(clKey);
    } else {
        info.answerFill(BackgroundColour(state));
    }
    paintAnswer();
}

void TsCommonData::CopyCacheToScreen(QPainter& painter, const QRect& area, bool refreshCorners) {
    if (!FCacheBmp || FCacheBmp->isNull()) return;
    QWidget* control = ownerControl_;
    const TsSkinManager* manager = SkinManager();
    const int state = IsHot() ? 1 : 0;
    if (refreshCorners && control && manager && manager->IsValidImage(BorderIndex) &&
        !(state == 0 && (manager->images()[size_t(BorderIndex)].DrawMode & dmNoBorderInState0))) {
        // The corners again, over the parent's background as it is now.
        TacBGInfo info;
        info.R = control->geometry();
        askParentBackground(info);
        const TCacheInfo parent = BGInfoToCI(info);
        const TsMaskData& border = manager->images()[size_t(BorderIndex)];
        Bitmap32 work = *FCacheBmp;
        const int w = work.width(), h = work.height();
        const QRect corners[] = {QRect(0, 0, border.WL, border.WT),
                                 QRect(w - border.WR, 0, border.WR, border.WT),
                                 QRect(0, h - border.WB, border.WL, border.WB),
                                 QRect(w - border.WR, h - border.WB, border.WR, border.WB)};
        for (const QRect& corner : corners)
            CopyParentBackground(work, corner, parent);
        DrawBorderImage(work, work.rect(), true, 1, state, border, parent);
        for (const QRect& corner : corners)
            FCacheBmp->copyFrom(work, corner, corner.topLeft());
    }

    // Visible children paint themselves: their areas are left out.
    QRegion region(area);
    if (control) {
        const QObjectList children = control->children();
        for (QObject* object : children) {
            auto* child = qobject_cast<QWidget*>(object);
            if (!child || child->isWindow() || !child->isVisible()) continue;
            if (const auto* box = qobject_cast<QGroupBox*>(child)) {
                // Only a group box's frame strips hide what lies behind it.
                int l = 1, t = 1, r = 1, b = 1;
                const int section = manager ? manager->FindSection(QStringLiteral("GROUPBOX")) : -1;
                if (manager && manager->IsValidSection(section) &&
                    manager->IsValidImage(manager->sections()[section].BorderIndex)) {
                    const TsMaskData& frame =
                        manager->images()[size_t(manager->sections()[section].BorderIndex)];
                    l = frame.WL, t = frame.WT, r = frame.WR, b = frame.WB;
                }
                t += box->fontMetrics().height();
                const QRect g = box->geometry();
                region -= QRegion(g) - QRegion(g.adjusted(l, t, -r, -b));
                continue;
            }
            // Only children that paint every pixel of their own hide what lies behind.
            const TsCommonData* data = of(child);
            const bool opaque = child->autoFillBackground() ||
                                child->testAttribute(Qt::WA_OpaquePaintEvent) ||
                                child->testAttribute(Qt::WA_NativeWindow) ||
                                (data && data->IsSkinned() && data->transparency(0) == 0);
            if (opaque) region -= QRegion(child->geometry());
        }
    }
    painter.save();
    painter.setClipRegion(region, Qt::IntersectClip);
    // The cache's alpha bytes carry no meaning on the screen.
    const QRect part = area & FCacheBmp->rect();
    painter.drawImage(part.topLeft(),
                      FCacheBmp->constImage().copy(part).convertToFormat(QImage::Format_RGB32));
    painter.restore();
}

bool TsCommonData::dependsOnParent() const {
    if (UrgentPainting || !IsSkinned() || (ownerControl_ && !ownerControl_->isEnabled()))
        return true;
    if (transparency(IsHot() ? 1 : 0) <= 0) return false;
    QWidget* parent = ownerControl_ ? ownerControl_->parentWidget() : nullptr;
    return parent && TsSkinMessage::ask(parent, TsSkinMessage::AC_PAINTOUTER) == 1;
}

bool TsCommonData::eventFilter(QObject* watched, QEvent* event) {
    if (watched != owner_) return false;
    return HandleMessage(event);
}

void TsCommonData::mouseEntered() {
    TsSkinManager* manager = SkinManager();
    QWidget* control = ownerControl_;
    if (!control || !IsSkinned()) return;
    // A speed button that still looks hot beside this control is told the mouse left it.
    if (QWidget* parent = control->parentWidget()) {
        for (QObject* object : parent->children()) {
            auto* sibling = qobject_cast<QWidget*>(object);
            TsCommonData* data = sibling && sibling != control ? of(sibling) : nullptr;
            if (data && data->FMouseAbove && (data->kind() == 92 || data->kind() == 95)) {
                QEvent leave(QEvent::Leave);
                QCoreApplication::sendEvent(sibling, &leave);
            }
        }
    }
    if (!isNeverHotKind(kind_)) FMouseAbove = true;
    if (manager && manager->ActiveControl != control) {
        if (manager->ActiveControl)
            TsSkinMessage::ask(manager->ActiveControl, TsSkinMessage::AC_MOUSELEAVE, 0,
                               quintptr(manager));
        manager->ActiveControl = control;
        TsSkinMessage::ask(control, TsSkinMessage::AC_MOUSEENTER, 0, quintptr(manager));
    }
    if (!isNoGlowKind(kind_) && manager && manager->Effects.AllowGlowing && GlowID < 0) {
        const TsGeneralData& section = manager->sections()[SkinIndex];
        if (section.GlowCount >= 1)
            GlowID = ShowGlow(*manager, *control, skinSection_, section.GlowMargin);
    }
    if (isEditKind(kind_) && manager->sections()[SkinIndex].States > 1) {
        BGChanged = true;
        control->update();
    }
}

void TsCommonData::mouseLeft() {
    FMouseAbove = false;
    if (!isNoGlowKind(kind_)) HideGlow(GlowID);
    TsSkinManager* manager = SkinManager();
    if (manager && manager->ActiveControl == ownerControl_) manager->ActiveControl = nullptr;
    if (isEditKind(kind_) && ownerControl_ && ownerControl_->isVisible()) ownerControl_->update();
}

bool TsCommonData::HandleMessage(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        handleCommand(*message);
        if (!isBroadcast(message->Command)) return message->Handled;
        // Broadcasts go on to the children, and the control classes see them as well.
        if (message->Argument != kThisControlOnly)
            TsSkinMessage::sendToChildren(owner_, message->Command, message->Argument,
                                          message->Param);
        return false;
    }
    QWidget* control = ownerControl_;
    switch (event->type()) {
        case QEvent::Move:
            if (dependsOnParent()) {
                BGChanged = true;
                TsSkinMessage::ask(owner_, TsSkinMessage::AC_INVALIDATE, 1);
            }
            HideGlow(GlowID);
            break;
        case QEvent::Resize:
            if (IsSkinned()) {
                BGChanged = true;
                if (BGType & (BGT_VERTICAL | BGT_HORIZONTAL))
                    TsSkinMessage::sendToChildren(control, TsSkinMessage::AC_INVALIDATE, 1);
            }
            HideGlow(GlowID);
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            if (control && control->focusPolicy() != Qt::NoFocus) {
                BGChanged = true;
                FFocused = event->type() == QEvent::FocusIn;
                if (isEditKind(kind_) && IsSkinned() &&
                    SkinManager()->sections()[SkinIndex].States > 1)
                    control->update();
            }
            break;
        case QEvent::FontChange:
        case QEvent::EnabledChange:
            FMouseAbove = false;
            FFocused = false;
            if (control && !control->isEnabled()) HideGlow(GlowID);
            break;
        case QEvent::Show:
            if (FCacheBmp) {
                Updating = false;
                BGChanged = true;
            }
            UpdateSectionAndColours();
            break;
        case QEvent::Hide:
            if (FCacheBmp) *FCacheBmp = Bitmap32();
            HideGlow(GlowID);
            break;
        case QEvent::Enter:
            mouseEntered();
            break;
        case QEvent::Leave:
            mouseLeft();
            break;
        default:
            break;
    }
    return false;
}

void TsCommonData::handleCommand(TsSkinMessage& message) {
    TsSkinManager* manager = SkinManager();
    const bool ours = message.Param == quintptr(manager);
    message.Handled = true;
    QWidget* control = ownerControl_;
    QWidget* parent = control ? control->parentWidget() : nullptr;
    switch (message.Command) {
        case TsSkinMessage::AC_SETNEWSKIN:
            if (ours) RefreshIndexes();
            break;
        case TsSkinMessage::AC_REMOVESKIN:
            if (ours) {
                SkinIndex = BorderIndex = Texture = HotTexture = -1;
                Updating = true;
                if (FCacheBmp) *FCacheBmp = Bitmap32();
                HideGlow(GlowID);
                if (control) {
                    QPalette palette = control->palette();
                    if (isEditKind(kind_)) {
                        if (!CustomColor) palette.setColor(QPalette::Base, ToQColor(clWindow));
                        if (!CustomFont) palette.setColor(QPalette::Text, ToQColor(clWindowText));
                        control->setPalette(palette);
                        control->update();
                    } else {
                        // Labels inside a container go back to the system's text colour.
                        for (QLabel* label : control->findChildren<QLabel*>(
                                 QString(), Qt::FindDirectChildrenOnly)) {
                            QPalette own = label->palette();
                            own.setColor(QPalette::WindowText, ToQColor(clWindowText));
                            label->setPalette(own);
                        }
                    }
                }
            }
            break;
        case TsSkinMessage::AC_REFRESH:
            if (ours) {
                BGChanged = true;
                Updating = false;
                SyncColours(true);
                recomputePlainBit();
                RequestRepaint();
            }
            break;
        case TsSkinMessage::AC_GETPROVIDER:
            message.Result = 0;
            break;
        case TsSkinMessage::AC_CTRLHANDLED:
            message.Result = 1;
            break;
        case TsSkinMessage::AC_SETUPDATING:
            Updating = message.Argument == 1;
            break;
        case TsSkinMessage::AC_PREPARING:
            message.Result = BGChanged || Updating ? 1 : 0;
            break;
        case TsSkinMessage::AC_GETHALFVISIBLE:
            message.Result = HalfVisible ? 1 : 0;
            break;
        case TsSkinMessage::AC_STOPFADING:
            break;
        case TsSkinMessage::AC_SETBGCHANGED:
            BGChanged = true;
            break;
        case TsSkinMessage::AC_PAINTOUTER: {
            const int state = IsHot() ? 1 : 0;
            if (transparency(state) >= 100 && parent) {
                message.Result = TsSkinMessage::ask(parent, TsSkinMessage::AC_PAINTOUTER);
            } else {
                const bool shaded = IsSkinned() && (BGType != 0);
                message.Result = shaded || dependsOnParent() ? 1 : 0;
            }
            break;
        }
        case TsSkinMessage::AC_INVALIDATE: {
            const bool depends = dependsOnParent();
            if (depends) BGChanged = true;
            if (message.Argument == 1 && control) control->update();
            if (depends) TsSkinMessage::sendToChildren(control, TsSkinMessage::AC_INVALIDATE);
            break;
        }
        case TsSkinMessage::AC_GETCONTROLCOLOR: {
            if (!IsSkinned() || CustomColor) {
                message.Result = OwnerColour();
                break;
            }
            const TsGenState& state = look(IsHot() ? 1 : 0);
            const TColor own = ColorToRGB(state.Color);
            if (state.Transparency >= 100) {
                message.Result = parent ? parentColour() : OwnerColour();
            } else if (state.Transparency > 0) {
                const TColor under = parent ? parentColour() : OwnerColour();
                const int t = state.Transparency;
                quint32 mixed = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    const int p = (quint32(under) >> shift) & 0xFF;
                    const int o = (quint32(own) >> shift) & 0xFF;
                    mixed |= quint32(std::clamp((t * (p - o) + o * 256) >> 8, 0, 255)) << shift;
                }
                message.Result = TColor(mixed);
            } else {
                message.Result = own;
            }
            break;
        }
        case TsSkinMessage::AC_SETHALFVISIBLE:
            HalfVisible = true;
            break;
        case TsSkinMessage::AC_GETSKININDEX:
            if (message.Param) *reinterpret_cast<int*>(message.Param) = SkinIndex;
            message.Result = 1;
            break;
        case TsSkinMessage::AC_MOUSEENTER:
            break;
        case TsSkinMessage::AC_MOUSELEAVE:
            if (FMouseAbove && control && !control->underMouse()) mouseLeft();
            break;
        case TsSkinMessage::AC_BEGINUPDATE:
        case TsSkinMessage::AC_ENDUPDATE:
            break;
        case TsSkinMessage::AC_GETBG:
            if (message.Param)
                AnswerBackground(*reinterpret_cast<TacBGInfo*>(message.Param), IsHot() ? 1 : 0);
            break;
        case TsSkinMessage::AC_GETSKINSTATE:
            if (message.Param == 1) {
                recomputePlainBit();
                TsSkinMessage::sendToChildren(control, TsSkinMessage::AC_GETSKINSTATE, 0, 1);
            } else {
                message.Result = CtrlSkinState;
            }
            break;
        case TsSkinMessage::AC_PRINTING:
            PrintDC = reinterpret_cast<QPainter*>(message.Param);
            if (PrintDC)
                CtrlSkinState |= ACS_PRINTING;
            else
                CtrlSkinState &= ~ACS_PRINTING;
            break;
        default:
            message.Handled = false;
            break;
    }
}
