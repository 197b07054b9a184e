#include "analysis/core/Comparison.h"
#include "analysis_core/movement_log_helpers.h"
#include "data/Cp1253.h"
#include "data/MemTable.h"
#include "data/RegionalSettings.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace tamisko;
using namespace tamisko::comparison;
using tamisko::testing::day;

std::string utf8(const std::string& cp1253Text)
{
    return cp1253::toUtf8OrThrow(cp1253Text);
}

class ComparisonTest : public ::testing::Test
{
protected:
    ComparisonTest() { defineResultsTable(results); }

    void add(double date, const std::string& category, std::optional<double> receipt,
             std::optional<double> payment)
    {
        data.add(date, category, receipt, payment);
        firstDate = firstDate == 0 ? date : std::min(firstDate, date);
        lastDate = std::max(lastDate, date);
    }

    Outcome run(double start, double end)
    {
        request = Request{start, end, firstDate, lastDate};
        auto outcome = ComputeResults(data.log, data.categories, request, settings, results);
        if (!outcome)
            throw std::logic_error("the computation stopped at once");
        return *outcome;
    }

    // The rows' categories in table order.
    std::vector<std::string> categories()
    {
        std::vector<std::string> names;
        for (results.first(); !results.eof(); results.next())
            names.push_back(utf8(results.fieldByName("Category").asString()));
        return names;
    }

    // Moves to a category's row.
    bool row(const std::string& category)
    {
        for (results.first(); !results.eof(); results.next()) {
            if (utf8(results.fieldByName("Category").asString()) == category)
                return true;
        }
        return false;
    }

    Variant value(const char* field) const { return results.fieldValue(field); }
    std::string text(const char* field)
    {
        return utf8(DisplayText(results.fieldByName(field), settings));
    }

    tamisko::testing::MovementLog data;
    MemTable results{"ResultsTable"};
    RegionalSettings settings = RegionalSettings::greek();
    Request request;
    double firstDate = 0;
    double lastDate = 0;
};

TEST_F(ComparisonTest, TheResultsTableHasItsVisibleFieldsAndTitles)
{
    std::vector<std::string> visible;
    for (int i = 0; i < results.fieldCount(); ++i) {
        if (results.field(i).visible())
            visible.push_back(utf8(results.field(i).displayName()));
    }
    EXPECT_EQ(visible, (std::vector<std::string>{"Κατηγορία", "Συν. εισπρ.", "%", "Συν. πληρ.", "%",
                                                 "Μέση είσπρ.", "Μέση πληρ.", "Αριθμ. εισπρ.",
                                                 "Αριθμ. πληρ."}));
    EXPECT_EQ(results.fieldCount(), 11);
    EXPECT_FALSE(results.fieldByName("KEispraxi").visible());
    EXPECT_FALSE(results.fieldByName("KPliromi").visible());
}

TEST_F(ComparisonTest, StopsAtOnceWithoutCategoriesOrMovements)
{
    Request any{day(2004, 1, 1), day(2004, 1, 31), 0, 0};
    EXPECT_FALSE(ComputeResults(data.log, data.categories, any, settings, results));

    add(day(2004, 1, 5), "τρόφιμα", 10, std::nullopt);
    run(day(2004, 1, 1), day(2004, 1, 31));
    data.categories.first();
    data.categories.deleteRecord();
    EXPECT_FALSE(ComputeResults(data.log, data.categories, any, settings, results));
    EXPECT_EQ(results.recordCount(), 1) << "an earlier result is kept";
}

TEST_F(ComparisonTest, MovementsOnEitherEndOfTheRangeCount)
{
    add(day(2004, 1, 9), "έξω", 1000, std::nullopt);
    add(day(2004, 1, 10), "αρχή", 1, std::nullopt);
    add(day(2004, 1, 15), "μέση", 2, std::nullopt);
    add(day(2004, 1, 20), "τέλος", 4, std::nullopt);
    add(day(2004, 1, 21), "έξω", 1000, std::nullopt);

    const Outcome outcome = run(day(2004, 1, 10), day(2004, 1, 20));
    EXPECT_EQ(categories(), (std::vector<std::string>{"αρχή", "μέση", "τέλος"}));
    EXPECT_EQ(outcome.totalReceipts, 7);
    EXPECT_EQ(outcome.dayCount, 11);
}

TEST_F(ComparisonTest, RowsComeInTheOrderTheLogFirstMeetsTheirCategory)
{
    add(day(2004, 1, 5), "ΔΕΗ", std::nullopt, 10);
    add(day(2004, 1, 3), "τρόφιμα", std::nullopt, 5);
    add(day(2004, 1, 4), "ΔΕΗ", std::nullopt, 7);
    add(day(2004, 1, 6), "δεη", std::nullopt, 1); // exact match: case counts
    run(day(2004, 1, 1), day(2004, 1, 31));
    EXPECT_EQ(categories(), (std::vector<std::string>{"ΔΕΗ", "τρόφιμα", "δεη"}));
    ASSERT_TRUE(row("ΔΕΗ"));
    EXPECT_EQ(value("SPliromon").toDouble(), 17);
    EXPECT_EQ(value("APliromon").toDouble(), 2);
}

TEST_F(ComparisonTest, SharesAreTakenOfTheTotalsAndShownAsPercent)
{
    add(day(2004, 1, 5), "μισθός", 100, std::nullopt);
    add(day(2004, 1, 6), "άλλα έσοδα", 300, std::nullopt);
    run(day(2004, 1, 1), day(2004, 1, 31));

    ASSERT_TRUE(row("μισθός"));
    EXPECT_EQ(value("PEispraxeon").toDouble(), 25);
    EXPECT_EQ(text("PEispraxeon"), "25%");
    EXPECT_TRUE(value("PPliromon").isNull());
    ASSERT_TRUE(row("άλλα έσοδα"));
    EXPECT_EQ(value("PEispraxeon").toDouble(), 75);
    EXPECT_EQ(text("PEispraxeon"), "75%");
    EXPECT_EQ(text("SEispraxeon"), "300");
}

TEST_F(ComparisonTest, NetOfACategoryGoesToTheLargerSide)
{
    add(day(2004, 1, 5), "δάνειo", 50, std::nullopt);
    add(day(2004, 1, 6), "δάνειo", std::nullopt, 80);
    add(day(2004, 1, 7), "ίσα", 40, std::nullopt);
    add(day(2004, 1, 8), "ίσα", std::nullopt, 40);
    add(day(2004, 1, 9), "μισθός", 200, 20);
    const Outcome outcome = run(day(2004, 1, 1), day(2004, 1, 31));

    ASSERT_TRUE(row("δάνειo"));
    EXPECT_EQ(value("KPliromi").toDouble(), 30);
    EXPECT_TRUE(value("KEispraxi").isNull());
    EXPECT_EQ(value("AEispraxeon").toDouble(), 1);
    EXPECT_EQ(value("APliromon").toDouble(), 1);
    ASSERT_TRUE(row("ίσα"));
    EXPECT_TRUE(value("KEispraxi").isNull());
    EXPECT_TRUE(value("KPliromi").isNull());
    ASSERT_TRUE(row("μισθός"));
    EXPECT_EQ(value("KEispraxi").toDouble(), 180);
    EXPECT_TRUE(value("KPliromi").isNull());
    EXPECT_EQ(outcome.netReceipts, 180);
    EXPECT_EQ(outcome.netPayments, 30);
    EXPECT_EQ(utf8(outcome.statistics[5]), "Διαφορά: 150,00");
}

TEST_F(ComparisonTest, ThePeriodIsClippedToTheSpanOfTheLog)
{
    add(day(2003, 12, 20), "τρόφιμα", std::nullopt, 1);
    add(day(2004, 1, 10), "τρόφιμα", std::nullopt, 2);
    add(day(2004, 2, 10), "τρόφιμα", std::nullopt, 4);
    Outcome outcome = run(day(2004, 1, 1), day(2004, 1, 31));
    EXPECT_EQ(outcome.dayCount, 31);
    EXPECT_EQ(utf8(*outcome.periodLabel), "από 1/1/2004 μέχρι 31/1/2004");
    EXPECT_EQ(utf8(outcome.statistics[0]), "Ανάλυση περιόδου από 1/1/2004 μέχρι 31/1/2004");
    EXPECT_EQ(utf8(outcome.statistics[1]), "Σύνολο ημερών: 31");

    // The log now ends on 20 January: so does the period.
    data.log.last();
    data.log.deleteRecord();
    add(day(2004, 1, 20), "τρόφιμα", std::nullopt, 4);
    lastDate = day(2004, 1, 20);
    outcome = run(day(2004, 1, 1), day(2004, 1, 31));
    EXPECT_EQ(outcome.dayCount, 20);
    EXPECT_EQ(utf8(outcome.statistics[0]), "Ανάλυση περιόδου από 1/1/2004 μέχρι 20/1/2004");
}

TEST_F(ComparisonTest, AveragesArePerDayOfThePeriod)
{
    add(day(2004, 1, 1), "μισθός", 700, std::nullopt);
    add(day(2004, 1, 7), "τρόφιμα", std::nullopt, 70);
    const Outcome outcome = run(day(2004, 1, 1), day(2004, 1, 7));

    ASSERT_EQ(outcome.dayCount, 7);
    ASSERT_TRUE(row("μισθός"));
    EXPECT_EQ(value("MEispraxi").toDouble(), 100);
    const std::vector<std::string> expected = {
        "Ανάλυση περιόδου από 1/1/2004 μέχρι 7/1/2004",
        "Σύνολο ημερών: 7",
        "",
        "Σύνολικές εισπράξεις: 700,00",
        "Σύνολικές πληρωμές: 70,00",
        "Διαφορά: 630,00",
        "",
        "\"Πόσα πήρα\": 700,00",
        "\"Πόσα χάλασα\": 70,00",
        "",
        "Μέσος όρος εισπράξεων ανά",
        "εβδομάδα: 700,00",
        "μήνα: 3000,00",
        "χρόνο: 36500,00",
        "",
        "Μέσος όρος πληρωμών ανά",
        "ημέρα: 10,00",
        "εβδομάδα: 70,00",
        "μήνα: 300,00",
        "χρόνο: 3650,00",
    };
    std::vector<std::string> lines;
    for (const std::string& line : outcome.statistics)
        lines.push_back(utf8(line));
    EXPECT_EQ(lines, expected);
}

TEST_F(ComparisonTest, PaymentsOnlyLeaveTheReceiptSideEmpty)
{
    add(day(2004, 1, 2), "τρόφιμα", std::nullopt, 30);
    add(day(2004, 1, 3), "ΔΕΗ", std::nullopt, 90);
    const Outcome outcome = run(day(2004, 1, 1), day(2004, 1, 31));

    for (const char* category : {"τρόφιμα", "ΔΕΗ"}) {
        ASSERT_TRUE(row(category));
        EXPECT_TRUE(value("SEispraxeon").isNull()) << category;
        EXPECT_TRUE(value("PEispraxeon").isNull()) << category;
        EXPECT_TRUE(value("MEispraxi").isNull()) << category;
        EXPECT_TRUE(value("AEispraxeon").isNull()) << "a zero count is a blank cell";
        EXPECT_EQ(text("AEispraxeon"), "");
        EXPECT_FALSE(value("PPliromon").isNull());
    }
    EXPECT_EQ(utf8(outcome.statistics[11]), "εβδομάδα: 0,00");
    EXPECT_EQ(utf8(outcome.statistics[13]), "χρόνο: 0,00");
}

TEST_F(ComparisonTest, ARangeWithoutMovementsSaysSoInOneLine)
{
    add(day(2004, 1, 2), "τρόφιμα", std::nullopt, 30);
    add(day(2004, 3, 2), "τρόφιμα", std::nullopt, 30);
    const Outcome outcome = run(day(2004, 2, 1), day(2004, 2, 29));

    EXPECT_EQ(results.recordCount(), 0);
    EXPECT_FALSE(outcome.periodLabel);
    EXPECT_EQ(outcome.dayCount, 1);
    ASSERT_EQ(outcome.statistics.size(), 1u);
    EXPECT_EQ(utf8(outcome.statistics[0]),
              "Δεν υπάρχει καμία κίνηση στην περίοδο από 1/2/2004 μέχρι 29/2/2004.");
}

// An empty date field reads as day 0, which is never shown as 30/12/1899.
TEST_F(ComparisonTest, ARangeWithoutMovementsNamesOnlyTheDatesGiven)
{
    add(day(2004, 3, 2), "τρόφιμα", std::nullopt, 30);
    struct Case
    {
        double start, end;
        const char* line;
    };
    const Case cases[] = {
        {0, day(2004, 2, 29), "Δεν υπάρχει καμία κίνηση μέχρι 29/2/2004."},
        {day(2004, 2, 1), 0, "Δεν υπάρχει καμία κίνηση στην περίοδο."},
        {0, 0, "Δεν υπάρχει καμία κίνηση στην περίοδο."},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run(c.start, c.end);
        ASSERT_EQ(outcome.statistics.size(), 1u);
        EXPECT_EQ(utf8(outcome.statistics[0]), c.line);
    }
}

TEST_F(ComparisonTest, ARerunReplacesTheEarlierRows)
{
    add(day(2004, 1, 2), "τρόφιμα", std::nullopt, 30);
    add(day(2004, 2, 2), "ΔΕΗ", std::nullopt, 30);
    run(day(2004, 1, 1), day(2004, 2, 29));
    run(day(2004, 2, 1), day(2004, 2, 29));
    EXPECT_EQ(categories(), (std::vector<std::string>{"ΔΕΗ"}));
}

struct DisplayCase
{
    double value;
    int decimals;
    const char* expected;
};

TEST(ComparisonDisplay, AtMostTheGivenDecimalsWithoutTrailingZeros)
{
    const DisplayCase cases[] = {
        {25, 1, "25"},     {25.34, 1, "25,3"},  {33.333333, 1, "33,3"},
        {99.96, 1, "100"}, {12.5, 2, "12,5"},   {1234.567, 2, "1234,57"},
        {0.004, 2, "0"},   {-30.1, 2, "-30,1"}, {1000000, 2, "1000000"},
    };
    for (const DisplayCase& c : cases)
        EXPECT_EQ(formatAtMostDecimals(c.value, c.decimals, ','), c.expected) << c.value;
}

} // namespace
