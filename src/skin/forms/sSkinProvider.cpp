#include "skin/forms/sSkinProvider.h"

#include <QApplication>
#include <QCursor>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWhatsThis>
#include <QWindow>

#include "platform/form.h"
#include "platform/frame_host.h"
#include "platform/skin_message.h"
#include "skin/controls/sControlCache.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/forms/sWindowAdapters.h"
#include "skin/forms/sWindowAnimation.h"

namespace {

const QString kForm = QStringLiteral("FORM");
const QString kFormTitle = QStringLiteral("FORMTITLE");
const QString kCaption = QStringLiteral("CAPTION");
const QString kMenuLine = QStringLiteral("MENULINE");
const QString kGlobalInfo = QStringLiteral("GLOBALINFO");

// The caption font of the desktop's title bars.
QFont captionFont() {
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(13);
    return font;
}

Qt::Edges edgesOf(int code) {
    switch (code) {
        case HTLEFT:
            return Qt::LeftEdge;
        case HTRIGHT:
            return Qt::RightEdge;
        case HTTOP:
            return Qt::TopEdge;
        case HTBOTTOM:
            return Qt::BottomEdge;
        case HTTOPLEFT:
            return Qt::TopEdge | Qt::LeftEdge;
        case HTTOPRIGHT:
            return Qt::TopEdge | Qt::RightEdge;
        case HTBOTTOMLEFT:
            return Qt::BottomEdge | Qt::LeftEdge;
        case HTBOTTOMRIGHT:
            return Qt::BottomEdge | Qt::RightEdge;
        default:
            return {};
    }
}

// Whether the desktop moves and sizes the window when asked. On X11 the program does it
// itself, with or without a window manager: there a move the desktop starts after the mouse
// has already moved puts the window where the press was in the window's own coordinates.
// Elsewhere (Wayland) only the desktop can move a window.
bool desktopMoves() {
    static const bool own = QGuiApplication::platformName() == QLatin1String("xcb") ||
                            QGuiApplication::platformName().startsWith(QLatin1String("offscreen"));
    return !own;
}

bool isButtonCode(int code) {
    return code == HTCLOSE || code == HTMAXBUTTON || code == HTMINBUTTON || code == HTHELP;
}

int buttonOfCode(int code) {
    switch (code) {
        case HTCLOSE:
            return tbClose;
        case HTMAXBUTTON:
            return tbMaximize;
        case HTMINBUTTON:
            return tbMinimize;
        case HTHELP:
            return tbHelp;
        default:
            return -1;
    }
}

}  // namespace

TsSkinProvider::TsSkinProvider(QWidget* form, const QString& section, bool useGlobalColor)
    : QObject(form), SkinData(form, 0), form_(form), frameHost_(TFrameHost::of(form)) {
    UseGlobalColor = useGlobalColor;
    setObjectName(QStringLiteral("sSkinProvider1"));
    // Past its window's own destruction nothing of the provider may run: it goes at once,
    // before the window's other parts (the skin manager of the sign-in window among them).
    connect(form, &QObject::destroyed, this, [this] {
        formGone_ = true;
        delete this;
    });
    SkinData.setSkinSection(section.isEmpty() ? kForm : section);
    // Installed after the skin data's, this filter sees the window's events first.
    form->installEventFilter(this);
    // Tracking is on while the provider is (it lights the title buttons); the window gets
    // back what it had when the provider goes.
    hadMouseTracking_ = form->hasMouseTracking();
    form->setMouseTracking(true);
    TsSkinManager::addProviderForm(form);
    // The window's menus are the skin's too.
    TsSkinableMenus::of(SkinData.SkinManager());
    // Windows that come up without a provider are skinned as well.
    WatchNewWindows(SkinData.SkinManager());
    systemMenu_ = new TsSystemMenu(this);
    // The keys a desktop gives every window: the system menu and closing.
    // They belong to the window, and go with the provider, so that a provider made again
    // for the same window does not leave two of each.
    menuKey_ = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), form);
    connect(menuKey_, &QShortcut::activated, this, [this] {
        if (skinned_) showSystemMenuUnderIcon();
    });
    closeKey_ = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), form);
    connect(closeKey_, &QShortcut::activated, this, [this] {
        if (skinned_) closeWindow();
    });
    if (shouldSkin()) initialise();
}

TsSkinProvider::~TsSkinProvider() {
    TsSkinManager::removeProviderForm(form_);
    delete systemMenu_;
    delete menuKey_;
    delete closeKey_;
    if (!formGone_) form_->setMouseTracking(hadMouseTracking_);
}

TsSkinProvider* TsSkinProvider::of(const QWidget* form) {
    return form ? form->findChild<TsSkinProvider*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

TsBorderStyle TsSkinProvider::BorderStyle() const {
    return border_;
}

void TsSkinProvider::setBorderStyle(TsBorderStyle style) {
    if (style == border_) return;
    border_ = style;
    if (!skinned_) return;
    relayout();
    repaintFrame();
}

bool TsSkinProvider::shouldSkin() const {
    const TsSkinManager* manager = SkinData.SkinManager();
    return manager && manager->Active() && !manager->isRemoving() &&
           manager->IsValidSection(manager->FindSection(SkinData.SkinSection()));
}

int TsSkinProvider::sectionIndex(const QString& name) const {
    const TsSkinManager* manager = SkinData.SkinManager();
    return manager ? manager->FindSection(name) : -1;
}

int TsSkinProvider::glyphIndex(const QString& name) const {
    const TsSkinManager* manager = SkinData.SkinManager();
    if (!manager || name.isEmpty()) return -1;
    const int global = manager->FindSection(kGlobalInfo);
    return manager->FindImage(global, kGlobalInfo, name);
}

TsWindowKind TsSkinProvider::windowKind() const {
    TsWindowKind kind;
    kind.Border = border_;
    const Qt::WindowFlags flags = form_->windowFlags();
    kind.SystemMenu = true;
    // The border allows the buttons, the window's flags may still leave them out (a dialog of
    // the toolkit has no minimize or maximize button).
    kind.MinimizeIcon = (border_ == bsSizeable || border_ == bsSingle) &&
                        flags.testFlag(Qt::WindowMinimizeButtonHint);
    kind.MaximizeIcon = border_ == bsSizeable && flags.testFlag(Qt::WindowMaximizeButtonHint);
    kind.HelpIcon = flags.testFlag(Qt::WindowContextHelpButtonHint);
    kind.Maximized = maximized_;
    kind.Minimized = form_->isMinimized();
    const QWidget* menu = form_->layout() ? form_->layout()->menuBar() : nullptr;
    kind.MenuLines = menu && !menu->actions().isEmpty() ? 1 : 0;
    return kind;
}

bool TsSkinProvider::canMaximize() const {
    return border_ == bsSizeable && form_->minimumSize() != form_->maximumSize();
}

bool TsSkinProvider::canMinimize() const {
    return border_ == bsSizeable || border_ == bsSingle;
}

void TsSkinProvider::relayout() {
    const TsWindowKind kind = windowKind();
    sizes_ = FrameSizes(kind);
    const TsSkinManager* manager = SkinData.SkinManager();
    buttons_ = ChooseTitleButtons(kind, canMaximize(), canMinimize(),
                                  [this](const QString& name) { return glyphIndex(name) >= 0; });
    TsTitleButtonPlacement placement;
    if (manager) {
        const TsSkinData& data = manager->SkinData();
        placement = {data.BIRightMargin, data.BISpacing, data.BITopMargin, data.BIVAlign};
    }
    const auto glyphSize = [this, manager](const QString& name) {
        const int index = glyphIndex(name);
        if (!manager || index < 0) return QSize();
        const TsMaskData& item = manager->images()[size_t(index)];
        return QSize(TsSkinModel::FrameWidth(item), TsSkinModel::FrameHeight(item));
    };
    const int left = manager ? manager->SkinData().BILeftMargin : 0;
    icon_ = ShowAppIcon && ShowsTitleIcon(kind) ? TitleIconRect(sizes_, left) : QRect();
    // The window's menu bar is its layout's: it lies in the band under the title, which is
    // as high as the menu bar is.
    const QWidget* menu = form_->layout() ? form_->layout()->menuBar() : nullptr;
    if (sizes_.Menu > 0 && menu) sizes_.Menu = menu->sizeHint().height();
    QMargins client = sizes_.client();
    client.setTop(client.top() - sizes_.Menu);
    frameHost_->setInnerFrame(client);
    LayoutTitleButtons(buttons_, form_->width(), sizes_, placement, glyphSize);
    if (const int hot = buttonOfCode(hotButton_); hot >= 0) buttons_[hot].State = 1;
    SkinData.BGChanged = true;
    regionChanged_ = true;
}

void TsSkinProvider::initialise() {
    if (skinned_) {
        relayout();
        repaintFrame();
        return;
    }
    skinned_ = true;
    const bool visible = form_->isVisible();
    const QPoint place = form_->pos();
    hadFrame_ = !form_->windowFlags().testFlag(Qt::FramelessWindowHint);
    if (hadFrame_) frameHost_->setDesktopFrame(false);
    savedAutoFill_ = form_->autoFillBackground();
    savedPalette_ = form_->palette();
    // The window image paints the whole window, background included.
    form_->setAutoFillBackground(false);
    form_->setAttribute(Qt::WA_OpaquePaintEvent, true);
    const TsSkinManager* manager = SkinData.SkinManager();
    if (UseGlobalColor && manager) {
        QPalette palette = form_->palette();
        palette.setColor(QPalette::Window, ToQColor(manager->FormColor()));
        form_->setPalette(palette);
    }
    relayout();
    if (visible) {
        // The window keeps its place on the screen, now with the skin's frame.
        form_->move(place);
        form_->show();
    }
    repaintFrame();
}

void TsSkinProvider::giveBack() {
    if (!skinned_) return;
    skinned_ = false;
    const bool visible = form_->isVisible();
    if (maximized_) {
        maximized_ = false;
        form_->setGeometry(normalGeometry_);
    }
    const QPoint place = form_->pos();
    form_->clearMask();
    region_ = QRegion();
    frameHost_->setInnerFrame(QMargins());
    if (hadFrame_) frameHost_->setDesktopFrame(true);
    form_->setAttribute(Qt::WA_OpaquePaintEvent, false);
    form_->setPalette(savedPalette_);
    form_->setAutoFillBackground(savedAutoFill_);
    if (SkinData.FCacheBmp) *SkinData.FCacheBmp = Bitmap32();
    buttonStrip_ = Bitmap32();
    hotButton_ = pressedButton_ = 0;
    sizes_ = TsFrameSizes();
    form_->unsetCursor();
    if (visible) {
        form_->move(place);
        form_->show();
    }
    form_->update();
}

const Bitmap32& TsSkinProvider::windowImage() {
    if (SkinData.BGChanged || !SkinData.FCacheBmp || SkinData.FCacheBmp->isNull() ||
        SkinData.FCacheBmp->width() != form_->width() ||
        SkinData.FCacheBmp->height() != form_->height())
        paintImage();
    return *SkinData.FCacheBmp;
}

void TsSkinProvider::paintImage() {
    if (!SkinData.FCacheBmp) SkinData.FCacheBmp = std::make_unique<Bitmap32>();
    Bitmap32& image = *SkinData.FCacheBmp;
    SkinData.BGChanged = false;
    const int width = form_->width(), height = form_->height();
    if (width <= 0 || height <= 0) {
        image = Bitmap32();
        return;
    }
    if (image.width() != width || image.height() != height) image = CreateBitmap32(width, height);
    const TsSkinManager* manager = SkinData.SkinManager();
    if (!manager) return;
    const int state = activeState();
    const TCacheInfo self = MakeCacheInfo(&image, QPoint(0, 0));

    // The window's section over everything: borders and client background.
    TsSectionPaint paint;
    paint.SectionIndex = SkinData.SkinIndex;
    paint.SectionName = SkinData.SkinSection();
    paint.Parent = MakeCacheInfo(manager->FormColor());
    paint.Manager = manager;
    paint.Area = image.rect();
    paint.State = state;
    PaintSection(image, paint);

    // The title bar.
    const QString title = TitleSkin.isEmpty() ? kFormTitle : TitleSkin;
    const int titleIndex = sectionIndex(title);
    if (sizes_.Title > 0 && manager->IsValidSection(titleIndex)) {
        TsSectionPaint bar = paint;
        bar.SectionIndex = titleIndex;
        bar.SectionName = title;
        bar.Parent = self;
        bar.Area = QRect(sizes_.Border, sizes_.Border, width - 2 * sizes_.Border, sizes_.Title);
        PaintSection(image, bar);
    }
    // The menu bar's band; the menu bar itself paints its items over it.
    const QString menuLine = MenuLineSkin.isEmpty() ? kMenuLine : MenuLineSkin;
    const int menuIndex = sectionIndex(menuLine);
    if (sizes_.Menu > 0 && manager->IsValidSection(menuIndex)) {
        TsSectionPaint band = paint;
        band.SectionIndex = menuIndex;
        band.SectionName = menuLine;
        band.Parent = self;
        band.Area = QRect(sizes_.Border, sizes_.Border + sizes_.Title, width - 2 * sizes_.Border,
                          sizes_.Menu);
        PaintSection(image, band);
    }
    // The title icon.
    if (!icon_.isEmpty()) {
        QIcon icon = form_->windowIcon();
        if (icon.isNull()) icon = QApplication::windowIcon();
        if (!icon.isNull()) {
            QImage canvas = image.image();
            QPainter painter(&canvas);
            painter.drawPixmap(icon_, icon.pixmap(icon_.size()));
        }
    }
    paintCaption(image);
    // The title bar's right end is kept clean, so that one button can be drawn again alone.
    const int stripWidth = std::min(width, sizes_.Border + buttons_.Width + 10);
    buttonStripAt_ = QPoint(width - stripWidth, 0);
    buttonStrip_ =
        image.copy(QRect(buttonStripAt_, QSize(stripWidth, sizes_.Border + sizes_.Title)));
    paintButtons(image);
    // What lies behind the controls changed with the picture.
    TsSkinMessage::sendToChildren(form_, TsSkinMessage::AC_SETBGCHANGED);
}

void TsSkinProvider::paintCaption(Bitmap32& image) {
    const TsSkinManager* manager = SkinData.SkinManager();
    const QString title = TitleSkin.isEmpty() ? kFormTitle : TitleSkin;
    const int titleIndex = sectionIndex(title);
    const QString text = form_->windowTitle();
    if (sizes_.Title <= 0 || text.isEmpty() || !manager->IsValidSection(titleIndex)) return;
    const int plateIndex = sectionIndex(kCaption);
    const bool plate = manager->IsValidSection(plateIndex);
    const int left = manager->SkinData().BILeftMargin;
    QRect box = CaptionBox(form_->size(), sizes_, maximized_, icon_.isEmpty() ? 0 : icon_.width(),
                           left, plate, buttons_.Width);
    if (box.width() <= 0) return;
    const QFont font = captionFont();
    const QFontMetrics metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, box.width());
    const int textWidth = metrics.horizontalAdvance(shown);
    Qt::Alignment alignment = Qt::AlignLeft;
    bool rightToLeft = form_->layoutDirection() == Qt::RightToLeft;
    TCaptionAlignment wanted = CaptionAlignment;
    if (rightToLeft && wanted != taCenter)
        wanted = wanted == taLeftJustify ? taRightJustify : taLeftJustify;
    QRect textRect(box.left(), box.top(), textWidth, box.height());
    if (wanted == taRightJustify) {
        textRect.moveRight(box.right());
        alignment = Qt::AlignRight;
    } else if (wanted == taCenter) {
        textRect.moveLeft(std::max(box.left(), box.left() + (box.width() - textWidth) / 2));
    }
    const int state = activeState();
    if (plate) {
        TsSectionPaint back;
        back.SectionIndex = plateIndex;
        back.SectionName = kCaption;
        back.Parent = MakeCacheInfo(&image, QPoint(0, 0));
        back.Manager = manager;
        const int textHeight = metrics.height();
        const QRect line(textRect.left(), textRect.top() + (textRect.height() - textHeight) / 2,
                         textRect.width(), textHeight);
        back.Area = line.adjusted(-4, -2, 4, 2) & image.rect();
        back.State = state;
        if (!back.Area.isEmpty()) PaintSection(image, back);
    }
    const TsGeneralData& section = manager->sections()[titleIndex];
    const TsGenState& look = StateLook(section, LimitState(section, state));
    const int flags = int(alignment) | Qt::AlignVCenter | Qt::TextSingleLine |
                      (rightToLeft ? Qt::TextForceRightToLeft : 0);
    if (look.GlowSize > 0)
        PaintTextGlow(image, font, shown, flags, textRect, look.GlowColor, look.GlowSize);
    QImage canvas = image.image();
    QPainter painter(&canvas);
    painter.setFont(font);
    WriteSectionText(painter, shown, true, manager, LimitState(section, state), titleIndex, flags,
                     textRect);
}

void TsSkinProvider::paintButton(Bitmap32& image, const TsTitleButton& button) {
    const TsSkinManager* manager = SkinData.SkinManager();
    const int index = glyphIndex(button.Glyph);
    if (!button.Present || index < 0) return;
    const TsMaskData& glyph = manager->images()[size_t(index)];
    const TCacheInfo self = MakeCacheInfo(&image, QPoint(0, 0));
    // An inactive window, or a command not allowed now, shows the normal frame faded.
    if (!active_ || !button.Enabled) {
        Bitmap32 faded = image.copy(button.Rect);
        Bitmap32 clean = faded;
        DrawImageFrame(faded, QPoint(0, 0), 0, MakeCacheInfo(&clean, QPoint(0, 0)), glyph, 1);
        BlendBitmaps(faded, clean, 128, QPoint(0, 0), clean.rect());
        image.copyFrom(faded, faded.rect(), button.Rect.topLeft());
        return;
    }
    DrawImageFrame(image, button.Rect.topLeft(), button.State, self, glyph, 1);
}

void TsSkinProvider::paintButtons(Bitmap32& image) {
    for (const TsTitleButton& button : buttons_.Buttons)
        paintButton(image, button);
}

void TsSkinProvider::redrawButton(int kind) {
    if (!skinned_ || kind < 0 || !SkinData.FCacheBmp || SkinData.FCacheBmp->isNull()) return;
    Bitmap32& image = *SkinData.FCacheBmp;
    const TsTitleButton& button = buttons_[kind];
    if (!button.Present) return;
    // The clean strip under the button, then the button in its new state.
    image.copyFrom(buttonStrip_, button.Rect.translated(-buttonStripAt_), button.Rect.topLeft());
    paintButton(image, button);
    form_->update(button.Rect);
}

void TsSkinProvider::applyRegion() {
    regionChanged_ = false;
    QRegion shape;
    const TsSkinManager* manager = SkinData.SkinManager();
    if (maximized_) {
        // Nothing of the frame beyond the work area shows.
        shape = QRegion(form_->rect().marginsRemoved(
            QMargins(sizes_.Border, sizes_.Border, sizes_.Border, sizes_.Border)));
    } else if (manager && manager->IsValidImage(SkinData.BorderIndex)) {
        const TsMaskData& border = manager->images()[size_t(SkinData.BorderIndex)];
        const TsGeneralData& section = manager->sections()[SkinData.SkinIndex];
        const QRegion cut = BorderCutOff(border, LimitState(section, activeState()), form_->size());
        if (!cut.isEmpty()) shape = QRegion(form_->rect()) - cut;
    }
    if (shape == region_) return;
    region_ = shape;
    if (shape.isEmpty())
        form_->clearMask();
    else
        form_->setMask(shape);
}

void TsSkinProvider::repaintFrame() {
    SkinData.BGChanged = true;
    form_->update();
}

int TsSkinProvider::hitTest(QPoint point) const {
    if (!skinned_) return HTCLIENT;
    return FrameHitTest(point, form_->size(), windowKind(), sizes_, buttons_, icon_);
}

void TsSkinProvider::setHotButton(int code) {
    const int hot = isButtonCode(code) ? code : 0;
    if (hot == hotButton_) return;
    const int before = buttonOfCode(hotButton_);
    hotButton_ = hot;
    if (before >= 0) {
        buttons_[before].State = pressedButton_ == buttons_[before].HitCode ? 2 : 0;
        redrawButton(before);
    }
    const int now = buttonOfCode(hot);
    if (now >= 0) {
        buttons_[now].State = pressedButton_ == hot ? 2 : (pressedButton_ ? 0 : 1);
        redrawButton(now);
    }
}

void TsSkinProvider::setPressedButton(int code) {
    const int before = buttonOfCode(pressedButton_);
    pressedButton_ = code;
    if (before >= 0) {
        buttons_[before].State = hotButton_ == buttons_[before].HitCode && !code ? 1 : 0;
        redrawButton(before);
    }
    const int now = buttonOfCode(code);
    if (now >= 0) {
        buttons_[now].State = 2;
        redrawButton(now);
    }
}

void TsSkinProvider::runButton(int code) {
    switch (code) {
        case HTCLOSE:
            closeWindow();
            break;
        case HTMINBUTTON:
            if (form_->isMinimized())
                restoreWindow();
            else
                minimizeWindow();
            break;
        case HTMAXBUTTON:
            if (maximized_ || form_->isMinimized())
                restoreWindow();
            else
                maximizeWindow();
            break;
        case HTHELP:
            QWhatsThis::enterWhatsThisMode();
            break;
        default:
            break;
    }
}

void TsSkinProvider::closeWindow() {
    // As the desktop's close button: the window may refuse (a Yes/No message box does).
    closeThroughFrame(form_);
}

void TsSkinProvider::setSkinnedSystemMenu(bool skinned) {
    if (skinned == skinnedSystemMenu_) return;
    skinnedSystemMenu_ = skinned;
    // A menu that wears a style of its own is left alone by the skinned menus.
    systemMenu_->setStyle(skinned ? nullptr : QApplication::style());
}

void TsSkinProvider::minimizeWindow() {
    if (!canMinimize()) return;
    if (minimizing_) return;
    if (animatesMinimizing() && form_->isVisible()) {
        // The window's picture shrinks toward the desktop's panel before it goes; the picture
        // is kept for the way back.
        minimisedPicture_ = form_->grab().toImage();
        startMinimizeAnimation(false);
        return;
    }
    if (SkinData.FCacheBmp) *SkinData.FCacheBmp = Bitmap32();
    form_->showMinimized();
}

bool TsSkinProvider::animatesMinimizing() const {
    const TsSkinManager* manager = SkinData.SkinManager();
    return skinned_ && manager && manager->AnimEffects.Minimizing.Active &&
           manager->AnimEffects.Minimizing.Time > 0;
}

void TsSkinProvider::startMinimizeAnimation(bool restoring, bool shownByDesktop) {
    auto* animation = new TsMinimizeAnimation(form_, SkinData.SkinManager()->AnimEffects.Minimizing,
                                              restoring, minimisedPicture_);
    animation->setShownByDesktop(shownByDesktop);
    connect(animation, &TsMinimizeAnimation::finished, animation, &QObject::deleteLater);
    if (restoring)
        connect(animation, &TsMinimizeAnimation::finished, this,
                [this] { minimisedPicture_ = QImage(); });
    minimizing_ = animation;
    animation->start();
}

void TsSkinProvider::maximizeWindow() {
    if (!skinned_) {
        form_->showMaximized();
        return;
    }
    if (maximized_ || !canMaximize()) return;
    // The frame reaches past the work area by its width on every side; the region cuts that
    // part off, so the client fills the work area with the title above it.
    normalGeometry_ = form_->geometry();
    QScreen* screen = form_->screen() ? form_->screen() : QGuiApplication::primaryScreen();
    const int f = sizes_.Border;
    maximized_ = true;
    relayout();
    form_->setGeometry(screen->availableGeometry().marginsAdded(QMargins(f, f, f, f)));
    repaintFrame();
}

void TsSkinProvider::restoreWindow() {
    if (form_->isMinimized()) {
        if (minimizing_) return;
        // The picture grows out of the panel first; the window is shown at the end of it.
        if (animatesMinimizing()) {
            onPanel_ = false;
            offScreen_ = false;
            startMinimizeAnimation(true);
            return;
        }
        form_->showNormal();
        return;
    }
    if (!maximized_) return;
    maximized_ = false;
    relayout();
    form_->setGeometry(normalGeometry_);
    repaintFrame();
}

void TsSkinProvider::showSystemMenu(QPoint globalPosition) {
    systemMenu_->refresh();
    systemMenu_->popup(globalPosition);
}

void TsSkinProvider::showSystemMenuUnderIcon(std::optional<QPoint> origin) {
    const QRect anchor =
        icon_.isEmpty() ? QRect(sizes_.Border, sizes_.Border, 1, sizes_.Title) : icon_;
    const QPoint corner = origin ? *origin : form_->mapToGlobal(QPoint(0, 0));
    systemMenu_->refresh();
    systemMenu_->popupUnderIcon(corner + QPoint(anchor.left(), sizes_.Border + sizes_.Title),
                                anchor.translated(corner));
}

void TsSkinProvider::beginKeyboardMove() {
    if (!skinned_ || maximized_) return;
    keyboardMode_ = kmMove;
    keyboardStart_ = form_->geometry();
    form_->grabKeyboard();
    form_->setCursor(Qt::SizeAllCursor);
}

void TsSkinProvider::beginKeyboardSize() {
    if (!skinned_ || maximized_ || border_ != bsSizeable) return;
    keyboardMode_ = kmSize;
    keyboardStart_ = form_->geometry();
    form_->grabKeyboard();
    form_->setCursor(Qt::SizeFDiagCursor);
}

bool TsSkinProvider::keyboardModeEvent(QEvent* event) {
    if (keyboardMode_ == kmNone) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        keyboardMode_ = kmNone;
        form_->releaseKeyboard();
        form_->unsetCursor();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    QRect geometry = form_->geometry();
    const int step = 8;
    switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const int dx = key->key() == Qt::Key_Left    ? -step
                           : key->key() == Qt::Key_Right ? step
                                                         : 0;
            const int dy = key->key() == Qt::Key_Up ? -step : key->key() == Qt::Key_Down ? step : 0;
            if (keyboardMode_ == kmMove) {
                form_->move(form_->pos() + QPoint(dx, dy));
            } else {
                geometry.setSize((geometry.size() + QSize(dx, dy))
                                     .expandedTo(form_->minimumSize())
                                     .boundedTo(form_->maximumSize()));
                form_->setGeometry(geometry);
            }
            return true;
        }
        case Qt::Key_Escape:
            form_->setGeometry(keyboardStart_);
            [[fallthrough]];
        case Qt::Key_Return:
        case Qt::Key_Enter:
            keyboardMode_ = kmNone;
            form_->releaseKeyboard();
            form_->unsetCursor();
            return true;
        default:
            return true;
    }
}

void TsSkinProvider::updateCursor(int code) {
    switch (code) {
        case HTLEFT:
        case HTRIGHT:
            form_->setCursor(Qt::SizeHorCursor);
            break;
        case HTTOP:
        case HTBOTTOM:
            form_->setCursor(Qt::SizeVerCursor);
            break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            form_->setCursor(Qt::SizeFDiagCursor);
            break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            form_->setCursor(Qt::SizeBDiagCursor);
            break;
        default:
            form_->unsetCursor();
            break;
    }
}

bool TsSkinProvider::mouseEvent(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint point = mouse->position().toPoint();
    // Where the mouse is on the screen. While the program moves its window itself, the
    // event's own screen position follows the window's last known place, which a window
    // manager may not have confirmed yet; the pointer's place is the one to follow.
    const QPoint global = manualDrag_ && QGuiApplication::platformName() == QLatin1String("xcb")
                              ? QCursor::pos()
                              : mouse->globalPosition().toPoint();
    switch (event->type()) {
        case QEvent::MouseMove: {
            if (pressCode_ == HTCAPTION && !manualDrag_ && (mouse->buttons() & Qt::LeftButton)) {
                if ((global - pressGlobal_).manhattanLength() < QApplication::startDragDistance())
                    return true;
                // Past a few pixels the press becomes a move: the desktop's, or our own where
                // the desktop cannot (no window manager).
                QWindow* window = form_->windowHandle();
                if (desktopMoves() && window && window->startSystemMove()) {
                    pressCode_ = 0;
                    setHotButton(0);
                    return true;
                }
                // From the press on, as the desktop would have moved it.
                manualDrag_ = true;
            }
            if (manualDrag_) {
                const QPoint delta = global - pressGlobal_;
                if (pressCode_ == HTCAPTION) {
                    form_->move(pressGeometry_.topLeft() + delta);
                } else {
                    QRect geometry = pressGeometry_;
                    const Qt::Edges edges = edgesOf(pressCode_);
                    if (edges & Qt::LeftEdge) geometry.setLeft(geometry.left() + delta.x());
                    if (edges & Qt::RightEdge) geometry.setRight(geometry.right() + delta.x());
                    if (edges & Qt::TopEdge) geometry.setTop(geometry.top() + delta.y());
                    if (edges & Qt::BottomEdge) geometry.setBottom(geometry.bottom() + delta.y());
                    const QSize size = geometry.size()
                                           .expandedTo(form_->minimumSize())
                                           .boundedTo(form_->maximumSize());
                    if (edges & Qt::LeftEdge) geometry.setLeft(geometry.right() - size.width() + 1);
                    if (edges & Qt::TopEdge) geometry.setTop(geometry.bottom() - size.height() + 1);
                    geometry.setSize(size);
                    form_->setGeometry(geometry);
                }
                return true;
            }
            const int code = hitTest(point);
            if (!(mouse->buttons() & Qt::LeftButton) || pressedButton_) setHotButton(code);
            updateCursor(code);
            return code != HTCLIENT;
        }
        case QEvent::MouseButtonPress: {
            const int code = hitTest(point);
            if (code == HTCLIENT) return false;
            if (mouse->button() == Qt::RightButton) return true;  // the menu opens on release
            if (mouse->button() != Qt::LeftButton) return true;
            if (isButtonCode(code)) {
                setHotButton(code);
                setPressedButton(code);
                return true;
            }
            if (code == HTSYSMENU) {
                showSystemMenuUnderIcon(global - point);
                return true;
            }
            if (code == HTCAPTION) {
                if (maximized_) return true;  // a maximised window only comes to the front
                pressCode_ = HTCAPTION;
                pressGlobal_ = global;
                pressGeometry_ = form_->geometry();
                return true;
            }
            if (edgesOf(code)) {
                QWindow* window = form_->windowHandle();
                if (desktopMoves() && window && window->startSystemResize(edgesOf(code)))
                    return true;
                beginManualMove(global, code);
                return true;
            }
            return true;
        }
        case QEvent::MouseButtonRelease: {
            const int code = hitTest(point);
            if (mouse->button() == Qt::RightButton) {
                if (code == HTCAPTION || code == HTSYSMENU) {
                    showSystemMenu(global);
                    return true;
                }
                return code != HTCLIENT;
            }
            if (mouse->button() != Qt::LeftButton) return code != HTCLIENT;
            const bool handled = pressedButton_ || pressCode_ || manualDrag_ || code != HTCLIENT;
            const int pressed = pressedButton_;
            pressCode_ = 0;
            manualDrag_ = false;
            if (pressed) {
                setPressedButton(0);
                setHotButton(code);
                // The command runs only when the mouse is let go over the same button.
                if (code == pressed) runButton(code);
            }
            return handled;
        }
        case QEvent::MouseButtonDblClick: {
            const int code = hitTest(point);
            if (mouse->button() != Qt::LeftButton) return code != HTCLIENT;
            if (code == HTSYSMENU) {
                systemMenu_->hide();
                closeWindow();
                return true;
            }
            if (code == HTCAPTION) {
                pressCode_ = 0;
                if (maximized_ || form_->isMinimized())
                    restoreWindow();
                else if (canMaximize())
                    maximizeWindow();
                return true;
            }
            return code != HTCLIENT;
        }
        default:
            return false;
    }
}

void TsSkinProvider::beginManualMove(QPoint global, int code) {
    manualDrag_ = true;
    pressCode_ = code;
    pressGlobal_ = global;
    pressGeometry_ = form_->geometry();
}

bool TsSkinProvider::skinCommand(TsSkinMessage& message) {
    const bool ours = message.Param == quintptr(SkinData.SkinManager());
    switch (message.Command) {
        case TsSkinMessage::AC_SETNEWSKIN:
        case TsSkinMessage::AC_REFRESH:
            if (!ours) return false;
            SkinData.RefreshIndexes();
            if (shouldSkin())
                initialise();
            else
                giveBack();
            return false;  // the skin data passes it on to the controls
        case TsSkinMessage::AC_REMOVESKIN:
            if (ours) giveBack();
            return false;
        case TsSkinMessage::AC_GETPROVIDER:
            message.Result = qintptr(this);
            message.Handled = true;
            return true;
        case TsSkinMessage::AC_PREPARECACHE:
            if (skinned_) windowImage();
            message.Handled = true;
            return true;
        case TsSkinMessage::AC_GETBG:
            // The skin data answers with the window image, which must be up to date.
            if (skinned_) windowImage();
            return false;
        case TsSkinMessage::AC_PREPARING:
            if (!skinned_) return false;
            // The window image is painted on demand; a stale one is painted now.
            message.Result = 0;
            if (SkinData.BGChanged) windowImage();
            message.Handled = true;
            return true;
        default:
            return false;
    }
}

bool TsSkinProvider::windowSystemEvent(QEvent* event) {
    // The desktop mapped the minimised window again (its panel, its window list): the window
    // has not painted yet, so the picture growing out of the panel can still cover it. The
    // program's own restore has shown the window at the end of its animation already.
    // The window left the screen (the desktop unmapped it) and comes back to it: that is a
    // restore, whether or not the desktop has told the new state yet.
    if (event->type() != QEvent::Expose || !onPanel_) return false;
    const QWindow* handle = form_->windowHandle();
    if (!handle->isExposed()) {
        offScreen_ = true;
    } else if (offScreen_ || !form_->isMinimized()) {
        backFromPanel();
    }
    return false;
}

void TsSkinProvider::backFromPanel() {
    if (!onPanel_) return;
    onPanel_ = false;
    offScreen_ = false;
    if (minimizing_ || !animatesMinimizing() || !form_->isVisible()) return;
    if (minimisedPicture_.isNull()) return;
    startMinimizeAnimation(true, true);
}

bool TsSkinProvider::eventFilter(QObject* watched, QEvent* event) {
    if (watched && watched == form_->windowHandle() && watched != form_)
        return windowSystemEvent(event);
    if (watched != form_) return false;
    if (event->type() == TsSkinMessage::eventType())
        return skinCommand(*static_cast<TsSkinMessage*>(event));
    if (keyboardModeEvent(event)) return true;
    if (!skinned_) return false;
    switch (event->type()) {
        case QEvent::Paint: {
            auto* paint = static_cast<QPaintEvent*>(event);
            if (regionChanged_) applyRegion();
            const Bitmap32& image = windowImage();
            QPainter painter(form_);
            CopyToScreen(painter, image, paint->rect() & image.rect());
            return true;
        }
        case QEvent::Resize:
            relayout();
            SkinData.BGChanged = true;
            form_->update();
            return false;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate: {
            const bool active = event->type() == QEvent::WindowActivate;
            if (active != active_) {
                active_ = active;
                regionChanged_ = true;
                repaintFrame();
            }
            return false;
        }
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
            repaintFrame();
            return false;
        case QEvent::WindowStateChange: {
            relayout();
            repaintFrame();
            // Whichever the desktop sends first, the new state or the expose, starts the
            // way back.
            if (static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized &&
                !form_->isMinimized())
                backFromPanel();
            if (form_->isMinimized()) {
                onPanel_ = true;
                if (minimisedPicture_.isNull()) minimisedPicture_ = form_->grab().toImage();
                if (QWindow* handle = form_->windowHandle()) {
                    handle->removeEventFilter(this);
                    handle->installEventFilter(this);
                }
            }
            return false;
        }
        case QEvent::Show: {
            // Shown through its picture (at once with no time for frames).
            const TsSkinManager* manager = SkinData.SkinManager();
            if (manager && skinned_ && !static_cast<QShowEvent*>(event)->spontaneous())
                TsShowAnimation::start(form_, border_ == bsDialog ? manager->AnimEffects.DialogShow
                                                                  : manager->AnimEffects.FormShow);
            return false;
        }
        case QEvent::Leave:
            setHotButton(0);
            if (!manualDrag_) form_->unsetCursor();
            return false;
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return mouseEvent(event);
        default:
            return false;
    }
}
