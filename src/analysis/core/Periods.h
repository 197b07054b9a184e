#pragma once

#include "data/DayNumber.h"

namespace tamisko::periods {

// Calendar steps of the period presets and of the time series. Dates are civil dates;
// callers convert from and to day numbers with days::fromCivil / days::toCivil.
days::CivilDate firstDayOfPreviousMonth(const days::CivilDate& today);
days::CivilDate lastDayOfPreviousMonth(const days::CivilDate& today);

// Moves a date by whole months (negative k goes back); a day past the end of the month
// reached is lowered to that month's last day (31 March - 1 month = 29 February 2004).
days::CivilDate shiftMonths(const days::CivilDate& date, int months);

// The preset items of the period dialog, in the dialog's order.
enum class Preset
{
    ThisWeek,      // the seven days ending today
    ThisMonth,     // from the first of the current month to today
    Last30Days,    // the thirty days ending today
    PreviousMonth, // the whole previous month
    LastTwoMonths, // whole months ending with the previous month
    LastThreeMonths,
    LastSixMonths,
    LastTwelveMonths,
    All, // the span of the movement log
};
inline constexpr int kPresetCount = 9;

// An inclusive range of day numbers.
struct DateRange
{
    double start = 0;
    double end = 0;
    friend bool operator==(const DateRange&, const DateRange&) = default;
};

// The range of a preset reckoned from today's day number. The log's first and last dates
// are used by Preset::All only.
DateRange presetRange(Preset preset, int32_t today, double logFirstDate, double logLastDate);

} // namespace tamisko::periods
