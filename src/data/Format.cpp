#include "data/Format.h"

#include "data/DayNumber.h"
#include "data/RegionalSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <vector>

namespace tamisko {
namespace {

struct Decimal final
{
    bool negative = false;
    std::string digits; // significant digits, no leading zeros
    int exponent = 0;   // value = 0.d1d2d3... * 10^exponent
};

// The value's first 18 significant decimal digits.
Decimal toDecimal(long double value)
{
    Decimal d;
    if (value == 0)
        return d;
    d.negative = value < 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17Le", std::fabs(value));
    const std::string text(buffer);
    const auto e = text.find('e');
    for (size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            d.digits += text[i];
    }
    d.exponent = std::atoi(text.c_str() + e + 1) + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

void appendTwoDigits(std::string& out, int value)
{
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

// The text of an amount straight from the scaled value, without the decimal digits of
// the general path, for the values whose rounding the 18 significant digits cannot
// change: those not within the digits' error of a half. Grids format every amount, so
// this is most of their cost. Gives nothing for the values it leaves to the general path.
std::optional<std::string> formatFixedFast(long double value, int decimals, char decimalSeparator)
{
    static constexpr long double kPowersOfTen[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L};
    if (decimals < 0 || decimals >= static_cast<int>(std::size(kPowersOfTen)))
        return std::nullopt;
    const long double scaled = std::fabs(value) * kPowersOfTen[decimals];
    if (!(scaled < 1e15L))
        return std::nullopt;
    const long double whole = std::floor(scaled);
    const long double fraction = scaled - whole;
    // 18 significant digits are within 5e-18 of the value; the scaling adds far less.
    if (std::fabs(fraction - 0.5L) <= scaled * 1e-16L + 1e-30L)
        return std::nullopt;
    auto units = static_cast<uint64_t>(whole) + (fraction > 0.5L ? 1 : 0);

    char digits[24];
    char* end = digits + sizeof digits;
    char* at = end;
    for (int i = 0; i < decimals; ++i) {
        *--at = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    if (decimals > 0)
        *--at = decimalSeparator;
    do {
        *--at = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units > 0);
    const bool zero =
        std::all_of(at, end, [&](char c) { return c == '0' || c == decimalSeparator; });
    if (value < 0 && !zero)
        *--at = '-';
    return std::string(at, end);
}

} // namespace

std::string formatFixed(long double value, int decimals, char decimalSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (auto text = formatFixedFast(value, decimals, decimalSeparator))
        return std::move(*text);
    return detail::formatFixedBySignificantDigits(value, decimals, decimalSeparator);
}

std::string detail::formatFixedBySignificantDigits(long double value, int decimals,
                                                   char decimalSeparator)
{
    Decimal d = toDecimal(value);
    if (d.exponent > 18) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17LE", value);
        std::string text(buffer);
        for (char& c : text) {
            if (c == '.')
                c = decimalSeparator;
        }
        return text;
    }
    // Round half away from zero at the wanted decimal.
    const int keep = d.exponent + decimals; // digits before the cut
    if (keep < 0) {
        d.digits.clear();
    } else if (static_cast<int>(d.digits.size()) > keep) {
        const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
        d.digits.resize(static_cast<size_t>(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
                d.digits[static_cast<size_t>(i)] = '0';
                --i;
            }
            if (i < 0) {
                d.digits.insert(d.digits.begin(), '1');
                ++d.exponent;
            } else {
                ++d.digits[static_cast<size_t>(i)];
            }
        }
    }
    const bool allZero = d.digits.find_first_not_of('0') == std::string::npos;
    auto digitAt = [&](int position) { // position 0 = first digit before the point
        return position >= 0 && position < static_cast<int>(d.digits.size())
                   ? d.digits[static_cast<size_t>(position)]
                   : '0';
    };
    std::string out;
    if (d.negative && !allZero)
        out += '-';
    if (d.exponent <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < d.exponent; ++i)
            out += digitAt(i);
    }
    if (decimals > 0) {
        out += decimalSeparator;
        for (int i = 0; i < decimals; ++i)
            out += digitAt(d.exponent + i);
    }
    return out;
}

std::string formatAmount(long double value, const RegionalSettings& settings)
{
    return formatFixed(value, settings.currencyDecimals, settings.decimalSeparator);
}

namespace detail {

std::string formatGeneralByPrintf(double value, char decimalSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text(buffer);
    if (text == "-0")
        text = "0";
    for (char& c : text) {
        if (c == '.')
            c = decimalSeparator;
    }
    return text;
}

} // namespace detail

void appendGeneral(std::string& out, double value, char decimalSeparator)
{
    // Amounts are whole cents: a value that is the double nearest to k / 100 with fewer
    // than 15 digits in k prints as k's digits with the point two from the right, which
    // is what the C library gives after rounding to 15 significant digits. Exports write
    // a million of them.
    constexpr double kLimit = 1e15;
    const double scaled = value * 100;
    if (std::fabs(scaled) < kLimit) {
        const auto cents = std::llround(scaled);
        if (static_cast<double>(cents) / 100 == value) {
            if (cents < 0)
                out += '-';
            char digits[24];
            auto rest = static_cast<unsigned long long>(cents < 0 ? -cents : cents);
            int count = 0;
            do {
                digits[count++] = static_cast<char>('0' + rest % 10);
                rest /= 10;
            } while (rest != 0);
            while (count < 3)
                digits[count++] = '0'; // at least one digit before the point
            int last = 0;              // the fraction's trailing zeros are dropped
            while (last < 2 && digits[last] == '0')
                ++last;
            for (int i = count - 1; i >= 2; --i)
                out += digits[i];
            if (last < 2) {
                out += decimalSeparator;
                for (int i = 1; i >= last; --i)
                    out += digits[i];
            }
            return;
        }
    }
    out += detail::formatGeneralByPrintf(value, decimalSeparator);
}

std::string formatGeneral(double value, char decimalSeparator)
{
    std::string text;
    appendGeneral(text, value, decimalSeparator);
    return text;
}

std::string formatGrouped(double value, char decimalSeparator, char thousandSeparator)
{
    std::string fixed = formatFixed(value, 2, '.');
    const bool negative = !fixed.empty() && fixed.front() == '-';
    if (negative)
        fixed.erase(0, 1);
    const auto point = fixed.find('.');
    std::string integerPart = fixed.substr(0, point);
    std::string fraction = fixed.substr(point + 1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string grouped;
    const int n = static_cast<int>(integerPart.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped += thousandSeparator;
        grouped += integerPart[static_cast<size_t>(i)];
    }
    std::string out = negative ? "-" + grouped : grouped;
    if (!fraction.empty())
        out += decimalSeparator + fraction;
    return out;
}

std::string formatDate(double dayNumber, std::string_view format)
{
    const auto date = days::toCivil(static_cast<int32_t>(std::floor(dayNumber)));
    std::string out;
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == 'd' && run <= 2) {
            if (run == 2 || date.day >= 10)
                appendTwoDigits(out, date.day);
            else
                out += static_cast<char>('0' + date.day);
        } else if (c == 'M') {
            if (run >= 2 || date.month >= 10)
                appendTwoDigits(out, date.month);
            else
                out += static_cast<char>('0' + date.month);
        } else if (c == 'y') {
            if (run <= 2) {
                appendTwoDigits(out, date.year % 100);
            } else {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "%04d", date.year);
                out += buffer;
            }
        } else {
            out.append(run, c);
        }
        i += run;
    }
    return out;
}

std::string formatDate(double dayNumber, const RegionalSettings& settings)
{
    return formatDate(dayNumber, settings.shortDateFormat);
}

std::string isoDate(double dayNumber)
{
    return formatDate(dayNumber, "yyyy-MM-dd");
}

std::optional<double> parseIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    auto number = [&](size_t pos, size_t len) {
        int value = 0;
        for (size_t i = pos; i < pos + len; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const days::CivilDate date{number(0, 4), number(5, 2), number(8, 2)};
    if (!days::isValid(date))
        return std::nullopt;
    return static_cast<double>(days::fromCivil(date));
}

std::optional<double> parseDate(std::string_view text, std::string_view format)
{
    // The order of day, month and year as they appear in the format.
    std::vector<char> order;
    for (const char c : format) {
        if ((c == 'd' || c == 'M' || c == 'y') &&
            std::find(order.begin(), order.end(), c) == order.end())
            order.push_back(c);
    }
    if (order.size() != 3)
        order = {'d', 'M', 'y'};
    std::vector<int> numbers;
    std::vector<size_t> widths;
    for (size_t i = 0; i < text.size();) {
        if (text[i] >= '0' && text[i] <= '9') {
            int value = 0;
            size_t start = i;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 4)
                value = value * 10 + (text[i++] - '0');
            numbers.push_back(value);
            widths.push_back(i - start);
        } else if (text[i] == ' ' || text[i] == '/' || text[i] == '.' || text[i] == '-') {
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (numbers.size() != 3)
        return std::nullopt;
    days::CivilDate date;
    for (size_t k = 0; k < 3; ++k) {
        if (order[k] == 'd')
            date.day = numbers[k];
        else if (order[k] == 'M')
            date.month = numbers[k];
        else
            date.year = widths[k] > 2 ? numbers[k] : numbers[k] + (numbers[k] < 50 ? 2000 : 1900);
    }
    if (!days::isValid(date))
        return std::nullopt;
    return static_cast<double>(days::fromCivil(date));
}

} // namespace tamisko
