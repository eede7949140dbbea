#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <utility>
#include <vector>

#include "data/field.h"
#include "data/filter.h"
#include "data/store.h"

class TConnection;
class TTable;

enum class DataSetState { Inactive, Browse, Edit, Insert };

// Options of a look-up. An exact look-up compares whole values; with loPartialKey a
// non-empty text matches any text that begins with it. loCaseInsensitive ignores letter
// case (Cyrillic included).
enum LocateOption : unsigned { loCaseInsensitive = 0x1, loPartialKey = 0x2 };
// The prefix look-up of the course: begins-with, letter case ignored.
constexpr unsigned loPrefix = loCaseInsensitive | loPartialKey;

// One column of a table object, read and written by name through the object's current row.
class TField {
public:
    TField(TTable* table, int index) : table_(table), index_(index) {}

    const FieldDef& def() const;
    const QString& fieldName() const { return def().name; }
    QVariant value() const;
    bool isNull() const;
    QString asString() const;
    qlonglong asInteger() const;
    double asFloat() const;
    QDate asDate() const;
    // Converted to the column's kind; EDatabaseError when the column refuses the value.
    void setValue(const QVariant& value) const;

private:
    TTable* table_;
    int index_;
};

// A whole-table object over one table of the store. It works on a snapshot taken when it
// opens (rows it saves itself join the snapshot at once): moving, looking up, filtering
// and sorting happen in memory, while every save and delete is written to the store at
// once. Its current row, filter and sort column are shared by every window that uses it.
class TTable : public QObject {
    Q_OBJECT

public:
    TTable(TConnection* connection, const QString& tableName, QObject* parent = nullptr);
    ~TTable() override;

    const QString& tableName() const { return tableName_; }

    // Columns to expose instead of all the table's, in this order, with these kinds and
    // sizes; set before opening. Opening fails when the table lacks one of them.
    void declareFields(const QVector<FieldDef>& fields) { declared_ = fields; }

    void open();
    void close();
    bool active() const { return state_ != DataSetState::Inactive; }
    DataSetState state() const { return state_; }

    void first();
    void next();
    void prior();
    void last();
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    bool isEmpty() const { return view_.empty(); }
    int recordCount() const { return int(view_.size()); }
    // Position of the current row, from 1; 0 when there is none.
    int recNo() const { return current_ + 1; }
    // Moves to a position, from 1, saving a pending row first.
    void setRecNo(int position);

    // Makes current the first row, in the shown order, whose columns match the values;
    // when none does, the current row stays where it was.
    bool locate(const QStringList& fields, const QVariantList& values, unsigned options = 0);
    bool locate(const QString& field, const QVariant& value, unsigned options = 0);

    const QVector<FieldDef>& fields() const { return fields_; }
    int fieldIndex(const QString& name) const;
    // EDatabaseError when the object exposes no such column.
    TField fieldByName(const QString& name);
    // The value of a column of the current row (or of the row being added or edited).
    QVariant value(int field) const;
    // The stored value of a column of the row at a position, from 0, in the shown order.
    QVariant valueAt(int position, int field) const;
    void setValue(int field, const QVariant& value);

    void append();
    // Adds rows in one write, each given as the values of `names` in that order, after the
    // last row; the object stands on the last of them. What post() checks of a single row's
    // values is checked of each. All of them are stored or none.
    void appendRows(const QStringList& names, const QVector<QVector<QVariant>>& rows);
    // Changes rows in one write: the rows at these positions (from 0, in the shown order) take
    // the values of `names`, given in that order for each. As post() does for one row, it
    // writes only over rows that are stored as this object read them, and all of them or
    // none; the object stays on its row.
    void updateRows(const QStringList& names, const QVector<int>& positions,
                    const QVector<QVector<QVariant>>& rows);
    // Begins a new row; like append, the row takes its place after all stored rows.
    void insert();
    // Begins a new row that is stored directly after the row with this key (0: before
    // all rows), for tables whose stored order carries meaning.
    void insertAfter(qint64 key);
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    bool modified() const { return modified_; }

    // The object reads only the rows whose column holds this value (for a table that several
    // programs share, each keeping rows of its own there); set before opening. Rows it adds
    // are shown whatever they hold until it reads the table again.
    void restrictRows(const QString& column, const QVariant& value) {
        restrictColumn_ = column;
        restrictValue_ = value;
    }

    // A read-only table object refuses every change.
    // Told as a change of state: bound controls show what can be done now.
    void setReadOnly(bool readOnly);
    bool canModify() const { return active() && !readOnly_; }
    // Saves a pending row that holds changes, and drops one that holds none.
    void checkBrowseMode();

    void setFilter(const QString& text);
    const QString& filter() const { return filterText_; }
    void setFiltered(bool filtered);
    bool filtered() const { return filtered_; }

    // Shows the rows ordered by this column, ascending; an empty name restores stored order.
    void setSort(const QString& field);
    const QString& sort() const { return sortField_; }

    // Reads the table again, staying on the same row where it still exists.
    void refresh();
    // Drops any pending row and reads the table again (after a failed transaction).
    void reload();
    // Reads the table again at the start of a write that depends on all its rows, keeping
    // the current row. ERowConflict, with the table read again, when another program
    // changed or deleted the current row since this object read it.
    void rereadCurrent();

    // While controls are disabled, the object tells its data sources nothing; enabling them
    // again tells them everything changed. For walks over many rows. Calls nest.
    void disableControls();
    void enableControls();

    // The current row's key, and a return to it; -1 when there is no current row.
    qint64 bookmark() const;
    bool gotoBookmark(qint64 key);

    // Where the object stands: its current row, its end flags and a pending row.
    struct Position {
        qint64 key = -1;
        bool bof = true;
        bool eof = true;
        DataSetState state = DataSetState::Browse;
        QVector<QVariant> buffer;
        QVector<bool> written;
        bool modified = false;
        qint64 insertAfter = -1;
    };
    Position position() const;
    // Reads the table again and goes back to a position taken before (after a failed
    // transaction): the same row where it still exists, and the same pending row.
    void restorePosition(const Position& position);

Q_SIGNALS:
    void dataSetChanged();
    void recordMoved();
    void stateChanged();
    void fieldChanged(int field);

private:
    friend class TConnection;

    struct Row {
        qint64 key = 0;
        QVector<QVariant> values;
    };

    void checkActive() const;
    void checkModifiable() const;
    Store& store() const;
    int requireField(const QString& name) const;
    [[noreturn]] void fail(const QString& message) const;
    void readRows();
    Row rowFromStore(StoreRow stored) const;
    // Takes a row just added after all stored rows into the snapshot and makes it current.
    void finishAppend(const StoreRow& stored);
    // The columns written in the pending row, and their values.
    std::pair<QStringList, QVector<QVariant>> writtenColumns() const;
    // Runs a check and a write as one transaction of the store. A write that finds its row
    // changed or gone reads the table again, dropping the pending row; any other failure
    // drops the pending row. Either way the error goes on to the caller.
    void writeChecked(const std::function<void()>& write);
    // ERowConflict when the stored row with this key is gone or holds other values than the
    // snapshot's.
    void checkUnchanged(const Row& row);
    void checkSame(const Row& row, const StoreRow& stored);
    // The positions of the fields of these names; EDatabaseError for a name of none.
    QVector<int> fieldsNamed(const QStringList& names) const;
    void dropPending();
    void applyFilter();
    void rebuildView(qint64 keepKey);
    void setState(DataSetState state);
    void moveTo(int position, bool bof, bool eof);
    int rowOfKey(qint64 key) const;
    QStringList fieldNames() const;

    TConnection* connection_;
    QString tableName_;
    QVector<FieldDef> declared_;
    QVector<FieldDef> fields_;
    std::vector<Row> rows_;  // stored order
    std::vector<int> view_;  // rows shown, after filter and sort
    int current_ = -1;       // index into view_
    bool bof_ = true;
    bool eof_ = true;
    DataSetState state_ = DataSetState::Inactive;
    QVector<QVariant> buffer_;
    QVector<bool> written_;
    bool modified_ = false;
    qint64 insertAfter_ = -1;  // where a pending new row is stored; -1: after all rows
    bool readOnly_ = false;
    QString restrictColumn_;
    QVariant restrictValue_;
    QString filterText_;
    bool filtered_ = false;
    RowFilter rowFilter_;
    QString sortField_;
    int sortIndex_ = -1;
    int controlsDisabled_ = 0;
};

// Disables a table object's controls for as long as it lives.
class ControlsDisabled {
public:
    explicit ControlsDisabled(TTable* table) : table_(table) { table_->disableControls(); }
    ~ControlsDisabled() { table_->enableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    TTable* table_;
};
