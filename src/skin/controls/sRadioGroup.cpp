#include "skin/controls/sRadioGroup.h"

#include <QEvent>

QList<QRect> RadioGroupLayout(QSize size, int count, int columns, int textHeight,
                              bool rightToLeft) {
    QList<QRect> places;
    if (count <= 0) return places;
    columns = std::max(1, columns);
    const int perColumn = (count + columns - 1) / columns;
    const int buttonWidth = (size.width() - 10) / columns;
    const int room = size.height() - textHeight - 5;
    const int buttonHeight = room / perColumn;
    const int top = textHeight + 1 + (room % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        int left = (i / perColumn) * buttonWidth + 8;
        if (rightToLeft) left = size.width() - left - buttonWidth;
        places.append(QRect(left, (i % perColumn) * buttonHeight + top, buttonWidth, buttonHeight));
    }
    return places;
}

TsGroupButton::TsGroupButton(TsRadioGroup* group, int index, const QString& caption)
    : TsRadioButton(caption, group), Index(index), group_(group) {
    AutoSize = false;
    AnimatEvents = group->AnimatEvents;
    SkinData.setSkinSection(QStringLiteral("RADIOBUTTON"));
    SkinData.setSkinManager(group->SkinData.SkinManager());
}

void TsGroupButton::nextCheckState() {
    if (!isChecked() && !group_->CanChange(Index)) return;
    TsRadioButton::nextCheckState();
}

TsRadioGroup::TsRadioGroup(QWidget* parent) : TsGroupBox(parent) {
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) {
        // A click the group refused leaves the item unchecked.
        if (id == itemIndex_ || !buttons_[id]->isChecked()) return;
        itemIndex_ = id;
        Q_EMIT Click();
    });
}

bool TsRadioGroup::CanChange(int index) {
    bool allow = true;
    Q_EMIT OnChanging(index, allow);
    return allow;
}

void TsRadioGroup::setItems(const QStringList& items) {
    setItemIndex(-1);
    qDeleteAll(buttons_);
    buttons_.clear();
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new TsGroupButton(this, i, items[i]);
        item->setObjectName(objectName() + QStringLiteral("_item%1").arg(i));
        // The group is one stop of the Tab key; arrows move between its items.
        item->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        group_.addButton(item, i);
        buttons_.append(item);
        if (isVisible()) item->show();
    }
    arrange();
}

QStringList TsRadioGroup::items() const {
    QStringList result;
    for (const TsGroupButton* item : buttons_)
        result.append(item->text());
    return result;
}

void TsRadioGroup::setColumns(int columns) {
    columns_ = std::max(1, columns);
    arrange();
}

void TsRadioGroup::arrange() {
    const QList<QRect> places =
        RadioGroupLayout(size(), int(buttons_.size()), columns_, fontMetrics().height(),
                         layoutDirection() == Qt::RightToLeft);
    for (int i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setGeometry(places[i]);
}

void TsRadioGroup::resizeEvent(QResizeEvent* event) {
    TsGroupBox::resizeEvent(event);
    arrange();
}

void TsRadioGroup::changeEvent(QEvent* event) {
    TsGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutDirectionChange)
        arrange();
}

void TsRadioGroup::setItemIndex(int index) {
    if (index < -1 || index >= buttons_.size()) index = -1;
    if (index == itemIndex_) return;
    if (index < 0) {
        group_.setExclusive(false);
        for (TsGroupButton* item : buttons_)
            item->setChecked(false);
        group_.setExclusive(true);
        itemIndex_ = -1;
        return;
    }
    buttons_[index]->setChecked(true);
    itemIndex_ = index;
    Q_EMIT Click();
}
