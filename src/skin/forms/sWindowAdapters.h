#pragma once

// The adapters the automatic skinning attaches to windows that come up without a provider
// (see skin/core/sAutoSkin.h for the rules that choose them).

#include <QList>
#include <QPalette>
#include <QPointer>

#include "skin/core/sAutoSkin.h"

class QMenu;
class TsSkinManager;
class TsSkinProvider;
class TsWidgetWrapper;

// Starts the watching of new windows for the manager's skin (once; later calls do nothing).
void WatchNewWindows(TsSkinManager* manager);

// A form the program did not give a provider (a message box among them): a provider of
// section "FORM" that keeps the window's own colour and shows the system menu in the
// application's style. With ThirdParty's buttons, its push buttons are skinned buttons; the
// controls of a dialog (one that is not a message) are all wrapped, as a toolkit dialog's are.
class TsFormAdapter : public TsWindowAdapter {
    Q_OBJECT

public:
    explicit TsFormAdapter(QWidget* form);
    ~TsFormAdapter() override;

    bool attach() override;
    TsSkinProvider* provider() const { return provider_; }
    const QList<QPointer<TsWidgetWrapper>>& wrappers() const { return wrappers_; }

protected:
    explicit TsFormAdapter(QWidget* form, const QString& section, bool ownColor);
    // Wraps the window's children that the adapter skins.
    virtual void wrapChildren();
    // Wraps every control of the window that is not skinned already, each by its kind.
    void wrapControls();
    void keep(TsWidgetWrapper* wrapper);
    // The wrapper a control of a dialog gets, or none for a control left as it is.
    static TsWidgetWrapper* wrapperFor(QWidget* child);

private:
    QString section_;
    bool ownColor_;
    TsSkinProvider* provider_ = nullptr;
    QList<QPointer<TsWidgetWrapper>> wrappers_;
};

// A dialog the toolkit makes (input, file, colour, font, progress): a provider of section
// "DIALOG", and its controls wrapped by their class: buttons, check boxes, combo boxes, edits,
// lists and trees, tab bars, spin boxes, sliders, tool buttons and bars, labels.
class TsDialogAdapter : public TsFormAdapter {
    Q_OBJECT

public:
    explicit TsDialogAdapter(QWidget* dialog);

    bool isDialog() const override { return true; }

protected:
    void wrapChildren() override;
};

// A popup menu that none of the program's menus made: dressed by the skinned menus
// ("MAINMENU"), and answering that the skin draws it.
class TsPopupAdapter : public TsWindowAdapter {
    Q_OBJECT

public:
    explicit TsPopupAdapter(QMenu* menu);
    ~TsPopupAdapter() override;

    bool attach() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu* menu_;
};
