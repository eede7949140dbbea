#pragma once

#include <QTreeWidget>

#include "skin/core/sCommonData.h"

// The skinned tree view. Besides the usual signals it reports every click of the mouse in
// it, on a node or on empty space, and Enter on the selected node, as a click.
class TsTreeView : public QTreeWidget {
    Q_OBJECT

public:
    explicit TsTreeView(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;

Q_SIGNALS:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
