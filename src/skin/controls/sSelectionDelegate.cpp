#include "skin/controls/sSelectionDelegate.h"

#include <QApplication>
#include <QPainter>

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

QRect TsSelectionDelegate::selectionRect(const QStyleOptionViewItem& option) const {
    if (area_ == saItem) return option.rect;
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
    if (!manager || !data_.IsSkinned(true)) {
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
        Bitmap32 picture = CreateBitmap32(area.width(), area.height());
        if (!picture.isNull()) {
            const TColor base = FromQColor(item.palette.color(QPalette::Base));
            const int section = manager->FindSection(QStringLiteral("SELECTION"));
            if (manager->IsValidSection(section)) {
                picture.fill(FillPixel(base));
                TsSectionPaint paint;
                paint.SectionIndex = section;
                paint.SectionName = QStringLiteral("SELECTION");
                paint.Parent = MakeCacheInfo(base);
                paint.Manager = manager;
                paint.Area = picture.rect();
                paint.State = active ? 1 : 0;
                PaintSection(picture, paint);
            } else {
                picture.fill(FillPixel(manager->SelectionColor(active)));
            }
            const QImage pixels(picture.bits(), picture.width(), picture.height(),
                                picture.bytesPerLine(), QImage::Format_RGB32);
            painter->drawImage(area.topLeft(), pixels);
        }
        item.palette.setColor(QPalette::Text, ToQColor(manager->SelectionTextColor(active)));
    }
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, option.widget);
}
