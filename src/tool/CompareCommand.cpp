#include "analysis/core/Comparison.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/Format.h"
#include "data/TableUtils.h"
#include "tool/Commands.h"
#include "tool/Documents.h"
#include "tool/Password.h"

#include <ostream>

namespace tamisko::tool {
namespace {

double dateOption(const std::optional<std::string>& text, std::string_view option)
{
    if (!text)
        throw UsageError(std::string(option) + " DATE is required");
    if (const auto day = parseIsoDate(*text))
        return *day;
    throw UsageError(std::string(option) + ": " + *text + " is not a date yyyy-mm-dd");
}

} // namespace

// The results table as the comparison window exports it, an empty line and the
// statistics text; nothing when the computation stops for lack of data.
int runCompare(const Arguments& arguments, std::ostream& out)
{
    const double startDate = dateOption(arguments.from, "--from");
    const double endDate = dateOption(arguments.to, "--to");
    const RegionalSettings settings = settingsFor(arguments);
    const std::string password = documentPassword(arguments);
    DataMod data;
    openDocument(arguments.files[0], password, data);

    MemTable results("ResultsTable");
    comparison::defineResultsTable(results);
    const comparison::Request request{startDate, endDate, data.FirstDate, data.LastDate};
    const auto outcome =
        comparison::ComputeResults(data.LogTable, data.CatTable, request, settings, results);
    if (!outcome)
        return 0;

    std::string text = TableText(results, settings, TableTextForm::Export).value_or("");
    text += "\r\n";
    for (const std::string& line : outcome->statistics)
        text += line + "\r\n";
    out << cp1253::toUtf8OrThrow(text);
    return 0;
}

} // namespace tamisko::tool
