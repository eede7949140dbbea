#include "skin/controls/sSelectionDelegate.h"

#include <QApplication>
#include <QPainter>

#include "skin/controls/sEdit.h"
#include "skin/controls/sSectionPicture.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

TsSelectionDelegate::TsSelectionDelegate(const TsCommonData& data, TSelectionArea area,
                                         bool alwaysActive, QObject* parent,
                                         QAbstractItemDelegate* platform)
    : QStyledItemDelegate(parent),
      data_(data),
      area_(area),
      alwaysActive_(alwaysActive),
      platform_(platform) {}

QSize TsSelectionDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    return platform_ ? platform_->sizeHint(option, index)
                     : QStyledItemDelegate::sizeHint(option, index);
}

bool TsSelectionDelegate::skinned() const {
    const TsSkinManager* manager = data_.SkinManager();
    return manager && data_.IsSkinned(true);
}

bool TsSelectionDelegate::isSkinnedEditor(const QWidget* editor) {
    return qobject_cast<const TsEdit*>(editor) != nullptr;
}

QWidget* TsSelectionDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    // Texts are edited in the skin's edit box; other values keep the platform's editors
    // (a number's spin box, a date's picker), which the skin of their window colours.
    if (skinned() && index.data(Qt::EditRole).typeId() == QMetaType::QString) {
        auto* editor = new TsEdit(parent);
        editor->SkinData.setSkinManager(data_.SkinManager());
        return editor;
    }
    return platform_ ? platform_->createEditor(parent, option, index)
                     : QStyledItemDelegate::createEditor(parent, option, index);
}

void TsSelectionDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (platform_ && !isSkinnedEditor(editor))
        platform_->setEditorData(editor, index);
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void TsSelectionDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    if (platform_ && !isSkinnedEditor(editor))
        platform_->setModelData(editor, model, index);
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}

void TsSelectionDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const {
    if (platform_ && !isSkinnedEditor(editor)) {
        platform_->updateEditorGeometry(editor, option, index);
        return;
    }
    // The skin's box fills the whole cell, its frame where the cell's edges are.
    if (isSkinnedEditor(editor))
        editor->setGeometry(option.rect);
    else
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
}

QRect TsSelectionDelegate::selectionRect(const QStyleOptionViewItem& option) const {
    if (area_ != saText) return option.rect;
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, option.widget);
    // The platform writes the text inside a margin on each side.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
    const int width = QFontMetrics(option.font).horizontalAdvance(option.text) + 2 * margin;
    return QRect(text.left(), text.top(), std::min(width, text.width()), text.height());
}

void TsSelectionDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const TsSkinManager* manager = data_.SkinManager();
    if (!skinned()) {
        if (platform_)
            platform_->paint(painter, option, index);
        else
            QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const bool selected = item.state & QStyle::State_Selected;
    // The platform's highlight, hover and focus marks give way to the skin's selection.
    item.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (selected) {
        const bool active = alwaysActive_ || (option.widget && option.widget->hasFocus());
        const QRect area = selectionRect(item) & option.rect;
        const TColor base = FromQColor(item.palette.color(QPalette::Base));
        const int section = manager->FindSection(QStringLiteral("SELECTION"));
        if (manager->IsValidSection(section)) {
            DrawSectionPicture(*painter, area.topLeft(),
                               PaintSectionPicture(*manager, section, active ? 1 : 0, area.size(),
                                                   base, area_ != saCell));
        } else {
            painter->fillRect(area, ToQColor(manager->SelectionColor(active)));
        }
        item.palette.setColor(QPalette::Text, ToQColor(manager->SelectionTextColor(active)));
    }
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, option.widget);
}
