#include "skin/controls/sTreeView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

TsTreeView::TsTreeView(QWidget* parent) : QTreeWidget(parent), SkinData(this, 96) {
    SkinData.setSkinSection(QStringLiteral("EDIT"));
    setHeaderHidden(true);
    setColumnCount(1);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
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
