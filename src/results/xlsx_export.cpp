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

// The most rows a sheet holds, the header row among them, and the longest text of a cell.
constexpr size_t kSheetRows = 1048576;
constexpr int kCellText = 32767;

// What the library's failed write of a cell means for the user, naming the cell.
KestaError cellError(lxw_error written, size_t row, const QString& column) {
    const QString cell = QStringLiteral("строка %1, столбец «%2»").arg(row + 1).arg(column);
    if (written == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        return KestaError(QStringLiteral("Текст в ячейке (%1) длиннее %2 знаков, которые "
                                         "помещаются в ячейку книги Excel. Сохраните таблицу в "
                                         "формате CSV.")
                              .arg(cell)
                              .arg(kCellText));
    return KestaError(QStringLiteral("Не удалось записать ячейку книги Excel (%1): %2.")
                          .arg(cell, QString::fromUtf8(lxw_strerror(written))));
}

}  // namespace

QByteArray xlsxBytes(const ExportTable& table) {
    // The library writes a file; it is made in a folder of our own and read back, so that
    // the chosen file is only ever replaced as a whole.
    if (table.rows.size() + 1 > kSheetRows)
        throw KestaError(QStringLiteral("В таблице %1 строк, а лист книги Excel вмещает не "
                                        "больше %2. Сохраните таблицу в формате CSV или "
                                        "выберите более короткий период.")
                             .arg(table.rows.size())
                             .arg(kSheetRows - 1));
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
    // Every write is checked: a failed one closes the book (its parts are freed; the file is
    // not read) and reports the cell.
    const auto written = [&](lxw_error answer, size_t row, size_t c) {
        if (answer == LXW_NO_ERROR) return;
        workbook_close(book);
        throw cellError(answer, row, table.columns[c].title);
    };
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
        written(worksheet_write_string(sheet, 0, lxw_col_t(c), title.constData(), header), 0,
                c);
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
                    written(worksheet_write_number(sheet, row, col, double(value.toLongLong()),
                                                   nullptr),
                            row, c);
                    break;
                case ExportTable::Kind::Number:
                case ExportTable::Kind::Percent: {
                    const double v = value.toDouble();
                    if (std::isfinite(v))
                        written(worksheet_write_number(
                                    sheet, row, col, v,
                                    kind == ExportTable::Kind::Number ? number : percent),
                                row, c);
                    break;
                }
                case ExportTable::Kind::Date: {
                    const QDate day = value.toDate();
                    if (day.isValid()) {
                        lxw_datetime when = dateTime(day);
                        written(worksheet_write_datetime(sheet, row, col, &when, date), row, c);
                    }
                    break;
                }
                case ExportTable::Kind::Text: {
                    const QByteArray text = value.toString().toUtf8();
                    written(worksheet_write_string(sheet, row, col, text.constData(), nullptr),
                            row, c);
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
