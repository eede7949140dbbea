#include "skin/controls/sTreeView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/skin_message.h"
#include "skin/controls/sControlStyle.h"
#include "skin/controls/sSelectionDelegate.h"
#include "skin/core/sSkinManager.h"

namespace {

// The platform's style, except that a selected row is not highlighted across its branches:
// the skin marks the node's text alone.
class TreeStyle : public TsControlStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ItemView_ShowDecorationSelected) return 0;
        return TsControlStyle::styleHint(hint, option, widget, data);
    }
};

}  // namespace

TsTreeView::TsTreeView(QWidget* parent)
    : QTreeWidget(parent),
      SkinData(this, 96),
      BoundLabel(this),
      scrollWnd_(this, SkinData),
      delegate_(new TsSelectionDelegate(SkinData, TsSelectionDelegate::saText, false, this)),
      style_(new TreeStyle) {
    style_->setParent(this);
    SkinData.setSkinSection(QStringLiteral("EDIT"));
    setHeaderHidden(true);
    setColumnCount(1);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setItemDelegate(delegate_);
    scrollWnd_.sync();
    syncStyle();
}

void TsTreeView::syncStyle() {
    const TsSkinManager* manager = SkinData.SkinManager();
    style_->wear(this, manager && manager->Active() && SkinData.IsSkinned());
}

bool TsTreeView::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        const auto* message = static_cast<const TsSkinMessage*>(event);
        switch (message->Command) {
            case TsSkinMessage::AC_SETNEWSKIN:
            case TsSkinMessage::AC_REMOVESKIN:
            case TsSkinMessage::AC_REFRESH:
                if (message->Param == quintptr(SkinData.SkinManager())) syncStyle();
                break;
            default:
                break;
        }
    } else if (event->type() == QEvent::Show) {
        syncStyle();
    }
    return QTreeWidget::event(event);
}

void TsTreeView::mousePressEvent(QMouseEvent* event) {
    // A press on empty space keeps the selected node, as tree views on the desktop do.
    if (!itemAt(event->position().toPoint())) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void TsTreeView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) Q_EMIT Click();
}

void TsTreeView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != EditingState) {
        Q_EMIT Click();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

// The selection's state follows the focus.
void TsTreeView::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    viewport()->update();
}

void TsTreeView::focusOutEvent(QFocusEvent* event) {
    QTreeWidget::focusOutEvent(event);
    viewport()->update();
}
