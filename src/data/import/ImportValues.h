#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// Dates and amounts as statements write them. The order of day and month and the
// decimal sign are decided over a whole column, so that one unambiguous cell decides
// for the others.
namespace tamisko::import {

enum class DateOrder
{
    Auto,
    DayMonthYear,
    MonthDayYear,
    YearMonthDay,
};

// "dmy", "mdy", "ymd" (and "auto").
std::string_view dateOrderName(DateOrder order);
std::optional<DateOrder> dateOrderFromName(std::string_view name);

// The order of the column's cells (UTF-8): a first number above 12 means day first, a
// second above 12 month first; the majority decides when cells disagree, `fallback`
// when nothing does. Cells with the year first (four digits) do not vote.
DateOrder decideDateOrder(std::span<const std::string_view> cells, DateOrder fallback);

// A day number from d/M/yyyy, dd/MM/yyyy, d.M.yyyy, d-M-yyyy, yyyy-MM-dd (and the same
// with two-digit years: 00-69 are 2000-2069, 70-99 1970-1999; an apostrophe before the
// year as in QIF's 1/2'24 also marks 2000 onwards). A time of day after the date is
// ignored. Nothing when the text is no valid date in that order.
std::optional<double> parseDateCell(std::string_view cell, DateOrder order);

// True when the cell reads as a date in some order: for finding the date column.
bool looksLikeDate(std::string_view cell);
// True when the cell is written like a date (three numbers with date separators), valid
// or not: for telling a row with a broken date from a line of totals.
bool hasDateShape(std::string_view cell);

// The decimal sign of the column's amounts (',' or '.'): "1.234,56" and "1,234.56" tell
// by their last separator, a separator met twice is the grouping, one followed by other
// than three digits is the decimal sign; the majority decides, `fallback` when nothing.
char decideDecimalSign(std::span<const std::string_view> cells, char fallback);

// An amount with the given decimal sign: grouping by threes, a leading or trailing
// minus or plus, parentheses for a negative, currency signs and codes ("€", "EUR")
// around it. Nothing for an empty cell or one that is not such an amount.
std::optional<double> parseAmountCell(std::string_view cell, char decimalSign);

// True when the cell reads as an amount with either decimal sign.
bool looksLikeAmount(std::string_view cell);

// True when the cell holds nothing but blanks.
bool isBlankCell(std::string_view cell);

} // namespace tamisko::import
