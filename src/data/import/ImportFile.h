#pragma once

#include "data/Errors.h"
#include "data/import/ImportText.h"
#include "data/import/ImportValues.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reading statements and other programs' books into rows of movements. Nothing here
// touches a book: the rows are checked against one and put into it by ImportPlan.
namespace tamisko::import {

enum class Format
{
    Auto,
    Delimited, // CSV, TSV, semicolon or pipe separated text
    Qif,
    Ofx, // OFX and QFX, versions 1 (SGML) and 2 (XML)
    HomeBank,
};

// "csv", "qif", "ofx", "xhb" (and "auto").
std::string_view formatName(Format format);
std::optional<Format> formatFromName(std::string_view name);

// The columns of delimited text, counted from 0; -1 where there is none.
struct ColumnMapping
{
    int date = -1;
    int description = -1;
    int amount = -1; // one signed amount...
    int debit = -1;  // ...or separate debit and credit
    int credit = -1;
    int sign = -1; // optional: "Χ"/"Π", "D"/"C", "Debit"/"Credit"
    int category = -1;

    bool hasAmounts() const { return amount >= 0 || debit >= 0 || credit >= 0; }
    friend bool operator==(const ColumnMapping&, const ColumnMapping&) = default;
};

inline constexpr int kDetectHeader = -2; // ReadSettings::headerLine: find the header
inline constexpr int kNoHeader = -1;     // the file has no header row

// How a file is read. Every value left to be detected (Auto, 0, kDetectHeader,
// nothing) is detected; every other value is taken as given. The result of reading
// carries the settings with everything filled in, so that a window can show them, let
// the user change one and read again with the changed settings.
struct ReadSettings
{
    Format format = Format::Auto;
    Encoding encoding = Encoding::Auto;
    // Delimited text.
    char separator = 0;             // ';' ',' '\t' '|'; 0: detect
    int headerLine = kDetectHeader; // 1-based line of the header row, or kNoHeader
    std::optional<ColumnMapping> columns;
    // Delimited text and QIF.
    DateOrder dateOrder = DateOrder::Auto;
    char decimalSign = 0; // ',' or '.'; 0: detect
    // HomeBank: the name of the one account to read (UTF-8); empty: every account.
    std::string account;

    // What decides where the file does not: the user's regional order (day first and
    // decimal comma for Greek).
    DateOrder regionalDateOrder = DateOrder::DayMonthYear;
    char regionalDecimalSign = ',';
};

enum class RowStatus
{
    Valid,
    Invalid, // see ImportRow::reason
};

// One movement read from the file. Texts are cp1253 and already within the fields'
// sizes (200 for descriptions, 30 for categories).
struct ImportRow
{
    int line = 0; // where the row starts in the file, from 1
    RowStatus status = RowStatus::Valid;
    std::string reason; // UTF-8, Greek; why the row is invalid
    double date = 0;    // day number
    double receipt = 0; // money in; 0 when none
    double payment = 0; // money out; 0 when none
    std::string description;
    std::string category; // the file's category; empty when it has none
};

// A line of the file that holds no movement and was left out on purpose.
struct SkippedLine
{
    int line = 0;
    std::string reason; // UTF-8, Greek
};

// Everything read from one file.
struct ImportFile
{
    ReadSettings settings; // as used, detection filled in
    std::vector<ImportRow> rows;
    std::vector<SkippedLine> skipped; // preamble, footer, zero amounts, transfers
    int dataRows = 0;                 // rows read, zero-amount rows included
    TextChanges textChanges;

    // Delimited text: the header's names and the first rows' cells (UTF-8), for a
    // mapping step; the header is empty without one.
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> firstRows;
    // HomeBank: the names of the accounts in the book (UTF-8).
    std::vector<std::string> accounts;

    int validRows() const;
    int invalidRows() const;
};

// A file that cannot be imported at all: nothing in it is taken. The message is Greek
// (UTF-8) and names the line when there is one.
class ImportError : public Error
{
public:
    explicit ImportError(const std::string& message, int line = 0);
    int line() const { return line_; }

private:
    int line_;
};

// Told now and then how far a long step has come: `done` of `total` units (bytes of the
// text read, movements of the book checked). Called on the caller's thread, from inside
// the step, so that a window can show a progress bar.
using Progress = std::function<void(size_t done, size_t total)>;

// The format of the content: from what it holds, then from the file name's extension.
Format detectFormat(std::string_view content, std::string_view fileName = {});

// Reads the whole content (the file's bytes) by the settings. Throws ImportError when
// the content is empty, is not text of its format, or holds no data row.
ImportFile readImport(std::string_view content, const ReadSettings& settings,
                      std::string_view fileName = {}, const Progress& progress = {});

// The same for a file on disk; a file that cannot be read is an ImportError too.
ImportFile readImportFile(const std::string& fileName, const ReadSettings& settings);

// The readers behind readImport, for a format already known.
ImportFile readDelimited(std::string_view content, const ReadSettings& settings,
                         const Progress& progress = {});
ImportFile readQif(std::string_view content, const ReadSettings& settings);
ImportFile readOfx(std::string_view content, const ReadSettings& settings);
ImportFile readHomeBank(std::string_view content, const ReadSettings& settings);

} // namespace tamisko::import
