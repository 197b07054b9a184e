#include "data/import/ImportFile.h"

#include "data/import/RowCollector.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace tamisko::import {
namespace {

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view extensionOf(std::string_view fileName)
{
    const size_t slash = fileName.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

// The first bytes, lower case, without a byte order mark and leading blanks.
std::string openingOf(std::string_view content)
{
    if (content.starts_with("\xEF\xBB\xBF"))
        content.remove_prefix(3);
    const size_t start = content.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return {};
    return lowerAscii(content.substr(start, 4096));
}

// Whether a movement of this size can be held; a statement never has more.
bool plausibleAmount(double value)
{
    return std::isfinite(value) && std::fabs(value) < 1e12;
}

} // namespace

std::string_view formatName(Format format)
{
    switch (format) {
    case Format::Auto:
        return "auto";
    case Format::Delimited:
        return "csv";
    case Format::Qif:
        return "qif";
    case Format::Ofx:
        return "ofx";
    case Format::HomeBank:
        return "xhb";
    }
    return "auto";
}

std::optional<Format> formatFromName(std::string_view name)
{
    const std::string lower = lowerAscii(name);
    for (const Format format :
         {Format::Auto, Format::Delimited, Format::Qif, Format::Ofx, Format::HomeBank}) {
        if (lower == formatName(format))
            return format;
    }
    if (lower == "qfx")
        return Format::Ofx;
    if (lower == "tsv" || lower == "txt")
        return Format::Delimited;
    return std::nullopt;
}

int ImportFile::validRows() const
{
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const ImportRow& row) {
        return row.status == RowStatus::Valid;
    }));
}

int ImportFile::invalidRows() const
{
    return static_cast<int>(rows.size()) - validRows();
}

ImportError::ImportError(const std::string& message, int line) : Error(message), line_(line) {}

Format detectFormat(std::string_view content, std::string_view fileName)
{
    const std::string opening = openingOf(content);
    if (opening.starts_with("ofxheader") || opening.find("<ofx>") != std::string::npos ||
        (opening.starts_with("<?xml") && opening.find("<?ofx") != std::string::npos))
        return Format::Ofx;
    if (opening.starts_with("<?xml") && opening.find("<homebank") != std::string::npos)
        return Format::HomeBank;
    if (opening.starts_with("<homebank"))
        return Format::HomeBank;
    if (opening.starts_with("!type:") || opening.starts_with("!account") ||
        opening.starts_with("!option"))
        return Format::Qif;
    const std::string extension = lowerAscii(extensionOf(fileName));
    if (extension == "qif")
        return Format::Qif;
    if (extension == "ofx" || extension == "qfx")
        return Format::Ofx;
    if (extension == "xhb")
        return Format::HomeBank;
    return Format::Delimited;
}

ImportFile readImport(std::string_view content, const ReadSettings& settings,
                      std::string_view fileName, const Progress& progress)
{
    if (content.find_first_not_of(" \t\r\n") == std::string_view::npos || content == "\xEF\xBB\xBF")
        throw ImportError("Το αρχείο είναι κενό.");
    ReadSettings used = settings;
    if (used.format == Format::Auto)
        used.format = detectFormat(content, fileName);
    ImportFile file;
    switch (used.format) {
    case Format::Qif:
        file = readQif(content, used);
        break;
    case Format::Ofx:
        file = readOfx(content, used);
        break;
    case Format::HomeBank:
        file = readHomeBank(content, used);
        break;
    case Format::Auto:
    case Format::Delimited:
        used.format = Format::Delimited;
        file = readDelimited(content, used, progress);
        break;
    }
    if (file.rows.empty() && file.dataRows == 0)
        throw ImportError("Το αρχείο δεν έχει καμία γραμμή κινήσεων.");
    return file;
}

ImportFile readImportFile(const std::string& fileName, const ReadSettings& settings)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw ImportError("Το αρχείο «" + fileName + "» δεν ανοίγει.");
    const std::string content((std::istreambuf_iterator<char>(in)), {});
    if (in.bad())
        throw ImportError("Το αρχείο «" + fileName + "» δεν διαβάζεται.");
    return readImport(content, settings, fileName);
}

// RowCollector ---------------------------------------------------------------------

void RowCollector::addSigned(int line, double date, double amount, std::string_view descriptionUtf8,
                             std::string_view categoryUtf8)
{
    addSides(line, date, amount > 0 ? amount : 0, amount < 0 ? -amount : 0, descriptionUtf8,
             categoryUtf8);
}

void RowCollector::addSides(int line, double date, double receipt, double payment,
                            std::string_view descriptionUtf8, std::string_view categoryUtf8)
{
    ++file_.dataRows;
    if (!plausibleAmount(receipt) || !plausibleAmount(payment)) {
        --file_.dataRows;
        addInvalid(line, "Το ποσό είναι εκτός ορίων.", descriptionUtf8);
        return;
    }
    receipt = std::fabs(receipt);
    payment = std::fabs(payment);
    if (receipt == 0 && payment == 0) {
        skip(line, "Μηδενικό ποσό.");
        return;
    }
    ImportRow row;
    row.line = line;
    row.date = date;
    row.receipt = receipt;
    row.payment = payment;
    row.description = toCp1253(descriptionUtf8, kDescriptionLength, file_.textChanges);
    row.category = toCp1253(categoryUtf8, kCategoryLength, file_.textChanges);
    file_.rows.push_back(std::move(row));
}

void RowCollector::addInvalid(int line, std::string reason, std::string_view descriptionUtf8)
{
    ++file_.dataRows;
    ImportRow row;
    row.line = line;
    row.status = RowStatus::Invalid;
    row.reason = std::move(reason);
    TextChanges ignored; // invalid rows are not imported: their texts change nothing
    row.description = toCp1253(descriptionUtf8, kDescriptionLength, ignored);
    file_.rows.push_back(std::move(row));
}

void RowCollector::skip(int line, std::string reason)
{
    file_.skipped.push_back({line, std::move(reason)});
}

ImportFile fileOfRecords(const ReadSettings& settings, Format format)
{
    ImportFile file;
    file.settings = settings;
    file.settings.format = format;
    file.settings.separator = 0;
    file.settings.headerLine = kNoHeader;
    file.settings.columns.reset();
    return file;
}

std::string joinDescription(std::string_view first, std::string_view second)
{
    const auto blank = [](std::string_view text) {
        return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
    };
    if (blank(second))
        return std::string(first);
    if (blank(first))
        return std::string(second);
    return std::string(first) + " - " + std::string(second);
}

std::string atLine(std::string_view message, int line)
{
    return std::string(message) + " (γραμμή " + std::to_string(line) + ")";
}

} // namespace tamisko::import
