#include "skin/forms/sDialogWrappers.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QStyleOptionSpinBox>
#include <QStyleOptionToolBar>
#include <QStyleOptionToolButton>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

#include "platform/skin_message.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sControlStyle.h"
#include "skin/controls/sScrollBar.h"
#include "skin/controls/sScrollWnd.h"
#include "skin/controls/sSelectionDelegate.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

// The control categories of the wrapped controls, as their skinned counterparts count: the
// tool button is hot by the mouse, a tool bar never is.
constexpr int kPlainKind = 0;
constexpr int kToolButtonKind = 98;
constexpr int kToolBarKind = 54;

// The width of a spin box's buttons.
constexpr int kSpinButtonWidth = 16;
// The thickness of a slider's groove, and the length of its tick marks.
constexpr int kGrooveThickness = 6;
constexpr int kTickLength = 3;
// The room a tab keeps around its caption, and a tool button around its content.
constexpr int kTabMargin = 4;
constexpr int kToolMargin = 3;
// The width a tool button keeps on the right for the arrow of its menu.
constexpr int kMenuArrowWidth = 12;

// The options the platform paints a control from: a protected member of each class, reached
// through a pointer to it.
template <typename Control>
struct OptionAccess : Control {
    using Control::initStyleOption;
};

template <typename Option, typename Control>
Option optionOf(const Control* control) {
    Option option;
    void (Control::*init)(Option*) const = &OptionAccess<Control>::initStyleOption;
    (control->*init)(&option);
    return option;
}

QStyleOptionSpinBox spinOption(const QAbstractSpinBox* spin) {
    return optionOf<QStyleOptionSpinBox>(spin);
}
QStyleOptionSlider sliderOption(const QSlider* slider) {
    return optionOf<QStyleOptionSlider>(slider);
}

// The name of the first of `sections` that the default manager's skin has; the first of them
// while there is no skin.
QString chosenSection(const TsSkinManager* manager, const QStringList& sections) {
    const int index = FirstSkinSection(manager, sections);
    return index >= 0 ? manager->sections()[index].ClassName : sections.value(0);
}

QMargins marginsOf(const TsSkinManager* manager, int border) {
    if (!manager || !manager->IsValidImage(border)) return QMargins();
    const TsMaskData& item = manager->images()[size_t(border)];
    return QMargins(item.WL, item.WT, item.WR, item.WB);
}

// A palette in which an edit writes over a picture under it: no field of its own, the text
// and the selection in the skin's colours.
QPalette overPicture(QPalette palette, const TsSkinManager& manager, QColor text) {
    palette.setBrush(QPalette::Base, Qt::NoBrush);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Highlight, ToQColor(manager.SelectionColor(true)));
    palette.setColor(QPalette::HighlightedText, ToQColor(manager.SelectionTextColor(true)));
    return palette;
}

// The style of a wrapped spin box: its buttons lie inside the field's ring on the right (on
// the left read right to left), where the wrapper paints them, and the edit between.
class SpinStyle : public TsControlStyle {
public:
    explicit SpinStyle(std::function<QMargins()> border) : border_(std::move(border)) {}

    static QRect part(const QRect& box, const QMargins& border, bool buttons, SubControl which,
                      Qt::LayoutDirection direction) {
        const QRect inner = box.marginsRemoved(border);
        const int width = buttons ? std::min(kSpinButtonWidth, std::max(0, inner.width())) : 0;
        const QRect column(inner.right() + 1 - width, inner.top(), width, inner.height());
        QRect result;
        switch (which) {
            case SC_SpinBoxUp:
                result = QRect(column.left(), column.top(), width, column.height() / 2);
                break;
            case SC_SpinBoxDown:
                result = QRect(column.left(), column.top() + column.height() / 2, width,
                               column.height() - column.height() / 2);
                break;
            case SC_SpinBoxEditField:
                result = QRect(QPoint(inner.left() + 1, inner.top()),
                               QPoint(column.left() - 1, inner.bottom()));
                break;
            default:
                return box;
        }
        return QStyle::visualRect(direction, box, result);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl which,
                         const QWidget* widget) const override {
        if (control != CC_SpinBox || which == SC_SpinBoxFrame)
            return TsControlStyle::subControlRect(control, option, which, widget);
        const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
        const bool buttons = !spin || spin->buttonSymbols != QAbstractSpinBox::NoButtons;
        return part(option->rect, border_(), buttons, which, option->direction);
    }

    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& point, const QWidget* widget) const override {
        if (control != CC_SpinBox)
            return TsControlStyle::hitTestComplexControl(control, option, point, widget);
        for (const SubControl which : {SC_SpinBoxUp, SC_SpinBoxDown, SC_SpinBoxEditField})
            if (subControlRect(control, option, which, widget).contains(point)) return which;
        return option->rect.contains(point) ? SC_SpinBoxFrame : SC_None;
    }

private:
    std::function<QMargins()> border_;
};

}  // namespace

int FirstSkinSection(const TsSkinManager* manager, const QStringList& sections) {
    if (!manager) return -1;
    for (const QString& name : sections) {
        const int index = manager->FindSection(name);
        if (manager->IsValidSection(index)) return index;
    }
    return -1;
}

// ---- the common part ------------------------------------------------------------------------

TsDialogControlWrapper::TsDialogControlWrapper(QWidget* widget, const QStringList& sections,
                                               int kind)
    : TsWidgetWrapper(widget, chosenSection(TsSkinManager::DefaultManager(), sections), kind),
      sections_(sections) {}

void TsDialogControlWrapper::apply(bool skinned) {
    if (skinned) {
        if (!saved_) save();
        saved_ = true;
        style();
    } else if (saved_) {
        saved_ = false;
        restore();
    }
}

bool TsDialogControlWrapper::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget() || !widgetAlive() || event->type() != TsSkinMessage::eventType())
        return TsWidgetWrapper::eventFilter(watched, event);
    auto* message = static_cast<TsSkinMessage*>(event);
    const int command = message->Command;
    const bool ours = message->Param == quintptr(SkinData().SkinManager());
    // A new skin may lack the section the last one had, or have a better one.
    if (ours && command == TsSkinMessage::AC_SETNEWSKIN)
        SkinData().setSkinSection(chosenSection(SkinData().SkinManager(), sections_));
    const bool answered = TsWidgetWrapper::eventFilter(watched, event);
    // The skin's settings of a new skin, or of the same one refreshed.
    if (ours && saved_ && skinned() &&
        (command == TsSkinMessage::AC_SETNEWSKIN || command == TsSkinMessage::AC_REFRESH))
        style();
    return answered;
}

void TsDialogControlWrapper::paintPart(Bitmap32& cache, int section, const QRect& area,
                                       int state) const {
    const TsSkinManager* skin = manager();
    const QRect place = area & cache.rect();
    if (!skin || !skin->IsValidSection(section) || place.isEmpty()) return;
    // What the cache holds shows through the part's transparent pixels.
    const Bitmap32 under = cache;
    TsSectionPaint paint;
    paint.SectionIndex = section;
    paint.SectionName = skin->sections()[section].ClassName;
    paint.Parent = MakeCacheInfo(&under, QPoint(0, 0));
    paint.Manager = skin;
    paint.Area = place;
    paint.State = LimitState(skin->sections()[section], state);
    PaintSection(cache, paint);
}

TColor TsDialogControlWrapper::textColour(int section, int state) const {
    const TsSkinManager* skin = manager();
    if (!skin || !skin->IsValidSection(section)) return ColorToRGB(clBtnText);
    const TsGeneralData& data = skin->sections()[section];
    return ColorToRGB(StateLook(data, LimitState(data, state)).FontColor[0]);
}

QMargins TsDialogControlWrapper::borderMargins() const {
    return marginsOf(manager(), SkinData().BorderIndex);
}

// ---- tab bars -------------------------------------------------------------------------------

// Not every skin has tabs ("PAGECONTROL"): the tool button's look, normal, hot and pressed,
// reads as a row of tabs with the current one pressed; a push button's as well.
TsTabBarWrapper::TsTabBarWrapper(QTabBar* bar)
    : TsDialogControlWrapper(bar,
                             {QStringLiteral("PAGECONTROL"), QStringLiteral("TOOLBUTTON"),
                              QStringLiteral("BUTTON")},
                             kPlainKind),
      bar_(bar) {
    start();
}

TsTabBarWrapper::~TsTabBarWrapper() {
    release();
}

void TsTabBarWrapper::save() {
    ownTracking_ = bar_->hasMouseTracking();
}

void TsTabBarWrapper::style() {
    // The tab under the mouse is hot: the bar hears of every move.
    bar_->setMouseTracking(true);
}

void TsTabBarWrapper::restore() {
    bar_->setMouseTracking(ownTracking_);
    hovered_ = -1;
}

int TsTabBarWrapper::tabState(int tab) const {
    if (tab == bar_->currentIndex()) return 2;
    if (tab == hovered_ && bar_->isEnabled() && bar_->isTabEnabled(tab)) return 1;
    return 0;
}

QString TsTabBarWrapper::lookKey() const {
    QString key = QString::number(bar_->currentIndex()) + u'/' + QString::number(hovered_);
    for (int tab = 0; tab < bar_->count(); ++tab) {
        const QRect place = bar_->tabRect(tab);
        key += QStringLiteral("|%1,%2,%3,%4,").arg(place.x()).arg(place.y()).arg(place.width())
                   .arg(place.height()) +
               bar_->tabText(tab) + QChar(bar_->isTabEnabled(tab) ? u'e' : u'-');
    }
    return key;
}

bool TsTabBarWrapper::widgetEvent(QEvent* event) {
    int now = hovered_;
    switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::HoverMove:
            now = bar_->tabAt(static_cast<QSinglePointEvent*>(event)->position().toPoint());
            break;
        case QEvent::Leave:
        case QEvent::HoverLeave:
            now = -1;
            break;
        default:
            break;
    }
    if (now != hovered_) {
        hovered_ = now;
        if (skinned()) Cache().invalidate();
    }
    return false;
}

void TsTabBarWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    const TsSkinManager* skin = manager();
    const int section = SkinData().SkinIndex;
    const bool enabled = bar_->isEnabled();
    // Between and beside the tabs the parent shows.
    CopyParentBackground(cache, cache.rect(), parent);
    for (int tab = 0; tab < bar_->count(); ++tab)
        paintPart(cache, section, bar_->tabRect(tab), tabState(tab));

    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(bar_->font());
    for (int tab = 0; tab < bar_->count(); ++tab) {
        QRect area = bar_->tabRect(tab).adjusted(kTabMargin, 0, -kTabMargin, 0);
        if (area.isEmpty()) continue;
        const int state = tabState(tab);
        const QIcon icon = bar_->tabIcon(tab);
        if (!icon.isNull()) {
            const QSize size = bar_->iconSize();
            const QPoint at(area.left(), area.top() + (area.height() - size.height()) / 2);
            canvas.drawPixmap(at, icon.pixmap(size, enabled && bar_->isTabEnabled(tab)
                                                        ? QIcon::Normal
                                                        : QIcon::Disabled));
            area.setLeft(area.left() + size.width() + kTabMargin);
        }
        // The tab's own buttons (closing it) keep their place.
        for (const QTabBar::ButtonPosition side : {QTabBar::LeftSide, QTabBar::RightSide}) {
            const QWidget* button = bar_->tabButton(tab, side);
            if (!button || !button->isVisible()) continue;
            if (button->geometry().center().x() < area.center().x())
                area.setLeft(std::max(area.left(), button->geometry().right() + 1));
            else
                area.setRight(std::min(area.right(), button->geometry().left() - 1));
        }
        const QString text = canvas.fontMetrics().elidedText(bar_->tabText(tab),
                                                             bar_->elideMode(), area.width(),
                                                             Qt::TextShowMnemonic);
        WriteSectionText(canvas, text, enabled && bar_->isTabEnabled(tab), skin,
                         LimitState(skin->sections()[section], state), section,
                         Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, area);
    }
    canvas.end();
    if (!enabled) ApplyDisabledLook(cache, parent, dkBlended);
}

// ---- lists and trees ------------------------------------------------------------------------

TsItemViewWrapper::TsItemViewWrapper(QAbstractItemView* view)
    : TsDialogControlWrapper(view, {QStringLiteral("EDIT")}, kPlainKind), view_(view) {
    // The view's own colours are kept before anything of the skin touches them.
    ownPalette_ = view->palette();
    ownDelegate_ = view->itemDelegate();
    // A tree of one column marks the text of its node, as the skinned tree does; a list or a
    // table of columns marks the whole row of each column.
    const auto* tree = qobject_cast<const QTreeView*>(view);
    const bool nodes = tree && (tree->isHeaderHidden() || tree->header()->count() <= 1);
    delegate_ = new TsSelectionDelegate(
        SkinData(), nodes ? TsSelectionDelegate::saText : TsSelectionDelegate::saItem, false,
        this, ownDelegate_);
    scrollWnd_ = TsScrollWnd::attach(view, QStringLiteral("EDIT"), SkinData().SkinManager());
    start();
}

TsItemViewWrapper::~TsItemViewWrapper() {
    release();
    if (!widgetAlive() || !scrollWnd_) return;
    // The frame and the bars go back to the platform's before the component goes.
    scrollWnd_->setEnabled(false);
    delete scrollWnd_.data();
}

void TsItemViewWrapper::style() {
    const TsSkinManager* skin = manager();
    const TsGeneralData& section = skin->sections()[SkinData().SkinIndex];
    QPalette palette = ownPalette_;
    palette.setColor(QPalette::Base, ToQColor(section.Color));
    palette.setColor(QPalette::Text, ToQColor(section.FontColor[0]));
    view_->setPalette(palette);
    if (view_->itemDelegate() != delegate_) view_->setItemDelegate(delegate_);
    view_->viewport()->update();
}

void TsItemViewWrapper::restore() {
    if (view_->itemDelegate() == delegate_) view_->setItemDelegate(ownDelegate_);
    view_->setPalette(ownPalette_);
    view_->viewport()->update();
}

// ---- one-line edits -------------------------------------------------------------------------

TsLineEditWrapper::TsLineEditWrapper(QLineEdit* edit)
    : TsDialogControlWrapper(edit, {QStringLiteral("EDIT")}, kPlainKind), edit_(edit) {
    start();
}

TsLineEditWrapper::~TsLineEditWrapper() {
    release();
}

void TsLineEditWrapper::save() {
    ownFrame_ = edit_->hasFrame();
    ownMargins_ = edit_->textMargins();
    ownPalette_ = edit_->palette();
}

void TsLineEditWrapper::style() {
    // The ring is the skin's: the text stays inside it, on the picture's field.
    edit_->setFrame(false);
    edit_->setTextMargins(borderMargins());
    const TsGeneralData& section = manager()->sections()[SkinData().SkinIndex];
    edit_->setPalette(overPicture(ownPalette_, *manager(), ToQColor(section.FontColor[0])));
}

void TsLineEditWrapper::restore() {
    edit_->setFrame(ownFrame_);
    edit_->setTextMargins(ownMargins_);
    edit_->setPalette(ownPalette_);
}

void TsLineEditWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    PaintControlSection(SkinData(), parent, skinState(), cache, QPoint(0, 0), cache.rect());
    if (!edit_->isEnabled()) ApplyDisabledLook(cache, parent, dkBlended);
}

// ---- spin boxes -----------------------------------------------------------------------------

TsSpinBoxWrapper::TsSpinBoxWrapper(QAbstractSpinBox* spin)
    : TsDialogControlWrapper(spin, {QStringLiteral("EDIT")}, kPlainKind), spin_(spin) {
    style_ = new SpinStyle([this] { return borderMargins(); });
    style_->setParent(this);
    start();
}

TsSpinBoxWrapper::~TsSpinBoxWrapper() {
    release();
}

// The buttons' own section; a skin without small buttons gives them the look of its speed
// buttons or push buttons, so that they still read as buttons of the skin.
static int spinButtonSection(const TsSkinManager* manager) {
    return FirstSkinSection(manager, {QStringLiteral("SPEEDBUTTON_SMALL"),
                                      QStringLiteral("SPEEDBUTTON"), QStringLiteral("BUTTON")});
}

void TsSpinBoxWrapper::save() {
    ownHover_ = spin_->testAttribute(Qt::WA_Hover);
    if (QLineEdit* edit = spin_->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
        ownEditPalette_ = edit->palette();
}

void TsSpinBoxWrapper::style() {
    // A spin box that wears a style of its own keeps its buttons where that style puts them.
    if (!spin_->testAttribute(Qt::WA_SetStyle) || spin_->style() == style_)
        style_->wear(spin_, true);
    // The button under the mouse is hot.
    spin_->setAttribute(Qt::WA_Hover, true);
    if (QLineEdit* edit = spin_->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)) {
        const TsGeneralData& section = manager()->sections()[SkinData().SkinIndex];
        edit->setPalette(overPicture(ownEditPalette_, *manager(), ToQColor(section.FontColor[0])));
    }
}

void TsSpinBoxWrapper::restore() {
    style_->wear(spin_, false);
    spin_->setAttribute(Qt::WA_Hover, ownHover_);
    if (QLineEdit* edit = spin_->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
        edit->setPalette(ownEditPalette_);
}

QRect TsSpinBoxWrapper::upRect() const {
    const QStyleOptionSpinBox option = spinOption(spin_);
    return spin_->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin_);
}

QRect TsSpinBoxWrapper::downRect() const {
    const QStyleOptionSpinBox option = spinOption(spin_);
    return spin_->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown,
                                          spin_);
}

int TsSpinBoxWrapper::buttonState(bool up) const {
    const QStyleOptionSpinBox option = spinOption(spin_);
    const QStyle::SubControl which = up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown;
    const QAbstractSpinBox::StepEnabledFlag step =
        up ? QAbstractSpinBox::StepUpEnabled : QAbstractSpinBox::StepDownEnabled;
    if (!spin_->isEnabled() || !(option.stepEnabled & step) ||
        !(option.activeSubControls & which))
        return 0;
    return option.state & QStyle::State_Sunken ? 2 : 1;
}

int TsSpinBoxWrapper::upState() const {
    return buttonState(true);
}

int TsSpinBoxWrapper::downState() const {
    return buttonState(false);
}

QString TsSpinBoxWrapper::lookKey() const {
    const QStyleOptionSpinBox option = spinOption(spin_);
    return QStringLiteral("%1/%2/%3/%4")
        .arg(upState())
        .arg(downState())
        .arg(int(option.stepEnabled))
        .arg(int(option.buttonSymbols));
}

void TsSpinBoxWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    PaintControlSection(SkinData(), parent, skinState(), cache, QPoint(0, 0), cache.rect());
    const QStyleOptionSpinBox option = spinOption(spin_);
    if (option.buttonSymbols != QAbstractSpinBox::NoButtons) {
        const int section = spinButtonSection(manager());
        const TColor field = ColorToRGB(
            StateLook(manager()->sections()[SkinData().SkinIndex], skinState()).Color);
        for (const bool up : {true, false}) {
            const QRect place = up ? upRect() : downRect();
            const int state = buttonState(up);
            paintPart(cache, section, place, state);
            const bool stepping =
                option.stepEnabled &
                (up ? QAbstractSpinBox::StepUpEnabled : QAbstractSpinBox::StepDownEnabled);
            // A step that cannot be taken shows its arrow half faded into the field.
            TColor mark = section >= 0 ? textColour(section, state)
                                       : textColour(SkinData().SkinIndex, 0);
            if (!stepping) mark = MixColours(mark, field, 0.5);
            if (option.buttonSymbols == QAbstractSpinBox::PlusMinus) {
                const QPoint centre = place.center();
                const QRect across(centre.x() - 3, centre.y(), 7, 1);
                FillRect32(cache, across, mark);
                if (up) FillRect32(cache, QRect(centre.x(), centre.y() - 3, 1, 7), mark);
            } else {
                PaintArrowGlyph(cache, place, up ? Qt::UpArrow : Qt::DownArrow, mark);
            }
        }
    }
    if (!spin_->isEnabled()) ApplyDisabledLook(cache, parent, dkBlended);
}

// ---- sliders --------------------------------------------------------------------------------

// A skin without a track bar section ("TRACKBAR") gives the groove an edit's look, a sunken
// field, and the handle a push button's, so that the slider still reads as part of the
// skinned window.
TsSliderWrapper::TsSliderWrapper(QSlider* slider)
    : TsDialogControlWrapper(slider, {QStringLiteral("TRACKBAR"), QStringLiteral("EDIT")},
                             kPlainKind),
      slider_(slider) {
    start();
}

TsSliderWrapper::~TsSliderWrapper() {
    release();
}

void TsSliderWrapper::save() {
    ownHover_ = slider_->testAttribute(Qt::WA_Hover);
}

void TsSliderWrapper::style() {
    // The handle is hot under the mouse.
    slider_->setAttribute(Qt::WA_Hover, true);
}

void TsSliderWrapper::restore() {
    slider_->setAttribute(Qt::WA_Hover, ownHover_);
}

int TsSliderWrapper::grooveSection() const {
    return SkinData().SkinIndex;
}

int TsSliderWrapper::handleSection() const {
    const TsSkinManager* skin = manager();
    if (!skin || !skin->IsValidSection(SkinData().SkinIndex)) return -1;
    if (skin->sections()[SkinData().SkinIndex].ClassName == QStringLiteral("TRACKBAR"))
        return SkinData().SkinIndex;
    return FirstSkinSection(skin, {QStringLiteral("BUTTON")});
}

int TsSliderWrapper::handleState() const {
    const QStyleOptionSlider option = sliderOption(slider_);
    if (!slider_->isEnabled()) return 0;
    if (slider_->isSliderDown()) return 2;
    return option.activeSubControls & QStyle::SC_SliderHandle ? 1 : 0;
}

QRect TsSliderWrapper::handleRect() const {
    const QStyleOptionSlider option = sliderOption(slider_);
    return slider_->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                            slider_);
}

QRect TsSliderWrapper::grooveRect() const {
    const QStyleOptionSlider option = sliderOption(slider_);
    const QRect groove = slider_->style()->subControlRect(QStyle::CC_Slider, &option,
                                                          QStyle::SC_SliderGroove, slider_);
    const QRect handle = handleRect();
    // A strip through the handle's middle, thick enough for the section's border.
    const QMargins border = marginsOf(manager(), manager() && manager()->IsValidSection(
                                                                 grooveSection())
                                                     ? manager()->sections()[grooveSection()]
                                                           .BorderIndex
                                                     : -1);
    if (slider_->orientation() == Qt::Horizontal) {
        const int thick = std::max(kGrooveThickness, border.top() + border.bottom() + 2);
        return QRect(groove.left(), handle.center().y() - thick / 2, groove.width(), thick);
    }
    const int thick = std::max(kGrooveThickness, border.left() + border.right() + 2);
    return QRect(handle.center().x() - thick / 2, groove.top(), thick, groove.height());
}

QString TsSliderWrapper::lookKey() const {
    return QStringLiteral("%1/%2/%3/%4/%5")
        .arg(slider_->sliderPosition())
        .arg(handleState())
        .arg(int(slider_->orientation()))
        .arg(int(slider_->tickPosition()))
        .arg(slider_->maximum() - slider_->minimum());
}

void TsSliderWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    const QRect handle = handleRect();
    CopyParentBackground(cache, cache.rect(), parent);
    paintPart(cache, grooveSection(), grooveRect(), 0);
    if (slider_->tickPosition() != QSlider::NoTicks) {
        const QStyleOptionSlider option = sliderOption(slider_);
        const bool horizontal = slider_->orientation() == Qt::Horizontal;
        const QRect groove = slider_->style()->subControlRect(QStyle::CC_Slider, &option,
                                                              QStyle::SC_SliderGroove, slider_);
        const int length = horizontal ? handle.width() : handle.height();
        const int span = (horizontal ? groove.width() : groove.height()) - length;
        const int start = (horizontal ? groove.left() : groove.top()) + length / 2;
        // Without an interval of its own a tick stands at every step, or at every page
        // where the steps would lie closer than three pixels, as the platform draws them.
        int interval = slider_->tickInterval();
        if (interval <= 0) {
            interval = slider_->singleStep();
            if (QStyle::sliderPositionFromValue(slider_->minimum(), slider_->maximum(),
                                                slider_->minimum() + interval, span) < 3)
                interval = slider_->pageStep();
        }
        interval = std::max(1, interval);
        const TColor colour = textColour(grooveSection(), 0);
        for (int value = slider_->minimum(); value <= slider_->maximum(); value += interval) {
            const int at = start + QStyle::sliderPositionFromValue(
                                       slider_->minimum(), slider_->maximum(), value, span,
                                       option.upsideDown);
            for (const QSlider::TickPosition side : {QSlider::TicksAbove, QSlider::TicksBelow}) {
                if (!(slider_->tickPosition() & side)) continue;
                const bool before = side == QSlider::TicksAbove;
                const QRect tick =
                    horizontal ? QRect(at, before ? handle.top() - kTickLength : handle.bottom() + 1,
                                       1, kTickLength)
                               : QRect(before ? handle.left() - kTickLength : handle.right() + 1,
                                       at, kTickLength, 1);
                FillRect32(cache, tick, colour);
            }
            if (value > slider_->maximum() - interval) break;
        }
    }
    paintPart(cache, handleSection(), handle, handleState());
    if (!slider_->isEnabled()) ApplyDisabledLook(cache, parent, dkBlended);
}

// ---- tool buttons and tool bars -------------------------------------------------------------

// A skin without tool buttons gives them the look of its speed buttons or push buttons.
TsToolButtonWrapper::TsToolButtonWrapper(QToolButton* button)
    : TsDialogControlWrapper(button,
                             {QStringLiteral("TOOLBUTTON"), QStringLiteral("SPEEDBUTTON"),
                              QStringLiteral("BUTTON")},
                             kToolButtonKind),
      button_(button) {
    start();
}

int TsToolButtonWrapper::state() const {
    if (button_->isDown() || button_->isChecked()) return 2;
    // Hot by the mouse alone, as the buttons of a tool bar are: the focus that a dialog
    // gives its first button does not light it up.
    return button_->isEnabled() && SkinData().FMouseAbove ? 1 : 0;
}

QString TsToolButtonWrapper::lookKey() const {
    return button_->text() + QStringLiteral("/%1/%2/%3/%4")
                                 .arg(button_->icon().cacheKey())
                                 .arg(int(button_->arrowType()))
                                 .arg(int(button_->toolButtonStyle()))
                                 .arg(int(button_->popupMode()));
}

void TsToolButtonWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    const int now = state();
    PaintControlSection(SkinData(), parent, skinState(), cache, QPoint(0, 0), cache.rect());
    const auto option = optionOf<QStyleOptionToolButton>(button_);
    QRect area = cache.rect().adjusted(kToolMargin, kToolMargin, -kToolMargin, -kToolMargin);
    const bool menuArrow = option.features & QStyleOptionToolButton::MenuButtonPopup ||
                           option.features & QStyleOptionToolButton::HasMenu;
    QRect arrowArea;
    if (menuArrow && area.width() > kMenuArrowWidth * 2) {
        arrowArea = QRect(area.right() + 1 - kMenuArrowWidth, area.top(), kMenuArrowWidth,
                          area.height());
        area.setRight(arrowArea.left() - 1);
    }
    if (now == 2) area.translate(1, 1);
    const TColor colour = textColour(SkinData().SkinIndex, skinState());

    const bool arrow = option.features & QStyleOptionToolButton::Arrow &&
                       option.arrowType != Qt::NoArrow;
    const bool picture = arrow || !option.icon.isNull();
    Qt::ToolButtonStyle layout = option.toolButtonStyle;
    if (!picture) layout = Qt::ToolButtonTextOnly;
    if (option.text.isEmpty() && layout != Qt::ToolButtonTextOnly) layout = Qt::ToolButtonIconOnly;
    const QSize size = option.iconSize.boundedTo(area.size());
    QRect pictureArea;
    QRect textArea = area;
    switch (layout) {
        case Qt::ToolButtonIconOnly:
            pictureArea = QRect(QPoint(area.left() + (area.width() - size.width()) / 2,
                                       area.top() + (area.height() - size.height()) / 2),
                                size);
            textArea = QRect();
            break;
        case Qt::ToolButtonTextBesideIcon:
            pictureArea =
                QRect(QPoint(area.left(), area.top() + (area.height() - size.height()) / 2), size);
            textArea.setLeft(pictureArea.right() + 1 + kToolMargin);
            break;
        case Qt::ToolButtonTextUnderIcon:
            pictureArea =
                QRect(QPoint(area.left() + (area.width() - size.width()) / 2, area.top()), size);
            textArea.setTop(pictureArea.bottom() + 1);
            break;
        default:
            break;
    }
    if (!pictureArea.isEmpty()) {
        if (arrow) {
            PaintArrowGlyph(cache, pictureArea, option.arrowType, colour);
        } else {
            const QIcon::Mode mode = !button_->isEnabled() ? QIcon::Disabled
                                     : now == 1            ? QIcon::Active
                                                           : QIcon::Normal;
            const QPixmap pixmap = option.icon.pixmap(
                size, button_->devicePixelRatioF(), mode,
                button_->isChecked() ? QIcon::On : QIcon::Off);
            QImage image = cache.image();
            QPainter canvas(&image);
            const QSize shown = pixmap.deviceIndependentSize().toSize();
            canvas.drawPixmap(
                QPoint(pictureArea.left() + (pictureArea.width() - shown.width()) / 2,
                       pictureArea.top() + (pictureArea.height() - shown.height()) / 2),
                pixmap);
        }
    }
    if (!textArea.isEmpty() && !option.text.isEmpty()) {
        QImage image = cache.image();
        QPainter canvas(&image);
        canvas.setFont(button_->font());
        const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
        const QString text =
            canvas.fontMetrics().elidedText(option.text, Qt::ElideRight, textArea.width(),
                                            Qt::TextShowMnemonic);
        WriteCaption(canvas, text, true, now > 0, SkinData(), flags, textArea, &cache);
    }
    if (!arrowArea.isEmpty()) PaintArrowGlyph(cache, arrowArea, Qt::DownArrow, colour);
    if (!button_->isEnabled()) ApplyDisabledLook(cache, parent, dkBlended);
}

// A floating bar wants the skin's bar ("BAR"); a skin without one has it lie as the tool bars
// of the program's own windows do ("TOOLBAR"), or on the window.
TsToolBarWrapper::TsToolBarWrapper(QToolBar* bar)
    : TsDialogControlWrapper(bar,
                             bar->isFloatable()
                                 ? QStringList{QStringLiteral("BAR"), QStringLiteral("TOOLBAR"),
                                               QStringLiteral("CHECKBOX")}
                                 : QStringList{QStringLiteral("CHECKBOX")},
                             kToolBarKind),
      bar_(bar) {
    start();
}

void TsToolBarWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    TsWidgetWrapper::paintLook(cache, parent);
    if (!bar_->isMovable()) return;
    // The grip, where the platform's bar has it: a column (or row) of dots.
    QStyleOptionToolBar option = optionOf<QStyleOptionToolBar>(bar_);
    const QRect grip =
        bar_->style()->subElementRect(QStyle::SE_ToolBarHandle, &option, bar_) & cache.rect();
    if (grip.isEmpty()) return;
    const TColor colour = textColour(SkinData().SkinIndex, 0);
    const QPoint centre = grip.center();
    if (bar_->orientation() == Qt::Horizontal) {
        for (int y = grip.top() + 3; y < grip.bottom() - 2; y += 3)
            FillRect32(cache, QRect(centre.x() - 1, y, 2, 2), colour);
    } else {
        for (int x = grip.left() + 3; x < grip.right() - 2; x += 3)
            FillRect32(cache, QRect(x, centre.y() - 1, 2, 2), colour);
    }
}

// ---- labels ---------------------------------------------------------------------------------

TsStaticTextWrapper::TsStaticTextWrapper(QLabel* label)
    : TsDialogControlWrapper(label, {QStringLiteral("CHECKBOX")}, kPlainKind), label_(label) {
    start();
}

TsStaticTextWrapper::~TsStaticTextWrapper() {
    release();
}

void TsStaticTextWrapper::save() {
    ownPalette_ = label_->palette();
    ownFill_ = label_->autoFillBackground();
}

void TsStaticTextWrapper::style() {
    label_->setAutoFillBackground(false);
    QPalette palette = ownPalette_;
    const QColor text = ToQColor(textColour(SkinData().SkinIndex, 0));
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    label_->setPalette(palette);
}

void TsStaticTextWrapper::restore() {
    label_->setAutoFillBackground(ownFill_);
    label_->setPalette(ownPalette_);
}

// ---- combo boxes ----------------------------------------------------------------------------

TsComboBoxWrapper::TsComboBoxWrapper(QComboBox* box)
    : TsDialogControlWrapper(box, {QStringLiteral("COMBOBOX"), QStringLiteral("EDIT")},
                             kPlainKind),
      box_(box) {
    ownDelegate_ = box->view() ? box->view()->itemDelegate() : nullptr;
    delegate_ = new TsSelectionDelegate(SkinData(), TsSelectionDelegate::saItem, true, this,
                                        ownDelegate_);
    start();
}

TsComboBoxWrapper::~TsComboBoxWrapper() {
    release();
}

void TsComboBoxWrapper::save() {
    if (QLineEdit* edit = box_->lineEdit()) ownEditPalette_ = edit->palette();
}

void TsComboBoxWrapper::style() {
    if (QLineEdit* edit = box_->lineEdit()) {
        const TsGeneralData& section = manager()->sections()[SkinData().SkinIndex];
        edit->setPalette(overPicture(ownEditPalette_, *manager(), ToQColor(section.FontColor[0])));
    }
    if (box_->view() && box_->view()->itemDelegate() != delegate_)
        box_->view()->setItemDelegate(delegate_);
}

void TsComboBoxWrapper::restore() {
    if (QLineEdit* edit = box_->lineEdit()) edit->setPalette(ownEditPalette_);
    if (box_->view() && box_->view()->itemDelegate() == delegate_)
        box_->view()->setItemDelegate(ownDelegate_);
}

bool TsComboBoxWrapper::droppedDown() const {
    const QWidget* list = box_->view() ? box_->view()->window() : nullptr;
    return list && list != box_->window() && list->isVisible();
}

QRect TsComboBoxWrapper::buttonRect() const {
    return ComboBoxLayout(box_->size(), borderMargins(), kScrollBarExtent, box_->layoutDirection())
        .Button;
}

int TsComboBoxWrapper::buttonState() const {
    return droppedDown() ? 2 : skinState();
}

QString TsComboBoxWrapper::lookKey() const {
    return box_->currentText() + QStringLiteral("/%1/%2/%3")
                                     .arg(box_->currentIndex())
                                     .arg(buttonState())
                                     .arg(box_->hasFocus() ? 1 : 0);
}

bool TsComboBoxWrapper::widgetEvent(QEvent* event) {
    // The list opens and closes without an event of the box's own: the button follows it
    // at the next paint, and the box is painted once the list has gone.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut ||
        event->type() == QEvent::MouseButtonRelease)
        box_->update();
    return false;
}

void TsComboBoxWrapper::paintLook(Bitmap32& cache, const TCacheInfo& parent) {
    PaintControlSection(SkinData(), parent, skinState(), cache, QPoint(0, 0), cache.rect());
    const TsComboBoxLayout layout =
        ComboBoxLayout(cache.rect().size(), borderMargins(), kScrollBarExtent,
                       box_->layoutDirection());
    PaintDropDownButton(cache, layout.Button, buttonState(), SkinData());
    if (!box_->isEditable()) {
        QRect text = layout.Text;
        const QIcon icon = box_->itemIcon(box_->currentIndex());
        if (!icon.isNull()) {
            const QSize size = box_->iconSize().boundedTo(text.size());
            QImage image = cache.image();
            QPainter canvas(&image);
            const bool rtl = box_->layoutDirection() == Qt::RightToLeft;
            const QPoint at(rtl ? text.right() + 1 - size.width() : text.left() + 2,
                            text.top() + (text.height() - size.height()) / 2);
            canvas.drawPixmap(at, icon.pixmap(size, box_->isEnabled() ? QIcon::Normal
                                                                       : QIcon::Disabled));
            if (rtl)
                text.setRight(at.x() - 3);
            else
                text.setLeft(at.x() + size.width() + 1);
        }
        const QString shown = QFontMetrics(box_->font())
                                  .elidedText(box_->currentText(), Qt::ElideRight,
                                              std::max(0, text.width() - 4));
        // A drop-down list marks its item as selected while the box has the focus.
        PaintComboText(cache, SkinData(), box_->font(), box_->layoutDirection(), shown, text,
                       box_->hasFocus() && box_->isEnabled(), skinState() > 0);
    }
    if (!box_->isEnabled()) ApplyDisabledLook(cache, parent, dkBlended);
}
