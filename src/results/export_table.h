#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVariant>
#include <QVector>
#include <vector>

// What a window hands to export: the rows it shows, with typed columns, and for the
// printed report a title, the period covered and pictures of its charts.
struct ExportTable {
    enum class Kind { Text, Integer, Number, Percent, Date };
    struct Column {
        QString title;
        Kind kind = Kind::Text;
    };

    QString title;
    QString period;  // for example "с 01.03.2026 по 31.03.2026"; may be empty
    std::vector<Column> columns;
    // One value per column: qlonglong, double (a share 0..1 for Percent), QDate, or QString
    // (in a column of another kind: a stored value that did not fit, written as text); a
    // null value leaves the cell empty.
    std::vector<QVector<QVariant>> rows;
    std::vector<QImage> charts;
};

// The text of a cell as the table and the report show it.
QString cellText(const ExportTable::Column& column, const QVariant& value);

// CSV as a Russian spreadsheet reads it: UTF-8 with a byte-order mark, ";" between cells,
// a header row, cells quoted where they hold ";", quotes or line breaks; numbers with a
// decimal comma, dates as dd.MM.yyyy. A text that begins with "=", "+", "-", "@", a tab or
// a carriage return gets an apostrophe before it, so that no spreadsheet runs it as a
// formula.
QByteArray csvBytes(const ExportTable& table);

// Reads back CSV written by csvBytes: the rows of cells, the header row first.
std::vector<QStringList> parseCsv(const QByteArray& bytes);

// An XLSX workbook of one sheet: a bold header row, dates as dates, numbers as numbers,
// column widths fitted to the longest cell. Throws KestaError when it cannot be made, as
// when a text is longer than a cell holds or the rows are more than a sheet has.
QByteArray xlsxBytes(const ExportTable& table);

// Where the printed report's table breaks across pages.
struct PdfLayout {
    int rowsOnFirstPage = 0;  // below the title and the charts
    int rowsPerPage = 0;      // on every following page, below the repeated header
    int pages(int rows) const;
};
PdfLayout pdfLayout(const ExportTable& table);

// A PDF report on A4 in landscape: the title, the period, the charts, then the table with
// its header repeated on each page. The fonts, Cyrillic included, are embedded.
QByteArray pdfBytes(const ExportTable& table);
