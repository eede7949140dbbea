#pragma once

#include <QObject>
#include <QPointer>

#include "data/table.h"

// Links a table object to the controls bound to it: they hear of row moves, changes of
// data and changes of state through it.
class TDataSource : public QObject {
    Q_OBJECT

public:
    explicit TDataSource(QObject* parent = nullptr);

    void setDataSet(TTable* table);
    TTable* dataSet() const { return table_; }

    // A disabled source passes nothing on; the change itself is told (enabledChanged).
    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }

Q_SIGNALS:
    // The rows shown changed as a whole (opened, closed, filtered, sorted, saved, deleted).
    void dataChanged();
    // The current row moved.
    void scrolled();
    // The table object changed state (browse, edit, insert, inactive).
    void stateChanged();
    // A column of the pending row was written.
    void fieldChanged(int field);
    // The source was disabled or enabled again.
    void enabledChanged();

private:
    QPointer<TTable> table_;
    bool enabled_ = true;
};
