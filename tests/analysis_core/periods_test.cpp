#include "analysis/core/Periods.h"

#include <gtest/gtest.h>
#include <ostream>

namespace tamisko::days {
void PrintTo(const CivilDate& date, std::ostream* os)
{
    *os << date.year << '-' << date.month << '-' << date.day;
}
} // namespace tamisko::days

namespace {

using tamisko::days::CivilDate;
using tamisko::days::fromCivil;
using namespace tamisko::periods;

TEST(MonthArithmetic, PreviousMonthCrossesTheYearInJanuary)
{
    EXPECT_EQ(firstDayOfPreviousMonth({2004, 1, 15}), (CivilDate{2003, 12, 1}));
    EXPECT_EQ(lastDayOfPreviousMonth({2004, 1, 15}), (CivilDate{2003, 12, 31}));
    EXPECT_EQ(firstDayOfPreviousMonth({2004, 7, 31}), (CivilDate{2004, 6, 1}));
    EXPECT_EQ(lastDayOfPreviousMonth({2004, 7, 31}), (CivilDate{2004, 6, 30}));
}

TEST(MonthArithmetic, LastDayOfFebruaryFollowsTheGregorianRule)
{
    EXPECT_EQ(lastDayOfPreviousMonth({2004, 3, 10}), (CivilDate{2004, 2, 29}));
    EXPECT_EQ(lastDayOfPreviousMonth({2003, 3, 10}), (CivilDate{2003, 2, 28}));
    EXPECT_EQ(lastDayOfPreviousMonth({1900, 3, 1}), (CivilDate{1900, 2, 28}));
    EXPECT_EQ(lastDayOfPreviousMonth({2000, 3, 1}), (CivilDate{2000, 2, 29}));
}

struct ShiftCase
{
    CivilDate from;
    int months;
    CivilDate expected;
};

class ShiftMonths : public testing::TestWithParam<ShiftCase>
{};

TEST_P(ShiftMonths, LandsOnTheExpectedDate)
{
    EXPECT_EQ(shiftMonths(GetParam().from, GetParam().months), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShiftMonths,
    testing::Values(
        ShiftCase{{2004, 3, 1}, -1, {2004, 2, 1}}, ShiftCase{{2004, 1, 1}, -1, {2003, 12, 1}},
        ShiftCase{{2004, 4, 1}, -11, {2003, 5, 1}}, ShiftCase{{2004, 1, 1}, -12, {2003, 1, 1}},
        ShiftCase{{2004, 1, 1}, -13, {2002, 12, 1}}, ShiftCase{{2004, 12, 1}, 1, {2005, 1, 1}},
        ShiftCase{{2004, 11, 1}, 14, {2006, 1, 1}}, ShiftCase{{2004, 5, 1}, 0, {2004, 5, 1}},
        // A day past the end of the month reached is lowered to its last day.
        ShiftCase{{2004, 3, 31}, -1, {2004, 2, 29}}, ShiftCase{{2003, 1, 31}, 1, {2003, 2, 28}},
        ShiftCase{{2004, 10, 31}, -4, {2004, 6, 30}}));

struct PresetCase
{
    const char* name;
    Preset preset;
    CivilDate today;
    CivilDate start;
    CivilDate end;
};

class PresetRange : public testing::TestWithParam<PresetCase>
{};

TEST_P(PresetRange, ResolvesToTheInclusiveRange)
{
    const PresetCase& c = GetParam();
    const DateRange range = presetRange(c.preset, fromCivil(c.today), -1, -1);
    EXPECT_EQ(range.start, fromCivil(c.start));
    EXPECT_EQ(range.end, fromCivil(c.end));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PresetRange,
    testing::Values(
        PresetCase{
            "WeekCountsLeapDay", Preset::ThisWeek, {2004, 3, 3}, {2004, 2, 26}, {2004, 3, 3}},
        PresetCase{"MonthOnItsFirstDayIsOneDay",
                   Preset::ThisMonth,
                   {2004, 5, 1},
                   {2004, 5, 1},
                   {2004, 5, 1}},
        PresetCase{"MonthToToday", Preset::ThisMonth, {2004, 1, 20}, {2004, 1, 1}, {2004, 1, 20}},
        PresetCase{"ThirtyDays", Preset::Last30Days, {2004, 3, 1}, {2004, 2, 1}, {2004, 3, 1}},
        PresetCase{"PreviousMonthInJanuary",
                   Preset::PreviousMonth,
                   {2005, 1, 10},
                   {2004, 12, 1},
                   {2004, 12, 31}},
        PresetCase{"TwoMonthsInLeapYear",
                   Preset::LastTwoMonths,
                   {2004, 3, 10},
                   {2004, 1, 1},
                   {2004, 2, 29}},
        PresetCase{"TwoMonths", Preset::LastTwoMonths, {2003, 3, 10}, {2003, 1, 1}, {2003, 2, 28}},
        PresetCase{"TwoMonthsInJanuary",
                   Preset::LastTwoMonths,
                   {2004, 1, 10},
                   {2003, 11, 1},
                   {2003, 12, 31}},
        PresetCase{"ThreeMonthsInFebruary",
                   Preset::LastThreeMonths,
                   {2004, 2, 29},
                   {2003, 11, 1},
                   {2004, 1, 31}},
        PresetCase{"SixMonths", Preset::LastSixMonths, {2004, 7, 31}, {2004, 1, 1}, {2004, 6, 30}},
        PresetCase{
            "TwelveMonths", Preset::LastTwelveMonths, {2004, 5, 15}, {2003, 5, 1}, {2004, 4, 30}},
        PresetCase{"TwelveMonthsInJanuary",
                   Preset::LastTwelveMonths,
                   {2004, 1, 2},
                   {2003, 1, 1},
                   {2003, 12, 31}}),
    [](const testing::TestParamInfo<PresetCase>& info) { return std::string(info.param.name); });

TEST(PresetRangeAll, IsTheLogSpanAsItStands)
{
    const int32_t today = fromCivil({2004, 5, 15});
    EXPECT_EQ(presetRange(Preset::All, today, 37000, 38000), (DateRange{37000, 38000}));
    // An empty log never set its dates: the zero day comes back unchanged.
    EXPECT_EQ(presetRange(Preset::All, today, 0, 0), (DateRange{0, 0}));
}

} // namespace
