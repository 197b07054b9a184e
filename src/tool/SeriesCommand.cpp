#include "analysis/core/TimeSeries.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "tool/Commands.h"
#include "tool/Documents.h"
#include "tool/Password.h"

#include <charconv>
#include <ostream>

namespace tamisko::tool {
namespace {

// The length the time-series window starts with.
constexpr int kDefaultDays = 30;

int periodLength(const std::optional<std::string>& text)
{
    if (!text)
        return kDefaultDays;
    int days = 0;
    const char* const end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, days);
    if (error != std::errc() || stop != end || days < 1 || days > 999)
        throw UsageError("--days: " + *text + " is not a number of days from 1 to 999");
    return days;
}

} // namespace

// The time-series grid as the window copies it; nothing for an empty log.
int runSeries(const Arguments& arguments, std::ostream& out)
{
    const int days = periodLength(arguments.days);
    const RegionalSettings settings = settingsFor(arguments);
    const std::string password = documentPassword(arguments);
    DataMod data;
    openDocument(arguments.files[0], password, data);

    const series::SeriesGrid grid =
        series::FillSeriesGrid(data.LogTable, days, data.FirstDate, data.LastDate, settings);
    out << cp1253::toUtf8OrThrow(series::GridCopyText(grid, settings));
    return 0;
}

} // namespace tamisko::tool
