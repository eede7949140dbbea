#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

#include "data/field.h"

// A row filter of the form  Column=value : the value is either a text in apostrophes
// (an apostrophe inside written twice) or, undelimited, a number or a date in the
// system's short date format. A column name holding spaces may be put in brackets.
// Texts compare without regard to letter case; an empty filter text lets every row through.
class RowFilter {
public:
    RowFilter() = default;

    // EDatabaseError when the text is not such a filter or names no column of `fields`.
    static RowFilter parse(const QString& text, const QVector<FieldDef>& fields);

    bool isEmpty() const { return field_ < 0; }
    bool matches(const QVector<QVariant>& row) const;

private:
    int field_ = -1;
    FieldType type_ = FieldType::String;
    QVariant value_;
};

// A text value for a filter: in apostrophes, with every apostrophe inside written twice.
QString quotedFilterValue(const QString& text);
