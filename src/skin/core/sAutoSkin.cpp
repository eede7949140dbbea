#include "skin/core/sAutoSkin.h"

#include <QApplication>
#include <QColorDialog>
#include <QErrorMessage>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QToolBar>
#include <algorithm>

#include "platform/form.h"
#include "platform/skin_message.h"
#include "platform/tag.h"
#include "skin/core/sSkinManager.h"

namespace {

TsAutoSkin* installedWatcher = nullptr;

// The dialogs the toolkit makes for a program (the counterparts of the desktop's own dialog
// boxes). The printing ones belong to a module the program does not link: known by name.
bool isToolkitDialog(const QWidget* window) {
    return qobject_cast<const QFileDialog*>(window) || qobject_cast<const QColorDialog*>(window) ||
           qobject_cast<const QFontDialog*>(window) || qobject_cast<const QInputDialog*>(window) ||
           qobject_cast<const QProgressDialog*>(window) ||
           qobject_cast<const QErrorMessage*>(window) || window->inherits("QAbstractPrintDialog") ||
           window->inherits("QPageSetupDialog") || window->inherits("QPrintPreviewDialog");
}

}  // namespace

TsAutoSkinKind AutoSkinKind(const QWidget* window) {
    if (!window || !window->isWindow()) return akNone;
    const Qt::WindowType type = window->windowType();
    if (qobject_cast<const QMenu*>(window)) return type == Qt::Popup ? akPopupMenu : akNone;
    switch (type) {
        case Qt::Popup:
        case Qt::ToolTip:
        case Qt::SplashScreen:
        case Qt::Desktop:
        case Qt::ForeignWindow:
            return akNone;
        default:
            break;
    }
    const Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::FramelessWindowHint) || flags.testFlag(Qt::WindowTransparentForInput))
        return akNone;
    if (qobject_cast<const QMessageBox*>(window)) return akMessageForm;
    if (isToolkitDialog(window)) return akSystemDialog;
    if (qobject_cast<const TForm*>(window)) return akNone;
    return akForm;
}

// ---- adapters -------------------------------------------------------------------------------

TsWindowAdapter::TsWindowAdapter(QWidget* window) : window_(window) {
    // With its window the adapter goes at once: nothing of it may run past the window.
    connect(window, &QObject::destroyed, this, [this] {
        windowGone_ = true;
        delete this;
    });
}

// ---- the watcher ----------------------------------------------------------------------------

TsAutoSkin* TsAutoSkin::of(TsSkinManager* manager, const Makers& makers) {
    if (!manager) return nullptr;
    if (auto* watcher = manager->findChild<TsAutoSkin*>(QString(), Qt::FindDirectChildrenOnly))
        return watcher;
    return new TsAutoSkin(manager, makers);
}

TsAutoSkin* TsAutoSkin::installed() {
    return installedWatcher;
}

QStringList& TsAutoSkin::FormExclusions() {
    static QStringList exclusions;
    return exclusions;
}

TsAutoSkin::TsAutoSkin(TsSkinManager* manager, Makers makers)
    : QObject(manager), manager_(manager), makers_(std::move(makers)) {
    connect(manager, &TsSkinManager::SkinApplied, this, &TsAutoSkin::follow);
    connect(manager, &TsSkinManager::SkinRemoving, this, &TsAutoSkin::remove);
    follow();
}

TsAutoSkin::~TsAutoSkin() {
    remove();
}

void TsAutoSkin::follow() {
    const bool wanted = qApp && TsSkinManager::DefaultManager() == manager_ &&
                        manager_->Active() && !manager_->sections().isEmpty() &&
                        manager_->SkinData().Active;
    if (wanted)
        install();
    else
        remove();
}

void TsAutoSkin::install() {
    if (installed_) return;
    // One watcher for the whole program: the default manager's.
    if (installedWatcher) installedWatcher->remove();
    installed_ = true;
    installedWatcher = this;
    qApp->installEventFilter(this);
    // Windows already on the screen are skinned at once, not only when next activated.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        if (auto* menu = qobject_cast<QMenu*>(window))
            adaptPopup(menu);
        else
            adapt(window);
    }
}

void TsAutoSkin::remove() {
    if (!installed_) return;
    installed_ = false;
    if (installedWatcher == this) installedWatcher = nullptr;
    if (qApp) qApp->removeEventFilter(this);
    // Each adapter gives its window back as it goes.
    const QList<QPointer<TsWindowAdapter>> adapters = tracked_;
    tracked_.clear();
    for (const QPointer<TsWindowAdapter>& adapter : adapters)
        delete adapter.data();
}

TsWindowAdapter* TsAutoSkin::adapterOf(const QWidget* window) const {
    for (const QPointer<TsWindowAdapter>& adapter : tracked_)
        if (adapter && adapter->window() == window) return adapter;
    return nullptr;
}

QList<QWidget*> TsAutoSkin::visibleWindows() const {
    QList<QWidget*> windows;
    for (const QPointer<TsWindowAdapter>& adapter : tracked_)
        if (adapter && adapter->window() && adapter->window()->isVisible())
            windows.append(adapter->window());
    return windows;
}

int TsAutoSkin::visibleDialogs() const {
    return int(std::count_if(tracked_.begin(), tracked_.end(), [](const auto& adapter) {
        return adapter && adapter->isDialog() && adapter->window() &&
               adapter->window()->isVisible();
    }));
}

bool TsAutoSkin::track(TsWindowAdapter* adapter) {
    if (!adapter) return false;
    const auto empty = std::find_if(tracked_.begin(), tracked_.end(),
                                    [](const auto& slot) { return slot.isNull(); });
    if (empty != tracked_.end())
        *empty = adapter;
    else
        tracked_.append(adapter);
    if (adapter->attach()) return true;
    // A window that cannot be taken over stays plain; its slot empties.
    delete adapter;
    return false;
}

bool TsAutoSkin::adapt(QWidget* window) {
    if (!installed_ || !window || QCoreApplication::closingDown()) return false;
    TsSkinManager* manager = TsSkinManager::DefaultManager();
    if (manager != manager_ || adapterOf(window)) return false;
    const TsAutoSkinKind kind = AutoSkinKind(window);
    if (kind == akNone || kind == akPopupMenu) return false;
    // A window with a skin of its own (a provider's window among them) is skinned already.
    if (TsSkinMessage::isSkinnedControl(window)) return false;
    const unsigned rules = manager->SkinningRules;
    if (kind == akSystemDialog) {
        if (!(rules & srStdDialogs) || !makers_.Dialog) return false;
        // While one dialog is on the screen skinned, another is skinned only when it has a
        // tool bar.
        if (visibleDialogs() > 0 && !window->findChild<QToolBar*>()) return false;
        return track(makers_.Dialog(window));
    }
    if (IsExcludedTag(componentTag(window))) return false;
    if (FormExclusions().contains(QString::fromLatin1(window->metaObject()->className())))
        return false;
    const bool wanted = kind == akMessageForm ? (rules & srStdDialogs) : (rules & srStdForms);
    if (!wanted || !makers_.Form) return false;
    return track(makers_.Form(window));
}

void TsAutoSkin::adaptPopup(QMenu* menu) {
    if (!installed_ || !manager_->SkinnedPopups || !makers_.Popup) return;
    if (AutoSkinKind(menu) != akPopupMenu || adapterOf(menu)) return;
    if (TsSkinMessage::isSkinnedControl(menu)) return;
    track(makers_.Popup(menu));
}

bool TsAutoSkin::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Polish:
        case QEvent::Show:
        case QEvent::WindowActivate:
            break;
        default:
            return false;
    }
    if (!watched->isWidgetType()) return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow()) return false;
    if (auto* menu = qobject_cast<QMenu*>(window)) {
        // A menu is dressed by the skinned menus as it is polished; it is taken when shown.
        if (event->type() == QEvent::Show) adaptPopup(menu);
        return false;
    }
    adapt(window);
    return false;
}
