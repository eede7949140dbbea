#include "data/db_grid.h"

#include <QHeaderView>
#include <QPainter>
#include <QPolygon>

#include "data/table.h"

namespace {

// The vertical header of a data grid: the platform's sections with the row marks over them.
class RowIndicator : public QHeaderView {
public:
    explicit RowIndicator(const DataGridModel& model, QWidget* parent)
        : QHeaderView(Qt::Vertical, parent), model_(model) {
        // As the grid's own header would be.
        setSectionsClickable(true);
        setHighlightSections(true);
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        paintRowMark(*painter, rect, model_.rowMark(logicalIndex),
                     palette().color(QPalette::ButtonText));
    }

private:
    const DataGridModel& model_;
};

}  // namespace

void paintRowMark(QPainter& painter, const QRect& area, TRowMark mark, const QColor& colour) {
    if (mark == TRowMark::None || area.isEmpty()) return;
    painter.save();
    // Crisp pixels: the marks are a few pixels in size.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(colour);
    painter.setBrush(colour);
    const QPoint c = area.center();
    switch (mark) {
        case TRowMark::Current:
            // A solid triangle 4 pixels wide and 7 high, pointing right at the row.
            for (int i = 0; i < 4; ++i)
                painter.drawLine(c.x() - 2 + i, c.y() - 3 + i, c.x() - 2 + i, c.y() + 3 - i);
            break;
        case TRowMark::Editing:
            // An I-beam 7 pixels high with serifs 5 pixels wide.
            painter.drawLine(c.x(), c.y() - 3, c.x(), c.y() + 3);
            painter.drawLine(c.x() - 2, c.y() - 4, c.x() - 1, c.y() - 4);
            painter.drawLine(c.x() + 1, c.y() - 4, c.x() + 2, c.y() - 4);
            painter.drawLine(c.x() - 2, c.y() + 4, c.x() - 1, c.y() + 4);
            painter.drawLine(c.x() + 1, c.y() + 4, c.x() + 2, c.y() + 4);
            break;
        case TRowMark::Inserting:
            // An asterisk: a vertical bar crossed by two diagonals, 7 by 7 pixels.
            painter.drawLine(c.x(), c.y() - 3, c.x(), c.y() + 3);
            painter.drawLine(c.x() - 3, c.y() - 2, c.x() + 3, c.y() + 2);
            painter.drawLine(c.x() - 3, c.y() + 2, c.x() + 3, c.y() - 2);
            break;
        case TRowMark::None:
            break;
    }
    painter.restore();
}

DataGridModel::DataGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataGridModel::setDataSource(TDataSource* source) {
    if (source_) disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &TDataSource::dataChanged, this, &DataGridModel::rebuild);
        connect(source_, &TDataSource::stateChanged, this, &DataGridModel::followState);
        connect(source_, &TDataSource::fieldChanged, this, [this](int field) {
            const int row = currentRow();
            const int column = int(fields_.indexOf(field));
            if (row >= 0 && column >= 0) Q_EMIT dataChanged(index(row, column), index(row, column));
        });
    }
    rebuild();
}

void DataGridModel::setColumns(const QStringList& names) {
    names_ = names;
    rebuild();
}

void DataGridModel::rebuild() {
    beginResetModel();
    fields_.clear();
    if (TTable* t = table(); t && t->active()) {
        if (names_.isEmpty()) {
            for (int i = 0; i < t->fields().size(); ++i)
                fields_.append(i);
        } else {
            for (const QString& name : std::as_const(names_)) {
                const int field = t->fieldIndex(name);
                if (field >= 0) fields_.append(field);
            }
        }
    }
    builtActive_ = table() && table()->active();
    builtRows_ = rowCount();
    endResetModel();
}

void DataGridModel::followState() {
    // Only a row added or given up, or the object opened or closed, changes the rows; a
    // row going into edit mode or saved keeps them, and an editor open in the grid stays.
    if ((table() && table()->active()) != builtActive_ || rowCount() != builtRows_) {
        rebuild();
        return;
    }
    const int rows = rowCount();
    if (rows == 0) return;
    Q_EMIT headerDataChanged(Qt::Vertical, 0, rows - 1);
    if (columnCount() > 0) Q_EMIT dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
}

bool DataGridModel::pendingRowShown() const {
    const TTable* t = table();
    return t && t->state() == DataSetState::Insert;
}

int DataGridModel::currentRow() const {
    const TTable* t = table();
    if (!t || !t->active()) return -1;
    if (pendingRowShown()) return t->recordCount();
    return t->recNo() - 1;
}

TRowMark DataGridModel::rowMark(int row) const {
    const TTable* t = table();
    if (row < 0 || row != currentRow()) return TRowMark::None;
    switch (t->state()) {
        case DataSetState::Edit:
            return TRowMark::Editing;
        case DataSetState::Insert:
            return TRowMark::Inserting;
        default:
            return TRowMark::Current;
    }
}

int DataGridModel::rowCount(const QModelIndex& parent) const {
    const TTable* t = table();
    if (parent.isValid() || !t || !t->active()) return 0;
    return t->recordCount() + (pendingRowShown() ? 1 : 0);
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(fields_.size());
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    TTable* t = table();
    const int field = fields_[index.column()];
    // The row being added or edited shows its pending values.
    const bool pending = t->state() != DataSetState::Browse && index.row() == currentRow();
    const QVariant value = pending ? t->value(field) : t->valueAt(index.row(), field);
    return valueText(t->fields()[field], value);
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= fields_.size())
        return {};
    return table()->fields()[fields_[section]].name;
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    const TTable* t = table();
    if (!index.isValid() || readOnly_ || !t || !t->canModify()) return result;
    if (t->fields()[fields_[index.column()]].type == FieldType::AutoInc) return result;
    return result | Qt::ItemIsEditable;
}

bool DataGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    TTable* t = table();
    const int field = fields_[index.column()];
    if (index.row() != currentRow()) t->setRecNo(index.row() + 1);
    // An unchanged cell leaves the row as it was.
    if (t->state() == DataSetState::Browse &&
        valueText(t->fields()[field], t->value(field)) == value.toString())
        return false;
    t->edit();
    t->setValue(field, value.toString());
    return true;
}

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent) {
    setVerticalHeader(new RowIndicator(model_, this));
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(12);
    connect(this, &QAbstractItemView::clicked, this, [this] { Q_EMIT CellClick(); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { Q_EMIT DblClick(); });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        sizeColumns();
        followTable();
    });
}

void TDBGrid::setDataSource(TDataSource* source) {
    if (TDataSource* old = model_.dataSource()) disconnect(old, nullptr, this, nullptr);
    model_.setDataSource(source);
    if (source) connect(source, &TDataSource::scrolled, this, &TDBGrid::followTable);
}

void TDBGrid::setColumns(const QStringList& names, int width) {
    columnWidth_ = width;
    model_.setColumns(names);
}

void TDBGrid::setReadOnly(bool readOnly) {
    model_.setReadOnly(readOnly);
}

void TDBGrid::sizeColumns() {
    const TTable* table = model_.table();
    if (!table) return;
    const int character = fontMetrics().averageCharWidth();
    for (int column = 0; column < model_.columnCount(); ++column) {
        if (columnWidth_ > 0) {
            setColumnWidth(column, columnWidth_);
            continue;
        }
        const FieldDef& field = table->fields()[model_.fieldOf(column)];
        int characters = field.displayWidth;
        if (characters <= 0) {
            switch (field.type) {
                case FieldType::String:
                    characters = field.size > 0 ? std::min(field.size, 40) : 40;
                    break;
                case FieldType::Date:
                    characters = 12;
                    break;
                default:
                    characters = 10;
                    break;
            }
        }
        const int title = fontMetrics().horizontalAdvance(field.name) + 16;
        setColumnWidth(column, std::max(title, characters * character + 8));
    }
}

void TDBGrid::followTable() {
    const int row = model_.currentRow();
    if (row < 0 || following_) return;
    following_ = true;
    const int column = std::max(0, currentIndex().column());
    const QModelIndex target =
        model_.index(row, std::min(column, std::max(0, model_.columnCount() - 1)));
    setCurrentIndex(target);
    scrollTo(target);
    following_ = false;
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // The mark moves with the current row.
    verticalHeader()->viewport()->update();
    if (following_ || !current.isValid() || current.row() == previous.row()) return;
    TTable* table = model_.table();
    if (!table || current.row() == model_.currentRow()) return;
    following_ = true;
    // Leaving a row saves its pending change, as the table object does on every move.
    if (current.row() < table->recordCount()) table->setRecNo(current.row() + 1);
    following_ = false;
    followTable();
}
