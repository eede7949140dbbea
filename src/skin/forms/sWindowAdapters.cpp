#include "skin/forms/sWindowAdapters.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include "platform/skin_message.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sButtonWrappers.h"
#include "skin/forms/sDialogWrappers.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"

namespace {

// A control that paints itself, in the colours of its section: the text and the field of an
// edit, a list or a combo box, the caption of a group box.
class TsColorWrapper : public TsWidgetWrapper {
public:
    TsColorWrapper(QWidget* widget, const QString& section)
        : TsWidgetWrapper(widget, section, 0) {
        start();
    }
    ~TsColorWrapper() override { release(); }

protected:
    TPaintMode paintMode() const override { return pmNone; }

    void apply(bool skinned) override {
        QWidget* control = widget();
        if (!skinned) {
            control->setPalette(saved_);
            return;
        }
        saved_ = control->palette();
        const TsSkinManager* manager = SkinData().SkinManager();
        if (!manager || !manager->IsValidSection(SkinData().SkinIndex)) return;
        const TsGeneralData& section = manager->sections()[SkinData().SkinIndex];
        QPalette palette = control->palette();
        const QColor field = ToQColor(section.Color);
        const QColor text = ToQColor(section.FontColor[0]);
        palette.setColor(QPalette::Base, field);
        palette.setColor(QPalette::Button, field);
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::ButtonText, text);
        palette.setColor(QPalette::WindowText, text);
        control->setPalette(palette);
    }

private:
    QPalette saved_;
};

// Whether a push button of a window the program did not make is a skinned button: the
// ThirdParty's buttons name the design's button class (or Qt's).
bool thirdPartyButtons(const TsSkinManager* manager) {
    if (!manager || !(manager->SkinningRules & srThirdParty)) return false;
    const QStringList& names = manager->thirdPartyNames(ThirdPartyList::ThirdButtons);
    return names.contains(QStringLiteral("TButton"), Qt::CaseInsensitive) ||
           names.contains(QStringLiteral("QPushButton"), Qt::CaseInsensitive);
}

TsBorderStyle borderFor(const QWidget* window) {
    if (window->minimumSize() == window->maximumSize() && !window->minimumSize().isEmpty())
        return bsDialog;
    if (const auto* dialog = qobject_cast<const QDialog*>(window))
        return dialog->isSizeGripEnabled() ? bsSizeable : bsDialog;
    return bsSizeable;
}

// The windows of the program that follow `window`'s children, nested dialogs and windows
// excluded.
QList<QWidget*> ownChildren(QWidget* window) {
    QList<QWidget*> result;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->window() != window) continue;
        result.append(child);
    }
    return result;
}

}  // namespace

// ---- forms ----------------------------------------------------------------------------------

TsFormAdapter::TsFormAdapter(QWidget* form) : TsFormAdapter(form, QStringLiteral("FORM"), true) {}

TsFormAdapter::TsFormAdapter(QWidget* form, const QString& section, bool ownColor)
    : TsWindowAdapter(form), section_(section), ownColor_(ownColor) {}

TsFormAdapter::~TsFormAdapter() {
    // The controls first, then the frame: the window is given back whole.
    for (const QPointer<TsWidgetWrapper>& wrapper : wrappers_)
        delete wrapper.data();
    wrappers_.clear();
    if (provider_ && windowAlive()) {
        provider_->release();
        delete provider_;
    }
}

bool TsFormAdapter::attach() {
    QWidget* form = window();
    if (!windowAlive() || TsSkinProvider::of(form)) return false;
    // The form keeps its own colour, from the first time it is skinned.
    provider_ = new TsSkinProvider(form, section_, !ownColor_);
    provider_->setSkinnedSystemMenu(false);
    provider_->setBorderStyle(borderFor(form));
    if (!provider_->skinned()) {
        // No such section in the skin, or no active skin: the window stays plain.
        delete provider_;
        provider_ = nullptr;
        return false;
    }
    // The text the window writes on its own background takes the skin's colour.
    if (const TsSkinManager* manager = provider_->SkinData.SkinManager()) {
        QPalette palette = form->palette();
        palette.setColor(QPalette::WindowText, ToQColor(manager->GlobalFontColor()));
        form->setPalette(palette);
    }
    wrapChildren();
    return true;
}

void TsFormAdapter::keep(TsWidgetWrapper* wrapper) {
    wrappers_.append(wrapper);
}

void TsFormAdapter::wrapChildren() {
    // A dialog of some library's own is skinned as the toolkit's dialogs are; the program's
    // messages keep their plain controls beside the skinned buttons.
    if (qobject_cast<QDialog*>(window()) && !qobject_cast<QMessageBox*>(window())) {
        wrapControls();
        return;
    }
    if (!thirdPartyButtons(provider_->SkinData.SkinManager())) return;
    for (QWidget* child : ownChildren(window())) {
        auto* button = qobject_cast<QPushButton*>(child);
        if (!button || TsSkinMessage::isSkinnedControl(button)) continue;
        keep(new TsPushButtonWrapper(button));
    }
}

void TsFormAdapter::wrapControls() {
    for (QWidget* child : ownChildren(window())) {
        if (TsSkinMessage::isSkinnedControl(child)) continue;
        if (TsWidgetWrapper* wrapper = wrapperFor(child)) keep(wrapper);
    }
}

// ---- dialogs of the toolkit -----------------------------------------------------------------

TsDialogAdapter::TsDialogAdapter(QWidget* dialog)
    : TsFormAdapter(dialog, QStringLiteral("DIALOG"), false) {}

void TsDialogAdapter::wrapChildren() {
    wrapControls();
}

TsWidgetWrapper* TsFormAdapter::wrapperFor(QWidget* child) {
    QWidget* owner = child->parentWidget();
    if (auto* button = qobject_cast<QPushButton*>(child))
        return new TsPushButtonWrapper(button);
    if (qobject_cast<QCheckBox*>(child) || qobject_cast<QRadioButton*>(child))
        return new TsCheckBoxWrapper(static_cast<QAbstractButton*>(child));
    if (auto* box = qobject_cast<QComboBox*>(child)) return new TsComboBoxWrapper(box);
    if (auto* edit = qobject_cast<QLineEdit*>(child)) {
        // An edit inside a combo box or a spin box is painted with its owner.
        if (qobject_cast<QComboBox*>(owner) || qobject_cast<QAbstractSpinBox*>(owner))
            return nullptr;
        return new TsLineEditWrapper(edit);
    }
    // A header belongs to its view.
    if (qobject_cast<QHeaderView*>(child)) return nullptr;
    if (auto* view = qobject_cast<QAbstractItemView*>(child)) return new TsItemViewWrapper(view);
    if (qobject_cast<QTextEdit*>(child) || qobject_cast<QPlainTextEdit*>(child))
        return new TsColorWrapper(child, QStringLiteral("EDIT"));
    if (qobject_cast<QGroupBox*>(child))
        return new TsColorWrapper(child, QStringLiteral("GROUPBOX"));
    if (auto* bar = qobject_cast<QTabBar*>(child)) return new TsTabBarWrapper(bar);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(child)) return new TsSpinBoxWrapper(spin);
    if (auto* slider = qobject_cast<QSlider*>(child)) return new TsSliderWrapper(slider);
    if (auto* bar = qobject_cast<QToolBar*>(child)) return new TsToolBarWrapper(bar);
    if (auto* button = qobject_cast<QToolButton*>(child)) {
        // The buttons an edit shows inside its field (clearing it) are part of the field.
        if (qobject_cast<QLineEdit*>(owner)) return nullptr;
        return new TsToolButtonWrapper(button);
    }
    if (auto* label = qobject_cast<QLabel*>(child)) return new TsStaticTextWrapper(label);
    return nullptr;
}

// ---- popup menus ----------------------------------------------------------------------------

TsPopupAdapter::TsPopupAdapter(QMenu* menu) : TsWindowAdapter(menu), menu_(menu) {}

TsPopupAdapter::~TsPopupAdapter() {
    if (windowAlive()) menu_->removeEventFilter(this);
}

bool TsPopupAdapter::attach() {
    const TsAutoSkin* watcher = TsAutoSkin::installed();
    TsSkinManager* manager = watcher ? watcher->manager() : nullptr;
    TsSkinableMenus* menus = manager ? TsSkinableMenus::of(manager) : nullptr;
    if (!menus || !menus->isActive() || !menus->popupsSkinned()) return false;
    // The skinned menus dress every menu as it is polished; one that wears a style of its
    // own stays as it is.
    if (!menus->isDressed(menu_)) return false;
    menu_->installEventFilter(this);
    return true;
}

bool TsPopupAdapter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menu_ && event->type() == TsSkinMessage::eventType()) {
        auto* message = static_cast<TsSkinMessage*>(event);
        if (message->Command == TsSkinMessage::AC_CTRLHANDLED) {
            message->Result = 1;
            message->Handled = true;
            return true;
        }
    }
    return false;
}

// ---- the watcher's start --------------------------------------------------------------------

void WatchNewWindows(TsSkinManager* manager) {
    if (!manager) return;
    TsAutoSkin::Makers makers;
    makers.Form = [](QWidget* form) -> TsWindowAdapter* { return new TsFormAdapter(form); };
    makers.Dialog = [](QWidget* dialog) -> TsWindowAdapter* {
        return new TsDialogAdapter(dialog);
    };
    makers.Popup = [](QMenu* menu) -> TsWindowAdapter* { return new TsPopupAdapter(menu); };
    TsAutoSkin::of(manager, makers);
}
