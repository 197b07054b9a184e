#include "analysis/core/Periods.h"

#include <algorithm>

namespace tamisko::periods {

using days::CivilDate;

CivilDate firstDayOfPreviousMonth(const CivilDate& today)
{
    if (today.month == 1)
        return {today.year - 1, 12, 1};
    return {today.year, today.month - 1, 1};
}

CivilDate lastDayOfPreviousMonth(const CivilDate& today)
{
    CivilDate date = firstDayOfPreviousMonth(today);
    date.day = days::daysInMonth(date.year, date.month);
    return date;
}

CivilDate shiftMonths(const CivilDate& date, int months)
{
    // C++ division truncates toward zero and the remainder takes the sign of k.
    int month = date.month + months % 12;
    int year = date.year + months / 12;
    if (month < 1) {
        month += 12;
        --year;
    } else if (month > 12) {
        month -= 12;
        ++year;
    }
    return {year, month, std::min(date.day, days::daysInMonth(year, month))};
}

namespace {

// The first day of the run of whole months that ends with the previous month.
int32_t startOfMonthsBefore(const CivilDate& today, int monthCount)
{
    return days::fromCivil(shiftMonths(firstDayOfPreviousMonth(today), 1 - monthCount));
}

} // namespace

DateRange presetRange(Preset preset, int32_t today, double logFirstDate, double logLastDate)
{
    const CivilDate civilToday = days::toCivil(today);
    const double previousMonthEnd = days::fromCivil(lastDayOfPreviousMonth(civilToday));
    switch (preset) {
    case Preset::ThisWeek:
        return {static_cast<double>(today - 6), static_cast<double>(today)};
    case Preset::ThisMonth:
        return {previousMonthEnd + 1, static_cast<double>(today)};
    case Preset::Last30Days:
        return {static_cast<double>(today - 29), static_cast<double>(today)};
    case Preset::PreviousMonth:
        return {static_cast<double>(startOfMonthsBefore(civilToday, 1)), previousMonthEnd};
    case Preset::LastTwoMonths:
        return {static_cast<double>(startOfMonthsBefore(civilToday, 2)), previousMonthEnd};
    case Preset::LastThreeMonths:
        return {static_cast<double>(startOfMonthsBefore(civilToday, 3)), previousMonthEnd};
    case Preset::LastSixMonths:
        return {static_cast<double>(startOfMonthsBefore(civilToday, 6)), previousMonthEnd};
    case Preset::LastTwelveMonths:
        return {static_cast<double>(startOfMonthsBefore(civilToday, 12)), previousMonthEnd};
    case Preset::All:
        return {logFirstDate, logLastDate};
    }
    return {static_cast<double>(today), static_cast<double>(today)};
}

} // namespace tamisko::periods
