#include <QBuffer>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "results/export_table.h"

namespace {

// The report is laid out in pixels of 96 per inch on A4 in landscape.
constexpr int kResolution = 96;
constexpr int kMargin = 40;
constexpr int kTitleHeight = 34;
constexpr int kPeriodHeight = 26;
constexpr int kChartHeight = 260;
constexpr int kGap = 12;
constexpr int kRowHeight = 20;
constexpr double kNarrowest = 120;  // a column that gives way keeps at least this width

QPageLayout reportPage() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0));
}

QSize pageSize() {
    return reportPage().fullRectPixels(kResolution).size();
}

int headOfFirstPage(const ExportTable& table) {
    int head = kTitleHeight;
    if (!table.period.isEmpty()) head += kPeriodHeight;
    if (!table.charts.empty()) head += kChartHeight + kGap;
    return head;
}

QFont reportFont(int pixels, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Column widths in proportion to the longest text of each column (the header in its bold
// face), within the page.
std::vector<int> columnWidths(const ExportTable& table, int pageWidth, const QFontMetrics& metrics,
                              const QFontMetrics& header) {
    std::vector<double> wanted(table.columns.size(), 0);
    for (size_t c = 0; c < table.columns.size(); ++c) {
        wanted[c] = header.horizontalAdvance(table.columns[c].title) + 12;
        for (const QVector<QVariant>& row : table.rows)
            wanted[c] = std::max(wanted[c], double(metrics.horizontalAdvance(cellText(
                                                table.columns[c], row.value(qsizetype(c))))) +
                                                12);
        wanted[c] = std::min(wanted[c], double(pageWidth) / 2);
    }
    double total = 0;
    for (double w : wanted)
        total += w;
    // Too wide for the page: the widest column (a question's text, a long name) gives way
    // first, down to a readable width; only then do all of them shrink together.
    if (total > pageWidth && !wanted.empty()) {
        auto widest = std::max_element(wanted.begin(), wanted.end());
        const double spare = std::max(0.0, *widest - kNarrowest);
        const double taken = std::min(spare, total - pageWidth);
        *widest -= taken;
        total -= taken;
    }
    const double scale = total > pageWidth ? pageWidth / total : 1.0;
    std::vector<int> widths;
    for (double w : wanted)
        widths.push_back(int(std::floor(w * scale)));
    return widths;
}

void drawRow(QPainter& painter, const QStringList& cells, const std::vector<int>& widths, int top,
             bool header) {
    int left = kMargin;
    const QFontMetrics metrics = painter.fontMetrics();
    for (size_t c = 0; c < widths.size(); ++c) {
        const QRect cell(left, top, widths[c], kRowHeight);
        if (header) painter.fillRect(cell, QColor(0xE4, 0xEA, 0xF2));
        painter.drawRect(cell);
        const QString text =
            metrics.elidedText(cells.value(qsizetype(c)), Qt::ElideRight, widths[c] - 8);
        painter.drawText(cell.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        left += widths[c];
    }
}

}  // namespace

int PdfLayout::pages(int rows) const {
    if (rows <= rowsOnFirstPage || rowsPerPage <= 0) return 1;
    return 1 + (rows - rowsOnFirstPage + rowsPerPage - 1) / rowsPerPage;
}

PdfLayout pdfLayout(const ExportTable& table) {
    const int content = pageSize().height() - 2 * kMargin;
    PdfLayout layout;
    // Each page's table begins with its header row.
    layout.rowsOnFirstPage =
        std::max(0, (content - headOfFirstPage(table) - kRowHeight) / kRowHeight);
    layout.rowsPerPage = std::max(1, (content - kRowHeight) / kRowHeight);
    return layout;
}

QByteArray pdfBytes(const ExportTable& table) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageLayout(reportPage());
        writer.setTitle(table.title);
        writer.setCreator(QStringLiteral("Kesta"));
        QPainter painter(&writer);
        const int width = pageSize().width() - 2 * kMargin;

        int top = kMargin;
        painter.setFont(reportFont(20, true));
        painter.drawText(QRect(kMargin, top, width, kTitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         table.title);
        top += kTitleHeight;
        if (!table.period.isEmpty()) {
            painter.setFont(reportFont(13));
            painter.drawText(QRect(kMargin, top, width, kPeriodHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, table.period);
            top += kPeriodHeight;
        }
        if (!table.charts.empty()) {
            const int each =
                (width - kGap * int(table.charts.size() - 1)) / int(table.charts.size());
            int left = kMargin;
            for (const QImage& chart : table.charts) {
                // Drawn into its place at full resolution, keeping its proportions.
                const QSizeF size = chart.deviceIndependentSize().scaled(QSizeF(each, kChartHeight),
                                                                         Qt::KeepAspectRatio);
                painter.drawImage(QRectF(QPointF(left, top), size), chart);
                left += each + kGap;
            }
            top += kChartHeight + kGap;
        }

        painter.setFont(reportFont(11));
        painter.setPen(QColor(0x50, 0x50, 0x50));
        const std::vector<int> widths = columnWidths(table, width, painter.fontMetrics(),
                                                     QFontMetrics(reportFont(11, true), &writer));
        QStringList header;
        for (const ExportTable::Column& column : table.columns)
            header.append(column.title);
        const PdfLayout layout = pdfLayout(table);
        int onPage = layout.rowsOnFirstPage;
        size_t row = 0;
        for (;;) {
            painter.setFont(reportFont(11, true));
            drawRow(painter, header, widths, top, true);
            painter.setFont(reportFont(11));
            top += kRowHeight;
            for (int i = 0; i < onPage && row < table.rows.size(); ++i, ++row) {
                QStringList cells;
                for (size_t c = 0; c < table.columns.size(); ++c)
                    cells.append(cellText(table.columns[c], table.rows[row].value(qsizetype(c))));
                drawRow(painter, cells, widths, top, false);
                top += kRowHeight;
            }
            if (row >= table.rows.size()) break;
            writer.newPage();
            top = kMargin;
            onPage = layout.rowsPerPage;
        }
        painter.end();
    }
    return bytes;
}
