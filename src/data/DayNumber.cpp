#include "data/DayNumber.h"

namespace tamisko::days {
namespace {

// Days from 1970-01-01, by Howard Hinnant's civil calendar algorithms.
constexpr int32_t kEpochOffset = 25569; // day number of 1970-01-01

int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

} // namespace

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValid(const CivilDate& date)
{
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

int32_t fromCivil(const CivilDate& date)
{
    return static_cast<int32_t>(
               daysFromCivil(date.year, static_cast<unsigned>(date.month),
                             static_cast<unsigned>(date.day))) +
           kEpochOffset;
}

CivilDate toCivil(int32_t dayNumber)
{
    int64_t z = static_cast<int64_t>(dayNumber) - kEpochOffset + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

bool inValidRange(double dayNumber)
{
    return dayNumber >= kFirstValidDay && dayNumber <= kLastValidDay;
}

int dayOfWeek(int32_t dayNumber)
{
    // Day 0 (30 December 1899) was a Saturday.
    const int r = (dayNumber + 6) % 7;
    return r < 0 ? r + 7 : r;
}

} // namespace tamisko::days
