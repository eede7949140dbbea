#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class TsCommonData;

// Paints the selected item of a skinned tree, list or grid from the skin's "SELECTION"
// section, in state 1 while the view has the focus (or always, for a list that is only open
// while it is used) and 0 otherwise, or filled with the skin's selection colour when the
// skin has no such section; the item's text is written over it in the selection's text
// colour. A text is edited in place in a skinned edit box, framed and coloured as the
// skin's "EDIT". Without a skin the items are the platform's: drawn and edited by
// `platform`, the view's own delegate when it had one, sizes always taken from it.
class TsSelectionDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    enum TSelectionArea {
        saText,  // the text's own rectangle, as a tree view marks its node
        saItem,  // the whole item, as a list marks its row
        saCell,  // the whole cell without the selection's frame, so that a grid's selected
                 // cells of one row read as one band
    };

    // `data` is the skin data of the control that shows the items.
    TsSelectionDelegate(const TsCommonData& data, TSelectionArea area, bool alwaysActive,
                        QObject* parent = nullptr, QAbstractItemDelegate* platform = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // Where the selection of an item is painted.
    QRect selectionRect(const QStyleOptionViewItem& option) const;

private:
    bool skinned() const;
    // Whether an editor is one this delegate made, rather than the platform's.
    static bool isSkinnedEditor(const QWidget* editor);

    const TsCommonData& data_;
    TSelectionArea area_;
    bool alwaysActive_;
    QPointer<QAbstractItemDelegate> platform_;
};
