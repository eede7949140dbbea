#pragma once

#include <QMargins>
#include <QRect>
#include <functional>

#include "skin/controls/sControlStyle.h"
#include "skin/core/sPainting.h"

class QEvent;
class QLineEdit;
class TsCommonData;
class TsControlCache;
class TsSkinManager;

// The parts the skinned boxes with a drop-down button share (the combo box, the date edit):
// where the button and the text lie, the style that puts the platform's parts there, the
// button's picture, and the line edit that writes over the skin's picture.

// Where a drop-down box's parts lie: its button inside the border's ring on the right (on
// the left read right to left), as wide as a scroll bar, and the text area from 3 pixels
// inside the box (or the ring, when it is wider) up to the button.
struct TsComboBoxLayout {
    QRect Button;
    QRect Text;
};
TsComboBoxLayout ComboBoxLayout(QSize size, const QMargins& border, int buttonWidth,
                                Qt::LayoutDirection direction = Qt::LeftToRight);

// The margins of the border image of a control's section; none without a skin.
QMargins SectionBorderMargins(const TsCommonData& data);

// The style of a skinned drop-down box: the platform's line edit and button lie where the
// skin paints the text area and the button, for the margins `border` answers.
class TsDropDownStyle : public TsControlStyle {
    Q_OBJECT

public:
    explicit TsDropDownStyle(std::function<QMargins()> border);

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& point, const QWidget* widget) const override;

private:
    TsComboBoxLayout layoutOf(const QStyleOptionComplex& option) const;

    std::function<QMargins()> border_;
};

// The drop-down button of a control in a state (2 while its list or calendar is open): the
// skin's "COMBOBTN" section when it has one, the box's own pixels showing through its
// corners, and the skin's combo arrow centred on it (a plain arrow in the button's text
// colour when the skin has no arrow picture).
void PaintDropDownButton(Bitmap32& cache, const QRect& button, int state, const TsCommonData& data);

// The line edit of a skinned box writes over the skin's picture: no background of its own,
// its selection in the skin's colours and no text while disabled (the picture has it). Off,
// it takes the platform's colours again.
void SkinLineEdit(QLineEdit* edit, const TsSkinManager* manager, bool on);

// The events a drop-down box's skin follows: the skin commands, passed on to its open list or
// calendar (`popup`: a window of its own, which the broadcasts do not reach), with `sync` run for a
// new skin, its removal or a refresh by the box's own manager; being shown (`sync` again); and the
// focus and the mouse coming or going, which change its state. Answers true when the event needs
// nothing more.
bool FollowDropDownEvent(QEvent* event, TsControlCache& cache,
                         const std::function<QObject*()>& popup, const std::function<void()>& sync);
