#pragma once

// The automatic skinning of windows that come up without a skin provider: message boxes,
// windows of classes the program did not make, the toolkit's own dialogs and popup menus.
// While a skin of the default manager is active, one application-wide watcher sees the
// Polish, Show and WindowActivate events of top-level widgets and attaches an adapter to each
// window the rules below choose. The adapters are kept in the tracked-window list, which the
// manager's broadcasts reach too; removing the skin frees them all, and each gives its window
// back as it was.
//
// The rules are the watcher's; what an adapter does is the skinned windows' business (the
// form skin provider and the widget wrappers), given to the watcher as functions that make
// the adapters.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QMenu;
class QWidget;
class TsSkinManager;

// What a top-level window is to the automatic skinning.
enum TsAutoSkinKind {
    akNone,          // left alone (see AutoSkinKind)
    akMessageForm,   // a message box: the message form through which the program speaks
    akForm,          // a window of a class the program did not make, without a provider
    akSystemDialog,  // a dialog the toolkit makes: input, file, colour, font, progress, print
    akPopupMenu,     // a popup menu
};

// The kind of a window. Left alone: child widgets; hints, tool tips, splash screens and every
// other borderless window (the splash, the engine's glows and animation overlays); popups that
// are not menus (a combo box's list); and the program's own forms (TForm), each of which is
// given its provider, or on purpose none, when the program makes it.
TsAutoSkinKind AutoSkinKind(const QWidget* window);

// Whether a Tag keeps a window out of the automatic skinning: with the bits 0x61 cleared it
// is -98, so -98, -97, -66, -65, -34, -33, -2 and -1 do.
constexpr bool IsExcludedTag(int tag) {
    return (tag & ~0x61) == -98;
}

// What the watcher attached to one window. An adapter lives in the tracked list until its
// window is destroyed or the skin is removed; when it goes with the window still there, it
// gives the window back unskinned.
class TsWindowAdapter : public QObject {
    Q_OBJECT

public:
    explicit TsWindowAdapter(QWidget* window);

    // None once the window is gone.
    QWidget* window() const { return window_; }
    // Takes the window over; false when that cannot be done, and the window stays plain.
    virtual bool attach() = 0;
    // Dialogs of the toolkit count for the rule on a second dialog.
    virtual bool isDialog() const { return false; }

protected:
    // Whether the window is still there (it is not while it is being destroyed).
    bool windowAlive() const { return window_ && !windowGone_; }

private:
    QPointer<QWidget> window_;
    bool windowGone_ = false;
};

class TsAutoSkin : public QObject {
    Q_OBJECT

public:
    // The functions the adapters are made with; a function may answer none (the window is
    // then not adapted).
    struct Makers {
        std::function<TsWindowAdapter*(QWidget* form)> Form;  // message boxes and other forms
        std::function<TsWindowAdapter*(QWidget* dialog)> Dialog;
        std::function<TsWindowAdapter*(QMenu* menu)> Popup;
    };

    // The watcher of a manager, made the first time it is asked for (owned by the manager).
    // It watches while its manager is the default one and has an active skin.
    static TsAutoSkin* of(TsSkinManager* manager, const Makers& makers);
    // The watcher watching now, or none.
    static TsAutoSkin* installed();
    ~TsAutoSkin() override;

    bool isInstalled() const { return installed_; }
    TsSkinManager* manager() const { return manager_; }

    // Gives a window an adapter when the rules ask for one; answers whether one was made.
    bool adapt(QWidget* window);
    // The tracked-window list: an adapter that went leaves an empty slot, which the next one
    // takes.
    const QList<QPointer<TsWindowAdapter>>& tracked() const { return tracked_; }
    TsWindowAdapter* adapterOf(const QWidget* window) const;
    // The visible windows of the tracked adapters, which the manager's broadcasts reach.
    QList<QWidget*> visibleWindows() const;

    // Class names whose windows are never adapted (case-sensitive; empty unless the program
    // fills it).
    static QStringList& FormExclusions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TsAutoSkin(TsSkinManager* manager, Makers makers);
    // Starts or stops watching as the manager's skin now asks.
    void follow();
    void install();
    void remove();
    void adaptPopup(QMenu* menu);
    // Puts an adapter in the list and attaches it; one that cannot attach is freed.
    bool track(TsWindowAdapter* adapter);
    int visibleDialogs() const;

    TsSkinManager* manager_;
    Makers makers_;
    bool installed_ = false;
    QList<QPointer<TsWindowAdapter>> tracked_;
};
