#pragma once

#include "data/import/ImportFile.h"

#include <string>
#include <string_view>

namespace tamisko::import {

// The size of the texts the movement and category tables hold.
inline constexpr size_t kDescriptionLength = 200;
inline constexpr size_t kCategoryLength = 30;

// Builds the rows of an ImportFile the same way for every format: texts into cp1253
// within their sizes, a zero amount skipped and reported, a failure kept as an invalid
// row with its reason.
class RowCollector
{
public:
    explicit RowCollector(ImportFile& file) : file_(file) {}

    // A movement of `amount` (positive: a receipt, negative: a payment).
    void addSigned(int line, double date, double amount, std::string_view descriptionUtf8,
                   std::string_view categoryUtf8);
    // A movement with both sides given (either may be 0).
    void addSides(int line, double date, double receipt, double payment,
                  std::string_view descriptionUtf8, std::string_view categoryUtf8);
    // A data row that cannot become a movement; the description is kept for showing.
    void addInvalid(int line, std::string reason, std::string_view descriptionUtf8 = {});
    void skip(int line, std::string reason);

private:
    ImportFile& file_;
};

// A file of a format without columns of its own (QIF, OFX, HomeBank): the settings as
// given, with the format named and the choices of delimited text cleared.
ImportFile fileOfRecords(const ReadSettings& settings, Format format);

// " - " between two texts when both exist.
std::string joinDescription(std::string_view first, std::string_view second);

// "... στη γραμμή N" and friends: messages that name the line.
std::string atLine(std::string_view message, int line);

} // namespace tamisko::import
