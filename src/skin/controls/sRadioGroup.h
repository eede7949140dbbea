#pragma once

#include <QButtonGroup>
#include <QList>

#include "skin/controls/sButton.h"
#include "skin/controls/sGroupBox.h"
#include "skin/controls/sRadioButton.h"

class TsRadioGroup;

// The places of a radio group's items in a group of `size`, as the platform's radio group
// lays them out: the items run down each of `columns` columns of equal width, 8 pixels from
// the left, sharing the height below a caption line of `textHeight`.
QList<QRect> RadioGroupLayout(QSize size, int count, int columns, int textHeight, bool rightToLeft);

// One item of a radio group: a skinned radio button ("RADIOBUTTON") that is no stop of its
// own for the Tab key, enabled with its group and following the group's skin manager and
// fades; the group may refuse its being chosen.
class TsGroupButton : public TsRadioButton {
    Q_OBJECT

public:
    TsGroupButton(TsRadioGroup* group, int index, const QString& caption);

    const int Index;

protected:
    void nextCheckState() override;

private:
    TsRadioGroup* group_;
};

// The skinned radio group: a group box of radio items arranged in columns, of which at
// most one is chosen. Choosing an item, by a click or by setting ItemIndex, reports it;
// clearing the choice reports nothing.
class TsRadioGroup : public TsGroupBox {
    Q_OBJECT

public:
    explicit TsRadioGroup(QWidget* parent = nullptr);

    unsigned AnimatEvents = aeGlobalDef;

    void setItems(const QStringList& items);
    QStringList items() const;
    void setColumns(int columns);
    int columns() const { return columns_; }

    // The chosen item, from 0; -1 when none is chosen.
    int ItemIndex() const { return itemIndex_; }
    void setItemIndex(int index);

    TsGroupButton* button(int index) const { return buttons_.value(index); }

    // Whether the user's choice of an item may take effect (OnChanging).
    bool CanChange(int index);

Q_SIGNALS:
    // An item was chosen.
    void Click();
    // The user is about to choose item `newIndex`; clearing `allowChange` refuses it.
    void OnChanging(int newIndex, bool& allowChange);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void arrange();

    QButtonGroup group_;
    QList<TsGroupButton*> buttons_;
    int columns_ = 1;
    int itemIndex_ = -1;
};
