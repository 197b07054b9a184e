#pragma once

#include <cstdint>

// Dates are whole day numbers counted from 30 December 1899 (day 0), held as doubles
// by the tables and documents.
namespace tamisko::days {

struct CivilDate final
{
    int year = 1899;
    int month = 12;
    int day = 30;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValid(const CivilDate& date);

// Day number of a calendar date (proleptic Gregorian).
int32_t fromCivil(const CivilDate& date);
CivilDate toCivil(int32_t dayNumber);

// Days 1 January 0001 .. 31 December 9999: the range documents may hold.
constexpr int32_t kFirstValidDay = -693593;
constexpr int32_t kLastValidDay = 2958465;
bool inValidRange(double dayNumber);

// 0 = Sunday .. 6 = Saturday.
int dayOfWeek(int32_t dayNumber);

} // namespace tamisko::days
