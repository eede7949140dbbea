#pragma once

#include <QButtonGroup>
#include <QRadioButton>

#include "skin/controls/sGroupBox.h"

// The skinned radio group: a group box of radio items arranged in columns, of which at
// most one is chosen. Choosing an item, by a click or by setting ItemIndex, reports it;
// clearing the choice reports nothing.
class TsRadioGroup : public TsGroupBox {
    Q_OBJECT

public:
    explicit TsRadioGroup(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const;
    void setColumns(int columns);
    int columns() const { return columns_; }

    // The chosen item, from 0; -1 when none is chosen.
    int ItemIndex() const { return itemIndex_; }
    void setItemIndex(int index);

    QRadioButton* button(int index) const { return buttons_.value(index); }

Q_SIGNALS:
    // An item was chosen.
    void Click();

private:
    void arrange();

    QButtonGroup group_;
    QList<QRadioButton*> buttons_;
    int columns_ = 1;
    int itemIndex_ = -1;
};
