#include "analysis/charts/ChartExport.h"
#include "analysis/charts/SeriesBarChart.h"
#include "analysis/diaxFrm.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "platform/db/FieldText.h"
#include "platform/Text.h"
#include "sigrisis_book.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <QAction>
#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace tamisko {
namespace {

using testing::day;

class DiaxFormTest : public ::testing::Test
{
protected:
    DiaxFormTest() { db::setFormatSettings(RegionalSettings::greek()); }

    DiaxForm& form()
    {
        if (!form_) {
            form_ = std::make_unique<DiaxForm>(data);
            form_->resize(800, 500);
        }
        return *form_;
    }

    // The category name is UTF-8 and must be one of the default categories.
    void add(double date, const std::string& category, std::optional<double> receipt,
             std::optional<double> payment)
    {
        book.add(date, category, receipt, payment);
    }

    // Two months of 2004: μισθός mostly in, ΔΕΗ mostly out, ΟΤΕ only in February.
    // Grid columns: 1 μισθός, 2 ΔΕΗ, 3 ΟΤΕ, 4 and 5 the totals.
    void addTwoMonths()
    {
        add(day(2004, 1, 10), "μισθός", 1000, std::nullopt);
        add(day(2004, 1, 20), "ΔΕΗ", std::nullopt, 80);
        add(day(2004, 2, 3), "ΔΕΗ", 20, std::nullopt);
        add(day(2004, 2, 5), "μισθός", std::nullopt, 30);
        add(day(2004, 2, 29), "ΟΤΕ", std::nullopt, 12.5);
    }

    void compute(int length)
    {
        form().EdPeriod->setValue(length);
        QTest::mouseClick(form().btnOK, Qt::LeftButton);
    }

    QString title(int column) const { return form_->gridModel().gridText(0, column); }

    QString chartTitle() const { return form_->DataChart->chart()->title(); }

    std::vector<double> bars() const
    {
        const QBarSet& set = *form_->DataChart->barSet();
        std::vector<double> values;
        for (int i = 0; i < set.count(); ++i)
            values.push_back(set.at(i));
        return values;
    }

    QStringList barLabels() const { return form_->DataChart->labels(); }

    void clickCell(int row, int column)
    {
        QTableView& grid = *form().DataGrid;
        const QRect cell = grid.visualRect(grid.model()->index(row - 1, column - 1));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    }

    testing::Book book; // a new cash book
    DataMod& data = book.data;
    std::unique_ptr<DiaxForm> form_;
};

// The grid holds numbers and makes a cell's text when it is shown: every text is the one
// the computation's text form gives, headers included.
TEST_F(DiaxFormTest, TheGridShowsTheComputedNumbersAsTheirTexts)
{
    addTwoMonths();
    add(day(2004, 2, 10), "ΟΤΕ", 0.004, std::nullopt); // rounds to 0,00, but is no zero
    compute(30);
    const RegionalSettings settings = RegionalSettings::greek();
    const series::SeriesGrid texts =
        series::FillSeriesGrid(data.LogTable, 30, data.FirstDate, data.LastDate, settings);
    const SeriesGridModel& model = form().gridModel();
    ASSERT_EQ(model.rowCount(), texts.rowCount() - 1);
    ASSERT_EQ(model.columnCount(), texts.columnCount() - 1);
    for (int r = 0; r < texts.rowCount(); ++r) {
        for (int c = 0; c < texts.columnCount(); ++c)
            EXPECT_EQ(model.gridText(r, c), toQString(texts.cells[size_t(r)][size_t(c)]))
                << r << "," << c;
    }
    for (int c = 1; c < texts.columnCount(); ++c) {
        EXPECT_EQ(model.headerData(c - 1, Qt::Horizontal).toString(), model.gridText(0, c));
        for (int r = 1; r < texts.rowCount(); ++r)
            EXPECT_EQ(model.data(model.index(r - 1, c - 1)).toString(), model.gridText(r, c));
    }
    EXPECT_EQ(model.headerData(1, Qt::Vertical).toString(), "1/2/2004 - 29/2/2004");

    // The chart takes the numbers themselves, not the texts read back.
    form().selectCell(1, 3);
    EXPECT_EQ(model.gridText(2, 3), "12,50"); // ΟΤΕ (πλ): payments count positive
    ASSERT_EQ(bars().size(), 2u);
    EXPECT_DOUBLE_EQ(bars()[1], 12.5 - 0.004);
}

TEST_F(DiaxFormTest, StartSelectsTheFirstCategoryAndChartsIt)
{
    addTwoMonths();
    compute(30);
    EXPECT_EQ(form().currentColumn(), 1);
    EXPECT_EQ(form().DataGrid->currentIndex().row(), 0);
    EXPECT_EQ(chartTitle(), QStringLiteral("μισθός (εισ)"));
    EXPECT_EQ(bars(), (std::vector<double>{1000, -30}));
    EXPECT_EQ(barLabels(), (QStringList{QStringLiteral("1/1/2004"), QStringLiteral("1/2/2004")}));
    EXPECT_GE(form().DataGrid->verticalHeader()->width(), DiaxForm::kFirstColumnWidth);
    EXPECT_EQ(form().DataGrid->rowHeight(0), DiaxForm::kRowHeight);
}

TEST_F(DiaxFormTest, SelectingACellRedrawsTheChartWithThatColumn)
{
    addTwoMonths();
    compute(30);
    form().show();

    clickCell(2, 2);
    EXPECT_EQ(form().currentColumn(), 2);
    EXPECT_EQ(chartTitle(), QStringLiteral("ΔΕΗ (πλ)"));
    EXPECT_EQ(bars(), (std::vector<double>{80, -20}));

    // An empty cell is a bar of 0.
    clickCell(1, 3);
    EXPECT_EQ(chartTitle(), QStringLiteral("ΟΤΕ (πλ)"));
    EXPECT_EQ(bars(), (std::vector<double>{0, 12.5}));

    clickCell(1, 5);
    EXPECT_EQ(chartTitle(), QStringLiteral("Συν.Κ.Πληρ."));
    EXPECT_EQ(bars(), (std::vector<double>{80, 42.5}));
}

TEST_F(DiaxFormTest, ArrowsStopAtTheFirstAndTheLastColumn)
{
    addTwoMonths();
    compute(30);
    QToolButton& left = *form().btnLeft;
    QToolButton& right = *form().btnRight;

    QTest::mouseClick(&left, Qt::LeftButton);
    EXPECT_EQ(form().currentColumn(), 1);

    const QStringList expected{title(2), title(3), title(4), title(5), title(5)};
    for (const QString& titleAfter : expected) {
        QTest::mouseClick(&right, Qt::LeftButton);
        EXPECT_EQ(chartTitle(), titleAfter);
    }
    EXPECT_EQ(form().currentColumn(), 5);
    EXPECT_EQ(chartTitle(), QStringLiteral("Συν.Κ.Πληρ."));

    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(&left, Qt::LeftButton);
    EXPECT_EQ(form().currentColumn(), 1);
    EXPECT_EQ(chartTitle(), title(1));
}

TEST_F(DiaxFormTest, ArrowsKeepTheRow)
{
    addTwoMonths();
    compute(30);
    form().selectCell(2, 2);
    QTest::mouseClick(form().btnRight, Qt::LeftButton);
    EXPECT_EQ(form().DataGrid->currentIndex().row() + 1, 2);
    EXPECT_EQ(form().currentColumn(), 3);
}

TEST_F(DiaxFormTest, ArrowsDoNothingBeforeAComputation)
{
    QTest::mouseClick(form().btnRight, Qt::LeftButton);
    QTest::mouseClick(form().btnLeft, Qt::LeftButton);
    EXPECT_EQ(form().currentColumn(), 0);
    EXPECT_TRUE(bars().empty());
}

TEST_F(DiaxFormTest, ARerunWithAShorterLengthReplacesGridAndChart)
{
    addTwoMonths();
    compute(30);
    form().selectCell(2, 3);
    compute(15);
    // 1-15 and 16-31 January, 1-14 and 15-29 February.
    EXPECT_EQ(form().gridModel().rowCount(), 4);
    EXPECT_EQ(form().currentColumn(), 1);
    EXPECT_EQ(bars(), (std::vector<double>{1000, 0, -30, 0}));
    EXPECT_EQ(barLabels().front(), QStringLiteral("1/1/2004"));
    EXPECT_EQ(barLabels().back(), QStringLiteral("15/2/2004"));
}

TEST_F(DiaxFormTest, AnEmptyLogLeavesGridAndChartEmpty)
{
    addTwoMonths();
    compute(30);
    while (!data.LogTable.isEmpty()) {
        data.LogTable.first();
        data.LogTable.deleteRecord();
    }
    compute(30);
    EXPECT_FALSE(form().hasResults());
    EXPECT_EQ(form().gridModel().rowCount(), 0);
    EXPECT_EQ(form().gridModel().columnCount(), 0);
    EXPECT_TRUE(bars().empty());
    EXPECT_TRUE(chartTitle().isEmpty());
}

TEST_F(DiaxFormTest, TheLogIsBackOnItsRecordAfterTheComputation)
{
    addTwoMonths();
    data.LogTable.setRecNo(2);
    compute(7);
    EXPECT_EQ(data.LogTable.recNo(), 2);
}

class DiaxClipboardTest : public DiaxFormTest
{
protected:
    DiaxClipboardTest() { QGuiApplication::clipboard()->setText(kEarlier); }

    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }

    const QString kEarlier = QStringLiteral("κάτι άλλο");
};

TEST_F(DiaxClipboardTest, CopyingBeforeAComputationLeavesTheClipboardAsItWas)
{
    for (QAction* item : {form().itemPinakCopy, form().itemGraphCopy}) {
        item->trigger();
        EXPECT_EQ(clipboardText(), kEarlier) << item->text().toStdString();
        EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasImage());
    }
}

TEST_F(DiaxClipboardTest, CopyingTheResultsOfAnEmptyLogLeavesTheClipboardAsItWas)
{
    compute(30);
    form().itemPinakCopy->trigger();
    form().itemGraphCopy->trigger();
    EXPECT_EQ(clipboardText(), kEarlier);
}

TEST_F(DiaxClipboardTest, TheGridCopyHasDateColumnsInPlaceOfThePeriodLabels)
{
    addTwoMonths();
    compute(30);
    form().itemPinakCopy->trigger();
    EXPECT_EQ(clipboardText(),
              QStringLiteral("από\tμέχρι\tμισθός (εισ)\tΔΕΗ (πλ)\tΟΤΕ (πλ)\tΣυν.Κ.Εισπρ.\t"
                             "Συν.Κ.Πληρ.\r\n"
                             "1/1/2004\t31/1/2004\t1000,00\t80,00\t\t1000,00\t80,00\r\n"
                             "1/2/2004\t29/2/2004\t-30,00\t-20,00\t12,50\t20,00\t42,50\r\n"));
}

// Copied from the table page, the chart has never been seen: the picture still has the
// size of the page and its title.
TEST_F(DiaxClipboardTest, TheChartCopyIsSvgAndAnImageOfThePageSize)
{
    addTwoMonths();
    compute(30);
    form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    form().itemGraphCopy->trigger();
    const QMimeData& copied = *QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied.hasFormat(QStringLiteral("image/svg+xml")));
    EXPECT_TRUE(copied.data(QStringLiteral("image/svg+xml")).contains("μισθός (εισ)"));
    ASSERT_TRUE(copied.hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(copied.imageData()).size(), form().PinakasTab->size());
}

TEST_F(DiaxClipboardTest, ShortcutsReachTheMenuFromTheGrid)
{
    addTwoMonths();
    compute(30);
    form().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    QTableView& grid = *form().DataGrid;
    grid.setFocus();

    QTest::keyClick(&grid, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_TRUE(clipboardText().startsWith(QStringLiteral("από\tμέχρι\t")));

    // Ctrl+C copies the chart, not the text of the selected cell.
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(
        QGuiApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("image/svg+xml")));
}

TEST_F(DiaxFormTest, ThePreviewShowsTheChartOwnedByTheWindow)
{
    addTwoMonths();
    compute(30);
    PaintableChart* previewed = nullptr;
    QWidget* owner = nullptr;
    QString title;
    const auto previous =
        ChartPrintPreview::setHandler([&](PaintableChart& chart, QWidget* by, const QString& t) {
            previewed = &chart;
            owner = by;
            title = t;
        });
    form().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    QTest::keyClick(form().DataGrid, Qt::Key_P, Qt::ControlModifier);
    ChartPrintPreview::setHandler(previous);
    EXPECT_EQ(previewed, static_cast<PaintableChart*>(form().DataChart));
    EXPECT_EQ(owner, &form());
    EXPECT_EQ(title, QStringLiteral("Γράφημα - ") + form().DataChart->chart()->title());
}

// The field is left with Tab after typing; the length then in force is read.
class DiaxPeriodFieldTest : public DiaxFormTest,
                            public ::testing::WithParamInterface<std::pair<const char*, int>>
{};

TEST_P(DiaxPeriodFieldTest, IsCorrectedOnLeaving)
{
    const auto [typed, expected] = GetParam();
    form().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    QSpinBox& field = *form().EdPeriod;
    field.setFocus();
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClicks(&field, typed);
    QTest::keyClick(&field, Qt::Key_Tab);
    EXPECT_FALSE(field.hasFocus());
    EXPECT_EQ(field.value(), expected);
    EXPECT_EQ(field.text(), QString::number(expected));
}

INSTANTIATE_TEST_SUITE_P(Lengths, DiaxPeriodFieldTest,
                         ::testing::Values(std::pair{"7", 7}, std::pair{"999", 999},
                                           std::pair{"0", 1}, std::pair{"000", 1}, std::pair{"", 1},
                                           std::pair{"1234", 123}, std::pair{"x", 1}));

TEST_F(DiaxFormTest, TheTablePageIsActiveWhenTheWindowOpens)
{
    EXPECT_EQ(form().PageControl->currentWidget(), form().PinakasTab);
    EXPECT_EQ(form().EdPeriod->value(), 30);
    EXPECT_TRUE(bars().empty());
}

} // namespace
} // namespace tamisko
