#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// The kinds of column a table object exposes.
enum class FieldType {
    String,   // text, at most `size` characters when size > 0
    Integer,  // whole number
    AutoInc,  // whole number the store assigns to each new row; cannot be written
    Float,    // floating-point number
    Date,     // calendar day
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;          // longest text a String column takes; 0 means no limit
    int displayWidth = 0;  // characters a grid shows; 0 means the grid decides
};

// The column kind for a column of the store, from its declared type: INTEGER, VARCHAR(n),
// TEXT, DATE, REAL and their usual spellings.
FieldDef fieldFromDeclaredType(const QString& name, const QString& declaredType, bool counter);

// A value as the store delivered it, taken into the column's kind. A stored value that
// does not fit the kind is kept as it is, so that nothing is lost on reading.
QVariant fromStoredValue(const FieldDef& field, const QVariant& stored);

// A value being written, converted to the column's kind; EDatabaseError when the column
// refuses it. Null (an invalid QVariant) stays null.
QVariant toFieldValue(const FieldDef& field, const QVariant& value);

// Readings of a column value, with the conversions the windows rely on. A null reads as
// an empty text, 0 or an invalid date.
QString valueText(const FieldDef& field, const QVariant& value);
qlonglong valueInteger(const FieldDef& field, const QVariant& value);
double valueFloat(const FieldDef& field, const QVariant& value);
QDate valueDate(const FieldDef& field, const QVariant& value);

inline bool isNumeric(FieldType type) {
    return type == FieldType::Integer || type == FieldType::AutoInc || type == FieldType::Float;
}
// Values compared as delivered: texts letter for letter, letter case counting; two empty
// values are equal and an empty value never equals a filled one.
bool valuesEqual(const QVariant& a, const QVariant& b);

// Null and an empty text are both "empty".
inline bool isEmptyValue(const QVariant& value) {
    return !value.isValid() || value.isNull() ||
           (value.typeId() == QMetaType::QString && value.toString().isEmpty());
}
