#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/import/ImportFile.h"
#include "data/import/ImportPlan.h"
#include "data/import/RowCollector.h"
#include "tool/Commands.h"
#include "tool/DocumentJson.h"
#include "tool/Documents.h"
#include "tool/Password.h"
#include "tool/WriteLock.h"

#include <cmath>
#include <filesystem>
#include <ostream>

namespace tamisko::tool {
namespace {

using namespace tamisko::import;

int columnNumber(std::string_view text, std::string_view key)
{
    int value = 0;
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        (value = std::stoi(std::string(text))) < 1)
        throw UsageError("--columns: " + std::string(key) + " needs a column number from 1");
    return value - 1;
}

// date=N,description=N,amount=N or debit=N,credit=N, category=N, sign=N; from 1.
ColumnMapping parseColumns(std::string_view list)
{
    ColumnMapping mapping;
    size_t at = 0;
    while (at <= list.size()) {
        const size_t end = std::min(list.find(',', at), list.size());
        const std::string_view item = list.substr(at, end - at);
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            throw UsageError("--columns: expected NAME=N, got \"" + std::string(item) + "\"");
        const std::string_view key = item.substr(0, equals);
        const int column = columnNumber(item.substr(equals + 1), key);
        int* slot = key == "date"          ? &mapping.date
                    : key == "description" ? &mapping.description
                    : key == "amount"      ? &mapping.amount
                    : key == "debit"       ? &mapping.debit
                    : key == "credit"      ? &mapping.credit
                    : key == "category"    ? &mapping.category
                    : key == "sign"        ? &mapping.sign
                                           : nullptr;
        if (slot == nullptr)
            throw UsageError("--columns: unknown column " + std::string(key) +
                             " (date, description, amount, debit, credit, category, sign)");
        *slot = column;
        at = end + 1;
    }
    if (mapping.date < 0)
        throw UsageError("--columns needs date=N");
    if (!mapping.hasAmounts())
        throw UsageError("--columns needs amount=N, or debit=N and credit=N");
    if (mapping.amount >= 0 && (mapping.debit >= 0 || mapping.credit >= 0))
        throw UsageError("--columns takes either amount=N or debit=N,credit=N, not both");
    return mapping;
}

ReadSettings readSettings(const ImportOptions& options)
{
    ReadSettings settings;
    if (options.format) {
        const auto format = formatFromName(*options.format);
        if (!format)
            throw UsageError("--format must be auto, csv, qif, ofx or xhb");
        settings.format = *format;
    }
    if (options.encoding) {
        const auto encoding = encodingFromName(*options.encoding);
        if (!encoding)
            throw UsageError("--encoding must be utf-8, cp1253 or iso-8859-7");
        settings.encoding = *encoding;
    }
    if (options.dateOrder) {
        const auto order = dateOrderFromName(*options.dateOrder);
        if (!order || *order == DateOrder::Auto)
            throw UsageError("--date-order must be dmy, mdy or ymd");
        settings.dateOrder = *order;
    }
    if (options.decimal) {
        if (*options.decimal != "," && *options.decimal != ".")
            throw UsageError("--decimal must be \",\" or \".\"");
        settings.decimalSign = options.decimal->front();
    }
    if (options.columns)
        settings.columns = parseColumns(*options.columns);
    if (options.account)
        settings.account = *options.account;
    return settings;
}

double roundedSum(long double sum)
{
    return static_cast<double>(std::llround(sum * 10000.0L)) / 10000.0;
}

Json linesJson(const std::vector<std::pair<int, std::string>>& lines)
{
    Json list = Json::array();
    for (const auto& [line, reason] : lines)
        list.push_back({{"line", line}, {"reason", reason}});
    return list;
}

Json outcomeJson(const ImportPreview& preview, const ImportOutcome& outcome)
{
    const ImportFile& file = preview.file;
    std::vector<std::pair<int, std::string>> invalid;
    for (const ImportRow& row : file.rows) {
        if (row.status == RowStatus::Invalid)
            invalid.emplace_back(row.line, row.reason);
    }
    std::vector<std::pair<int, std::string>> skipped;
    for (const SkippedLine& line : file.skipped)
        skipped.emplace_back(line.line, line.reason);
    Json created = Json::array();
    for (const std::string& name : outcome.categoriesCreated)
        created.push_back(cp1253::toUtf8OrThrow(name));

    Json json;
    json["format"] = formatName(file.settings.format);
    json["encoding"] = encodingName(file.settings.encoding);
    json["rows"] = file.dataRows;
    json["imported"] = outcome.imported;
    json["duplicates"] = preview.duplicateCount();
    json["invalid"] = linesJson(invalid);
    json["skipped_lines"] = linesJson(skipped);
    json["categories_created"] = created;
    json["receipts"] = roundedSum(outcome.receipts);
    json["payments"] = roundedSum(outcome.payments);
    json["replaced_characters"] = file.textChanges.replacedCharacters();
    json["cut_texts"] = file.textChanges.cutTexts;
    if (file.settings.format == Format::Delimited) {
        json["separator"] = file.settings.separator == '\t'
                                ? std::string("\t")
                                : std::string(1, file.settings.separator);
        json["header_line"] =
            file.settings.headerLine > 0 ? Json(file.settings.headerLine) : Json(nullptr);
    }
    if (file.settings.format == Format::Delimited || file.settings.format == Format::Qif) {
        json["date_order"] = dateOrderName(file.settings.dateOrder);
        json["decimal"] = std::string(1, file.settings.decimalSign);
    }
    return json;
}

} // namespace

int runImport(const Arguments& arguments, std::ostream& out)
{
    const std::string& book = arguments.files[0];
    const std::string& source = arguments.files[1];
    const ImportOptions& options = arguments.import;
    const ReadSettings settings = readSettings(options);
    PreviewOptions previewOptions;
    previewOptions.keepDuplicates = options.keepDuplicates;
    if (options.category) {
        TextChanges ignored;
        previewOptions.fallbackCategory = toCp1253(*options.category, kCategoryLength, ignored);
        if (previewOptions.fallbackCategory.empty())
            throw UsageError("--category needs a category name");
    }
    const std::string password = documentPassword(arguments);
    // A dry run only reads; an import holds the book's lock from reading it to writing it.
    const WriteLock lock = options.dryRun ? WriteLock() : lockForWriting(book, arguments);

    DataMod data;
    const bool exists = std::filesystem::exists(book);
    if (exists) {
        openDocument(book, password, data);
    } else if (options.create) {
        data.NewDocument();
        data.DocumentPassword = password;
    } else {
        throw Error(book + ": the file does not exist (use --create to make a new book)");
    }

    ImportFile file;
    try {
        file = readImportFile(source, settings);
    } catch (const ImportError& error) {
        throw Error(source + ": " + error.what());
    }
    const ImportPreview preview =
        previewImport(std::move(file), data.CatTable, data.LogTable, previewOptions);
    const ImportOutcome outcome =
        options.dryRun ? plannedOutcome(preview, data.CatTable) : applyImport(data, preview);
    if (!options.dryRun && (outcome.imported > 0 || !exists))
        data.SaveDocument(book);
    out << formatJson(outcomeJson(preview, outcome)) << '\n';
    return 0;
}

} // namespace tamisko::tool
