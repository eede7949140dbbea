#include "results/journal_export.h"

#include "data/table.h"

namespace {

ExportTable::Kind kindOf(FieldType type) {
    switch (type) {
        case FieldType::Integer:
        case FieldType::AutoInc:
            return ExportTable::Kind::Integer;
        case FieldType::Float:
            return ExportTable::Kind::Number;
        case FieldType::Date:
            return ExportTable::Kind::Date;
        case FieldType::String:
            break;
    }
    return ExportTable::Kind::Text;
}

// A stored value in the kind export writes; a value that does not fit stays as text.
QVariant exportValue(ExportTable::Kind kind, const QVariant& value) {
    if (value.isNull()) return {};
    bool ok = true;
    switch (kind) {
        case ExportTable::Kind::Integer: {
            const qlonglong number = value.toLongLong(&ok);
            return ok ? QVariant(number) : QVariant(value.toString());
        }
        case ExportTable::Kind::Number:
        case ExportTable::Kind::Percent: {
            const double number = value.toDouble(&ok);
            return ok ? QVariant(number) : QVariant(value.toString());
        }
        case ExportTable::Kind::Date:
            return value.toDate().isValid() ? QVariant(value.toDate()) : QVariant(value.toString());
        case ExportTable::Kind::Text:
            break;
    }
    return value.toString();
}

}  // namespace

ExportTable journalExport(TTable* table, const QStringList& columns, const QString& title,
                          const QString& period) {
    ExportTable result;
    result.title = title;
    result.period = period;
    QVector<int> fields;
    for (const QString& name : columns) {
        const int field = table->fieldIndex(name);
        if (field < 0) continue;
        fields.append(field);
        result.columns.push_back({name, kindOf(table->fields()[field].type)});
    }
    for (int row = 0; row < table->recordCount(); ++row) {
        QVector<QVariant> values;
        for (qsizetype c = 0; c < fields.size(); ++c) {
            values.append(
                exportValue(result.columns[size_t(c)].kind, table->valueAt(row, fields[c])));
        }
        result.rows.push_back(values);
    }
    return result;
}

QString filterDescription(const TTable* table) {
    if (!table->filtered() || table->filter().isEmpty()) return QStringLiteral("Все записи");
    return QStringLiteral("Отбор: ") + table->filter();
}
