#include "skin/controls/sRadioGroup.h"

#include <QGridLayout>

TsRadioGroup::TsRadioGroup(QWidget* parent) : TsGroupBox(parent) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == itemIndex_) return;
        itemIndex_ = id;
        Q_EMIT Click();
    });
}

void TsRadioGroup::setItems(const QStringList& items) {
    setItemIndex(-1);
    qDeleteAll(buttons_);
    buttons_.clear();
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], this);
        item->setObjectName(objectName() + QStringLiteral("_item%1").arg(i));
        // The group is one stop of the Tab key; arrows move between its items.
        item->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        group_.addButton(item, i);
        buttons_.append(item);
    }
    arrange();
}

QStringList TsRadioGroup::items() const {
    QStringList result;
    for (const QRadioButton* item : buttons_)
        result.append(item->text());
    return result;
}

void TsRadioGroup::setColumns(int columns) {
    columns_ = std::max(1, columns);
    arrange();
}

void TsRadioGroup::arrange() {
    auto* grid = static_cast<QGridLayout*>(layout());
    const int rows = (int(buttons_.size()) + columns_ - 1) / columns_;
    // Items run down each column, then on to the next, as in the platform's radio group.
    for (int i = 0; i < buttons_.size(); ++i)
        grid->addWidget(buttons_[i], i % std::max(1, rows), i / std::max(1, rows));
}

void TsRadioGroup::setItemIndex(int index) {
    if (index < -1 || index >= buttons_.size()) index = -1;
    if (index == itemIndex_) return;
    if (index < 0) {
        group_.setExclusive(false);
        for (QRadioButton* item : buttons_)
            item->setChecked(false);
        group_.setExclusive(true);
        itemIndex_ = -1;
        return;
    }
    buttons_[index]->setChecked(true);
    itemIndex_ = index;
    Q_EMIT Click();
}
