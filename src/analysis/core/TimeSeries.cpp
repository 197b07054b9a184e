#include "analysis/core/TimeSeries.h"

#include "analysis/core/Periods.h"
#include "analysis/core/RecordColumns.h"
#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DayNumber.h"
#include "data/Errors.h"
#include "data/Format.h"
#include "data/MemTable.h"
#include "data/RegionalSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace tamisko::series {
namespace {

using analysis::NumberColumn;
using analysis::sameText;

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

// The column of each category, met in the log's order; names that differ only in
// letter case share one, the first that compares equal. The column of a name never
// changes once found, so each distinct name is compared with the columns only once,
// and the column is remembered per category number as well (checked against the name),
// so that most movements cost one comparison of bytes.
class CategoryColumns
{
public:
    CategoryColumns(MemTable& log, int category, const Collation& collation,
                    std::vector<std::string>& columns, std::function<void()> added)
        : collation_(collation), columns_(columns), added_(std::move(added)), groups_(log, category)
    {}

    size_t operator()(const RecordView& record)
    {
        const size_t known = groups_(
            record, [this](size_t name) { return names_[name]; },
            [this](std::string_view name, bool) { return nameIndex(name); });
        return columnOfName_[known];
    }

private:
    // The index of the name among the distinct names met, comparing it with the
    // columns when it is new.
    size_t nameIndex(std::string_view name)
    {
        auto [found, isNew] = byName_.try_emplace(std::string(name), names_.size());
        if (isNew) {
            names_.push_back(found->first);
            columnOfName_.push_back(compareWithColumns(found->first));
        }
        return found->second;
    }

    size_t compareWithColumns(const std::string& name)
    {
        const auto known = std::find_if(columns_.begin(), columns_.end(), [&](const auto& c) {
            return collation_.compare(c, name, true) == 0;
        });
        const size_t column = static_cast<size_t>(known - columns_.begin());
        if (known == columns_.end()) {
            columns_.push_back(name);
            added_();
        }
        return column;
    }

    const Collation& collation_;
    std::vector<std::string>& columns_;
    std::function<void()> added_;
    analysis::CategoryGroups groups_;
    std::unordered_map<std::string, size_t> byName_; // name -> index into names_
    std::vector<std::string_view> names_;            // keys of byName_, which stay put
    std::vector<size_t> columnOfName_;
};

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

PeriodLookup::PeriodLookup(const std::vector<Period>& periods) : periods_(periods)
{
    if (periods_.empty())
        return;
    first_ = periods_.front().start;
    periodOfDay_.reserve(static_cast<size_t>(periods_.back().end - first_) + 1);
    for (size_t i = 0; i < periods_.size(); ++i) {
        for (double d = periods_[i].start; d <= periods_[i].end; ++d)
            periodOfDay_.push_back(static_cast<uint32_t>(i));
    }
}

std::optional<size_t> PeriodLookup::operator()(double day) const
{
    const double offset = std::floor(day) - first_;
    if (!(offset >= 0) || offset >= static_cast<double>(periodOfDay_.size()))
        return std::nullopt;
    const size_t index = periodOfDay_[static_cast<size_t>(offset)];
    // A time of day past a period's last day is in none.
    if (day > periods_[index].end)
        return std::nullopt;
    return index;
}

SeriesNumbers ComputeSeries(MemTable& log, int length, double logFirstDate, double logLastDate,
                            const RegionalSettings& settings)
{
    SeriesNumbers numbers;
    if (log.isEmpty())
        return numbers;
    numbers.periods = LayOutPeriods(length, logFirstDate, logLastDate);
    const size_t periodCount = numbers.periods.size();

    std::vector<std::string> categories;
    // [category * periodCount + period]; for short periods megabytes, in huge pages (their
    // page faults cost more than the sums).
    std::vector<long double> sums;
    reserveLarge(sums, periodCount * 40);
    const Field& dateField = log.fieldByName("Date");
    const Field& categoryField = log.fieldByName("Category");
    const NumberColumn date(dateField);
    const NumberColumn receipt(log.fieldByName("Eispraxi"));
    const NumberColumn payment(log.fieldByName("Pliromi"));
    if (categoryField.dataType() != FieldType::String)
        throw Error("Field 'Category' is not a string");
    CategoryColumns columnOf(log, categoryField.index(), *settings.collation, categories,
                             [&] { sums.resize(sums.size() + periodCount, 0.0L); });
    const PeriodLookup periodOf(numbers.periods);
    // Visit the records without moving the cursor per record; the cursor is left past
    // the end afterwards, as a walk with first and next leaves it.
    log.first();
    int visited = 0;
    log.forEachRecord([&](const RecordView& record) {
        ++visited;
        const size_t column = columnOf(record);
        if (const auto period = periodOf(date(record))) {
            sums[column * periodCount + *period] += static_cast<long double>(receipt(record)) -
                                                    static_cast<long double>(payment(record));
        }
    });
    if (visited > 1)
        log.last();
    else
        log.next();

    const size_t k = categories.size();
    const size_t columns = k + 2;
    numbers.categoryCount = k;
    numbers.titles.resize(columns);
    numbers.titles[k] = cp("Συν.Κ.Εισπρ.");
    numbers.titles[k + 1] = cp("Συν.Κ.Πληρ.");
    reserveLarge(numbers.values, periodCount * columns);
    numbers.values.assign(periodCount * columns, 0.0L);
    const auto cell = [&](size_t r, size_t c) -> long double& {
        return numbers.values[r * columns + c];
    };

    // The period totals come from the nets as they are, before any column is flipped.
    for (size_t r = 0; r < periodCount; ++r) {
        int64_t positive = 0;
        int64_t negative = 0;
        for (size_t c = 0; c < k; ++c) {
            const int64_t net = toTenThousandths(sums[c * periodCount + r]);
            if (net >= 0)
                positive += net;
            else
                negative -= net;
        }
        cell(r, k) = positive / 10000.0L;
        cell(r, k + 1) = negative / 10000.0L;
    }

    for (size_t c = 0; c < k; ++c) {
        int64_t overall = 0;
        for (size_t r = 0; r < periodCount; ++r)
            overall += toTenThousandths(sums[c * periodCount + r]);
        const bool payments = overall < 0;
        numbers.titles[c] = categories[c] + cp(payments ? " (πλ)" : " (εισ)");
        for (size_t r = 0; r < periodCount; ++r)
            cell(r, c) = payments ? -sums[c * periodCount + r] : sums[c * periodCount + r];
    }
    return numbers;
}

std::string SeriesNumbers::cellText(size_t period, size_t column,
                                    const RegionalSettings& settings) const
{
    const long double amount = value(period, column);
    if (column < categoryCount && amount == 0)
        return {};
    return formatAmount(amount, settings);
}

std::string SeriesNumbers::periodLabel(size_t period, const RegionalSettings& settings) const
{
    return formatDate(periods[period].start, settings) + " - " +
           formatDate(periods[period].end, settings);
}

SeriesGrid GridOf(const SeriesNumbers& numbers, const RegionalSettings& settings)
{
    SeriesGrid grid;
    if (numbers.empty())
        return grid;
    grid.periods = numbers.periods;
    const size_t columns = numbers.columnCount();
    grid.cells.assign(numbers.rowCount() + 1, std::vector<std::string>(columns + 1));
    for (size_t c = 0; c < columns; ++c)
        grid.cells[0][c + 1] = numbers.titles[c];
    for (size_t r = 0; r < numbers.rowCount(); ++r) {
        grid.cells[r + 1][0] = numbers.periodLabel(r, settings);
        for (size_t c = 0; c < columns; ++c)
            grid.cells[r + 1][c + 1] = numbers.cellText(r, c, settings);
    }
    return grid;
}

SeriesGrid FillSeriesGrid(MemTable& log, int length, double logFirstDate, double logLastDate,
                          const RegionalSettings& settings)
{
    return GridOf(ComputeSeries(log, length, logFirstDate, logLastDate, settings), settings);
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
