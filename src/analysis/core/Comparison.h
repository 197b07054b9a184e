#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tamisko {

class Field;
class MemTable;
class Variant;
struct RegionalSettings;

namespace comparison {

// Adds the fields of the comparison's results table (Category, SEispraxeon, PEispraxeon,
// SPliromon, PPliromon, MEispraxi, MPliromi, AEispraxeon, APliromon, KEispraxi,
// KPliromi) with their labels, widths and visibility, and opens it.
void defineResultsTable(MemTable& results);

struct Request
{
    double startDate = 0; // the two date fields, both inclusive
    double endDate = 0;
    double logFirstDate = 0; // the data module's FirstDate and LastDate
    double logLastDate = 0;
};

struct Outcome
{
    long double totalReceipts = 0;
    long double totalPayments = 0;
    long double netReceipts = 0;
    long double netPayments = 0;
    // The period clipped to the log, when a movement fell in the range.
    double periodStart = 0;
    double periodEnd = 0;
    double dayCount = 1; // days of the period, both ends included
    // "από START μέχρι END" (cp1253); none when no movement fell in the range, so that
    // the report keeps its previous period text.
    std::optional<std::string> periodLabel;
    // The statistics text, cp1253: twenty lines, or the one line of NoMovementLine.
    std::vector<std::string> statistics;
};

// Groups the movements of the log dated within the request's range by category into
// `results` (emptied first), in the order the walk over the log first meets each
// category. Nothing happens, and nothing is returned, when the category table or the
// log is empty. The log's cursor ends past its last record.
std::optional<Outcome> ComputeResults(MemTable& log, const MemTable& categories,
                                      const Request& request, const RegionalSettings& settings,
                                      MemTable& results);

// The twenty lines of the statistics text (cp1253); without a period (no movement in the
// range) the one line of NoMovementLine.
std::vector<std::string> StatisticsLines(const Outcome& outcome, const Request& request,
                                         const RegionalSettings& settings);

// "Δεν υπάρχει καμία κίνηση στην περίοδο από START μέχρι END." (cp1253), naming only the
// dates the fields hold: an empty field (day 0) is no date.
std::string NoMovementLine(const Request& request, const RegionalSettings& settings);

// A field of the results table as the grid and the report show it: "0.##" for amounts,
// "0.#%" for shares, the general number format for counts; empty when null. cp1253.
std::string DisplayText(const Field& field, const RegionalSettings& settings);
// The same for a value of the field read from any row (grids read rows without moving
// the cursor).
std::string DisplayText(const Field& field, const Variant& value, const RegionalSettings& settings);

// "0.##" and "0.#%": at most two (one) decimals, no trailing zeros, no grouping.
std::string formatAtMostDecimals(double value, int decimals, char decimalSeparator);

} // namespace comparison
} // namespace tamisko
