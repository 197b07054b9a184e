#pragma once

#include "data/import/ImportFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tamisko {
class DataMod;
class MemTable;
} // namespace tamisko

// The rows of an imported file checked against a book, then put into it in one step.
namespace tamisko::import {

// Where a row's proposed category comes from.
enum class CategorySource
{
    File,    // the file names it (an existing category, or a new one)
    Learned, // the category earlier movements of the same description use most
    Default, // "άλλα έξοδα" for payments, "άλλα έσοδα" for receipts, or the user's pick
};

inline constexpr int32_t kNoCategory = -1;

// A row of the preview; its category (ImportPreview::setCategory) and `include` are the
// user's to change. Kept small: a statement has many rows.
struct PreviewRow
{
    uint32_t row = 0;               // index into ImportFile::rows
    int32_t category = kNoCategory; // index into ImportPreview::categoryNames
    CategorySource source = CategorySource::Default;
    bool duplicate = false; // equal to a movement already in the book
    bool include = false;   // valid and, unless duplicates are kept, not a duplicate
};

struct PreviewOptions
{
    // The category for rows that neither the file nor the book decide (cp1253); empty:
    // "άλλα έξοδα" for payments and "άλλα έσοδα" for receipts.
    std::string fallbackCategory;
    bool keepDuplicates = false; // include the duplicates too
    Progress progress;           // movements of the book checked, of all of them
};

// The file's rows as they would go into the book.
struct ImportPreview
{
    ImportFile file;
    std::vector<PreviewRow> rows; // one per file row, in file order
    // The categories the rows go to (cp1253, at most 30 characters), each once: the
    // book's spelling for those it has.
    std::vector<std::string> categoryNames;

    const ImportRow& fileRow(const PreviewRow& row) const { return file.rows[row.row]; }
    // The row's category; empty for an invalid row.
    const std::string& categoryOf(const PreviewRow& row) const;
    // Sends the row to the category of that name (cp1253, cut to 30 characters), one of
    // the names already there when it equals it ignoring case and accents.
    void setCategory(PreviewRow& row, std::string_view name);
    // The index of the name in categoryNames, added when missing.
    int32_t categoryIndex(std::string_view name);
    int includedCount() const;
    int duplicateCount() const;
};

// Checks every row against the book: proposes each valid row's category and marks the
// duplicates. A row equal to a movement of the book (same date, receipt and payment,
// description equal ignoring case and repeated blanks) is a duplicate, counted with
// multiplicity: with two such movements in the book and three such rows, the last of
// the three is new.
ImportPreview previewImport(ImportFile file, MemTable& categories, MemTable& movements,
                            const PreviewOptions& options = {});

// The categories (cp1253) that the included rows name and the book does not have, in
// the order they are first met: they are created by applyImport.
std::vector<std::string> newCategories(const ImportPreview& preview, MemTable& categories);

// What applyImport changed, enough to take it back.
struct ImportUndo
{
    std::vector<int32_t> movementBookmarks;
    std::vector<int32_t> categoryBookmarks;
    bool empty() const { return movementBookmarks.empty() && categoryBookmarks.empty(); }
};

struct ImportOutcome
{
    int imported = 0;
    long double receipts = 0; // sums of what was imported
    long double payments = 0;
    std::vector<std::string> categoriesCreated; // cp1253
    ImportUndo undo;
};

// What applyImport would do, without doing it.
ImportOutcome plannedOutcome(const ImportPreview& preview, MemTable& categories);

// Puts the included rows into the book in one bulk step: the views suspended, the
// missing categories created, the movements appended, the document marked modified
// once and the summary recomputed once. All or nothing: a failure takes back what was
// added and goes on to the caller.
ImportOutcome applyImport(DataMod& data, const ImportPreview& preview);

// Takes a whole import back (while nothing else has changed the book since): the
// movements and then the categories it added are removed, in one bulk step.
void undoImport(DataMod& data, const ImportUndo& undo);

} // namespace tamisko::import
