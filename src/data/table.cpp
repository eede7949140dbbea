#include "data/table.h"

#include <QHash>
#include <algorithm>
#include <numeric>

#include "data/connection.h"
#include "data/database_error.h"

// --- TField ---

const FieldDef& TField::def() const {
    return table_->fields()[index_];
}
QVariant TField::value() const {
    return table_->value(index_);
}
bool TField::isNull() const {
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}
QString TField::asString() const {
    return valueText(def(), value());
}
qlonglong TField::asInteger() const {
    return valueInteger(def(), value());
}
double TField::asFloat() const {
    return valueFloat(def(), value());
}
QDate TField::asDate() const {
    return valueDate(def(), value());
}
void TField::setValue(const QVariant& value) const {
    table_->setValue(index_, value);
}

// --- TTable ---

namespace {

// Ascending order of column values: empty first, then numbers, dates or texts.
int compareValues(const QVariant& a, const QVariant& b) {
    const bool aEmpty = !a.isValid() || a.isNull();
    const bool bEmpty = !b.isValid() || b.isNull();
    if (aEmpty || bEmpty) return int(bEmpty) - int(aEmpty);
    const int type = a.typeId();
    if (type == b.typeId()) {
        if (type == QMetaType::LongLong) {
            const qlonglong x = a.toLongLong(), y = b.toLongLong();
            return x < y ? -1 : x > y ? 1 : 0;
        }
        if (type == QMetaType::Double) {
            const double x = a.toDouble(), y = b.toDouble();
            return x < y ? -1 : x > y ? 1 : 0;
        }
        if (type == QMetaType::QDate) {
            const QDate x = a.toDate(), y = b.toDate();
            return x < y ? -1 : x > y ? 1 : 0;
        }
    }
    const QString x = a.toString(), y = b.toString();
    const int folded = x.compare(y, Qt::CaseInsensitive);
    return folded != 0 ? folded : x.compare(y);
}

// One column's condition of a look-up, prepared once so that the walk over the rows does
// no conversions.
struct LookUpCondition {
    int field = 0;
    FieldType type = FieldType::String;
    bool wantedEmpty = false;
    QString text;
    double number = 0;
    QDate date;
    Qt::CaseSensitivity cs = Qt::CaseSensitive;
    bool prefix = false;

    bool matches(const QVariant& cell) const {
        const bool cellEmpty = isEmptyValue(cell);
        // Two empty values are equal; an empty value never equals a filled one.
        if (wantedEmpty || cellEmpty) return wantedEmpty && cellEmpty;
        switch (type) {
            case FieldType::String: {
                const QString& value = cell.typeId() == QMetaType::QString
                                           ? *static_cast<const QString*>(cell.constData())
                                           : cell.toString();
                return prefix ? value.startsWith(text, cs) : value.compare(text, cs) == 0;
            }
            case FieldType::Date:
                return cell.typeId() == QMetaType::QDate && cell.toDate() == date;
            case FieldType::Integer:
            case FieldType::AutoInc:
            case FieldType::Float:
                return cell.toDouble() == number;
        }
        return false;
    }
};

}  // namespace

TTable::TTable(TConnection* connection, const QString& tableName, QObject* parent)
    : QObject(parent), connection_(connection), tableName_(tableName) {
    connection_->attach(this);
}

TTable::~TTable() {
    if (connection_) connection_->detach(this);
}

void TTable::fail(const QString& message) const {
    const QString name = objectName().isEmpty() ? tableName_ : objectName();
    throw EDatabaseError(name + QStringLiteral(": ") + message);
}

Store& TTable::store() const {
    if (!connection_) fail(QStringLiteral("нет соединения с базой данных"));
    return connection_->store();
}

void TTable::checkActive() const {
    if (!active()) fail(QStringLiteral("таблица не открыта"));
}

void TTable::checkModifiable() const {
    checkActive();
    if (readOnly_) fail(QStringLiteral("таблица открыта только для чтения"));
}

QStringList TTable::fieldNames() const {
    QStringList names;
    for (const FieldDef& field : fields_)
        names.append(field.name);
    return names;
}

int TTable::fieldIndex(const QString& name) const {
    for (int i = 0; i < fields_.size(); ++i) {
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

int TTable::requireField(const QString& name) const {
    const int index = fieldIndex(name);
    if (index < 0) fail(QStringLiteral("поле «%1» не найдено").arg(name));
    return index;
}

TField TTable::fieldByName(const QString& name) {
    checkActive();
    return TField(this, requireField(name));
}

void TTable::open() {
    if (active()) return;
    const QVector<StoreColumn> columns = store().columns(tableName_);
    QVector<FieldDef> fields;
    if (declared_.isEmpty()) {
        for (const StoreColumn& column : columns)
            fields.append(fieldFromDeclaredType(column.name, column.declaredType, column.counter));
    } else {
        for (const FieldDef& field : declared_) {
            const auto found =
                std::find_if(columns.begin(), columns.end(), [&](const StoreColumn& c) {
                    return c.name.compare(field.name, Qt::CaseInsensitive) == 0;
                });
            if (found == columns.end())
                fail(QStringLiteral("в таблице «%1» нет поля «%2»").arg(tableName_, field.name));
            fields.append(field);
        }
    }
    fields_ = fields;
    sortIndex_ = sortField_.isEmpty() ? -1 : fieldIndex(sortField_);
    rowFilter_ = filtered_ ? RowFilter::parse(filterText_, fields_) : RowFilter();
    readRows();
    state_ = DataSetState::Browse;
    rebuildView(-1);
    moveTo(view_.empty() ? -1 : 0, true, view_.empty());
    Q_EMIT stateChanged();
    Q_EMIT dataSetChanged();
}

void TTable::close() {
    if (!active()) return;
    rows_.clear();
    view_.clear();
    buffer_.clear();
    written_.clear();
    modified_ = false;
    current_ = -1;
    bof_ = eof_ = true;
    state_ = DataSetState::Inactive;
    Q_EMIT stateChanged();
    Q_EMIT dataSetChanged();
}

void TTable::readRows() {
    QVector<StoreRow> stored =
        restrictColumn_.isEmpty()
            ? store().readRows(tableName_, fieldNames())
            : store().readRowsWhere(tableName_, fieldNames(), restrictColumn_, restrictValue_);
    rows_.clear();
    rows_.reserve(stored.size());
    for (StoreRow& row : stored)
        rows_.push_back(rowFromStore(std::move(row)));
}

TTable::Row TTable::rowFromStore(StoreRow stored) const {
    // The values are taken over and converted where they lie.
    Row row{stored.key, std::move(stored.values)};
    for (int i = 0; i < fields_.size(); ++i)
        row.values[i] = fromStoredValue(fields_[i], row.values[i]);
    return row;
}

std::pair<QStringList, QVector<QVariant>> TTable::writtenColumns() const {
    QStringList names;
    QVector<QVariant> values;
    for (int i = 0; i < fields_.size(); ++i) {
        if (written_[i]) {
            names.append(fields_[i].name);
            values.append(buffer_[i]);
        }
    }
    return {names, values};
}

int TTable::rowOfKey(qint64 key) const {
    for (size_t i = 0; i < view_.size(); ++i) {
        if (rows_[view_[i]].key == key) return int(i);
    }
    return -1;
}

void TTable::rebuildView(qint64 keepKey) {
    view_.clear();
    view_.reserve(rows_.size());
    if (rowFilter_.isEmpty()) {
        view_.resize(rows_.size());
        std::iota(view_.begin(), view_.end(), 0);
    } else {
        for (size_t i = 0; i < rows_.size(); ++i) {
            if (rowFilter_.matches(rows_[i].values)) view_.push_back(int(i));
        }
    }
    if (sortIndex_ >= 0) {
        std::stable_sort(view_.begin(), view_.end(), [this](int a, int b) {
            return compareValues(rows_[a].values[sortIndex_], rows_[b].values[sortIndex_]) < 0;
        });
    }
    const int kept = keepKey >= 0 ? rowOfKey(keepKey) : -1;
    if (kept >= 0) {
        current_ = kept;
    } else {
        current_ = std::min(current_, int(view_.size()) - 1);
        if (current_ < 0 && !view_.empty()) current_ = 0;
    }
}

void TTable::setState(DataSetState state) {
    if (state_ == state) return;
    state_ = state;
    Q_EMIT stateChanged();
}

void TTable::moveTo(int position, bool bof, bool eof) {
    // Controls hear of a change of the end flags too: navigators enable their buttons by them.
    const bool moved = position != current_ || bof != bof_ || eof != eof_;
    current_ = position;
    bof_ = bof;
    eof_ = eof;
    if (moved) Q_EMIT recordMoved();
}

void TTable::first() {
    checkActive();
    checkBrowseMode();
    moveTo(view_.empty() ? -1 : 0, true, view_.empty());
}

void TTable::next() {
    checkActive();
    checkBrowseMode();
    if (current_ + 1 < int(view_.size()))
        moveTo(current_ + 1, false, false);
    else
        moveTo(current_, view_.empty(), true);
}

void TTable::prior() {
    checkActive();
    checkBrowseMode();
    if (current_ > 0)
        moveTo(current_ - 1, false, false);
    else
        moveTo(current_, true, view_.empty());
}

void TTable::last() {
    checkActive();
    checkBrowseMode();
    moveTo(int(view_.size()) - 1, view_.empty(), true);
}

bool TTable::locate(const QString& field, const QVariant& value, unsigned options) {
    return locate(QStringList{field}, QVariantList{value}, options);
}

bool TTable::locate(const QStringList& fields, const QVariantList& values, unsigned options) {
    checkActive();
    checkBrowseMode();
    if (fields.size() != values.size())
        fail(QStringLiteral("число полей и значений поиска не совпадает"));
    QVector<LookUpCondition> conditions;
    for (int i = 0; i < fields.size(); ++i) {
        LookUpCondition condition;
        condition.field = requireField(fields[i]);
        condition.type = fields_[condition.field].type;
        condition.wantedEmpty = isEmptyValue(values[i]);
        condition.cs = options & loCaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        // A prefix matches only texts; numbers, dates and empty values match whole.
        condition.prefix = (options & loPartialKey) != 0;
        if (!condition.wantedEmpty) {
            FieldDef target = fields_[condition.field];
            target.size = 0;
            if (target.type == FieldType::AutoInc) target.type = FieldType::Integer;
            if (target.type == FieldType::String)
                condition.text = values[i].toString();
            else if (target.type == FieldType::Date)
                condition.date = toFieldValue(target, values[i]).toDate();
            else
                condition.number = toFieldValue(target, values[i]).toDouble();
        }
        conditions.append(condition);
    }
    for (size_t position = 0; position < view_.size(); ++position) {
        const QVector<QVariant>& row = rows_[view_[position]].values;
        const bool all =
            std::all_of(conditions.begin(), conditions.end(),
                        [&row](const LookUpCondition& c) { return c.matches(row[c.field]); });
        if (all) {
            moveTo(int(position), false, false);
            return true;
        }
    }
    return false;
}

QVariant TTable::valueAt(int position, int field) const {
    checkActive();
    return rows_[view_[size_t(position)]].values[field];
}

QVariant TTable::value(int field) const {
    checkActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return buffer_[field];
    if (current_ < 0) fail(QStringLiteral("нет текущей записи: таблица пуста"));
    return rows_[view_[current_]].values[field];
}

void TTable::setValue(int field, const QVariant& value) {
    checkActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        fail(QStringLiteral("запись не открыта для правки или добавления"));
    buffer_[field] = toFieldValue(fields_[field], value);
    written_[field] = true;
    modified_ = true;
    Q_EMIT fieldChanged(field);
}

void TTable::append() {
    checkModifiable();
    checkBrowseMode();
    insertAfter_ = -1;
    buffer_ = QVector<QVariant>(fields_.size());
    written_ = QVector<bool>(fields_.size(), false);
    modified_ = false;
    setState(DataSetState::Insert);
}

void TTable::insert() {
    append();
}

void TTable::insertAfter(qint64 key) {
    append();
    insertAfter_ = key;
}

void TTable::edit() {
    checkModifiable();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    // Editing an empty table begins a new row, as there is none to change.
    if (current_ < 0) {
        append();
        return;
    }
    buffer_ = rows_[view_[current_]].values;
    written_ = QVector<bool>(fields_.size(), false);
    modified_ = false;
    setState(DataSetState::Edit);
}

void TTable::writeChecked(const std::function<void()>& write) {
    try {
        store().transaction(write);
    } catch (const ERowConflict&) {
        reload();
        throw;
    } catch (...) {
        dropPending();
        throw;
    }
}

void TTable::checkUnchanged(const Row& row) {
    const std::optional<StoreRow> stored = store().readRow(tableName_, row.key, fieldNames());
    if (!stored) throw ERowConflict(tableName_);
    checkSame(row, *stored);
}

void TTable::checkSame(const Row& row, const StoreRow& stored) {
    const Row now = rowFromStore(stored);
    for (int i = 0; i < fields_.size(); ++i) {
        const QVariant& was = row.values[i];
        const QVariant& is = now.values[i];
        if (isEmptyValue(was) && isEmptyValue(is)) continue;
        if (isEmptyValue(was) != isEmptyValue(is) || was != is) throw ERowConflict(tableName_);
    }
}

void TTable::setReadOnly(bool readOnly) {
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    Q_EMIT stateChanged();
}

void TTable::dropPending() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    buffer_.clear();
    written_.clear();
    modified_ = false;
    insertAfter_ = -1;
    setState(DataSetState::Browse);
    Q_EMIT dataSetChanged();
}

void TTable::post() {
    checkActive();
    if (state_ == DataSetState::Insert) {
        const auto [names, values] = writtenColumns();
        connection_->noteWrite(tableName_);
        if (insertAfter_ >= 0) {
            StoreRow stored;
            writeChecked([&] {
                stored =
                    store().insertRowAfter(tableName_, insertAfter_, names, values, fieldNames());
            });
            // The later rows took new keys: this object and every other one on the table
            // read it again.
            readRows();
            rebuildView(stored.key);
            connection_->reloadOthers(this);
            insertAfter_ = -1;
        } else {
            StoreRow stored;
            writeChecked(
                [&] { stored = store().insertRow(tableName_, names, values, fieldNames()); });
            finishAppend(stored);
        }
    } else if (state_ == DataSetState::Edit) {
        const int index = view_[current_];
        if (modified_) {
            const auto [names, values] = writtenColumns();
            connection_->noteWrite(tableName_);
            const qint64 key = rows_[index].key;
            std::optional<StoreRow> stored;
            // Written only over the row this object read: a row another program changed or
            // deleted since is not overwritten.
            writeChecked([&] {
                checkUnchanged(rows_[index]);
                store().updateRow(tableName_, key, names, values);
                stored = store().readRow(tableName_, key, fieldNames());
            });
            rows_[index] = stored ? rowFromStore(*stored) : Row{key, buffer_};
            if (!rowFilter_.isEmpty() || sortIndex_ >= 0) rebuildView(key);
        }
    } else {
        return;
    }
    buffer_.clear();
    written_.clear();
    modified_ = false;
    bof_ = eof_ = false;
    setState(DataSetState::Browse);
    Q_EMIT dataSetChanged();
    Q_EMIT recordMoved();
}

QVector<int> TTable::fieldsNamed(const QStringList& names) const {
    QVector<int> fields;
    for (const QString& name : names) {
        const int field = fieldIndex(name);
        if (field < 0)
            throw EDatabaseError(
                QStringLiteral("В таблице «%1» нет поля «%2»").arg(tableName_, name));
        fields.append(field);
    }
    return fields;
}

void TTable::updateRows(const QStringList& names, const QVector<int>& positions,
                        const QVector<QVector<QVariant>>& rows) {
    checkModifiable();
    checkBrowseMode();
    if (positions.isEmpty()) return;
    const QVector<int> fields = fieldsNamed(names);
    QVector<qint64> keys;
    QVector<QVector<QVariant>> converted;
    for (qsizetype i = 0; i < positions.size(); ++i) {
        const int position = positions[i];
        if (position < 0 || position >= int(view_.size()))
            fail(QStringLiteral("нет строки на месте %1").arg(position + 1));
        keys.append(rows_[view_[position]].key);
        QVector<QVariant> values;
        for (int f = 0; f < fields.size(); ++f)
            values.append(toFieldValue(fields_[fields[f]], rows[i].value(f)));
        converted.append(std::move(values));
    }
    connection_->noteWrite(tableName_);
    writeChecked([&] {
        // The rows as stored now, read once for all of them.
        QHash<qint64, StoreRow> stored;
        for (StoreRow& row : store().readRows(tableName_, fieldNames()))
            stored.insert(row.key, std::move(row));
        for (qsizetype i = 0; i < positions.size(); ++i) {
            const auto now = stored.constFind(keys[i]);
            if (now == stored.cend()) throw ERowConflict(tableName_);
            checkSame(rows_[view_[positions[i]]], *now);
        }
        store().updateRows(tableName_, names, keys, converted);
    });
    for (qsizetype i = 0; i < positions.size(); ++i) {
        Row& row = rows_[view_[positions[i]]];
        for (int f = 0; f < fields.size(); ++f)
            row.values[fields[f]] = converted[i][f];
    }
    const qint64 currentKey = current_ >= 0 ? rows_[view_[current_]].key : -1;
    if (!rowFilter_.isEmpty() || sortIndex_ >= 0) rebuildView(currentKey);
    Q_EMIT dataSetChanged();
    Q_EMIT recordMoved();
}

void TTable::appendRows(const QStringList& names, const QVector<QVector<QVariant>>& rows) {
    checkActive();
    checkBrowseMode();
    if (rows.isEmpty()) return;
    const QVector<int> fields = fieldsNamed(names);
    QVector<QVector<QVariant>> converted;
    converted.reserve(rows.size());
    for (const QVector<QVariant>& row : rows) {
        QVector<QVariant> values;
        for (int i = 0; i < fields.size(); ++i)
            values.append(toFieldValue(fields_[fields[i]], row.value(i)));
        converted.append(std::move(values));
    }
    connection_->noteWrite(tableName_);
    QVector<StoreRow> stored;
    writeChecked([&] { stored = store().insertRows(tableName_, names, converted, fieldNames()); });
    for (const StoreRow& row : stored)
        finishAppend(row);
    bof_ = eof_ = false;
    Q_EMIT dataSetChanged();
    Q_EMIT recordMoved();
}

void TTable::finishAppend(const StoreRow& stored) {
    rows_.push_back(rowFromStore(stored));
    if (rowFilter_.isEmpty() && sortIndex_ < 0) {
        view_.push_back(int(rows_.size()) - 1);
        current_ = int(view_.size()) - 1;
    } else {
        rebuildView(stored.key);
    }
}

void TTable::setRecNo(int position) {
    checkActive();
    checkBrowseMode();
    if (position >= 1 && position <= int(view_.size())) moveTo(position - 1, false, false);
}

void TTable::cancel() {
    checkActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    buffer_.clear();
    written_.clear();
    modified_ = false;
    insertAfter_ = -1;
    setState(DataSetState::Browse);
    Q_EMIT dataSetChanged();
}

void TTable::checkBrowseMode() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    if (modified_)
        post();
    else
        cancel();
}

void TTable::deleteRecord() {
    checkModifiable();
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    cancel();
    if (current_ < 0) fail(QStringLiteral("нельзя удалить запись: таблица пуста"));
    const int index = view_[current_];
    connection_->noteWrite(tableName_);
    writeChecked([&] {
        checkUnchanged(rows_[index]);
        store().deleteRow(tableName_, rows_[index].key);
    });
    rows_.erase(rows_.begin() + index);
    const int position = current_;
    if (rowFilter_.isEmpty() && sortIndex_ < 0) {
        view_.pop_back();  // rows and view are the same sequence
    } else {
        rebuildView(-1);
    }
    current_ = std::min(position, int(view_.size()) - 1);
    bof_ = view_.empty();
    eof_ = view_.empty();
    Q_EMIT dataSetChanged();
    Q_EMIT recordMoved();
}

void TTable::setFilter(const QString& text) {
    if (text == filterText_) return;
    if (active() && filtered_) {
        checkBrowseMode();
        rowFilter_ = RowFilter::parse(text, fields_);
        filterText_ = text;
        applyFilter();
    } else {
        filterText_ = text;
    }
}

void TTable::setFiltered(bool filtered) {
    if (filtered == filtered_) return;
    if (active()) {
        checkBrowseMode();
        rowFilter_ = filtered ? RowFilter::parse(filterText_, fields_) : RowFilter();
        filtered_ = filtered;
        applyFilter();
    } else {
        filtered_ = filtered;
    }
}

void TTable::applyFilter() {
    rebuildView(-1);
    moveTo(view_.empty() ? -1 : 0, true, view_.empty());
    Q_EMIT dataSetChanged();
}

void TTable::setSort(const QString& field) {
    int index = -1;
    if (active()) {
        checkBrowseMode();
        if (!field.isEmpty()) index = requireField(field);
    }
    sortField_ = field;
    if (!active()) return;
    const qint64 key = bookmark();
    sortIndex_ = index;
    rebuildView(key);
    Q_EMIT dataSetChanged();
    Q_EMIT recordMoved();
}

void TTable::disableControls() {
    if (controlsDisabled_++ == 0) blockSignals(true);
}

void TTable::enableControls() {
    if (controlsDisabled_ == 0 || --controlsDisabled_ > 0) return;
    blockSignals(false);
    Q_EMIT stateChanged();
    Q_EMIT dataSetChanged();
    Q_EMIT recordMoved();
}

qint64 TTable::bookmark() const {
    if (!active() || current_ < 0) return -1;
    return rows_[view_[current_]].key;
}

bool TTable::gotoBookmark(qint64 key) {
    checkActive();
    checkBrowseMode();
    const int position = rowOfKey(key);
    if (position < 0) return false;
    moveTo(position, false, false);
    return true;
}

void TTable::refresh() {
    checkActive();
    checkBrowseMode();
    reload();
}

void TTable::reload() {
    if (!active()) return;
    const qint64 key = bookmark();
    buffer_.clear();
    written_.clear();
    modified_ = false;
    setState(DataSetState::Browse);
    readRows();
    rebuildView(key);
    bof_ = eof_ = view_.empty();
    Q_EMIT dataSetChanged();
    Q_EMIT recordMoved();
}

void TTable::rereadCurrent() {
    checkActive();
    checkBrowseMode();
    if (current_ >= 0) {
        try {
            checkUnchanged(rows_[view_[current_]]);
        } catch (const ERowConflict&) {
            reload();
            throw;
        }
    }
    reload();
}

TTable::Position TTable::position() const {
    Position position;
    position.key = bookmark();
    position.bof = bof_;
    position.eof = eof_;
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        position.state = state_;
        position.buffer = buffer_;
        position.written = written_;
        position.modified = modified_;
        position.insertAfter = insertAfter_;
    }
    return position;
}

void TTable::restorePosition(const Position& position) {
    if (!active()) return;
    reload();
    const int row = position.key >= 0 ? rowOfKey(position.key) : -1;
    if (row >= 0) moveTo(row, position.bof, position.eof);
    const bool pending = position.state == DataSetState::Insert ||
                         (position.state == DataSetState::Edit && row >= 0);
    if (!pending || position.buffer.size() != fields_.size()) return;
    buffer_ = position.buffer;
    written_ = position.written;
    modified_ = position.modified;
    insertAfter_ = position.insertAfter;
    setState(position.state);
    Q_EMIT dataSetChanged();
}
