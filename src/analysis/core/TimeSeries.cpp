#include "analysis/core/TimeSeries.h"

#include "analysis/core/Periods.h"
#include "data/Cp1253.h"
#include "data/DayNumber.h"
#include "data/Format.h"
#include "data/MemTable.h"
#include "data/RegionalSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tamisko::series {
namespace {

using days::CivilDate;

// The number of calendar months a length stands for; 0 for a plain count of days.
int calendarMonths(int length)
{
    switch (length) {
    case 30:
    case 31:
        return 1;
    case 60:
    case 61:
        return 2;
    case 90:
    case 91:
        return 3;
    case 120:
    case 121:
        return 4;
    case 180:
    case 181:
        return 6;
    default:
        return length >= 360 && length <= 366 ? 12 : 0;
    }
}

bool followsTheCalendar(int length)
{
    return length == 15 || calendarMonths(length) > 0;
}

int32_t lengthOfPeriodFrom(int32_t start, int length)
{
    const CivilDate date = days::toCivil(start);
    if (length == 15) {
        const int monthLength = days::daysInMonth(date.year, date.month);
        return date.day == 1 ? monthLength / 2 : monthLength - monthLength / 2;
    }
    const int months = calendarMonths(length);
    if (months == 0)
        return length;
    int32_t total = 0;
    for (int k = 0; k < months; ++k) {
        const CivilDate month = periods::shiftMonths(date, k);
        total += days::daysInMonth(month.year, month.month);
    }
    return total;
}

// Amounts to the nearest 0.0001, as whole ten-thousandths.
int64_t toTenThousandths(long double value)
{
    return std::llround(value * 10000);
}

std::string cp(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

} // namespace

std::vector<Period> LayOutPeriods(int length, double logFirstDate, double logLastDate)
{
    length = std::max(length, 1);
    int32_t p = static_cast<int32_t>(std::floor(logFirstDate));
    if (followsTheCalendar(length)) {
        CivilDate first = days::toCivil(p);
        first.day = 1;
        p = days::fromCivil(first);
    }
    std::vector<Period> periods;
    while (p <= logLastDate) {
        const int32_t days = lengthOfPeriodFrom(p, length);
        periods.push_back({static_cast<double>(p), static_cast<double>(p + days - 1)});
        p += days;
    }
    return periods;
}

std::optional<size_t> findPeriod(const std::vector<Period>& periods, double day)
{
    // The first period starting after the day; the one before it may hold the day.
    const auto after = std::upper_bound(periods.begin(), periods.end(), day,
                                        [](double d, const Period& p) { return d < p.start; });
    if (after == periods.begin())
        return std::nullopt;
    const auto candidate = std::prev(after);
    if (day > candidate->end)
        return std::nullopt;
    return static_cast<size_t>(candidate - periods.begin());
}

SeriesGrid FillSeriesGrid(MemTable& log, int length, double logFirstDate, double logLastDate,
                          const RegionalSettings& settings)
{
    SeriesGrid grid;
    if (log.isEmpty())
        return grid;
    grid.periods = LayOutPeriods(length, logFirstDate, logLastDate);
    const size_t periodCount = grid.periods.size();

    std::vector<std::string> categories;
    std::vector<std::vector<long double>> sums; // [category][period]
    const Field& date = log.fieldByName("Date");
    const Field& category = log.fieldByName("Category");
    const Field& receipt = log.fieldByName("Eispraxi");
    const Field& payment = log.fieldByName("Pliromi");
    for (log.first(); !log.eof(); log.next()) {
        const std::string name = category.asString();
        const auto known = std::find_if(categories.begin(), categories.end(), [&](const auto& c) {
            return settings.collation->compare(c, name, true) == 0;
        });
        const size_t column = static_cast<size_t>(known - categories.begin());
        if (known == categories.end()) {
            categories.push_back(name);
            sums.emplace_back(periodCount, 0.0L);
        }
        if (const auto period = findPeriod(grid.periods, date.asFloat())) {
            sums[column][*period] += static_cast<long double>(receipt.asFloat()) -
                                     static_cast<long double>(payment.asFloat());
        }
    }

    const size_t k = categories.size();
    grid.cells.assign(periodCount + 1, std::vector<std::string>(k + 3));
    for (size_t r = 0; r < periodCount; ++r) {
        grid.cells[r + 1][0] = formatDate(grid.periods[r].start, settings) + " - " +
                               formatDate(grid.periods[r].end, settings);
    }
    grid.cells[0][k + 1] = cp("Συν.Κ.Εισπρ.");
    grid.cells[0][k + 2] = cp("Συν.Κ.Πληρ.");

    // The period totals come from the nets as they are, before any column is flipped.
    for (size_t r = 0; r < periodCount; ++r) {
        int64_t positive = 0;
        int64_t negative = 0;
        for (size_t c = 0; c < k; ++c) {
            const int64_t net = toTenThousandths(sums[c][r]);
            if (net >= 0)
                positive += net;
            else
                negative -= net;
        }
        grid.cells[r + 1][k + 1] = formatAmount(positive / 10000.0L, settings);
        grid.cells[r + 1][k + 2] = formatAmount(negative / 10000.0L, settings);
    }

    for (size_t c = 0; c < k; ++c) {
        int64_t overall = 0;
        for (const long double net : sums[c])
            overall += toTenThousandths(net);
        const bool payments = overall < 0;
        grid.cells[0][c + 1] = categories[c] + cp(payments ? " (πλ)" : " (εισ)");
        for (size_t r = 0; r < periodCount; ++r) {
            const long double net = payments ? -sums[c][r] : sums[c][r];
            if (net != 0)
                grid.cells[r + 1][c + 1] = formatAmount(net, settings);
        }
    }
    return grid;
}

std::string GridCopyText(const SeriesGrid& grid, const RegionalSettings& settings)
{
    if (grid.empty())
        return {};
    const auto appendColumns = [&grid](std::string& line, size_t row) {
        const auto& cells = grid.cells[row];
        for (size_t c = 1; c < cells.size(); ++c) {
            line += cells[c];
            if (c + 1 < cells.size())
                line += '\t';
        }
        line += "\r\n";
    };
    std::string text = cp("από\tμέχρι\t");
    appendColumns(text, 0);
    for (size_t r = 0; r < grid.periods.size(); ++r) {
        text += formatDate(grid.periods[r].start, settings) + '\t' +
                formatDate(grid.periods[r].end, settings) + '\t';
        appendColumns(text, r + 1);
    }
    return text;
}

} // namespace tamisko::series
