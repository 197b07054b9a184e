#include "data/import/ImportValues.h"

#include "data/DayNumber.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace tamisko::import {
namespace {

// The three numbers of a date and how they were written.
struct DateParts
{
    std::array<int, 3> numbers{};
    std::array<int, 3> digits{};
    bool apostropheYear = false; // QIF: 1/2'24
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // A non-breaking space (UTF-8) at either end.
    while (text.starts_with("\xC2\xA0"))
        text.remove_prefix(2);
    while (text.ends_with("\xC2\xA0"))
        text.remove_suffix(2);
    return text;
}

std::optional<DateParts> splitDate(std::string_view cell)
{
    cell = trimmed(cell);
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
        cell = trimmed(cell.substr(1, cell.size() - 2));
    DateParts parts;
    // yyyyMMdd, as some banks and OFX write it.
    if (cell.size() >= 8 && std::all_of(cell.begin(), cell.begin() + 8, isDigit) &&
        (cell.size() == 8 || !isDigit(cell[8]))) {
        const auto number = [&](size_t at, size_t n) {
            int value = 0;
            for (size_t i = at; i < at + n; ++i)
                value = value * 10 + (cell[i] - '0');
            return value;
        };
        parts.numbers = {number(0, 4), number(4, 2), number(6, 2)};
        parts.digits = {4, 2, 2};
        return parts;
    }
    size_t pos = 0;
    char separator = 0;
    for (int part = 0; part < 3; ++part) {
        while (part > 0 && pos < cell.size() && cell[pos] == ' ')
            ++pos; // QIF pads: " 1/ 2/24"
        const size_t start = pos;
        int value = 0;
        while (pos < cell.size() && isDigit(cell[pos]) && pos - start < 4)
            value = value * 10 + (cell[pos++] - '0');
        const int digits = static_cast<int>(pos - start);
        if (digits == 0 || (pos < cell.size() && isDigit(cell[pos])))
            return std::nullopt;
        parts.numbers[static_cast<size_t>(part)] = value;
        parts.digits[static_cast<size_t>(part)] = digits;
        if (part == 2)
            break;
        if (pos == cell.size())
            return std::nullopt;
        const char c = cell[pos];
        if (c == '\'' && part == 1) {
            parts.apostropheYear = true;
        } else if (c == '/' || c == '.' || c == '-') {
            if (part == 1 && separator != c)
                return std::nullopt; // 1/2.2024
            separator = c;
        } else {
            return std::nullopt;
        }
        ++pos;
    }
    // A time of day may follow after a blank or a 'T'; nothing else.
    if (pos < cell.size() && cell[pos] == '.' && pos + 1 == cell.size())
        ++pos; // "1.2.2024."
    if (pos < cell.size() && cell[pos] != ' ' && cell[pos] != 'T')
        return std::nullopt;
    return parts;
}

bool yearFirst(const DateParts& parts)
{
    return parts.digits[0] >= 3;
}

int fullYear(int year, int digits, bool apostrophe)
{
    if (digits == 4)
        return year;
    if (digits == 3)
        return -1;
    if (apostrophe)
        return 2000 + year;
    return year <= 69 ? 2000 + year : 1900 + year;
}

// Currency signs and codes that may stand before or after an amount.
constexpr std::string_view kCurrencies[] = {
    "\xE2\x82\xAC",
    "\xE2\x82\xAF",
    "$",
    "\xC2\xA3",
    "EUR",
    "eur",
    "Eur",
    "USD",
    "GBP",
    "CHF",
    "\xCE\xB5\xCF\x85\xCF\x81\xCF\x8E", // ευρώ
    "\xCE\x95\xCF\x85\xCF\x81\xCF\x8E", // Ευρώ
    "\xCE\x95\xCE\xA5\xCE\xA1\xCE\xA9", // ΕΥΡΩ
};

// The number of an amount cell without blanks, currency and sign; `negative` tells the
// sign. Grouping and decimal signs stay.
std::string amountCore(std::string_view cell, bool& negative, bool& valid)
{
    negative = false;
    valid = true;
    std::string out;
    out.reserve(cell.size());
    for (size_t i = 0; i < cell.size();) {
        const std::string_view rest = cell.substr(i);
        const auto c = static_cast<unsigned char>(cell[i]);
        if (c == ' ' || c == '\t' || c == '"' || c == '\'') {
            ++i;
        } else if (rest.starts_with("\xC2\xA0")) { // no-break space
            i += 2;
        } else if (rest.starts_with("\xE2\x80\xAF") || rest.starts_with("\xE2\x80\x89")) {
            i += 3;                                    // narrow no-break and thin spaces
        } else if (rest.starts_with("\xE2\x88\x92")) { // minus sign
            out += '-';
            i += 3;
        } else if (const auto* currency =
                       std::find_if(std::begin(kCurrencies), std::end(kCurrencies),
                                    [&](std::string_view code) { return rest.starts_with(code); });
                   currency != std::end(kCurrencies)) {
            i += currency->size();
        } else if (isDigit(static_cast<char>(c)) || c == '.' || c == ',' || c == '-' || c == '+' ||
                   c == '(' || c == ')') {
            out += static_cast<char>(c);
            ++i;
        } else {
            valid = false;
            return out;
        }
    }
    if (out.size() >= 2 && out.front() == '(' && out.back() == ')') {
        negative = true;
        out = out.substr(1, out.size() - 2);
    }
    if (!out.empty() && (out.front() == '-' || out.front() == '+')) {
        negative = negative != (out.front() == '-');
        out.erase(0, 1);
    } else if (!out.empty() && (out.back() == '-' || out.back() == '+')) {
        negative = negative != (out.back() == '-');
        out.pop_back();
    }
    return out;
}

} // namespace

std::string_view dateOrderName(DateOrder order)
{
    switch (order) {
    case DateOrder::Auto:
        return "auto";
    case DateOrder::DayMonthYear:
        return "dmy";
    case DateOrder::MonthDayYear:
        return "mdy";
    case DateOrder::YearMonthDay:
        return "ymd";
    }
    return "auto";
}

std::optional<DateOrder> dateOrderFromName(std::string_view name)
{
    for (const DateOrder order : {DateOrder::Auto, DateOrder::DayMonthYear, DateOrder::MonthDayYear,
                                  DateOrder::YearMonthDay}) {
        if (name == dateOrderName(order))
            return order;
    }
    return std::nullopt;
}

DateOrder decideDateOrder(std::span<const std::string_view> cells, DateOrder fallback)
{
    int dayFirst = 0;
    int monthFirst = 0;
    for (const std::string_view cell : cells) {
        const auto parts = splitDate(cell);
        if (!parts || yearFirst(*parts))
            continue;
        const int a = parts->numbers[0];
        const int b = parts->numbers[1];
        if (a > 12 && b <= 12)
            ++dayFirst;
        else if (b > 12 && a <= 12)
            ++monthFirst;
    }
    if (dayFirst == 0 && monthFirst == 0)
        return fallback;
    return monthFirst > dayFirst ? DateOrder::MonthDayYear : DateOrder::DayMonthYear;
}

std::optional<double> parseDateCell(std::string_view cell, DateOrder order)
{
    const auto parts = splitDate(cell);
    if (!parts)
        return std::nullopt;
    const auto& n = parts->numbers;
    const auto& digits = parts->digits;
    days::CivilDate date;
    if (yearFirst(*parts) || order == DateOrder::YearMonthDay) {
        date = {fullYear(n[0], digits[0], false), n[1], n[2]};
        if (digits[1] > 2 || digits[2] > 2)
            return std::nullopt;
    } else {
        if (digits[0] > 2 || digits[1] > 2)
            return std::nullopt;
        const bool monthFirst = order == DateOrder::MonthDayYear;
        date = {fullYear(n[2], digits[2], parts->apostropheYear), monthFirst ? n[0] : n[1],
                monthFirst ? n[1] : n[0]};
    }
    if (date.year < 1 || !days::isValid(date))
        return std::nullopt;
    return static_cast<double>(days::fromCivil(date));
}

bool looksLikeDate(std::string_view cell)
{
    return parseDateCell(cell, DateOrder::DayMonthYear) ||
           parseDateCell(cell, DateOrder::MonthDayYear);
}

bool hasDateShape(std::string_view cell)
{
    return splitDate(cell).has_value();
}

char decideDecimalSign(std::span<const std::string_view> cells, char fallback)
{
    int comma = 0;
    int point = 0;
    for (const std::string_view cell : cells) {
        bool negative = false;
        bool valid = true;
        const std::string core = amountCore(cell, negative, valid);
        if (!valid)
            continue;
        const size_t lastComma = core.rfind(',');
        const size_t lastPoint = core.rfind('.');
        if (lastComma != std::string::npos && lastPoint != std::string::npos) {
            ++(lastComma > lastPoint ? comma : point);
            continue;
        }
        const size_t last = lastComma != std::string::npos ? lastComma : lastPoint;
        if (last == std::string::npos)
            continue;
        const char sign = core[last];
        if (std::count(core.begin(), core.end(), sign) > 1) {
            ++(sign == ',' ? point : comma); // a grouping sign: the other one is decimal
        } else if (core.size() - last - 1 != 3) {
            ++(sign == ',' ? comma : point);
        }
    }
    if (comma == 0 && point == 0)
        return fallback;
    return point > comma ? '.' : ',';
}

std::optional<double> parseAmountCell(std::string_view cell, char decimalSign)
{
    bool negative = false;
    bool valid = true;
    const std::string core = amountCore(cell, negative, valid);
    if (!valid || core.empty())
        return std::nullopt;
    const char grouping = decimalSign == ',' ? '.' : ',';
    const size_t decimal = core.find(decimalSign);
    if (decimal != std::string::npos && core.find(decimalSign, decimal + 1) != std::string::npos)
        return std::nullopt;
    const std::string_view whole = std::string_view(core).substr(0, decimal);
    const std::string_view fraction = decimal == std::string::npos
                                          ? std::string_view()
                                          : std::string_view(core).substr(decimal + 1);
    if (decimal != std::string::npos && (fraction.empty() || fraction.size() > 6))
        return std::nullopt;
    if (!std::all_of(fraction.begin(), fraction.end(), isDigit))
        return std::nullopt;
    std::string plain;
    plain.reserve(core.size());
    // The whole part: digits, grouped by threes when grouped at all.
    size_t groupLength = 0;
    bool grouped = false;
    for (size_t i = 0; i < whole.size(); ++i) {
        const char c = whole[i];
        if (isDigit(c)) {
            plain += c;
            ++groupLength;
        } else if (c == grouping) {
            if (groupLength == 0 || (grouped && groupLength != 3) || (!grouped && groupLength > 3))
                return std::nullopt;
            grouped = true;
            groupLength = 0;
        } else {
            return std::nullopt;
        }
    }
    if (grouped && groupLength != 3)
        return std::nullopt;
    if (plain.empty() && fraction.empty())
        return std::nullopt;
    if (plain.empty())
        plain += '0';
    if (plain.size() > 15)
        return std::nullopt;
    if (!fraction.empty()) {
        plain += '.';
        plain += fraction;
    }
    double value = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

bool looksLikeAmount(std::string_view cell)
{
    return parseAmountCell(cell, ',') || parseAmountCell(cell, '.');
}

bool isBlankCell(std::string_view cell)
{
    return trimmed(cell).empty();
}

} // namespace tamisko::import
