#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>

#include "data/data_source.h"

class QPainter;

// What the row indicator shows beside a row: nothing, the current row, the current row
// while its changes are pending, or the new row being added.
enum class TRowMark { None, Current, Editing, Inserting };

// Draws a row mark centred in `area` in `colour`: a small triangle pointing at the current
// row, an I-beam while it is edited, an asterisk beside the row being added.
void paintRowMark(QPainter& painter, const QRect& area, TRowMark mark, const QColor& colour);

// The rows of a table object as a model for a grid: one grid row per row the object shows,
// and, while a new row is being added, that row at the end. Editing a cell moves the
// object to the cell's row and puts it into edit mode; the change is saved when the row is
// left, as the object saves a pending row on every move.
class DataGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit DataGridModel(QObject* parent = nullptr);

    void setDataSource(TDataSource* source);
    TDataSource* dataSource() const { return source_; }
    TTable* table() const { return source_ ? source_->dataSet() : nullptr; }

    // Columns to show, by name, instead of every column of the table object.
    void setColumns(const QStringList& names);
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool readOnly() const { return readOnly_; }

    // The column of the table object a grid column shows.
    int fieldOf(int column) const { return fields_.value(column, -1); }
    // The grid row of the table object's current row (the pending new row while one is
    // being added); -1 when there is none.
    int currentRow() const;
    // The mark the row indicator shows beside a grid row.
    TRowMark rowMark(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    void rebuild();
    void followState();
    bool pendingRowShown() const;

    QPointer<TDataSource> source_;
    QStringList names_;
    QVector<int> fields_;
    bool readOnly_ = false;
    // What the rows were made from at the last rebuild.
    bool builtActive_ = false;
    int builtRows_ = 0;
};

// A grid bound to a data source. Its current row follows the table object's, and moving in
// the grid moves the object. Column widths follow the columns' display widths. The narrow
// row indicator at its left marks the current row and whether it is being edited or added,
// in the indicator's text colour (its palette's button text).
class TDBGrid : public QTableView {
    Q_OBJECT

public:
    explicit TDBGrid(QWidget* parent = nullptr);

    void setDataSource(TDataSource* source);
    TDataSource* dataSource() const { return model_.dataSource(); }
    // Shows only these columns, each `width` pixels wide.
    void setColumns(const QStringList& names, int width);
    void setReadOnly(bool readOnly);
    bool readOnly() const { return model_.readOnly(); }
    DataGridModel* gridModel() { return &model_; }

Q_SIGNALS:
    // A click on a cell, and a double click.
    void CellClick();
    void DblClick();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void followTable();
    void sizeColumns();

    DataGridModel model_;
    int columnWidth_ = 0;
    bool following_ = false;
};
