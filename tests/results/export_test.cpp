// Export of the rows a window shows: CSV read back, the workbook read by openpyxl, the
// PDF report's pages and text, replacing a file only when asked, and files that cannot
// be written.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include "app/dm.h"
#include "platform/short_date.h"
#include "results/export_command.h"
#include "results/export_table.h"
#include "results/journal_export.h"
#include "results/result_test_prepod.h"
#include "support/course_fixture.h"

namespace {

using Kind = ExportTable::Kind;

ExportTable sampleTable(int rows) {
    ExportTable table;
    table.title = QStringLiteral("Результаты тестирования");
    table.period = QStringLiteral("Период: с 01.03.2026 по 31.03.2026");
    table.columns = {{QStringLiteral("Логин_студента"), Kind::Text},
                     {QStringLiteral("Дата_тестирования"), Kind::Date},
                     {QStringLiteral("Верно"), Kind::Integer},
                     {QStringLiteral("Доля верных"), Kind::Percent},
                     {QStringLiteral("Различение"), Kind::Number}};
    for (int i = 0; i < rows; ++i)
        table.rows.push_back({QStringLiteral("Иванова_%1").arg(i), QDate(2026, 3, 1 + i % 28),
                              qlonglong(20 + i % 21), (20 + i % 21) / 40.0,
                              i % 7 ? QVariant(0.25 + i / 1000.0) : QVariant()});
    return table;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

class ExportTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return folder.filePath(name); }
    QTemporaryDir folder;
    MessageBoxRecorder boxes;
};

TEST_F(ExportTest, CsvHasAByteOrderMarkSemicolonsAndReadsBackCellForCell) {
    ExportTable table = sampleTable(3);
    table.rows.push_back({QStringLiteral("кавычка \" и ; точка с запятой\nи строка"), QVariant(),
                          QVariant(), QVariant(), QVariant()});
    const QByteArray bytes = csvBytes(table);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(
        bytes.contains("Логин_студента;Дата_тестирования;Верно;Доля верных;Различение\r\n"));
    EXPECT_TRUE(bytes.contains("Иванова_1;02.03.2026;21;52,5%;0,25\r\n"));

    const std::vector<QStringList> back = parseCsv(bytes);
    ASSERT_EQ(back.size(), table.rows.size() + 1);
    for (size_t r = 0; r < table.rows.size(); ++r) {
        ASSERT_EQ(back[r + 1].size(), 5) << r;
        for (size_t c = 0; c < table.columns.size(); ++c)
            EXPECT_EQ(back[r + 1][qsizetype(c)],
                      cellText(table.columns[c], table.rows[r].value(qsizetype(c))))
                << r << ' ' << c;
    }
    EXPECT_EQ(back.back().first(), "кавычка \" и ; точка с запятой\nи строка");
    EXPECT_TRUE(back[1][4].isEmpty()) << "an empty value stays an empty cell";

    ASSERT_TRUE(writeExportFile(file(QStringLiteral("journal.csv")), table));
    EXPECT_EQ(readAll(file(QStringLiteral("journal.csv"))), bytes);
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST_F(ExportTest, WorkbookHoldsTheSameCellsWithRealDatesAndNumbers) {
    const ExportTable table = sampleTable(12);
    const QString path = file(QStringLiteral("journal.xlsx"));
    ASSERT_TRUE(writeExportFile(path, table));
    const QString script = QStringLiteral(
        "import json, sys, datetime, openpyxl\n"
        "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
        "def cell(v):\n"
        "    if isinstance(v, datetime.datetime): return {'date': v.date().isoformat()}\n"
        "    return v\n"
        "rows = [[cell(c.value) for c in row] for row in ws.iter_rows()]\n"
        "widths = {k: ws.column_dimensions[k].width for k in 'ABCDE'}\n"
        "formats = [ws.cell(row=2, column=i).number_format for i in range(1, 6)]\n"
        "bold = ws.cell(row=1, column=1).font.b\n"
        "print(json.dumps({'rows': rows, 'widths': widths, 'formats': formats, 'bold': bold}))\n");
    const QJsonObject book =
        QJsonDocument::fromJson(
            run(QStringLiteral(KESTA_PYTHON), {QStringLiteral("-c"), script, path}).toUtf8())
            .object();
    const QJsonArray rows = book.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 13);
    const QJsonArray header = rows[0].toArray();
    for (size_t c = 0; c < table.columns.size(); ++c)
        EXPECT_EQ(header[qsizetype(c)].toString(), table.columns[c].title);
    EXPECT_TRUE(book.value(QStringLiteral("bold")).toBool());
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const QJsonArray row = rows[qsizetype(r + 1)].toArray();
        const QVector<QVariant>& expected = table.rows[r];
        EXPECT_EQ(row[0].toString(), expected[0].toString());
        EXPECT_EQ(row[1].toObject().value(QStringLiteral("date")).toString(),
                  expected[1].toDate().toString(Qt::ISODate))
            << "a date is a date";
        EXPECT_TRUE(row[2].isDouble()) << "a number is a number";
        EXPECT_EQ(row[2].toInt(), expected[2].toLongLong());
        EXPECT_DOUBLE_EQ(row[3].toDouble(), expected[3].toDouble());
        if (expected[4].isNull())
            EXPECT_TRUE(row[4].isNull()) << r;
        else
            EXPECT_DOUBLE_EQ(row[4].toDouble(), expected[4].toDouble());
    }
    const QJsonArray formats = book.value(QStringLiteral("formats")).toArray();
    EXPECT_EQ(formats[1].toString(), "dd.mm.yyyy");
    EXPECT_EQ(formats[3].toString(), "0.0%");
    const QJsonObject widths = book.value(QStringLiteral("widths")).toObject();
    // "Дата_тестирования" is the longest text of its column: 17 letters and a margin of two
    // (the file adds a fraction for the cell padding).
    EXPECT_NEAR(widths.value(QStringLiteral("B")).toDouble(), 19, 1);
    // "Логин_студента" (14) against "Иванова_10" (10): the header decides.
    EXPECT_NEAR(widths.value(QStringLiteral("A")).toDouble(), 16, 1);
    EXPECT_NEAR(widths.value(QStringLiteral("C")).toDouble(), 7, 1);
}

TEST_F(ExportTest, CsvTextsThatASpreadsheetWouldRunAsFormulasAreWrittenAsText) {
    ExportTable table;
    table.columns = {{QStringLiteral("Ответ"), Kind::Text}, {QStringLiteral("Верно"), Kind::Integer},
                     {QStringLiteral("Различение"), Kind::Number}};
    const QStringList risky{QStringLiteral("=1+1"), QStringLiteral("+7 999"),
                            QStringLiteral("-грубо"), QStringLiteral("@SUM(A1)"),
                            QStringLiteral("\tтаб"), QStringLiteral("\rвозврат")};
    for (const QString& text : risky) table.rows.push_back({text, qlonglong(-3), -0.5});
    // A stored text in a number column is a text as well.
    table.rows.push_back({QStringLiteral("обычный"),
                          QStringLiteral("=HYPERLINK(\"http://x\";\"y\")"), QVariant()});
    const std::vector<QStringList> back = parseCsv(csvBytes(table));
    ASSERT_EQ(back.size(), table.rows.size() + 1);
    for (qsizetype r = 0; r < risky.size(); ++r) {
        EXPECT_EQ(back[size_t(r) + 1][0], u'\'' + risky[r]) << r;
        EXPECT_EQ(back[size_t(r) + 1][1], "-3") << "a negative number stays a number";
        EXPECT_EQ(back[size_t(r) + 1][2], "-0,50");
    }
    EXPECT_EQ(back.back()[0], "обычный");
    EXPECT_EQ(back.back()[1], "'=HYPERLINK(\"http://x\";\"y\")");
}

TEST_F(ExportTest, WhatAWorkbookCannotHoldIsToldAndNoFileIsWritten) {
    ExportTable table = sampleTable(3);
    table.rows[1][0] = QString(32768, u'я');
    const QString path = file(QStringLiteral("journal.xlsx"));
    EXPECT_FALSE(writeExportFile(path, table));
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].text,
              "Текст в ячейке (строка 3, столбец «Логин_студента») длиннее 32767 знаков, которые "
              "помещаются в ячейку книги Excel. Сохраните таблицу в формате CSV.");
    EXPECT_FALSE(QFile::exists(path));
    table.rows[1][0] = QString(32767, u'я');
    EXPECT_TRUE(writeExportFile(path, table)) << "a text of the longest size fits";

    ExportTable tall;
    tall.columns = {{QStringLiteral("Номер"), Kind::Integer}};
    tall.rows.assign(1048576, QVector<QVariant>{QVariant()});
    boxes.clear();
    const QString tallPath = file(QStringLiteral("tall.xlsx"));
    EXPECT_FALSE(writeExportFile(tallPath, tall));
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].text,
              "В таблице 1048576 строк, а лист книги Excel вмещает не больше 1048575. Сохраните "
              "таблицу в формате CSV или выберите более короткий период.");
    EXPECT_FALSE(QFile::exists(tallPath));
}

TEST_F(ExportTest, PdfReportHasItsPagesAndTheLoginsInItsText) {
    for (const int rows : {5, 120}) {
        ExportTable table = sampleTable(rows);
        if (rows > 5) {
            // Two charts above the table take room from its first page.
            QImage chart(QSize(400, 200) * 2, QImage::Format_ARGB32_Premultiplied);
            chart.fill(Qt::darkGreen);
            chart.setDevicePixelRatio(2);
            table.charts = {chart, chart};
            EXPECT_LT(pdfLayout(table).rowsOnFirstPage,
                      pdfLayout(sampleTable(rows)).rowsOnFirstPage);
        }
        const QString path = file(QStringLiteral("report%1.pdf").arg(rows));
        ASSERT_TRUE(writeExportFile(path, table));
        const QString info = run(QStringLiteral("pdfinfo"), {path});
        const QRegularExpressionMatch pages =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        ASSERT_TRUE(pages.hasMatch()) << info.toStdString();
        const int expected = pdfLayout(table).pages(rows);
        EXPECT_EQ(pages.captured(1).toInt(), expected) << rows;
        if (rows == 5) {
            EXPECT_EQ(expected, 1);
        } else {
            EXPECT_GT(expected, 2);
        }
        const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        EXPECT_TRUE(text.contains(QStringLiteral("Результаты тестирования")));
        EXPECT_TRUE(text.contains(QStringLiteral("Период: с 01.03.2026 по 31.03.2026")));
        for (int i = 0; i < rows; ++i)
            ASSERT_TRUE(text.contains(QStringLiteral("Иванова_%1").arg(i))) << i;
        const QString fonts = run(QStringLiteral("pdffonts"), {path});
        EXPECT_TRUE(fonts.contains(QStringLiteral("DejaVuSans"))) << fonts.toStdString();
        // Each font's line ends with its "emb", "sub" and "uni" flags and its object.
        const QRegularExpression line(
            QStringLiteral("^(\\S+).*\\s(yes|no)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"),
            QRegularExpression::MultilineOption);
        int listed = 0;
        for (const QRegularExpressionMatch& font : line.globalMatch(fonts)) {
            ++listed;
            EXPECT_EQ(font.captured(2), "yes") << "embedded: " << font.captured(1).toStdString();
        }
        EXPECT_GE(listed, 1);
    }
}

TEST_F(ExportTest, AnExistingFileIsReplacedOnlyWhenTheTeacherAgrees) {
    const QString path = file(QStringLiteral("old.csv"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("прежнее содержимое");
    }
    boxes.queueAnswer(idNo);
    EXPECT_FALSE(writeExportFile(path, sampleTable(2)));
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].text, "Файл «old.csv» уже существует. Заменить его?");
    EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbYesNo | mbIconQuestion));
    EXPECT_EQ(readAll(path), QByteArray("прежнее содержимое"));

    boxes.queueAnswer(idYes);
    EXPECT_TRUE(writeExportFile(path, sampleTable(2)));
    EXPECT_EQ(readAll(path), csvBytes(sampleTable(2)));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"old.csv"})
        << "nothing is left beside it";
}

TEST_F(ExportTest, AFileThatCannotBeWrittenIsToldInRussianAndNothingChanges) {
    // A folder that does not exist, and a "folder" that is a file.
    const QString plain = file(QStringLiteral("plain"));
    {
        QFile blocker(plain);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.write("x");
    }
    const QStringList paths{file(QStringLiteral("нет такой папки/журнал.xlsx")),
                            plain + QStringLiteral("/журнал.pdf")};
    for (const QString& path : paths) {
        boxes.clear();
        EXPECT_FALSE(writeExportFile(path, sampleTable(2)));
        ASSERT_EQ(boxes.calls().size(), 1) << path.toStdString();
        EXPECT_TRUE(boxes.calls()[0].text.startsWith(QStringLiteral("Не удалось записать файл «")))
            << boxes.calls()[0].text.toStdString();
        EXPECT_EQ(boxes.calls()[0].flags, unsigned(mbOk | mbIconError));
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(readAll(plain), QByteArray("x"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"plain"});

    boxes.clear();
    EXPECT_FALSE(writeExportFile(file(QStringLiteral("журнал.docx")), sampleTable(2)));
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].text,
              "Формат файла «журнал.docx» не поддерживается. Выберите XLSX, CSV или PDF.");
}

class JournalExportTest : public CourseTest {};

TEST_F(JournalExportTest, TheReviewExportsTheRowsItShowsWithTheirKinds) {
    for (int day = 1; day <= 3; ++day)
        seed(QStringLiteral("result"),
             {{QStringLiteral("Логин_студента"), QStringLiteral("студент%1").arg(day)},
              {QStringLiteral("Дата_тестирования"), QDate(2026, 3, day)},
              {QStringLiteral("Количество вопросов"), 40},
              {QStringLiteral("Оценка"), QStringLiteral("B")},
              {QStringLiteral("Вид тестирования"), QStringLiteral("Итоговый")}});
    start();
    Form11->open();
    Form11->DateTimePicker1->setDate(QDate(2026, 3, 2));
    Form11->DateTimePicker1Change();
    TTable* result = DataModule1->tblResult;
    const ExportTable table =
        journalExport(result,
                      {QStringLiteral("Логин_студента"), QStringLiteral("Дата_тестирования"),
                       QStringLiteral("Количество вопросов")},
                      QStringLiteral("Результаты тестирования"), filterDescription(result));
    ASSERT_EQ(table.rows.size(), 1u) << "only the day shown";
    EXPECT_EQ(table.rows[0][0].toString(), "студент2");
    EXPECT_EQ(table.rows[0][1].toDate(), QDate(2026, 3, 2));
    EXPECT_EQ(table.columns[1].kind, Kind::Date);
    EXPECT_EQ(table.columns[2].kind, Kind::Integer);
    EXPECT_EQ(table.period,
              QStringLiteral("Отбор: Дата_тестирования=") + formatShortDate(QDate(2026, 3, 2)));
    EXPECT_EQ(Form11->sButton4->text(), "Экспорт...");

    Form11->sButton1Click();
    EXPECT_EQ(journalExport(result, {QStringLiteral("Оценка")}, {}, filterDescription(result))
                  .rows.size(),
              3u);
    EXPECT_EQ(filterDescription(result), "Все записи");
}

}  // namespace
