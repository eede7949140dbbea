#include "results/export_table.h"

#include <QDate>
#include <QLocale>
#include <QStringList>
#include <cmath>

namespace {

const QLatin1String kDateFormat("dd.MM.yyyy");

bool needsQuotes(const QString& cell) {
    return cell.contains(u';') || cell.contains(u'"') || cell.contains(u'\n') ||
           cell.contains(u'\r');
}

// A text a spreadsheet would take for a formula (or for the start of one, after a tab or a
// carriage return) is written with an apostrophe before it: the spreadsheet then shows the
// text and runs nothing.
QString defused(const QString& cell) {
    if (cell.isEmpty()) return cell;
    switch (cell.front().unicode()) {
        case u'=':
        case u'+':
        case u'-':
        case u'@':
        case u'\t':
        case u'\r':
            return u'\'' + cell;
        default:
            return cell;
    }
}

}  // namespace

QString cellText(const ExportTable::Column& column, const QVariant& value) {
    if (value.isNull()) return {};
    // A value that did not fit its column's kind is written as the text it is.
    if (column.kind != ExportTable::Kind::Text && value.typeId() == QMetaType::QString)
        return value.toString();
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    switch (column.kind) {
        case ExportTable::Kind::Integer:
            return QString::number(value.toLongLong());
        case ExportTable::Kind::Number: {
            const double number = value.toDouble();
            return std::isfinite(number) ? russian.toString(number, 'f', 2) : QString();
        }
        case ExportTable::Kind::Percent: {
            const double share = value.toDouble();
            return std::isfinite(share) ? russian.toString(share * 100, 'f', 1) + u'%' : QString();
        }
        case ExportTable::Kind::Date:
            return value.toDate().toString(kDateFormat);
        case ExportTable::Kind::Text:
            break;
    }
    return value.toString();
}

QByteArray csvBytes(const ExportTable& table) {
    auto line = [](const QStringList& cells) -> QString {
        QStringList quoted;
        for (const QString& cell : cells) {
            if (needsQuotes(cell)) {
                QString inner = cell;
                inner.replace(u'"', QStringLiteral("\"\""));
                quoted.append(u'"' + inner + u'"');
            } else {
                quoted.append(cell);
            }
        }
        return quoted.join(u';') + QStringLiteral("\r\n");
    };
    QString text;
    QStringList header;
    for (const ExportTable::Column& column : table.columns)
        header.append(column.title);
    text += line(header);
    for (const QVector<QVariant>& row : table.rows) {
        QStringList cells;
        for (size_t c = 0; c < table.columns.size(); ++c) {
            const QVariant value = row.value(qsizetype(c));
            // Numbers and dates are written by the program itself (a negative number
            // stays a number); texts come from the course and its users.
            const bool text = table.columns[c].kind == ExportTable::Kind::Text ||
                              value.typeId() == QMetaType::QString;
            const QString cell = cellText(table.columns[c], value);
            cells.append(text ? defused(cell) : cell);
        }
        text += line(cells);
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

std::vector<QStringList> parseCsv(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            row.append(cell);
            cell.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            row.append(cell);
            cell.clear();
            rows.push_back(row);
            row.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty()) {
        row.append(cell);
        rows.push_back(row);
    }
    return rows;
}
