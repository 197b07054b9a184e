#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamisko {

struct RegionalSettings;

// Fixed-point text with the given number of decimals, rounded half away from zero on the
// value's 18 significant decimal digits; no thousands grouping; a leading '-' when
// negative. An integer part of more than 18 digits gives scientific notation.
std::string formatFixed(long double value, int decimals, char decimalSeparator);

namespace detail {
// formatFixed always taking the value's decimal digits; formatFixed takes a shorter way
// where the result is the same.
std::string formatFixedBySignificantDigits(long double value, int decimals, char decimalSeparator);
// formatGeneral always through the C library; formatGeneral takes a shorter way for
// whole cents.
std::string formatGeneralByPrintf(double value, char decimalSeparator);
} // namespace detail

// The amount text of the balance display and the comparison: fixed-point with the
// regional currency decimals and decimal separator.
std::string formatAmount(long double value, const RegionalSettings& settings);

// General number format: up to 15 significant digits, no trailing zeros, no grouping.
std::string formatGeneral(double value, char decimalSeparator);
// The same, appended to `out`.
void appendGeneral(std::string& out, double value, char decimalSeparator);

// "#,##0.##": grouped thousands, at most two decimals, no trailing zeros.
std::string formatGrouped(double value, char decimalSeparator, char thousandSeparator);

// A day number in a short date format (tokens d, dd, M, MM, yy, yyyy, others literal).
std::string formatDate(double dayNumber, std::string_view shortDateFormat);
std::string formatDate(double dayNumber, const RegionalSettings& settings);

// yyyy-mm-dd, as the command-line tool writes and reads dates.
std::string isoDate(double dayNumber);
std::optional<double> parseIsoDate(std::string_view text);

// Reads a date typed in a short date format; day, month and year in the format's order.
std::optional<double> parseDate(std::string_view text, std::string_view shortDateFormat);

} // namespace tamisko
