#include "data/import/ImportPlan.h"

#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/import/RowCollector.h"
#include "data/MemTable.h"
#include "data/RecordAppender.h"
#include "data/TableUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace tamisko::import {
namespace {

const std::string& otherExpenses()
{
    static const std::string name = cp1253::fromUtf8OrThrow("άλλα έξοδα");
    return name;
}

const std::string& otherIncome()
{
    static const std::string name = cp1253::fromUtf8OrThrow("άλλα έσοδα");
    return name;
}

// The book's categories by their folded names (case and accents ignored).
struct CategoryIndex
{
    struct Entry
    {
        std::string name;
        int32_t catNum = 0;
    };
    std::unordered_map<std::string, Entry> byFoldedName;
    std::unordered_map<int32_t, std::string> nameByNumber;

    explicit CategoryIndex(MemTable& categories)
    {
        const int number = categories.fieldByName("CatNum").index();
        const int name = categories.fieldByName("Category").index();
        categories.forEachRecord([&](const RecordView& record) {
            if (record.isNull(name))
                return;
            const std::string text(record.stringAt(name));
            const auto catNum = static_cast<int32_t>(record.intAt(number));
            byFoldedName.try_emplace(fold(text, true), Entry{text, catNum});
            nameByNumber.try_emplace(catNum, text);
        });
    }

    const Entry* find(std::string_view name) const
    {
        const auto found = byFoldedName.find(fold(name, true));
        return found == byFoldedName.end() ? nullptr : &found->second;
    }
};

int64_t scaled(double amount)
{
    return std::llround(amount * 10000.0);
}

// Date, receipt, payment and the description without regard to case and blanks.
void duplicateKey(std::string& key, double date, double receipt, double payment,
                  std::string_view text)
{
    key.assign(20, '\0');
    const auto day = static_cast<int32_t>(date);
    const int64_t in = scaled(receipt);
    const int64_t out = scaled(payment);
    std::memcpy(key.data(), &day, 4);
    std::memcpy(key.data() + 4, &in, 8);
    std::memcpy(key.data() + 12, &out, 8);
    key += fold(text, false);
}

// How often each category goes with one description key, and how late it was last met.
struct CategoryVotes
{
    struct Vote
    {
        int32_t catNum;
        int count;
        size_t last;
    };
    std::vector<Vote> votes;

    void add(int32_t catNum, size_t position)
    {
        for (Vote& vote : votes) {
            if (vote.catNum == catNum) {
                ++vote.count;
                vote.last = position;
                return;
            }
        }
        votes.push_back({catNum, 1, position});
    }

    // The category used most; among equals the one used last.
    std::optional<int32_t> winner(const CategoryIndex& index) const
    {
        const Vote* best = nullptr;
        for (const Vote& vote : votes) {
            if (!index.nameByNumber.contains(vote.catNum))
                continue;
            if (!best || vote.count > best->count ||
                (vote.count == best->count && vote.last > best->last))
                best = &vote;
        }
        return best ? std::optional<int32_t>(best->catNum) : std::nullopt;
    }
};

struct MovementFields
{
    int date;
    int catNum;
    int receipt;
    int payment;
    int description;

    explicit MovementFields(MemTable& movements)
        : date(movements.fieldByName("Date").index()),
          catNum(movements.fieldByName("CatNum").index()),
          receipt(movements.fieldByName("Eispraxi").index()),
          payment(movements.fieldByName("Pliromi").index()),
          description(movements.fieldByName("Perigrafi").index())
    {}
};

double numberAt(const RecordView& record, int field)
{
    return record.isNull(field) ? 0.0 : record.doubleAt(field);
}

// The categories named by the included rows, by folded name, as first spelled.
std::vector<std::string> missingCategories(const ImportPreview& preview, const CategoryIndex& index)
{
    std::vector<std::string> missing;
    std::unordered_set<std::string> seen;
    for (const PreviewRow& row : preview.rows) {
        const std::string& category = preview.categoryOf(row);
        if (!row.include || category.empty() || index.find(category))
            continue;
        if (seen.insert(fold(category, true)).second)
            missing.push_back(category);
    }
    return missing;
}

// Removes the movements and categories an import added; a pending edit is dropped.
void removeImported(DataMod& data, const ImportUndo& undo)
{
    CancelPending({&data.LogTable, &data.CatTable});
    const auto removeFrom = [](MemTable& table, std::vector<int32_t> bookmarks) {
        if (bookmarks.empty())
            return;
        std::sort(bookmarks.begin(), bookmarks.end());
        table.deleteRecords([&](const RecordView& record) {
            return std::binary_search(bookmarks.begin(), bookmarks.end(), record.bookmark());
        });
    };
    removeFrom(data.LogTable, undo.movementBookmarks);
    removeFrom(data.CatTable, undo.categoryBookmarks);
}

} // namespace

const std::string& ImportPreview::categoryOf(const PreviewRow& row) const
{
    static const std::string none;
    return row.category >= 0 && static_cast<size_t>(row.category) < categoryNames.size()
               ? categoryNames[static_cast<size_t>(row.category)]
               : none;
}

int32_t ImportPreview::categoryIndex(std::string_view name)
{
    const std::string folded = fold(name.substr(0, kCategoryLength), true);
    for (size_t i = 0; i < categoryNames.size(); ++i) {
        if (fold(categoryNames[i], true) == folded)
            return static_cast<int32_t>(i);
    }
    categoryNames.emplace_back(name.substr(0, kCategoryLength));
    return static_cast<int32_t>(categoryNames.size() - 1);
}

void ImportPreview::setCategory(PreviewRow& row, std::string_view name)
{
    row.category = name.empty() ? kNoCategory : categoryIndex(name);
}

int ImportPreview::includedCount() const
{
    return static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [](const PreviewRow& row) { return row.include; }));
}

int ImportPreview::duplicateCount() const
{
    return static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                          [](const PreviewRow& row) { return row.duplicate; }));
}

ImportPreview previewImport(ImportFile file, MemTable& categories, MemTable& movements,
                            const PreviewOptions& options)
{
    ImportPreview preview;
    preview.file = std::move(file);
    const std::vector<ImportRow>& rows = preview.file.rows;
    const CategoryIndex index(categories);

    // What the book is asked about: the rows' duplicate keys and, for the rows the file
    // gives no category, their description keys. Duplicate keys are kept as 64-bit
    // hashes, which keeps a large statement small; two different movements would have
    // to collide in all 64 bits to be taken for each other.
    std::unordered_map<uint64_t, int> inBook; // duplicate key -> equal movements
    std::unordered_set<int32_t> days;
    std::unordered_map<std::string, CategoryVotes> byText;
    std::unordered_map<std::string, CategoryVotes> byTwoWords;
    std::string key;
    const auto rowKey = [&](const ImportRow& row) {
        duplicateKey(key, row.date, row.receipt, row.payment, row.description);
        return std::hash<std::string>{}(key);
    };
    for (const ImportRow& row : rows) {
        if (row.status != RowStatus::Valid)
            continue;
        inBook.try_emplace(rowKey(row), 0);
        days.insert(static_cast<int32_t>(row.date));
        if (row.category.empty()) {
            std::string text = descriptionKey(row.description);
            if (!text.empty()) {
                byTwoWords.try_emplace(std::string(firstTwoWords(text)));
                byText.try_emplace(std::move(text));
            }
        }
    }

    const MovementFields fields(movements);
    const bool learning = !byText.empty();
    size_t position = 0;
    constexpr size_t kProgressEvery = 65536; // movements
    const auto bookSize = static_cast<size_t>(movements.recordCount());
    movements.forEachRecord([&](const RecordView& record) {
        ++position;
        if (options.progress && position % kProgressEvery == 0)
            options.progress(position, bookSize);
        const double date = numberAt(record, fields.date);
        const std::string_view text = record.isNull(fields.description)
                                          ? std::string_view()
                                          : record.stringAt(fields.description);
        if (days.contains(static_cast<int32_t>(date))) {
            duplicateKey(key, date, numberAt(record, fields.receipt),
                         numberAt(record, fields.payment), text);
            if (const auto found = inBook.find(std::hash<std::string>{}(key));
                found != inBook.end())
                ++found->second;
        }
        if (!learning || text.empty() || record.isNull(fields.catNum))
            return;
        const std::string words = descriptionKey(text);
        if (words.empty())
            return;
        const auto catNum = static_cast<int32_t>(record.intAt(fields.catNum));
        if (const auto found = byText.find(words); found != byText.end())
            found->second.add(catNum, position);
        if (const auto found = byTwoWords.find(std::string(firstTwoWords(words)));
            found != byTwoWords.end())
            found->second.add(catNum, position);
    });

    // Categories spelled as the book spells them, new ones as first met.
    std::unordered_map<std::string, int32_t> byFoldedName;
    const auto bookOrNew = [&](const std::string& name) {
        const std::string folded = fold(name, true);
        if (const auto found = byFoldedName.find(folded); found != byFoldedName.end())
            return found->second;
        const auto* entry = index.find(name);
        preview.categoryNames.push_back(entry ? entry->name : name);
        const auto number = static_cast<int32_t>(preview.categoryNames.size() - 1);
        byFoldedName.emplace(folded, number);
        return number;
    };
    preview.rows.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const ImportRow& row = rows[i];
        PreviewRow item;
        item.row = static_cast<uint32_t>(i);
        if (row.status != RowStatus::Valid) {
            preview.rows.push_back(std::move(item));
            continue;
        }
        if (!row.category.empty()) {
            item.category = bookOrNew(row.category);
            item.source = CategorySource::File;
        } else {
            std::optional<int32_t> learned;
            if (const std::string text = descriptionKey(row.description); !text.empty()) {
                learned = byText.at(text).winner(index);
                if (!learned)
                    learned = byTwoWords.at(std::string(firstTwoWords(text))).winner(index);
            }
            if (learned) {
                item.category = bookOrNew(index.nameByNumber.at(*learned));
                item.source = CategorySource::Learned;
            } else {
                const std::string& fallback = !options.fallbackCategory.empty()
                                                  ? options.fallbackCategory
                                              : row.receipt > row.payment ? otherIncome()
                                                                          : otherExpenses();
                item.category = bookOrNew(fallback);
                item.source = CategorySource::Default;
            }
        }
        // Counted with multiplicity: each movement of the book matches one row.
        int& equal = inBook.at(rowKey(row));
        if (equal > 0) {
            item.duplicate = true;
            --equal;
        }
        item.include = !item.duplicate || options.keepDuplicates;
        preview.rows.push_back(std::move(item));
    }
    return preview;
}

std::vector<std::string> newCategories(const ImportPreview& preview, MemTable& categories)
{
    return missingCategories(preview, CategoryIndex(categories));
}

ImportOutcome plannedOutcome(const ImportPreview& preview, MemTable& categories)
{
    ImportOutcome outcome;
    for (const PreviewRow& row : preview.rows) {
        if (!row.include || preview.fileRow(row).status != RowStatus::Valid)
            continue;
        ++outcome.imported;
        outcome.receipts += preview.fileRow(row).receipt;
        outcome.payments += preview.fileRow(row).payment;
    }
    outcome.categoriesCreated = newCategories(preview, categories);
    return outcome;
}

ImportOutcome applyImport(DataMod& data, const ImportPreview& preview)
{
    ImportOutcome outcome;
    data.BulkChange([&] {
        try {
            CategoryIndex index(data.CatTable);
            std::unordered_map<std::string, int32_t> numbers; // folded name -> CatNum
            for (const auto& [folded, entry] : index.byFoldedName)
                numbers.emplace(folded, entry.catNum);
            Field& number = data.CatTable.fieldByName("CatNum");
            Field& name = data.CatTable.fieldByName("Category");
            for (const std::string& missing : missingCategories(preview, index)) {
                data.CatTable.append();
                name.setAsString(missing);
                const int32_t catNum = number.asInteger();
                data.CatTable.post();
                outcome.undo.categoryBookmarks.push_back(data.CatTable.bookmark());
                outcome.categoriesCreated.push_back(missing);
                numbers.emplace(fold(missing, true), catNum);
            }

            const MovementFields fields(data.LogTable);
            RecordAppender appender(data.LogTable, {fields.date, fields.catNum, fields.receipt,
                                                    fields.payment, fields.description});
            appender.reserve(static_cast<size_t>(preview.includedCount()));
            outcome.undo.movementBookmarks.reserve(static_cast<size_t>(preview.includedCount()));
            const auto amount = [](double value) {
                return value == 0 ? StoredValue::null() : StoredValue::ofNumber(value);
            };
            for (const PreviewRow& item : preview.rows) {
                const ImportRow& row = preview.fileRow(item);
                const std::string& category = preview.categoryOf(item);
                if (!item.include || row.status != RowStatus::Valid || category.empty())
                    continue;
                const StoredValue values[] = {
                    StoredValue::ofNumber(row.date),
                    StoredValue::ofInteger(numbers.at(fold(category, true))),
                    amount(row.receipt),
                    amount(row.payment),
                    row.description.empty() ? StoredValue::null()
                                            : StoredValue::ofText(row.description),
                };
                appender.append(values);
                outcome.undo.movementBookmarks.push_back(data.LogTable.bookmark());
                ++outcome.imported;
                outcome.receipts += row.receipt;
                outcome.payments += row.payment;
            }
        } catch (...) {
            removeImported(data, outcome.undo);
            throw;
        }
    });
    return outcome;
}

void undoImport(DataMod& data, const ImportUndo& undo)
{
    data.BulkChange([&] { removeImported(data, undo); });
}

} // namespace tamisko::import
