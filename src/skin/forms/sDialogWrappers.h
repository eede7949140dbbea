#pragma once

// The wrappers of the controls of a dialog the program did not make (a file dialog, an input
// dialog of the toolkit): each paints its control from a skin section the way the program's
// own skinned control of that kind does, and gives the control back as it was when the skin
// goes or the wrapper is deleted.

#include <QPalette>
#include <QPointer>
#include <QStringList>

#include "skin/controls/sScrollWnd.h"
#include "skin/forms/sWidgetWrapper.h"

class QAbstractItemDelegate;
class QAbstractItemView;
class QAbstractSpinBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTabBar;
class QToolBar;
class QToolButton;
class TsControlStyle;
class TsSelectionDelegate;

// The index of the first of `sections` that the manager's skin has, or -1.
int FirstSkinSection(const TsSkinManager* manager, const QStringList& sections);

// The common part of the dialog's wrappers. A wrapper names the sections it may be drawn
// from, best first: not every skin has a section for every kind of control, and a control
// drawn from a near kind's section still reads as part of the skinned window, where one left
// to the platform would not. The first section the skin has is chosen again with every new
// skin. The wrapper keeps the control's own settings while the skin's are applied and gives
// them back when the skin goes.
class TsDialogControlWrapper : public TsWidgetWrapper {
    Q_OBJECT

protected:
    TsDialogControlWrapper(QWidget* widget, const QStringList& sections, int kind);

    // Keeps the control's own settings, before the skin's are first put on.
    virtual void save() {}
    // Puts the skin's settings on (again, with a new skin).
    virtual void style() {}
    // Gives the control's own settings back.
    virtual void restore() {}

    // Paints `area` of the cache from a section in a state (limited to the section's images),
    // over what the cache holds there.
    void paintPart(Bitmap32& cache, int section, const QRect& area, int state) const;
    // The text colour of a section in a state.
    TColor textColour(int section, int state) const;
    // The margins of the border of the wrapper's section.
    QMargins borderMargins() const;
    const TsSkinManager* manager() const { return SkinData().SkinManager(); }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(bool skinned) final;

    QStringList sections_;
    bool saved_ = false;
};

// A tab bar ("PAGECONTROL"): every tab drawn from the section, the current one pressed, the
// one under the mouse hot, the others normal, each caption in its state's text colour. The
// bar between and beside the tabs shows the parent.
class TsTabBarWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsTabBarWrapper(QTabBar* bar);
    ~TsTabBarWrapper() override;

    // The state a tab is drawn in.
    int tabState(int tab) const;

protected:
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    QString lookKey() const override;
    bool widgetEvent(QEvent* event) override;
    void save() override;
    void style() override;
    void restore() override;

private:
    QTabBar* bar_;
    int hovered_ = -1;
    bool ownTracking_ = false;
};

// A list, a table or a tree ("EDIT"): its frame and scroll bars skinned by the scroll-window
// component, its field in the section's colour, its selected item from the "SELECTION"
// section. The items themselves are the platform's drawing.
class TsItemViewWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsItemViewWrapper(QAbstractItemView* view);
    ~TsItemViewWrapper() override;

    TsScrollWnd* scrollWnd() const { return scrollWnd_; }

protected:
    TPaintMode paintMode() const override { return pmNone; }
    void style() override;
    void restore() override;

private:
    QAbstractItemView* view_;
    QPointer<TsScrollWnd> scrollWnd_;
    TsSelectionDelegate* delegate_ = nullptr;
    QPointer<QAbstractItemDelegate> ownDelegate_;
    QPalette ownPalette_;
};

// A one-line edit ("EDIT"), painted as the skinned edit is: the section's ring and field, hot
// while focused or under the mouse, the text kept inside the ring in the section's colour.
// The text, the cursor and the selection are the edit's own drawing over the picture.
class TsLineEditWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsLineEditWrapper(QLineEdit* edit);
    ~TsLineEditWrapper() override;

protected:
    TPaintMode paintMode() const override { return pmUnder; }
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    void save() override;
    void style() override;
    void restore() override;

private:
    QLineEdit* edit_;
    bool ownFrame_ = true;
    QMargins ownMargins_;
    QPalette ownPalette_;
};

// A spin box: its field painted as an edit ("EDIT"), its up and down buttons from
// "SPEEDBUTTON_SMALL" in their states (pressed, hot under the mouse, normal) with an arrow in
// the button's text colour. The buttons lie inside the field's ring on the right; the value
// is the spin box's own edit, writing over the picture.
class TsSpinBoxWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsSpinBoxWrapper(QAbstractSpinBox* spin);
    ~TsSpinBoxWrapper() override;

    // The states of the buttons now.
    int upState() const;
    int downState() const;
    // Where the buttons lie.
    QRect upRect() const;
    QRect downRect() const;

protected:
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    QString lookKey() const override;
    void save() override;
    void style() override;
    void restore() override;

private:
    int buttonState(bool up) const;

    QAbstractSpinBox* spin_;
    TsControlStyle* style_ = nullptr;
    QPalette ownEditPalette_;
    bool ownHover_ = false;
};

// A slider ("TRACKBAR"): the groove as a strip of the section along the slider, the handle
// from the section in its state (pressed while dragged, hot under the mouse), tick marks in
// the section's text colour. The slider's background shows the parent.
class TsSliderWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsSliderWrapper(QSlider* slider);
    ~TsSliderWrapper() override;

    int handleState() const;
    QRect grooveRect() const;
    QRect handleRect() const;

protected:
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    QString lookKey() const override;
    void save() override;
    void style() override;
    void restore() override;

private:
    // The sections of the groove and of the handle in this skin.
    int grooveSection() const;
    int handleSection() const;

    QSlider* slider_;
    bool ownHover_ = false;
};

// A tool button ("TOOLBUTTON"): the section in the button's state (pressed while down or
// checked, hot under the mouse), its icon, arrow or text on top, moved one pixel down and
// right while pressed.
class TsToolButtonWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsToolButtonWrapper(QToolButton* button);

    int state() const override;

protected:
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    QString lookKey() const override;

private:
    QToolButton* button_;
};

// A tool bar: a floating one is a bar ("BAR"), one fixed in its window lies on the window
// ("CHECKBOX"); its grip in the section's text colour.
class TsToolBarWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsToolBarWrapper(QToolBar* bar);

    int state() const override { return 0; }

protected:
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;

private:
    QToolBar* bar_;
};

// A label (static text): transparent over its parent, whatever the parent paints, its text in
// the "CHECKBOX" section's text colour.
class TsStaticTextWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsStaticTextWrapper(QLabel* label);
    ~TsStaticTextWrapper() override;

protected:
    TPaintMode paintMode() const override { return pmNone; }
    void save() override;
    void style() override;
    void restore() override;

private:
    QLabel* label_;
    QPalette ownPalette_;
    bool ownFill_ = false;
};

// A combo box, painted as the skinned combo box is: the field from "COMBOBOX" (hot while
// focused or under the mouse), the button from "COMBOBTN" (pressed while the list is open)
// with the skin's arrow, the current item's icon and text in the text area (marked as
// selected while a drop-down list has the focus). A box one types into keeps its edit for the
// text, over the picture. The open list marks its selected item from "SELECTION".
class TsComboBoxWrapper : public TsDialogControlWrapper {
    Q_OBJECT

public:
    explicit TsComboBoxWrapper(QComboBox* box);
    ~TsComboBoxWrapper() override;

    QRect buttonRect() const;
    int buttonState() const;

protected:
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    QString lookKey() const override;
    bool widgetEvent(QEvent* event) override;
    void save() override;
    void style() override;
    void restore() override;

private:
    bool droppedDown() const;

    QComboBox* box_;
    TsSelectionDelegate* delegate_ = nullptr;
    QPointer<QAbstractItemDelegate> ownDelegate_;
    QPalette ownEditPalette_;
};
