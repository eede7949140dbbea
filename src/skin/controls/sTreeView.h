#pragma once

#include <QTreeWidget>

#include "skin/controls/sScrollWnd.h"
#include "skin/core/sBoundLabel.h"
#include "skin/core/sCommonData.h"

class TsControlStyle;
class TsSelectionDelegate;

// The skinned tree view. Its frame and scroll bars are skinned by the scroll-window
// component, and the selected node's text is marked with the skin's selection, active while
// the tree has the focus. Besides the usual signals it reports every click of the mouse in
// it, on a node or on empty space, and Enter on the selected node, as a click.
class TsTreeView : public QTreeWidget {
    Q_OBJECT

public:
    explicit TsTreeView(QWidget* parent = nullptr);

    TsCtrlSkinData SkinData;
    // An optional caption label beside the tree (inactive unless asked for).
    TsBoundLabel BoundLabel;

    TsScrollWnd& ScrollWnd() { return scrollWnd_; }
    TsSelectionDelegate* SelectionDelegate() const { return delegate_; }

Q_SIGNALS:
    void Click();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // While skinned only the node's text shows the selection, not the whole row.
    void syncStyle();

    TsScrollWnd scrollWnd_;
    TsSelectionDelegate* delegate_;
    TsControlStyle* style_;
};
