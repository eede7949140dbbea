#include <xlsxwriter.h>

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

#include "platform/kesta_error.h"
#include "results/export_table.h"

namespace {

// Widths are counted in characters of the sheet's default font, with room for the filter
// arrow and a margin; very long texts are cut at a readable width.
constexpr double kMinWidth = 6;
constexpr double kMaxWidth = 80;

lxw_datetime dateTime(const QDate& date) {
    lxw_datetime value{};
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    return value;
}

}  // namespace

QByteArray xlsxBytes(const ExportTable& table) {
    // The library writes a file; it is made in a folder of our own and read back, so that
    // the chosen file is only ever replaced as a whole.
    QTemporaryDir folder;
    if (!folder.isValid())
        throw KestaError(QStringLiteral("Не удалось создать временную папку для книги Excel."));
    const QString path = folder.filePath(QStringLiteral("book.xlsx"));
    const QByteArray pathBytes = QFile::encodeName(path);
    lxw_workbook_options options{};
    const QByteArray tempDir = QFile::encodeName(folder.path());
    options.tmpdir = const_cast<char*>(tempDir.constData());
    lxw_workbook* book = workbook_new_opt(pathBytes.constData(), &options);
    if (!book) throw KestaError(QStringLiteral("Не удалось начать книгу Excel."));
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Данные");
    lxw_format* header = workbook_add_format(book);
    format_set_bold(header);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd.mm.yyyy");
    lxw_format* number = workbook_add_format(book);
    format_set_num_format(number, "0.00");
    lxw_format* percent = workbook_add_format(book);
    format_set_num_format(percent, "0.0%");

    std::vector<double> widths(table.columns.size(), kMinWidth);
    for (size_t c = 0; c < table.columns.size(); ++c) {
        const QByteArray title = table.columns[c].title.toUtf8();
        worksheet_write_string(sheet, 0, lxw_col_t(c), title.constData(), header);
        widths[c] = std::max(widths[c], double(table.columns[c].title.size()) + 2);
    }
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const lxw_row_t row = lxw_row_t(r + 1);
        for (size_t c = 0; c < table.columns.size(); ++c) {
            const ExportTable::Column& column = table.columns[c];
            const QVariant value = table.rows[r].value(qsizetype(c));
            const lxw_col_t col = lxw_col_t(c);
            widths[c] = std::max(widths[c], double(cellText(column, value).size()) + 2);
            if (value.isNull()) continue;
            // A value that did not fit its column's kind is written as the text it is.
            const ExportTable::Kind kind =
                value.typeId() == QMetaType::QString ? ExportTable::Kind::Text : column.kind;
            switch (kind) {
                case ExportTable::Kind::Integer:
                    worksheet_write_number(sheet, row, col, double(value.toLongLong()), nullptr);
                    break;
                case ExportTable::Kind::Number:
                case ExportTable::Kind::Percent: {
                    const double v = value.toDouble();
                    if (std::isfinite(v))
                        worksheet_write_number(
                            sheet, row, col, v,
                            kind == ExportTable::Kind::Number ? number : percent);
                    break;
                }
                case ExportTable::Kind::Date: {
                    const QDate day = value.toDate();
                    if (day.isValid()) {
                        lxw_datetime when = dateTime(day);
                        worksheet_write_datetime(sheet, row, col, &when, date);
                    }
                    break;
                }
                case ExportTable::Kind::Text: {
                    const QByteArray text = value.toString().toUtf8();
                    worksheet_write_string(sheet, row, col, text.constData(), nullptr);
                    break;
                }
            }
        }
    }
    for (size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(widths[c], kMaxWidth),
                             nullptr);
    if (!table.columns.empty()) worksheet_freeze_panes(sheet, 1, 0);

    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR)
        throw KestaError(QStringLiteral("Не удалось составить книгу Excel: %1.")
                             .arg(QString::fromUtf8(lxw_strerror(closed))));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw KestaError(QStringLiteral("Не удалось прочитать составленную книгу Excel."));
    return file.readAll();
}
