#include "data/field.h"

#include <QRegularExpression>
#include <cmath>

#include "data/database_error.h"
#include "platform/short_date.h"

namespace {

[[noreturn]] void refuse(const FieldDef& field, const QString& value, const QString& kind) {
    throw EDatabaseError(
        QStringLiteral("Поле «%1»: значение «%2» не является %3").arg(field.name, value, kind));
}

bool parseInteger(const QString& text, qlonglong* result) {
    bool ok = false;
    *result = text.trimmed().toLongLong(&ok);
    return ok;
}

bool parseFloat(const QString& text, double* result) {
    bool ok = false;
    QString normal = text.trimmed();
    normal.replace(u',', u'.');
    *result = normal.toDouble(&ok);
    return ok;
}

// Dates are stored as YYYY-MM-DD; reading them is on the path of every table opening, so
// that form is taken apart directly.
QDate parseIsoDate(const QString& text) {
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-') return {};
    int parts[3] = {0, 0, 0};
    const int starts[3] = {0, 5, 8};
    const int lengths[3] = {4, 2, 2};
    for (int part = 0; part < 3; ++part) {
        for (int i = 0; i < lengths[part]; ++i) {
            const char16_t c = text[starts[part] + i].unicode();
            if (c < u'0' || c > u'9') return {};
            parts[part] = parts[part] * 10 + (c - u'0');
        }
    }
    if (text.size() > 10 && text[10] != u' ' && text[10] != u'T') return {};
    return QDate(parts[0], parts[1], parts[2]);
}

QDate parseDate(const QString& text) {
    const QString trimmed = text.trimmed();
    QDate date = parseIsoDate(trimmed);
    if (!date.isValid()) date = parseShortDate(trimmed);
    return date;
}

}  // namespace

FieldDef fieldFromDeclaredType(const QString& name, const QString& declaredType, bool counter) {
    FieldDef field;
    field.name = name;
    const QString type = declaredType.trimmed().toUpper();
    if (counter) {
        field.type = FieldType::AutoInc;
    } else if (type.contains(QLatin1String("INT"))) {
        field.type = FieldType::Integer;
    } else if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
               type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUMERIC")) ||
               type.contains(QLatin1String("DECIMAL"))) {
        field.type = FieldType::Float;
    } else if (type.startsWith(QLatin1String("DATE"))) {
        field.type = FieldType::Date;
    } else {
        field.type = FieldType::String;
        static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
        const auto match = size.match(type);
        if (match.hasMatch()) field.size = match.captured(1).toInt();
    }
    return field;
}

QVariant fromStoredValue(const FieldDef& field, const QVariant& stored) {
    if (!stored.isValid() || stored.isNull()) return {};
    switch (field.type) {
        case FieldType::Integer:
        case FieldType::AutoInc: {
            if (stored.typeId() == QMetaType::LongLong) return stored;
            qlonglong number;
            if (parseInteger(stored.toString(), &number)) return number;
            return stored;
        }
        case FieldType::Float: {
            if (stored.typeId() == QMetaType::Double) return stored;
            double number;
            if (parseFloat(stored.toString(), &number)) return number;
            return stored;
        }
        case FieldType::Date: {
            const QDate date = parseDate(stored.toString());
            return date.isValid() ? QVariant(date) : stored;
        }
        case FieldType::String:
            return stored.typeId() == QMetaType::QString ? stored : QVariant(stored.toString());
    }
    return stored;
}

QVariant toFieldValue(const FieldDef& field, const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    const int type = value.typeId();
    switch (field.type) {
        case FieldType::AutoInc:
            throw EDatabaseError(
                QStringLiteral("Поле «%1» нельзя изменить: его значение назначает база данных")
                    .arg(field.name));
        case FieldType::Integer: {
            if (type == QMetaType::Double) {
                const double number = value.toDouble();
                if (number != std::floor(number))
                    refuse(field, value.toString(), QStringLiteral("целым числом"));
                return qlonglong(number);
            }
            if (type == QMetaType::QString || type == QMetaType::QByteArray) {
                const QString text = value.toString();
                if (text.trimmed().isEmpty()) return {};
                qlonglong number;
                if (!parseInteger(text, &number))
                    refuse(field, text, QStringLiteral("целым числом"));
                return number;
            }
            bool ok = false;
            const qlonglong number = value.toLongLong(&ok);
            if (!ok) refuse(field, value.toString(), QStringLiteral("целым числом"));
            return number;
        }
        case FieldType::Float: {
            if (type == QMetaType::QString) {
                const QString text = value.toString();
                if (text.trimmed().isEmpty()) return {};
                double number;
                if (!parseFloat(text, &number)) refuse(field, text, QStringLiteral("числом"));
                return number;
            }
            bool ok = false;
            const double number = value.toDouble(&ok);
            if (!ok) refuse(field, value.toString(), QStringLiteral("числом"));
            return number;
        }
        case FieldType::Date: {
            if (type == QMetaType::QDate) return value;
            if (type == QMetaType::QDateTime) return value.toDateTime().date();
            const QString text = value.toString();
            if (text.trimmed().isEmpty()) return {};
            const QDate date = parseDate(text);
            if (!date.isValid()) refuse(field, text, QStringLiteral("датой"));
            return date;
        }
        case FieldType::String: {
            const QString text =
                type == QMetaType::QDate ? formatShortDate(value.toDate()) : value.toString();
            if (field.size > 0 && text.size() > field.size) {
                throw EDatabaseError(QStringLiteral("Поле «%1»: текст длиннее допустимых %2 симв.")
                                         .arg(field.name)
                                         .arg(field.size));
            }
            return text;
        }
    }
    return value;
}

QString valueText(const FieldDef& field, const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    if (value.typeId() == QMetaType::QDate) return formatShortDate(value.toDate());
    if (value.typeId() == QMetaType::Double && field.type == FieldType::Float)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

qlonglong valueInteger(const FieldDef& field, const QVariant& value) {
    if (!value.isValid() || value.isNull()) return 0;
    if (value.typeId() == QMetaType::LongLong) return value.toLongLong();
    if (value.typeId() == QMetaType::Double) return qRound64(value.toDouble());
    qlonglong number;
    if (!parseInteger(value.toString(), &number))
        refuse(field, value.toString(), QStringLiteral("целым числом"));
    return number;
}

double valueFloat(const FieldDef& field, const QVariant& value) {
    if (!value.isValid() || value.isNull()) return 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong)
        return value.toDouble();
    double number;
    if (!parseFloat(value.toString(), &number))
        refuse(field, value.toString(), QStringLiteral("числом"));
    return number;
}

QDate valueDate(const FieldDef& field, const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    if (value.typeId() == QMetaType::QDate) return value.toDate();
    const QDate date = parseDate(value.toString());
    if (!date.isValid()) refuse(field, value.toString(), QStringLiteral("датой"));
    return date;
}

bool valuesEqual(const QVariant& a, const QVariant& b) {
    const bool aEmpty = isEmptyValue(a);
    const bool bEmpty = isEmptyValue(b);
    if (aEmpty || bEmpty) return aEmpty && bEmpty;
    return a.toString() == b.toString();
}
