#include "analysis/core/Comparison.h"

#include "analysis/core/RecordColumns.h"
#include "data/Cp1253.h"
#include "data/Errors.h"
#include "data/Format.h"
#include "data/MemTable.h"
#include "data/RegionalSettings.h"

#include <cmath>
#include <string_view>
#include <unordered_map>

namespace tamisko::comparison {
namespace {

using analysis::NumberColumn;
using analysis::sameText;

enum class Display
{
    Text,
    Amount,
    Percent,
    General
};

struct ResultField
{
    const char* name;
    const char* label; // UTF-8
    int width;
    Display display;
    bool visible;
};

constexpr ResultField kResultFields[] = {
    {"Category", "Κατηγορία", 20, Display::Text, true},
    {"SEispraxeon", "Συν. εισπρ.", 9, Display::Amount, true},
    {"PEispraxeon", "%", 6, Display::Percent, true},
    {"SPliromon", "Συν. πληρ.", 9, Display::Amount, true},
    {"PPliromon", "%", 6, Display::Percent, true},
    {"MEispraxi", "Μέση είσπρ.", 7, Display::Amount, true},
    {"MPliromi", "Μέση πληρ.", 7, Display::Amount, true},
    {"AEispraxeon", "Αριθμ. εισπρ.", 6, Display::General, true},
    {"APliromon", "Αριθμ. πληρ.", 6, Display::General, true},
    {"KEispraxi", "", 0, Display::Amount, false},
    {"KPliromi", "", 0, Display::Amount, false},
};

enum Column
{
    kCategory,
    kSEispraxeon,
    kPEispraxeon,
    kSPliromon,
    kPPliromon,
    kMEispraxi,
    kMPliromi,
    kAEispraxeon,
    kAPliromon,
    kKEispraxi,
    kKPliromi,
    kColumnCount
};

// Later than any date: the period's start before the first movement in range.
constexpr double kNoStart = 1000000000;

std::string cp(std::string_view utf8)
{
    return cp1253::fromUtf8OrThrow(utf8);
}

// One category's figures while the log is walked.
struct Row
{
    std::string category; // cp1253
    bool categoryNull = false;
    double values[kColumnCount] = {};
};

std::string dateText(double day, const RegionalSettings& settings)
{
    return formatDate(day, settings);
}

void requireText(const Field& field)
{
    if (field.dataType() != FieldType::String)
        throw Error("Field '" + field.fieldName() + "' is not a string");
}

// Where a walk with first and next over `visited` records leaves the cursor: past the
// last record, which stays current.
void leavePastEnd(MemTable& log, int visited)
{
    if (visited > 1)
        log.last();
    else
        log.next();
}

// The row of each category name, met in the log's order. A null name counts as the
// empty one.
class CategoryRows
{
public:
    CategoryRows(MemTable& log, int category, std::vector<Row>& rows)
        : rows_(rows), groups_(log, category)
    {}

    size_t operator()(const RecordView& record)
    {
        return groups_(
            record, [this](size_t row) -> std::string_view { return rows_[row].category; },
            [this](std::string_view name, bool null) { return rowByName(name, null); });
    }

private:
    size_t rowByName(std::string_view name, bool null)
    {
        auto [found, added] = byName_.try_emplace(std::string(name), rows_.size());
        if (added)
            rows_.push_back(Row{std::string(name), null, {}});
        return found->second;
    }

    std::vector<Row>& rows_;
    analysis::CategoryGroups groups_;
    std::unordered_map<std::string, size_t> byName_;
};

} // namespace

void defineResultsTable(MemTable& results)
{
    for (const ResultField& column : kResultFields) {
        FieldDef def;
        def.name = column.name;
        def.type = column.display == Display::Text ? FieldType::String : FieldType::Float;
        def.size = column.display == Display::Text ? 30 : 0;
        def.displayLabel = cp(column.label);
        def.displayWidth = column.width;
        def.visible = column.visible;
        results.addField(def);
    }
    results.open();
}

std::optional<Outcome> ComputeResults(MemTable& log, const MemTable& categories,
                                      const Request& request, const RegionalSettings& settings,
                                      MemTable& results)
{
    if (categories.isEmpty() || log.isEmpty())
        return std::nullopt;

    Outcome outcome;
    results.clearRecords();
    double periodStart = kNoStart;
    double periodEnd = 0;

    std::vector<Row> rows;
    const Field& dateField = log.fieldByName("Date");
    const Field& categoryField = log.fieldByName("Category");
    const NumberColumn date(dateField);
    const NumberColumn receipt(log.fieldByName("Eispraxi"));
    const NumberColumn payment(log.fieldByName("Pliromi"));
    requireText(categoryField);
    CategoryRows rowOf(log, categoryField.index(), rows);
    // Visit the records without moving the cursor per record; the cursor is left past
    // the end afterwards, as a walk with first and next leaves it.
    log.first();
    int visited = 0;
    log.forEachRecord([&](const RecordView& record) {
        ++visited;
        const double day = date(record);
        if (day < request.startDate || day > request.endDate)
            return;
        periodEnd = std::max(periodEnd, day);
        periodStart = std::min(periodStart, day);

        Row& row = rows[rowOf(record)];
        const double received = receipt(record);
        const double paid = payment(record);
        if (!receipt.isNull(record))
            row.values[kAEispraxeon] += 1;
        if (!payment.isNull(record))
            row.values[kAPliromon] += 1;
        row.values[kSEispraxeon] += received;
        row.values[kSPliromon] += paid;
        outcome.totalReceipts += received;
        outcome.totalPayments += paid;
    });
    leavePastEnd(log, visited);

    if (!rows.empty()) {
        // Clip the period to the span of the log: it starts on the later of the start
        // field and the first movement, and ends on the earlier of the end field and the
        // last movement.
        if (request.logLastDate > periodEnd)
            periodEnd = request.endDate;
        if (request.logFirstDate < periodStart)
            periodStart = request.startDate;
        outcome.periodLabel = cp("από ") + dateText(periodStart, settings) + cp(" μέχρι ") +
                              dateText(periodEnd, settings);
        outcome.dayCount = std::fabs(std::trunc(periodEnd) - std::trunc(periodStart)) + 1;
        outcome.periodStart = periodStart;
        outcome.periodEnd = periodEnd;
    }

    for (Row& row : rows) {
        double* v = row.values;
        if (outcome.totalReceipts > 0) {
            v[kPEispraxeon] = static_cast<double>(v[kSEispraxeon] * 100 / outcome.totalReceipts);
            v[kMEispraxi] = v[kSEispraxeon] / outcome.dayCount;
        }
        if (outcome.totalPayments > 0) {
            v[kPPliromon] = static_cast<double>(v[kSPliromon] * 100 / outcome.totalPayments);
            v[kMPliromi] = v[kSPliromon] / outcome.dayCount;
        }
        if (v[kSPliromon] >= v[kSEispraxeon]) {
            outcome.netPayments += v[kSPliromon] - v[kSEispraxeon];
            v[kKPliromi] = v[kSPliromon] - v[kSEispraxeon];
        } else {
            outcome.netReceipts += v[kSEispraxeon] - v[kSPliromon];
            v[kKEispraxi] = v[kSEispraxeon] - v[kSPliromon];
        }

        results.append();
        if (!row.categoryNull)
            results.field(kCategory).setAsString(row.category);
        // Zeros stay empty, so they show as blank cells.
        for (int column = kCategory + 1; column < kColumnCount; ++column) {
            if (v[column] != 0)
                results.field(column).setAsFloat(v[column]);
        }
        results.post();
    }
    results.first();

    outcome.statistics = StatisticsLines(outcome, request, settings);
    return outcome;
}

std::string NoMovementLine(const Request& request, const RegionalSettings& settings)
{
    // An empty date field reads as day 0, which is no date to show: without an end the
    // range holds nothing, without a start it reaches back to the first movement.
    const bool hasStart = request.startDate != 0;
    const bool hasEnd = request.endDate != 0;
    if (hasStart && hasEnd)
        return cp("Δεν υπάρχει καμία κίνηση στην περίοδο από ") +
               dateText(request.startDate, settings) + cp(" μέχρι ") +
               dateText(request.endDate, settings) + '.';
    if (hasEnd)
        return cp("Δεν υπάρχει καμία κίνηση μέχρι ") + dateText(request.endDate, settings) + '.';
    return cp("Δεν υπάρχει καμία κίνηση στην περίοδο.");
}

std::vector<std::string> StatisticsLines(const Outcome& outcome, const Request& request,
                                         const RegionalSettings& settings)
{
    const auto amount = [&settings](long double value) {
        return formatAmount(value, settings);
    };
    if (!outcome.periodLabel)
        return {NoMovementLine(request, settings)};
    const double start = outcome.periodStart;
    const double end = outcome.periodEnd;
    const long double days = outcome.dayCount;
    const long double receipts = outcome.totalReceipts;
    const long double payments = outcome.totalPayments;
    const std::string dayCount = std::to_string(static_cast<long long>(outcome.dayCount));

    return {
        cp("Ανάλυση περιόδου από ") + dateText(start, settings) + cp(" μέχρι ") +
            dateText(end, settings),
        cp("Σύνολο ημερών: ") + dayCount,
        {},
        cp("Σύνολικές εισπράξεις: ") + amount(receipts),
        cp("Σύνολικές πληρωμές: ") + amount(payments),
        cp("Διαφορά: ") + amount(receipts - payments),
        {},
        cp("\"Πόσα πήρα\": ") + amount(outcome.netReceipts),
        cp("\"Πόσα χάλασα\": ") + amount(outcome.netPayments),
        {},
        cp("Μέσος όρος εισπράξεων ανά"),
        cp("εβδομάδα: ") + amount(receipts / days * 7),
        cp("μήνα: ") + amount(receipts / days * 30),
        cp("χρόνο: ") + amount(receipts / days * 365),
        {},
        cp("Μέσος όρος πληρωμών ανά"),
        cp("ημέρα: ") + amount(payments / days),
        cp("εβδομάδα: ") + amount(payments / days * 7),
        cp("μήνα: ") + amount(payments / days * 30),
        cp("χρόνο: ") + amount(payments / days * 365),
    };
}

std::string formatAtMostDecimals(double value, int decimals, char decimalSeparator)
{
    std::string text = formatFixed(value, decimals, decimalSeparator);
    const auto separator = text.find(decimalSeparator);
    if (separator == std::string::npos || text.find_first_of("eE") != std::string::npos)
        return text;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == decimalSeparator)
        text.pop_back();
    if (text == "-0")
        text = "0";
    return text;
}

std::string DisplayText(const Field& field, const RegionalSettings& settings)
{
    return DisplayText(field, field.value(), settings);
}

std::string DisplayText(const Field& field, const Variant& value, const RegionalSettings& settings)
{
    if (value.isNull())
        return {};
    Display display = Display::Text;
    for (const ResultField& column : kResultFields) {
        if (field.fieldName() == column.name)
            display = column.display;
    }
    switch (display) {
    case Display::Text:
        return value.toString();
    case Display::Amount:
        return formatAtMostDecimals(value.toDouble(), 2, settings.decimalSeparator);
    case Display::Percent:
        return formatAtMostDecimals(value.toDouble(), 1, settings.decimalSeparator) + '%';
    case Display::General:
        return formatGeneral(value.toDouble(), settings.decimalSeparator);
    }
    return {};
}

} // namespace tamisko::comparison
