#pragma once

#include <QComboBox>
#include <QMargins>
#include <QPointer>

#include "skin/controls/sControlCache.h"
#include "skin/controls/sDropDown.h"
#include "skin/controls/sScrollWnd.h"
#include "skin/core/sBoundLabel.h"
#include "skin/core/sCommonData.h"

class TsControlStyle;
class TsSelectionDelegate;

// The text of a combo box in its text area: marked with the skin's selection when
// `selected`, else written in the colours of the box's section (hot ones when `hot`).
void PaintComboText(Bitmap32& cache, const TsCommonData& data, const QFont& font,
                    Qt::LayoutDirection direction, const QString& text, const QRect& area,
                    bool selected, bool hot);

// The skinned combo box. While a skin is active it is drawn from its section ("COMBOBOX")
// in state 1 while active (focused, or under the mouse) and 0 otherwise, its button from
// the skin's "COMBOBTN" section (pressed while the list is open) with the skin's combo arrow
// centred on it. A drop-down list shows its current item in the text area, marked as
// selected while the box has the focus; a box one can type into keeps the platform's line
// edit for the text, over the skin's picture. In the open list the selected item is drawn
// with the skin's selection, and a list that scrolls is framed as an edit. Without a skin it
// is the platform's combo box.
class TsComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TsComboBox(QWidget* parent = nullptr);
    ~TsComboBox() override;

    TsCtrlSkinData SkinData;
    // An optional caption label beside the box (inactive unless asked for).
    TsBoundLabel BoundLabel;
    unsigned DisabledKind = dkBlended;

    // How many items the open list shows before it scrolls [16].
    int DropDownCount() const { return maxVisibleItems(); }
    void setDropDownCount(int count) { setMaxVisibleItems(count); }
    // A read-only box shows its text and takes neither a choice nor typing.
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);

    // Whether the list is open.
    bool DroppedDown() const;
    // The state of the box: 1 while active, else 0; of its button: 2 while the list is open.
    int CurrentState() const;
    int ButtonState() const;
    // The places of the button and the text area now.
    TsComboBoxLayout Layout() const;
    // The margins of the section's border.
    QMargins BorderMargins() const;

    TsControlCache& Cache() { return cache_; }
    // The skin of the open list's frame and bars.
    TsScrollWnd* PopupScrollWnd() const { return popupWnd_; }

    void showPopup() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    virtual void PaintLook(Bitmap32& cache, const TCacheInfo& parent);

private:
    bool wantsSkin() const;
    // The style, the line edit's colours and the list follow the skin.
    void syncSkin();
    void paintText(Bitmap32& cache, const QRect& area, bool selectable) const;

    TsControlCache cache_;
    TsDropDownStyle* style_;
    TsSelectionDelegate* delegate_ = nullptr;
    QPointer<TsScrollWnd> popupWnd_;
    QPointer<QWidget> popup_;
    bool readOnly_ = false;
    bool lineEditSkinned_ = false;
    int popupFrame_ = -1;
    int paintedState_ = -1;
    int paintedButton_ = -1;
    QString paintedText_;
    bool paintedFocus_ = false;
};
