// Grids and charts in the skin: header sections, the row indicator with its marks, the
// cell editor and the selected cells, and the colours and frame of a chart, against the
// flat skin with a header section of its own; without a skin each is the platform's again.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QHeaderView>
#include <QHoverEvent>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include "data/data_source.h"
#include "data/db_grid.h"
#include "data/table.h"
#include "flat_skin.h"
#include "platform/form.h"
#include "platform/message_box.h"
#include "skin/controls/sChartSkin.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGridHeader.h"
#include "skin/controls/sScrollWnd.h"
#include "skin/core/sSkinManager.h"
#include "skin_sheet.h"
#include "support/course_fixture.h"

namespace {

// COLHEADER: three states, each its own ring (BUTTON's rings); hot and pressed share the
// hot middle and text colour.
constexpr QRgb Header = 0xFFB4A078;
constexpr QRgb HeaderHot = 0xFF78B4A0;
constexpr QRgb HeaderText = 0xFF102030;
constexpr QRgb HeaderHotText = 0xFF301020;
constexpr QRgb EditRing = 0xFF405060;
constexpr QRgb EditHotRing = 0xFF6080A0;

QString headerSection() {
    using flat::skinColour;
    return QStringLiteral(
               "[COLHEADER]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=%3\nHOTFONTCOLOR=%4\n"
               "BORDERSMASK=^0000,0000,0018,0006,0002,0002,0002,0002,3,0,0,0\n")
        .arg(skinColour(Header), skinColour(HeaderHot), skinColour(HeaderText),
             skinColour(HeaderHotText));
}

QImage picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int count(const QImage& image, QRgb colour, const QRect& area) {
    const QRect r = area & image.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// Pixels within a few steps of a colour: the core of antialiased letters.
int countNear(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - qRed(colour)) < 24 &&
                 std::abs(qGreen(p) - qGreen(colour)) < 24 &&
                 std::abs(qBlue(p) - qBlue(colour)) < 24;
        }
    return n;
}

// A section of a header in the header's own coordinates.
QRect sectionRect(const QHeaderView* header, int section) {
    const int position = header->sectionViewportPosition(section);
    const int size = header->sectionSize(section);
    return header->orientation() == Qt::Horizontal ? QRect(position, 0, size, header->height())
                                                   : QRect(0, position, header->width(), size);
}

class GridSkinTest : public DatabaseTest {
protected:
    GridSkinTest() {
        QCursor::setPos(2000, 2000);
        flat::writeSkin(folder.path(), headerSection());
        loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
        setBackgroundColour(&form, QColor::fromRgb(flat::Parent));
        form.resize(520, 360);
        form.setFont(pixelFont(QStringLiteral("DejaVu Sans"), 14));
    }

    // A plain table of three wide columns titled with one letter of upright strokes each.
    QTableView* letterTable() {
        auto* model = new QStandardItemModel(4, 3, &form);
        model->setHorizontalHeaderLabels(
            {QStringLiteral("Ш"), QStringLiteral("П"), QStringLiteral("Н")});
        auto* view = new QTableView(&form);
        view->setGeometry(10, 10, 500, 200);
        view->setModel(model);
        for (int c = 0; c < 3; ++c)
            view->setColumnWidth(c, 120);
        TsScrollWnd::attach(view, QStringLiteral("EDIT"));
        return view;
    }

    // A data grid over the journal holding three rows, on the first of them.
    TDBGrid* journalGrid() {
        for (const char* login : {"anna", "boris", "vera"})
            add(QStringLiteral("result"),
                {{QStringLiteral("Логин_студента"), QString::fromLatin1(login)}});
        results = table(QStringLiteral("result"));
        results->first();
        source.setDataSet(results.get());
        auto* grid = new TDBGrid(&form);
        grid->setGeometry(10, 10, 500, 200);
        TsScrollWnd::attach(grid, QStringLiteral("EDIT"));
        grid->setDataSource(&source);
        return grid;
    }

    void show() {
        form.show();
        QApplication::processEvents();
    }

    // An error would be reported in a box; the tests see it instead.
    MessageBoxRecorder boxes;
    QTemporaryDir skinFolder;
    TsSkinManager manager;
    std::unique_ptr<TTable> results;
    TDataSource source;
    TForm form;
};

TEST_F(GridSkinTest, HeaderSectionsComeFromTheirSectionInEachState) {
    QTableView* view = letterTable();
    show();
    QHeaderView* header = view->horizontalHeader();
    const TsGridHeader* skin = TsScrollWnd::of(view)->header();
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(skin->skinned());
    EXPECT_EQ(header->style(), view->verticalHeader()->style()) << "one look for both headers";
    EXPECT_NE(header->style(), QApplication::style());

    const QRect second = sectionRect(header, 1);
    QImage shown = picture(header);
    EXPECT_EQ(shown.pixel(second.left(), second.center().y()), flat::Frame[0]);
    EXPECT_EQ(shown.pixel(second.left() + 2, second.top() + 2), Header);
    EXPECT_GT(count(shown, HeaderText, second), 4) << "the letter in the section's text colour";
    EXPECT_EQ(shown.pixel(header->width() - 2, header->height() / 2), flat::Edit)
        << "beyond the last section the grid's own colour";

    // Under the mouse the section is hot, text and all.
    QTest::mouseMove(header->viewport(), second.center());
    QApplication::processEvents();
    shown = picture(header);
    EXPECT_EQ(shown.pixel(second.left(), second.center().y()), flat::Frame[1]);
    EXPECT_EQ(shown.pixel(second.left() + 2, second.top() + 2), HeaderHot);
    EXPECT_GT(count(shown, HeaderHotText, second), 4);
    EXPECT_EQ(count(shown, HeaderHotText, sectionRect(header, 0)), 0) << "only that section";

    // Pressed while the button is held on it.
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, second.center());
    shown = picture(header);
    EXPECT_EQ(shown.pixel(second.left(), second.center().y()), flat::Frame[2]);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, second.center());

    // The corner where the headers meet is a section too.
    auto* corner = view->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(picture(corner).pixel(2, 2), Header);
}

TEST_F(GridSkinTest, TheSortArrowIsDrawnInTheTextColour) {
    QTableView* view = letterTable();
    show();
    QHeaderView* header = view->horizontalHeader();
    // The letter is centred; the arrow's place is the right end of the section.
    const QRect first = sectionRect(header, 0);
    const QRect arrowEnd(first.right() - 24, 0, 22, header->height());
    EXPECT_EQ(count(picture(header), HeaderText, arrowEnd), 0);
    view->setSortingEnabled(true);
    view->sortByColumn(0, Qt::AscendingOrder);
    const QImage shown = picture(header);
    EXPECT_GE(count(shown, HeaderText, arrowEnd), 12) << "a triangle of 16 pixels";
    EXPECT_EQ(count(shown, HeaderText, QRect(first.left() + 2, 0, 30, header->height())), 0);
}

TEST_F(GridSkinTest, ASkinWithoutAHeaderSectionPaintsHeadersAsButtons) {
    flat::writeSkin(skinFolder.path());
    loadSkinInto(manager, skinFolder.path() + QStringLiteral("/FLAT"));
    ASSERT_LT(manager.FindSection(QStringLiteral("COLHEADER")), 0);
    QTableView* view = letterTable();
    show();
    const QRect first = sectionRect(view->horizontalHeader(), 0);
    const QImage shown = picture(view->horizontalHeader());
    EXPECT_EQ(shown.pixel(first.left() + 2, first.top() + 2), flat::Normal);
    EXPECT_GT(count(shown, flat::Text, first), 4);
}

TEST_F(GridSkinTest, TheRowIndicatorMarksTheCurrentRowAndItsEditing) {
    TDBGrid* grid = journalGrid();
    show();
    QHeaderView* indicator = grid->verticalHeader();
    ASSERT_EQ(indicator->width(), 12);
    const auto markOf = [&](int row) {
        const QRect r = sectionRect(indicator, row);
        const QImage shown = picture(indicator);
        const QPoint c = r.center();
        // The triangle's broad side, the I-beam's stem, the asterisk's diagonal end.
        QString marks;
        marks += shown.pixel(c.x() - 2, c.y()) == HeaderText ? u'T' : u'-';
        marks += shown.pixel(c.x(), c.y() - 3) == HeaderText ? u'I' : u'-';
        marks += shown.pixel(c.x() - 3, c.y() - 2) == HeaderText ? u'*' : u'-';
        return marks;
    };
    const QRect first = sectionRect(indicator, 0);
    const QImage shown = picture(indicator);
    EXPECT_EQ(shown.pixel(0, first.center().y()), flat::Frame[0]) << "a header section";
    EXPECT_EQ(shown.pixel(first.left() + 2, first.top() + 2), Header);
    // Only the current row carries a mark; the triangle's tip column is one pixel.
    EXPECT_EQ(markOf(0), "T--");
    EXPECT_EQ(count(shown, HeaderText, sectionRect(indicator, 1)), 0);
    EXPECT_EQ(count(shown, HeaderText, first), 7 + 5 + 3 + 1) << "a triangle of 16 pixels";

    results->next();
    QApplication::processEvents();
    EXPECT_EQ(markOf(0), "---");
    EXPECT_EQ(markOf(1), "T--") << "the mark follows the current row";

    results->edit();
    QApplication::processEvents();
    EXPECT_EQ(markOf(1), "-I-") << "an I-beam while the row's changes are pending";
    results->cancel();

    results->append();
    QApplication::processEvents();
    ASSERT_EQ(grid->model()->rowCount(), 4);
    EXPECT_EQ(markOf(3), "-I*") << "an asterisk beside the row being added";
    EXPECT_EQ(markOf(1), "---");
    results->cancel();

    // Without the skin the marks are drawn in the platform's header text colour.
    manager.setActive(false);
    QApplication::processEvents();
    EXPECT_EQ(indicator->style(), QApplication::style());
    const QRgb platformText = indicator->palette().color(QPalette::ButtonText).rgb();
    EXPECT_EQ(platformText, QApplication::palette().color(QPalette::ButtonText).rgb());
    const QRect current = sectionRect(indicator, grid->gridModel()->currentRow());
    EXPECT_EQ(picture(indicator).pixel(current.center().x() - 2, current.center().y()),
              platformText);
}

TEST_F(GridSkinTest, CellsAreEditedInASkinnedEditBox) {
    TDBGrid* grid = journalGrid();
    show();
    const QModelIndex cell = grid->model()->index(1, 0);
    grid->setCurrentIndex(cell);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = grid->viewport()->findChild<TsEdit*>();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->geometry(), grid->visualRect(cell)) << "the box fills the cell";
    EXPECT_EQ(editor->text(), "boris");
    QApplication::processEvents();
    ASSERT_TRUE(editor->Cache().skinned());
    editor->deselect();
    const QImage shown = picture(editor);
    const int middle = editor->height() / 2;
    EXPECT_EQ(shown.pixel(0, middle), EditHotRing) << "focused, the box is hot";
    EXPECT_EQ(shown.pixel(editor->width() - 3, middle), flat::EditHot);
    EXPECT_GT(countNear(shown, flat::EditText), 8) << "the text in the section's colour";

    // It edits as the platform's box does: the typed text reaches the row.
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("galina"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(boxes.texts(), QStringList());
    const int login = results->fieldIndex(QStringLiteral("Логин_студента"));
    EXPECT_EQ(results->value(login).toString(), "galina");

    // Without the skin the platform's editor comes back.
    results->cancel();
    manager.setActive(false);
    QApplication::processEvents();
    grid->setCurrentIndex(grid->model()->index(2, 0));
    QTest::keyClick(grid, Qt::Key_F2);
    QLineEdit* platform = nullptr;
    for (QLineEdit* edit : grid->viewport()->findChildren<QLineEdit*>())
        if (edit->isVisible()) platform = edit;
    ASSERT_NE(platform, nullptr);
    EXPECT_EQ(qobject_cast<TsEdit*>(platform), nullptr);
}

TEST_F(GridSkinTest, SelectedCellsAreOneBandOfTheSelection) {
    QTableView* view = letterTable();
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    show();
    view->selectRow(1);
    view->clearFocus();
    const QRect a = view->visualRect(view->model()->index(1, 0));
    const QRect b = view->visualRect(view->model()->index(1, 1));
    const QImage shown = picture(view->viewport());
    // The selection's colour right up to the cells' edges: no frame between them.
    EXPECT_EQ(shown.pixel(a.right(), a.center().y()), flat::Selection);
    EXPECT_EQ(shown.pixel(b.left(), b.center().y()), flat::Selection);
    EXPECT_EQ(shown.pixel(a.center().x(), a.top() - 4), flat::Edit) << "the row above";
}

class ChartSkinTest : public GridSkinTest {
protected:
    static constexpr QRgb OwnBars = 0xFF3A7CC4;

    static QChart* barChart() {
        auto* chart = new QChart();
        chart->setTitle(QStringLiteral("Оценки"));
        auto* set = new QBarSet(QStringLiteral("Сдач"));
        set->setColor(QColor::fromRgb(OwnBars));
        *set << 3 << 5 << 2;
        auto* series = new QBarSeries();
        series->append(set);
        chart->addSeries(series);
        auto* x = new QBarCategoryAxis();
        x->append({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        auto* y = new QValueAxis();
        y->setRange(0, 6);
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        series->attachAxis(x);
        series->attachAxis(y);
        return chart;
    }
    static QBarSet* barsOf(QChart* chart) {
        return static_cast<QBarSeries*>(chart->series().constFirst())->barSets().constFirst();
    }
    static QRgb rgb(const QBrush& brush) { return brush.color().rgb(); }
};

TEST_F(ChartSkinTest, AChartTakesTheSectionsColoursAndGivesThemBack) {
    auto* view = new QChartView(barChart(), &form);
    view->setGeometry(10, 10, 400, 250);
    view->setFrameShape(QFrame::NoFrame);
    QChart* chart = view->chart();
    const QRgb ownBackground = rgb(chart->backgroundBrush());
    const QRgb ownTitle = rgb(chart->titleBrush());
    TsChartSkin* skin = TsChartSkin::attach(view, QStringLiteral("EDIT"));
    EXPECT_EQ(TsChartSkin::attach(view, QStringLiteral("EDIT")), skin) << "only once";
    show();
    ASSERT_TRUE(skin->skinned());
    EXPECT_EQ(rgb(chart->backgroundBrush()), flat::Edit);
    EXPECT_EQ(rgb(chart->plotAreaBackgroundBrush()), flat::Edit);
    EXPECT_EQ(rgb(chart->titleBrush()), flat::EditText);
    for (QAbstractAxis* axis : chart->axes())
        EXPECT_EQ(rgb(axis->labelsBrush()), flat::EditText);
    EXPECT_EQ(rgb(barsOf(chart)->brush()), flat::Selection);
    // The frame is the grid's: EDIT's ring, the chart's field inside it.
    view->clearFocus();
    QApplication::processEvents();
    const QImage shown = picture(view);
    EXPECT_EQ(shown.pixel(0, view->height() / 2), EditRing);
    EXPECT_EQ(shown.pixel(flat::Margin, view->height() / 2), flat::Edit);
    EXPECT_EQ(shown.pixel(flat::Margin, flat::Margin), flat::Edit) << "no corner of its own";
    EXPECT_GT(count(shown, flat::Selection, shown.rect()), 500) << "the bars on screen";

    manager.setActive(false);
    QApplication::processEvents();
    EXPECT_FALSE(skin->skinned());
    EXPECT_EQ(rgb(chart->backgroundBrush()), ownBackground);
    EXPECT_EQ(rgb(chart->titleBrush()), ownTitle);
    EXPECT_EQ(rgb(barsOf(chart)->brush()), OwnBars);
    EXPECT_EQ(view->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(count(picture(view), flat::Selection, view->rect()), 0);

    manager.setActive(true);
    QApplication::processEvents();
    EXPECT_EQ(rgb(barsOf(chart)->brush()), flat::Selection);
}

TEST_F(ChartSkinTest, ANewChartAndANewSkinAreDressedAgain) {
    auto* view = new QChartView(barChart(), &form);
    view->setGeometry(10, 10, 400, 250);
    TsChartSkin* skin = TsChartSkin::attach(view, QStringLiteral("EDIT"));
    show();
    QChart* old = view->chart();
    view->setChart(barChart());
    delete old;
    skin->sync();
    EXPECT_EQ(rgb(barsOf(view->chart())->brush()), flat::Selection);

    // Another skin: its field and its selection.
    loadSkinInto(manager, QStringLiteral(KESTA_SOURCE_DIR "/course/Skins/WLM"));
    QApplication::processEvents();
    const auto wlm = TsChartSkin::coloursFor(&manager, QStringLiteral("EDIT"));
    ASSERT_TRUE(wlm.has_value());
    EXPECT_EQ(wlm->Background, QColor(Qt::white));
    EXPECT_EQ(rgb(view->chart()->backgroundBrush()), 0xFFFFFFFF);
    EXPECT_EQ(barsOf(view->chart())->brush().color(), wlm->Bar);
    EXPECT_NE(wlm->Bar, wlm->PlotArea);

    // A refresh keeps them; removing the skin gives the new chart its own colours.
    manager.RefreshSkin(false);
    EXPECT_EQ(barsOf(view->chart())->brush().color(), wlm->Bar);
    manager.setActive(false);
    EXPECT_EQ(rgb(barsOf(view->chart())->brush()), OwnBars);
}

TEST(ChartColoursTest, BarsNeverVanishIntoTheField) {
    QTemporaryDir folder;
    flat::writeSkin(folder.path());
    TsSkinManager manager;
    loadSkinInto(manager, folder.path() + QStringLiteral("/FLAT"));
    const auto edit = TsChartSkin::coloursFor(&manager, QStringLiteral("EDIT"));
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->Bar.rgb(), flat::Selection);
    // A field of the selection's own colour: the bars take a mix of its text and field.
    const auto selection = TsChartSkin::coloursFor(&manager, QStringLiteral("SELECTION"));
    ASSERT_TRUE(selection.has_value());
    ASSERT_EQ(selection->PlotArea.rgb(), flat::Selection);
    const QColor bar = selection->Bar;
    const auto between = [](int value, int a, int b) {
        return value >= std::min(a, b) && value <= std::max(a, b);
    };
    EXPECT_TRUE(between(bar.red(), qRed(flat::Selection), qRed(flat::SelectionText)));
    EXPECT_TRUE(between(bar.green(), qGreen(flat::Selection), qGreen(flat::SelectionText)));
    EXPECT_TRUE(between(bar.blue(), qBlue(flat::Selection), qBlue(flat::SelectionText)));
    EXPECT_GT(std::abs(bar.blue() - qBlue(flat::Selection)), 40);
    EXPECT_FALSE(TsChartSkin::coloursFor(&manager, QStringLiteral("NOSUCH")).has_value());
    manager.setActive(false);
    EXPECT_FALSE(TsChartSkin::coloursFor(&manager, QStringLiteral("EDIT")).has_value());
}

}  // namespace
