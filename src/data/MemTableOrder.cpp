// Ordering of a memory table: records compared on a field list with options, the two
// sorts (a quicksort of the records, and a sort of keys taken out of them for one field)
// and the placement of a posted record among records in order.

#include "data/ByteStream.h"
#include "data/MemTableImpl.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>
#include <unordered_map>
#include <utility>

namespace tamisko {

using namespace memtable;

// Comparison ---------------------------------------------------------------------------

int MemTable::Impl::compareField(RecordView a, RecordView b, int i, MemTableOptions options) const
{
    const bool aNull = a.isNull(i);
    const bool bNull = b.isNull(i);
    if (aNull || bNull)
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    switch (storageOf(field(i).dataType())) {
    case Storage::String: {
        const std::string_view first = a.stringAt(i);
        std::string_view second = b.stringAt(i);
        if ((options & mtcoPartialKey) && second.size() > first.size())
            second = second.substr(0, first.size());
        const int result = collation->compare(first, second, (options & mtcoCaseInsensitive) != 0);
        return threeWay(result, 0);
    }
    case Storage::Integer:
        return threeWay(a.intAt(i), b.intAt(i));
    case Storage::Float:
        return threeWay(a.doubleAt(i), b.doubleAt(i));
    }
    return 0;
}

int MemTable::Impl::compareKeys(RecordView a, RecordView b, const std::vector<int>& fields,
                                MemTableOptions options) const
{
    for (const int i : fields) {
        if (const int result = compareField(a, b, i, options); result != 0)
            return result;
    }
    return 0;
}

int MemTable::Impl::compareForSort(RecordView a, RecordView b, const std::vector<int>& fields,
                                   MemTableOptions options) const
{
    int result = compareKeys(a, b, fields, options);
    if (result == 0)
        result = threeWay(a.recNoSlot(), b.recNoSlot());
    return (options & mtcoDescending) ? -result : result;
}

// The sorts --------------------------------------------------------------------------

std::vector<int> MemTable::Impl::resolveSortFields(std::string_view names) const
{
    std::vector<int> result;
    for (const std::string_view name : splitFieldNames(names)) {
        const Field& f = self.fieldByName(name);
        if (f.kind() == FieldKind::Lookup || !isSupported(f.dataType()))
            fail("Can't index on field %s", f.fieldName());
        result.push_back(f.index());
    }
    return result;
}

void MemTable::Impl::quickSort(int low, int high, const std::vector<int>& fields,
                               MemTableOptions options)
{
    while (low < high) {
        int left = low;
        int right = high;
        // The pivot is the record, not the slot: swaps move it around.
        const RecordView pivot = view(low + (high - low) / 2);
        do {
            while (compareForSort(view(left), pivot, fields, options) < 0)
                ++left;
            while (compareForSort(view(right), pivot, fields, options) > 0)
                --right;
            if (left <= right) {
                std::swap(records[static_cast<size_t>(left)], records[static_cast<size_t>(right)]);
                ++left;
                --right;
            }
        } while (left <= right);
        if (low < right)
            quickSort(low, right, fields, options);
        low = left;
    }
}

namespace {

// A hash of short texts eight bytes at a time (std::hash goes byte by byte and was the
// largest cost of a text sort).
struct TextHash final
{
    size_t operator()(std::string_view text) const noexcept
    {
        uint64_t hash = text.size() * 0x9E3779B97F4A7C15ull;
        size_t at = 0;
        const auto mix = [&hash](uint64_t word) {
            hash = (hash ^ word) * 0xBF58476D1CE4E5B9ull;
            hash ^= hash >> 31;
        };
        for (; at + 8 <= text.size(); at += 8) {
            uint64_t word = 0;
            std::memcpy(&word, text.data() + at, 8);
            mix(word);
        }
        uint64_t rest = 0;
        std::memcpy(&rest, text.data() + at, text.size() - at);
        mix(rest);
        return static_cast<size_t>(hash ^ (hash >> 29));
    }
};

constexpr uint32_t kNullMark = 0x80000000u;
constexpr uint32_t kSlotSignBit = 0x80000000u; // slots are signed

// Sorts keys on (value, slot), keeping keys equal in both in their order: for many keys
// a radix sort, one byte at a time from the slot's lowest, passing over the bytes that
// are the same in every key (dates and slots vary in a few bytes only).
void sortKeys(std::span<SortKey> keys, std::vector<SortKey>& spare)
{
    constexpr size_t kRadixFrom = 1024;
    constexpr int kBytes = 12;
    const size_t count = keys.size();
    if (count < kRadixFrom) {
        std::sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
            if (a.value != b.value)
                return a.value < b.value;
            if (a.slot != b.slot)
                return a.slot < b.slot;
            return a.index < b.index;
        });
        return;
    }
    const auto byteOf = [](const SortKey& key, int byte) -> unsigned {
        return byte < 4 ? (key.slot >> (8 * byte)) & 0xFFu
                        : static_cast<unsigned>(key.value >> (8 * (byte - 4))) & 0xFFu;
    };
    std::vector<std::array<size_t, 256>> counts(kBytes);
    for (const SortKey& key : keys) {
        for (int byte = 0; byte < kBytes; ++byte)
            ++counts[static_cast<size_t>(byte)][byteOf(key, byte)];
    }
    reserveLarge(spare, count);
    spare.resize(count);
    SortKey* from = keys.data();
    SortKey* to = spare.data();
    for (int byte = 0; byte < kBytes; ++byte) {
        std::array<size_t, 256>& start = counts[static_cast<size_t>(byte)];
        if (start[byteOf(from[0], byte)] == count)
            continue;
        size_t sum = 0;
        for (size_t& bucket : start)
            sum += std::exchange(bucket, sum);
        for (size_t i = 0; i < count; ++i)
            to[start[byteOf(from[i], byte)]++] = from[i];
        std::swap(from, to);
    }
    if (from != keys.data())
        std::copy(from, from + count, keys.data());
}

} // namespace

// The order of compareForSort on one field, found by sorting keys taken out of the
// records instead of comparing records through their fields: nulls first, then the
// values, then the record-number slots; descending reverses it all. Records equal in
// value and slot keep their relative order. The records are read in one pass (after a
// sort they lie in memory in another order than the table's, and each read is a cache
// miss): `valueOf(record)` gives a record's key, not null, as an unsigned number in the
// field's order.
template<typename ValueOf>
std::vector<SortKey> MemTable::Impl::takeKeys(int fieldIndex, ValueOf valueOf) const
{
    std::vector<SortKey> keys;
    reserveLarge(keys, records.size());
    keys.resize(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const RecordView record = records[i].view();
        const bool null = record.isNull(fieldIndex);
        keys[i] = {null ? 0 : valueOf(record),
                   static_cast<uint32_t>(record.recNoSlot()) ^ kSlotSignBit,
                   static_cast<uint32_t>(i) | (null ? kNullMark : 0)};
    }
    return keys;
}

void MemTable::Impl::orderByKeys(std::vector<SortKey>& keys, MemTableOptions options)
{
    // Descending sorts the keys' complements: larger values and slots first, equal ones
    // in their order as before.
    const bool descending = (options & mtcoDescending) != 0;
    size_t nulls = 0;
    for (SortKey& key : keys) {
        nulls += (key.index & kNullMark) != 0 ? 1 : 0;
        if (descending) {
            key.value = ~key.value;
            key.slot = ~key.slot;
        }
    }
    // The nulls go first, each part in its order.
    std::vector<SortKey> spare;
    reserveLarge(spare, keys.size());
    spare.resize(keys.size());
    size_t nextNull = 0;
    size_t nextValue = nulls;
    for (const SortKey& key : keys) {
        const bool null = (key.index & kNullMark) != 0;
        spare[null ? nextNull++ : nextValue++] = {key.value, key.slot, key.index & ~kNullMark};
    }
    keys.swap(spare);
    const std::span<SortKey> all(keys);
    sortKeys(all.first(nulls), spare);
    sortKeys(all.subspan(nulls), spare);
    if (descending) // nulls last
        std::rotate(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(nulls), keys.end());
    std::vector<RecordBuffer> ordered;
    reserveLarge(ordered, records.size());
    for (const SortKey& key : keys)
        ordered.push_back(std::move(records[key.index]));
    records.swap(ordered);
}

// A number as an unsigned key in its order (a NaN, which compares equal to everything
// field by field, gets a fixed place).
void MemTable::Impl::sortOnNumber(int fieldIndex, MemTableOptions options)
{
    constexpr uint64_t signBit = uint64_t{1} << 63;
    std::vector<SortKey> keys;
    if (storageOf(field(fieldIndex).dataType()) == Storage::Float) {
        keys = takeKeys(fieldIndex, [fieldIndex](const RecordView& record) {
            const double number = record.doubleAt(fieldIndex);
            const auto bits = std::bit_cast<uint64_t>(number == 0 ? 0.0 : number);
            return (bits & signBit) ? ~bits : (bits | signBit);
        });
    } else {
        keys = takeKeys(fieldIndex, [fieldIndex](const RecordView& record) {
            return static_cast<uint64_t>(record.intAt(fieldIndex)) ^ signBit;
        });
    }
    orderByKeys(keys, options);
}

// A text's key is its rank among the texts in the collation's order. Books repeat their
// descriptions and categories: each distinct text is ranked once.
void MemTable::Impl::sortOnText(int fieldIndex, MemTableOptions options)
{
    std::unordered_map<std::string_view, uint32_t, TextHash> indexOf;
    std::vector<std::string_view> distinct;
    std::vector<SortKey> keys = takeKeys(fieldIndex, [&](const RecordView& record) {
        const std::string_view text = record.stringAt(fieldIndex);
        const auto [at, added] = indexOf.try_emplace(text, static_cast<uint32_t>(distinct.size()));
        if (added)
            distinct.push_back(text);
        return uint64_t{at->second};
    });
    const std::vector<uint32_t> ranks =
        collation->ranks(distinct, (options & mtcoCaseInsensitive) != 0);
    for (SortKey& key : keys) {
        if ((key.index & kNullMark) == 0)
            key.value = ranks[key.value];
    }
    orderByKeys(keys, options);
}

void MemTable::Impl::sortRecords(const std::vector<int>& fields, MemTableOptions options)
{
    const std::byte* current =
        cursor >= 0 ? records[static_cast<size_t>(cursor)].identity() : nullptr;
    const bool oneField = fields.size() == 1;
    if (oneField && storageOf(field(fields.front()).dataType()) != Storage::String)
        sortOnNumber(fields.front(), options);
    else if (oneField && !(options & mtcoPartialKey))
        sortOnText(fields.front(), options);
    else
        quickSort(0, recordTotal() - 1, fields, options);
    if (current)
        cursor = indexOf(current);
    sorted = true;
}

int MemTable::Impl::indexOf(const std::byte* identity) const
{
    for (int i = 0; i < recordTotal(); ++i) {
        if (records[static_cast<size_t>(i)].identity() == identity)
            return i;
    }
    return -1;
}

int MemTable::Impl::placeSorted(int at, const std::vector<int>& fields)
{
    const int count = recordTotal();
    if (count < 2)
        return at;
    const auto compareWith = [&](int other) {
        return compareForSort(view(at), view(other), fields, sortOptions);
    };
    bool lookRight = at == 0;
    if (at > 0 && at < count - 1) {
        const int result = compareWith(at + 1);
        if (result == 0)
            return at;
        lookRight = result > 0;
    }
    int target = at;
    if (lookRight) {
        if (compareWith(at + 1) <= 0)
            return at;
        if (compareWith(count - 1) >= 0) {
            target = count - 1;
        } else {
            int below = at + 1;    // smaller than the record
            int above = count - 1; // larger than the record
            while (above - below > 1) {
                const int middle = below + (above - below) / 2;
                (compareWith(middle) > 0 ? below : above) = middle;
            }
            target = below;
        }
        const auto begin = records.begin();
        std::rotate(begin + at, begin + at + 1, begin + target + 1);
    } else {
        if (compareWith(at - 1) >= 0)
            return at;
        if (compareWith(0) <= 0) {
            target = 0;
        } else {
            int below = 0;
            int above = at - 1;
            while (above - below > 1) {
                const int middle = below + (above - below) / 2;
                (compareWith(middle) < 0 ? above : below) = middle;
            }
            target = above;
        }
        const auto begin = records.begin();
        std::rotate(begin + target, begin + at, begin + at + 1);
    }
    return target;
}

// Sort settings ------------------------------------------------------------------------

const std::string& MemTable::sortFields() const
{
    return impl_->sortFields;
}

void MemTable::setSortFields(std::string fields)
{
    impl_->sortFields = std::move(fields);
}

MemTableOptions MemTable::sortOptions() const
{
    return impl_->sortOptions;
}

void MemTable::setSortOptions(MemTableOptions options)
{
    impl_->sortOptions = options;
}

bool MemTable::autoSort() const
{
    return impl_->autoSort;
}

void MemTable::setAutoSort(bool on)
{
    impl_->autoSort = on;
    if (on && active())
        sortByFields(impl_->sortFields, impl_->sortOptions);
}

bool MemTable::doBinaryLocate() const
{
    return impl_->doBinaryLocate;
}

void MemTable::setDoBinaryLocate(bool on)
{
    impl_->doBinaryLocate = on;
}

bool MemTable::isSorted() const
{
    return impl_->sorted;
}

void MemTable::sortByFields(std::string_view fieldNames, MemTableOptions options)
{
    Impl& d = *impl_;
    const std::vector<int> fields = d.resolveSortFields(fieldNames);
    d.sortOptions = options;
    if (!active())
        return;
    d.endPending();
    if (d.records.empty() || fields.empty())
        return;
    d.sortRecords(fields, options);
    d.notify(DataEvent::DataSetChanged);
}

} // namespace tamisko
