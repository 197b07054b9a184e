#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamisko {

class MemTable;
struct RegionalSettings;

namespace series {

// An inclusive run of days.
struct Period
{
    double start = 0;
    double end = 0;
    friend bool operator==(const Period&, const Period&) = default;
};

// Cuts the days from the log's first to its last date into consecutive periods of
// `length` days. The usual lengths go by the calendar: 15 gives half months, 30/31 whole
// months, 60/61, 90/91, 120/121 and 180/181 runs of 2, 3, 4 and 6 months, 360 to 366 runs
// of twelve months, all starting on the first of the log's first month.
std::vector<Period> LayOutPeriods(int length, double logFirstDate, double logLastDate);

// The index of the period that holds a day, or none, for periods that are contiguous and
// ascending, as LayOutPeriods makes them. The lookup goes through a table of the periods'
// days: a log sorted on another column visits its days in no order, and a search per
// movement was most of the walk. The periods must outlive the lookup.
class PeriodLookup final
{
public:
    explicit PeriodLookup(const std::vector<Period>& periods);
    std::optional<size_t> operator()(double day) const;

private:
    const std::vector<Period>& periods_;
    double first_ = 0;
    std::vector<uint32_t> periodOfDay_;
};

// The time-series grid as text (cp1253): row 0 holds the column titles, column 0 the
// period labels "start - end"; then one column per category, in the order the log first
// meets them, and the two totals "Συν.Κ.Εισπρ." and "Συν.Κ.Πληρ.".
struct SeriesGrid
{
    std::vector<Period> periods;
    std::vector<std::vector<std::string>> cells; // [row][column]

    bool empty() const { return cells.empty(); }
    int rowCount() const { return static_cast<int>(cells.size()); }
    int columnCount() const { return cells.empty() ? 0 : static_cast<int>(cells[0].size()); }
};

// The time-series results as numbers, before any text is made: one row per period, one
// column per category in the order the log first meets them, then the two totals.
struct SeriesNumbers
{
    std::vector<Period> periods;
    std::vector<std::string> titles; // the column titles (cp1253), categories then totals
    size_t categoryCount = 0;
    std::vector<long double> values; // [period * columnCount() + column]

    bool empty() const { return titles.empty(); }
    size_t rowCount() const { return periods.size(); }
    size_t columnCount() const { return titles.size(); }
    long double value(size_t period, size_t column) const
    {
        return values[period * columnCount() + column];
    }
    // FormatAmount of the cell (cp1253); a category's cell is empty when its net is zero,
    // a total always shows.
    std::string cellText(size_t period, size_t column, const RegionalSettings& settings) const;
    // "start - end" in the short date format (cp1253).
    std::string periodLabel(size_t period, const RegionalSettings& settings) const;
};

// The numbers of FillSeriesGrid, which is these numbers as text.
SeriesNumbers ComputeSeries(MemTable& log, int length, double logFirstDate, double logLastDate,
                            const RegionalSettings& settings);

// The numbers as the grid's texts.
SeriesGrid GridOf(const SeriesNumbers& numbers, const RegionalSettings& settings);

// Nets every category's movements in each period. Categories that differ only in letter
// case share a column. A column whose net over all periods is negative is shown with its
// signs flipped and titled " (πλ)", the others " (εισ)"; the period totals are taken
// before that flip. An empty log gives an empty grid. The log's cursor ends past its end.
SeriesGrid FillSeriesGrid(MemTable& log, int length, double logFirstDate, double logLastDate,
                          const RegionalSettings& settings);

// The grid as the clipboard gets it (cp1253, TAB separated, CR LF ended): "από" and
// "μέχρι" columns with the period dates instead of column 0. Empty for an empty grid.
std::string GridCopyText(const SeriesGrid& grid, const RegionalSettings& settings);

} // namespace series
} // namespace tamisko
