#include "analysis/core/TimeSeries.h"
#include "analysis_core/movement_log_helpers.h"
#include "data/Cp1253.h"
#include "data/RegionalSettings.h"

#include <array>
#include <gtest/gtest.h>

namespace {

using namespace tamisko;
using namespace tamisko::series;
using tamisko::testing::day;

std::vector<Period> periodsOf(std::initializer_list<std::array<int, 6>> dates)
{
    std::vector<Period> periods;
    for (const auto& d : dates)
        periods.push_back({day(d[0], d[1], d[2]), day(d[3], d[4], d[5])});
    return periods;
}

TEST(LayOutPeriods, ThirtyDaysAreWholeCalendarMonths)
{
    EXPECT_EQ(
        LayOutPeriods(30, day(2004, 1, 10), day(2004, 3, 5)),
        periodsOf(
            {{2004, 1, 1, 2004, 1, 31}, {2004, 2, 1, 2004, 2, 29}, {2004, 3, 1, 2004, 3, 31}}));
    EXPECT_EQ(LayOutPeriods(31, day(2004, 1, 10), day(2004, 3, 5)).size(), 3u);
}

TEST(LayOutPeriods, OtherLengthsCountDaysFromTheFirstMovement)
{
    const std::vector<Period> periods = LayOutPeriods(7, day(2004, 1, 10), day(2004, 3, 5));
    ASSERT_EQ(periods.size(), 8u);
    EXPECT_EQ(periods[0], (Period{day(2004, 1, 10), day(2004, 1, 16)}));
    EXPECT_EQ(periods[1], (Period{day(2004, 1, 17), day(2004, 1, 23)}));
    EXPECT_EQ(periods.back(), (Period{day(2004, 2, 28), day(2004, 3, 5)}));

    const std::vector<Period> single = LayOutPeriods(45, day(2004, 1, 10), day(2004, 1, 10));
    EXPECT_EQ(single, (std::vector<Period>{{day(2004, 1, 10), day(2004, 2, 23)}}));
    EXPECT_EQ(LayOutPeriods(1, day(2004, 1, 10), day(2004, 1, 12)).size(), 3u);
}

TEST(LayOutPeriods, FifteenDaysAreHalfMonths)
{
    EXPECT_EQ(LayOutPeriods(15, day(2004, 1, 20), day(2004, 3, 31)),
              periodsOf({{2004, 1, 1, 2004, 1, 15},
                         {2004, 1, 16, 2004, 1, 31},
                         {2004, 2, 1, 2004, 2, 14},
                         {2004, 2, 15, 2004, 2, 29},
                         {2004, 3, 1, 2004, 3, 15},
                         {2004, 3, 16, 2004, 3, 31}}));
}

TEST(LayOutPeriods, YearLengthsAreRunsOfTwelveMonthsFromTheFirstMonth)
{
    const std::vector<Period> periods = LayOutPeriods(365, day(2003, 3, 15), day(2005, 3, 1));
    EXPECT_EQ(periods, periodsOf({{2003, 3, 1, 2004, 2, 29},
                                  {2004, 3, 1, 2005, 2, 28},
                                  {2005, 3, 1, 2006, 2, 28}}));
}

TEST(LayOutPeriods, MonthRunsCrossTheYear)
{
    EXPECT_EQ(LayOutPeriods(61, day(2003, 11, 30), day(2004, 2, 1)),
              periodsOf({{2003, 11, 1, 2003, 12, 31}, {2004, 1, 1, 2004, 2, 29}}));
    EXPECT_EQ(LayOutPeriods(180, day(2003, 9, 2), day(2003, 9, 2)),
              periodsOf({{2003, 9, 1, 2004, 2, 29}}));
    EXPECT_EQ(LayOutPeriods(90, day(2004, 12, 31), day(2004, 12, 31)),
              periodsOf({{2004, 12, 1, 2005, 2, 28}}));
}

TEST(PeriodLookup, AgreesWithALinearSearch)
{
    const std::vector<Period> periods = LayOutPeriods(15, day(2003, 5, 20), day(2004, 8, 3));
    const auto linear = [&periods](double d) -> std::optional<size_t> {
        for (size_t i = 0; i < periods.size(); ++i) {
            if (periods[i].start <= d && d <= periods[i].end)
                return i;
        }
        return std::nullopt;
    };
    const PeriodLookup periodOf(periods);
    for (double d = periods.front().start - 3; d <= periods.back().end + 3; ++d)
        EXPECT_EQ(periodOf(d), linear(d)) << d;
    const std::vector<Period> none;
    EXPECT_EQ(PeriodLookup(none)(day(2004, 1, 1)), std::nullopt);
}

std::string utf8(const std::string& text)
{
    return cp1253::toUtf8OrThrow(text);
}

class FillSeriesGridTest : public ::testing::Test
{
protected:
    void add(double date, const std::string& category, std::optional<double> receipt,
             std::optional<double> payment)
    {
        data.add(date, category, receipt, payment);
        first = first == 0 ? date : std::min(first, date);
        last = std::max(last, date);
    }

    SeriesGrid fill(int length) { return FillSeriesGrid(data.log, length, first, last, settings); }

    static std::vector<std::string> row(const SeriesGrid& grid, int r)
    {
        std::vector<std::string> texts;
        for (const std::string& cell : grid.cells[static_cast<size_t>(r)])
            texts.push_back(utf8(cell));
        return texts;
    }

    tamisko::testing::MovementLog data;
    RegionalSettings settings = RegionalSettings::greek();
    double first = 0;
    double last = 0;
};

TEST_F(FillSeriesGridTest, PaymentColumnsAreFlippedAfterThePeriodTotals)
{
    add(day(2004, 1, 5), "μισθός", 100, std::nullopt);
    add(day(2004, 1, 6), "ΔΕΗ", std::nullopt, 80);
    add(day(2004, 2, 5), "μισθός", std::nullopt, 30);
    add(day(2004, 2, 6), "ΔΕΗ", 20, std::nullopt);

    const SeriesGrid grid = fill(30);
    ASSERT_EQ(grid.rowCount(), 3);
    ASSERT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(row(grid, 0), (std::vector<std::string>{"", "μισθός (εισ)", "ΔΕΗ (πλ)",
                                                      "Συν.Κ.Εισπρ.", "Συν.Κ.Πληρ."}));
    EXPECT_EQ(row(grid, 1), (std::vector<std::string>{"1/1/2004 - 31/1/2004", "100,00", "80,00",
                                                      "100,00", "80,00"}));
    EXPECT_EQ(row(grid, 2), (std::vector<std::string>{"1/2/2004 - 29/2/2004", "-30,00", "-20,00",
                                                      "20,00", "30,00"}));
}

TEST_F(FillSeriesGridTest, ACategoryWithoutMovementInAPeriodLeavesItsCellEmpty)
{
    add(day(2004, 1, 5), "μισθός", 100, std::nullopt);
    add(day(2004, 1, 7), "τρόφιμα", std::nullopt, 30);
    add(day(2004, 3, 5), "μισθός", 40, 40); // nets to zero
    add(day(2004, 3, 6), "τρόφιμα", std::nullopt, 0.5);

    const SeriesGrid grid = fill(30);
    ASSERT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(row(grid, 1), (std::vector<std::string>{"1/1/2004 - 31/1/2004", "100,00", "30,00",
                                                      "100,00", "30,00"}));
    EXPECT_EQ(row(grid, 2),
              (std::vector<std::string>{"1/2/2004 - 29/2/2004", "", "", "0,00", "0,00"}));
    EXPECT_EQ(row(grid, 3),
              (std::vector<std::string>{"1/3/2004 - 31/3/2004", "", "0,50", "0,00", "0,50"}));
}

// A log sorted on another column walks the days in any order.
TEST_F(FillSeriesGridTest, MovementsOutOfDateOrderFindTheirDays)
{
    add(day(2004, 1, 7), "μισθός", 7, std::nullopt);
    add(day(2004, 1, 5), "μισθός", 5, std::nullopt);
    add(day(2004, 1, 6), "μισθός", 6, std::nullopt);
    add(day(2004, 1, 5), "μισθός", 50, std::nullopt);

    const SeriesGrid grid = fill(1);
    ASSERT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(row(grid, 1)[1], "55,00");
    EXPECT_EQ(row(grid, 2)[1], "6,00");
    EXPECT_EQ(row(grid, 3)[1], "7,00");
}

TEST_F(FillSeriesGridTest, CategoriesDifferingOnlyInCaseShareAColumn)
{
    add(day(2004, 1, 5), "ΔΕΗ", std::nullopt, 10);
    add(day(2004, 1, 6), "μισθός", 100, std::nullopt);
    add(day(2004, 1, 7), "δεη", std::nullopt, 5);

    const SeriesGrid grid = fill(30);
    EXPECT_EQ(row(grid, 0), (std::vector<std::string>{"", "ΔΕΗ (πλ)", "μισθός (εισ)",
                                                      "Συν.Κ.Εισπρ.", "Συν.Κ.Πληρ."}));
    EXPECT_EQ(row(grid, 1)[1], "15,00");
}

TEST_F(FillSeriesGridTest, ARerunWithAShorterLengthKeepsNothingOfTheEarlierOne)
{
    add(day(2004, 1, 5), "μισθός", 100, std::nullopt);
    add(day(2004, 1, 20), "τρόφιμα", std::nullopt, 30);
    const SeriesGrid month = fill(30);
    ASSERT_EQ(month.rowCount(), 2);

    const SeriesGrid week = fill(7);
    ASSERT_EQ(week.rowCount(), 4);
    EXPECT_EQ(row(week, 1),
              (std::vector<std::string>{"5/1/2004 - 11/1/2004", "100,00", "", "100,00", "0,00"}));
    EXPECT_EQ(row(week, 2),
              (std::vector<std::string>{"12/1/2004 - 18/1/2004", "", "", "0,00", "0,00"}));
    EXPECT_EQ(row(week, 3),
              (std::vector<std::string>{"19/1/2004 - 25/1/2004", "", "30,00", "0,00", "30,00"}));
}

TEST_F(FillSeriesGridTest, AnEmptyLogGivesAnEmptyGridAndNoText)
{
    const SeriesGrid grid = fill(30);
    EXPECT_TRUE(grid.empty());
    EXPECT_EQ(GridCopyText(grid, settings), "");
}

TEST_F(FillSeriesGridTest, CopyTextPutsThePeriodDatesInTwoColumns)
{
    add(day(2004, 1, 5), "μισθός", 100, std::nullopt);
    add(day(2004, 2, 6), "ΔΕΗ", std::nullopt, 20.5);

    EXPECT_EQ(utf8(GridCopyText(fill(30), settings)),
              "από\tμέχρι\tμισθός (εισ)\tΔΕΗ (πλ)\tΣυν.Κ.Εισπρ.\tΣυν.Κ.Πληρ.\r\n"
              "1/1/2004\t31/1/2004\t100,00\t\t100,00\t0,00\r\n"
              "1/2/2004\t29/2/2004\t\t20,50\t0,00\t20,50\r\n");
}

} // namespace
