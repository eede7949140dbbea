#include "data/filter.h"

#include "data/database_error.h"

namespace {

[[noreturn]] void badFilter(const QString& text, const QString& reason) {
    throw EDatabaseError(QStringLiteral("Неверный фильтр «%1»: %2").arg(text, reason));
}

}  // namespace

RowFilter RowFilter::parse(const QString& text, const QVector<FieldDef>& fields) {
    RowFilter filter;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return filter;

    // The column name: in brackets, or everything before the first "=".
    QString name;
    qsizetype rest = 0;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close < 0) badFilter(text, QStringLiteral("нет закрывающей скобки"));
        name = trimmed.mid(1, close - 1);
        rest = trimmed.indexOf(u'=', close);
        if (rest < 0 || !trimmed.mid(close + 1, rest - close - 1).trimmed().isEmpty())
            badFilter(text, QStringLiteral("ожидается знак «=»"));
    } else {
        rest = trimmed.indexOf(u'=');
        if (rest < 0) badFilter(text, QStringLiteral("ожидается знак «=»"));
        name = trimmed.left(rest).trimmed();
    }
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) filter.field_ = i;
    }
    if (filter.field_ < 0) badFilter(text, QStringLiteral("нет поля «%1»").arg(name));
    const FieldDef& field = fields[filter.field_];
    filter.type_ = field.type;

    // The value: a quoted text with doubled apostrophes, or an undelimited word.
    const QString valueText = trimmed.mid(rest + 1).trimmed();
    QString value;
    if (valueText.startsWith(u'\'')) {
        qsizetype i = 1;
        bool closed = false;
        while (i < valueText.size()) {
            if (valueText[i] == u'\'') {
                if (i + 1 < valueText.size() && valueText[i + 1] == u'\'') {
                    value += u'\'';
                    i += 2;
                    continue;
                }
                closed = true;
                ++i;
                break;
            }
            value += valueText[i++];
        }
        if (!closed) badFilter(text, QStringLiteral("нет закрывающего апострофа"));
        if (i != valueText.size()) badFilter(text, QStringLiteral("лишний текст после значения"));
    } else {
        value = valueText;
        if (value.isEmpty()) badFilter(text, QStringLiteral("нет значения"));
    }

    // The value is read as the column's kind; a counter compares as any whole number.
    FieldDef target = field;
    target.size = 0;
    if (target.type == FieldType::AutoInc) target.type = FieldType::Integer;
    try {
        filter.value_ =
            target.type == FieldType::String ? QVariant(value) : toFieldValue(target, value);
    } catch (const EDatabaseError& error) {
        badFilter(text, error.message());
    }
    return filter;
}

bool RowFilter::matches(const QVector<QVariant>& row) const {
    if (field_ < 0) return true;
    const QVariant& cell = row[field_];
    if (!cell.isValid() || cell.isNull()) return false;
    switch (type_) {
        case FieldType::String:
            return cell.toString().compare(value_.toString(), Qt::CaseInsensitive) == 0;
        case FieldType::Date:
            return cell.typeId() == QMetaType::QDate && cell.toDate() == value_.toDate();
        case FieldType::Integer:
        case FieldType::AutoInc:
        case FieldType::Float:
            return cell.toDouble() == value_.toDouble();
    }
    return false;
}

QString quotedFilterValue(const QString& text) {
    QString doubled = text;
    doubled.replace(u'\'', QStringLiteral("''"));
    return u'\'' + doubled + u'\'';
}
