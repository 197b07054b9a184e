#pragma once

// The inside of the memory table, shared by the files that implement it:
//   MemTable.cpp         definition and opening, fields by name, events, views, exchange
//   MemTableStorage.cpp  field values read and stored in the record's form, lookup fields
//   MemTableEditing.cpp  append, insert, edit, post, cancel, delete, auto-increment
//   MemTableCursor.cpp   navigation, record numbers, counts, the filter, whole-table walks
//   MemTableOrder.cpp    comparison of records, the two sorts, AutoSort placement
//   MemTableSearch.cpp   locate and lookup: search keys, binary search or scan
//   RecordAppender.cpp   records appended in bulk, as documents are read
// Not for the table's users, who see MemTable.h (and RecordAppender.h) only.

#include "data/DayNumber.h"
#include "data/Errors.h"
#include "data/MemTable.h"
#include "data/RecordBuffer.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tamisko::memtable {

// The bookmark counter must never pass this value.
inline constexpr int32_t lastBookmark = 2147483599;

// How a record keeps a field's value.
enum class Storage
{
    String,
    Integer,
    Float
};

inline Storage storageOf(FieldType type)
{
    switch (type) {
    case FieldType::String:
        return Storage::String;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::Boolean:
    case FieldType::LargeInt:
    case FieldType::AutoInc:
        return Storage::Integer;
    default:
        return Storage::Float;
    }
}

inline bool isSupported(FieldType type)
{
    return type != FieldType::Blob;
}

// Whether an integer field of the type can hold the number (booleans aside).
inline bool integerFits(FieldType type, int64_t number)
{
    switch (type) {
    case FieldType::LargeInt:
        return true;
    case FieldType::SmallInt:
        return number >= INT16_MIN && number <= INT16_MAX;
    case FieldType::Word:
        return number >= 0 && number <= UINT16_MAX;
    default:
        return number >= INT32_MIN && number <= INT32_MAX;
    }
}

// Whether a float, currency, date or time field can hold the number, a date already cut
// to its day: what a record stream can read back, finite amounts and days of the years
// 1 to 9999, so that no book is saved that does not open again.
inline bool numberFits(FieldType type, double number)
{
    if (!std::isfinite(number))
        return false;
    switch (type) {
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return days::inValidRange(std::floor(number));
    default:
        return true;
    }
}

// The text a string field stores for a value that is not null: cut to the field's size.
std::string textFor(const Field& f, const Variant& value);

// "A;B ; C" -> {"A", "B", "C"}
std::vector<std::string_view> splitFieldNames(std::string_view names);

template<typename T> int threeWay(T a, T b)
{
    return (a > b) - (a < b);
}

[[noreturn]] void fail(std::string_view pattern, std::string_view argument);

// Restores a value when the scope ends, also on exceptions.
template<typename T> class ValueRestorer final
{
public:
    ValueRestorer(T& target, T value) : target_(target), saved_(std::exchange(target, value)) {}
    ~ValueRestorer() { target_ = saved_; }
    ValueRestorer(const ValueRestorer&) = delete;
    ValueRestorer& operator=(const ValueRestorer&) = delete;

private:
    T& target_;
    T saved_;
};

// A record's sort key: its value and record-number slot as unsigned numbers whose plain
// order is the wanted one, and the record's place before the sort (while the keys are
// taken, with a mark for a null value).
struct SortKey final
{
    uint64_t value;
    uint32_t slot;
    uint32_t index;
};

} // namespace tamisko::memtable

namespace tamisko {

// The table's state, with the work that several of its operations share. Members are
// defined in the file of their group (see the top of this header).
struct MemTable::Impl final
{
    explicit Impl(MemTable& owner) : self(owner) {}

    struct LookupBinding final
    {
        int field = -1;
        std::vector<int> keyFields;
        std::vector<Variant> keyValues; // reused: lookups run on every field write
    };

    using FieldList = std::shared_ptr<const std::vector<int>>;

    // Key values converted to the key fields' types, ready for comparison.
    struct SearchKey final
    {
        FieldList fields;
        RecordBuffer values;
    };

    // Lookup fields search the same fields of the same table over and over: keep the
    // last resolution of a field list.
    struct FieldListCache final
    {
        std::string names;
        FieldList fields;
    };

    MemTable& self;
    RecordLayout layout;
    std::vector<RecordBuffer> records;
    RecordBuffer buffer; // the record being edited or inserted
    bool insertAtStart = false;
    DataSetState state = DataSetState::Inactive;
    bool modified = false;
    int cursor = -1; // index into records, -1 before the first record
    bool eof = true;
    bool bof = true;

    std::string sortFields;
    MemTableOptions sortOptions = 0;
    bool autoSort = false;
    bool doBinaryLocate = false;
    bool sorted = false;

    bool filtered = false;
    std::function<bool(MemTable&)> onFilterRecord;
    const RecordBuffer* filterRecord = nullptr; // the record the filter is looking at

    int64_t autoIncMark = -1;
    int32_t nextBookmark = 1;
    int autoIncField = -1;
    std::vector<LookupBinding> lookups;

    std::function<void(MemTable&)> afterPost;
    std::function<void(MemTable&)> afterDelete;

    FieldListCache keyFieldCache;
    FieldListCache sortFieldCache;
    FieldListCache resultFieldCache;
    RecordBuffer spareKey; // reused by searches, which run per lookup

    std::vector<DataSource*> sources;
    int controlsDisabled = 0;
    std::shared_ptr<const Collation> collation = greekCollation();

    // Small and on every path: here, so that every file inlines them.

    int recordTotal() const { return static_cast<int>(records.size()); }
    RecordView view(int row) const { return records[static_cast<size_t>(row)].view(); }
    bool editing() const { return state == DataSetState::Edit || state == DataSetState::Insert; }
    bool filterActive() const { return filtered && onFilterRecord; }
    const Field& field(int index) const { return *self.fields_[static_cast<size_t>(index)]; }

    void requireActive() const
    {
        if (state == DataSetState::Inactive)
            throw Error("Cannot perform this operation on a closed dataset");
    }

    void notify(DataEvent event, const Field* changed = nullptr) const
    {
        if (controlsDisabled > 0)
            return;
        for (size_t i = 0; i < sources.size(); ++i)
            sources[i]->notify(event, changed);
    }

    // The buffer that field reads see.
    const RecordBuffer* currentBuffer() const
    {
        if (filterRecord)
            return filterRecord;
        if (editing())
            return &buffer;
        if (state == DataSetState::Browse && cursor >= 0)
            return &records[static_cast<size_t>(cursor)];
        return nullptr;
    }

    // Whether the filter, if one is active, accepts the record at the row.
    bool accepts(int row)
    {
        if (!filterActive())
            return true;
        const memtable::ValueRestorer<const RecordBuffer*> looking(
            filterRecord, &records[static_cast<size_t>(row)]);
        return onFilterRecord(self);
    }

    void placeCursor(int row)
    {
        cursor = row;
        eof = bof = row < 0;
    }

    // Ends a pending edit or insert: posted when something was written, else dropped.
    void endPending()
    {
        if (!editing())
            return;
        notify(DataEvent::UpdateRecord);
        if (modified)
            self.post();
        else
            self.cancel();
    }

    // The value a new record's auto-increment field gets: one more than the mark, none
    // when the mark is the largest number the field holds (a loaded value replaces the
    // proposal anyway, and an explicit value is all a record can have then).
    std::optional<int64_t> nextAutoIncValue() const
    {
        if (autoIncMark >= INT32_MAX)
            return std::nullopt;
        return autoIncMark + 1;
    }

    // Storage and conversion (MemTableStorage.cpp).

    Variant read(const RecordBuffer& record, const Field& f) const;
    // Converts and stores a value; true when the field's contents changed.
    bool store(RecordBuffer& record, const Field& f, const Variant& value) const;
    // A write through a field by the table's user.
    void write(const Field& f, const Variant& value);
    // A write of the pending record, by the user or by the table itself.
    void assign(const Field& f, const Variant& value, bool notifyControls = true);
    void computeLookups(bool notifyChanges);

    // Editing (MemTableEditing.cpp).

    void startNewRecord(bool atStart);
    void raiseAutoIncMark(const RecordBuffer& record);
    void refuseRecordWithoutNumber();
    void forgetRecords();

    // The cursor (MemTableCursor.cpp).

    // The first accepted record from `from` on in direction `step`, or -1.
    int findAccepted(int from, int step);

    // Ordering (MemTableOrder.cpp).

    int compareField(RecordView a, RecordView b, int i, MemTableOptions options) const;
    int compareKeys(RecordView a, RecordView b, const std::vector<int>& fields,
                    MemTableOptions options) const;
    // The sort order: keys, then the record-number slots; descending negates both.
    int compareForSort(RecordView a, RecordView b, const std::vector<int>& fields,
                       MemTableOptions options) const;
    std::vector<int> resolveSortFields(std::string_view names) const;
    void sortRecords(const std::vector<int>& fields, MemTableOptions options);
    // Moves the record just posted at `at` to its place among the others, which are in
    // order; returns its new position.
    int placeSorted(int at, const std::vector<int>& fields);

    // Search and lookups (MemTableSearch.cpp).

    SearchKey makeKey(std::string_view keyFields, const std::vector<Variant>& keyValues);
    void recycle(SearchKey& key) { spareKey = std::move(key.values); }
    int resultField(std::string_view name);
    // The row of the first record matching the key, or -1. Does not touch the cursor.
    int find(const SearchKey& key, MemTableOptions options);

private:
    void quickSort(int low, int high, const std::vector<int>& fields, MemTableOptions options);
    template<typename ValueOf>
    std::vector<memtable::SortKey> takeKeys(int fieldIndex, ValueOf valueOf) const;
    void orderByKeys(std::vector<memtable::SortKey>& keys, MemTableOptions options);
    void sortOnNumber(int fieldIndex, MemTableOptions options);
    void sortOnText(int fieldIndex, MemTableOptions options);
    int indexOf(const std::byte* identity) const;
    FieldList keyFieldList(std::string_view names);
    bool binarySearchAllowed(const std::vector<int>& keyFields, MemTableOptions options);
};

} // namespace tamisko
