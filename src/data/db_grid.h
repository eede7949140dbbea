#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>

#include "data/data_source.h"

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

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    void rebuild();
    bool pendingRowShown() const;

    QPointer<TDataSource> source_;
    QStringList names_;
    QVector<int> fields_;
    bool readOnly_ = false;
};

// A grid bound to a data source. Its current row follows the table object's, and moving in
// the grid moves the object. Column widths follow the columns' display widths.
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
