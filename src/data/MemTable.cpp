#include "data/MemTable.h"

#include "data/Cp1253.h"
#include "data/DayNumber.h"
#include "data/Errors.h"
#include "data/RecordBuffer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <utility>

namespace tamisko {
namespace {

// The bookmark counter must never pass this value.
constexpr int32_t lastBookmark = 2147483599;

enum class Storage
{
    String,
    Integer,
    Float
};

Storage storageOf(FieldType type)
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

// The type numbers of the data-set toolkit whose files and messages we follow.
int toolkitTypeNumber(FieldType type)
{
    switch (type) {
    case FieldType::String:
        return 1;
    case FieldType::SmallInt:
        return 2;
    case FieldType::Integer:
        return 3;
    case FieldType::Word:
        return 4;
    case FieldType::Boolean:
        return 5;
    case FieldType::Float:
        return 6;
    case FieldType::Currency:
        return 7;
    case FieldType::Date:
        return 9;
    case FieldType::Time:
        return 10;
    case FieldType::DateTime:
        return 11;
    case FieldType::AutoInc:
        return 14;
    case FieldType::Blob:
        return 15;
    case FieldType::LargeInt:
        return 25;
    }
    return 0;
}

bool isSupported(FieldType type)
{
    return type != FieldType::Blob;
}

// Whether a float, currency, date or time field can hold the number, a date already cut
// to its day: what a record stream can read back, finite amounts and days of the years
// 1 to 9999, so that no book is saved that does not open again.
bool numberFits(FieldType type, double number)
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

char asciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiUpper(x) == asciiUpper(y);
           });
}

// "A;B ; C" -> {"A", "B", "C"}
std::vector<std::string_view> splitFieldNames(std::string_view names)
{
    std::vector<std::string_view> result;
    while (!names.empty()) {
        const size_t end = std::min(names.find(';'), names.size());
        std::string_view name = names.substr(0, end);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        if (!name.empty())
            result.push_back(name);
        names.remove_prefix(std::min(end + 1, names.size()));
    }
    return result;
}

template<typename T> int threeWay(T a, T b)
{
    return (a > b) - (a < b);
}

[[noreturn]] void fail(std::string_view pattern, std::string_view argument)
{
    throw Error(formatMessage(pattern, argument));
}

// Said to the user who adds a record when the auto-increment field has no number left.
const std::string& noNumberLeftMessage()
{
    static const std::string message = cp1253::fromUtf8OrThrow(
        "Δεν υπάρχει άλλος διαθέσιμος αριθμός για το πεδίο '%s'· η νέα εγγραφή δεν "
        "καταχωρήθηκε.");
    return message;
}

// Restores a value when the scope ends, also on exceptions.
template<typename T> class ValueRestorer
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

} // namespace

struct MemTable::Impl
{
    explicit Impl(MemTable& owner) : self(owner) {}

    struct LookupBinding
    {
        int field = -1;
        std::vector<int> keyFields;
        std::vector<Variant> keyValues; // reused: lookups run on every field write
    };

    using FieldList = std::shared_ptr<const std::vector<int>>;

    // Key values converted to the key fields' types, ready for comparison.
    struct SearchKey
    {
        FieldList fields;
        RecordBuffer values;
    };

    // Lookup fields search the same fields of the same table over and over: keep the
    // last resolution of a field list.
    struct FieldListCache
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

    Variant read(const RecordBuffer& record, const Field& f) const
    {
        const int i = f.index();
        if (record.isNull(i))
            return Variant::null();
        switch (f.dataType()) {
        case FieldType::String:
            return Variant::fromString(std::string(record.stringAt(i)));
        case FieldType::SmallInt:
            return Variant::fromSmallInt(static_cast<int16_t>(record.intAt(i)));
        case FieldType::Integer:
        case FieldType::Word:
        case FieldType::AutoInc:
            return Variant::fromInt(static_cast<int32_t>(record.intAt(i)));
        case FieldType::LargeInt: {
            const int64_t value = record.intAt(i);
            if (value >= INT32_MIN && value <= INT32_MAX)
                return Variant::fromInt(static_cast<int32_t>(value));
            return Variant::fromDouble(static_cast<double>(value));
        }
        case FieldType::Boolean:
            return Variant::fromBool(record.intAt(i) != 0);
        case FieldType::Float:
        case FieldType::Currency:
            return Variant::fromDouble(record.doubleAt(i));
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime:
            return Variant::fromDate(record.doubleAt(i));
        case FieldType::Blob:
            break;
        }
        return Variant::null();
    }

    // Converts and stores a value; true when the field's contents changed.
    bool store(RecordBuffer& record, const Field& f, const Variant& value) const
    {
        const int i = f.index();
        const bool wasNull = record.isNull(i);
        if (value.isNullOrEmpty()) {
            if (!wasNull)
                record.setNull(layout, i);
            return !wasNull;
        }
        try {
            switch (storageOf(f.dataType())) {
            case Storage::String: {
                const std::string text = textFor(f, value);
                if (!wasNull && record.stringAt(i) == text)
                    return false;
                record.setString(layout, i, text);
                return true;
            }
            case Storage::Integer: {
                const int64_t number = integerFor(f, value);
                if (!wasNull && record.intAt(i) == number)
                    return false;
                record.setInt(i, number);
                return true;
            }
            case Storage::Float: {
                double number = value.toDouble();
                if (f.dataType() == FieldType::Date)
                    number = std::trunc(number);
                if (!numberFits(f.dataType(), number))
                    throw Error("out of range");
                if (!wasNull && record.doubleAt(i) == number)
                    return false;
                record.setDouble(i, number);
                return true;
            }
            }
        } catch (const Error&) {
        }
        fail("Invalid value for field '%s'", f.displayName());
    }

    // The text a string field stores for a value that is not null.
    static std::string textFor(const Field& f, const Variant& value)
    {
        std::string text = value.toString();
        if (f.def().size > 0 && text.size() > static_cast<size_t>(f.def().size))
            text.resize(static_cast<size_t>(f.def().size));
        return text;
    }

    static int64_t integerFor(const Field& f, const Variant& value)
    {
        switch (f.dataType()) {
        case FieldType::Boolean:
            return value.toBool() ? 1 : 0;
        case FieldType::LargeInt:
            return value.toInt64();
        default:
            break;
        }
        const int64_t number = value.toInt64();
        if (!integerFits(f.dataType(), number))
            throw Error("out of range");
        return number;
    }

    // Whether an integer field of the type can hold the number (booleans aside).
    static bool integerFits(FieldType type, int64_t number)
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

    // A write through a field by the table's user.
    void write(const Field& f, const Variant& value)
    {
        if (!editing())
            throw Error("Dataset is not in edit mode.");
        if (f.def().readOnly)
            fail("Field %s is read only", f.displayName());
        assign(f, value);
    }

    // A write of the pending record, by the user or by the table itself.
    void assign(const Field& f, const Variant& value, bool notifyControls = true)
    {
        const bool changed = store(buffer, f, value);
        modified = true;
        if (changed && state == DataSetState::Edit)
            sorted = false;
        if (notifyControls)
            notify(DataEvent::RecordChanged, &f);
        if (f.kind() == FieldKind::Data)
            computeLookups(notifyControls);
    }

    void computeLookups(bool notifyChanges)
    {
        for (LookupBinding& binding : lookups) {
            const Field& f = field(binding.field);
            MemTable* source = f.def().lookupDataSet;
            if (!source)
                continue;
            binding.keyValues.clear();
            for (const int key : binding.keyFields)
                binding.keyValues.push_back(read(buffer, field(key)));
            const Variant result = source->lookup(f.def().lookupKeyFields, binding.keyValues,
                                                  f.def().lookupResultField);
            if (!store(buffer, f, result))
                continue;
            if (state == DataSetState::Edit)
                sorted = false;
            if (notifyChanges)
                notify(DataEvent::RecordChanged, &f);
        }
    }

    // Record comparison -------------------------------------------------------------

    int compareField(RecordView a, RecordView b, int i, MemTableOptions options) const
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
            const int result =
                collation->compare(first, second, (options & mtcoCaseInsensitive) != 0);
            return threeWay(result, 0);
        }
        case Storage::Integer:
            return threeWay(a.intAt(i), b.intAt(i));
        case Storage::Float:
            return threeWay(a.doubleAt(i), b.doubleAt(i));
        }
        return 0;
    }

    int compareKeys(RecordView a, RecordView b, const std::vector<int>& fields,
                    MemTableOptions options) const
    {
        for (const int i : fields) {
            if (const int result = compareField(a, b, i, options); result != 0)
                return result;
        }
        return 0;
    }

    // The sort order: keys, then the record-number slots; descending negates both.
    int compareForSort(RecordView a, RecordView b, const std::vector<int>& fields,
                       MemTableOptions options) const
    {
        int result = compareKeys(a, b, fields, options);
        if (result == 0)
            result = threeWay(a.recNoSlot(), b.recNoSlot());
        return (options & mtcoDescending) ? -result : result;
    }

    // Sorting -----------------------------------------------------------------------

    std::vector<int> resolveSortFields(std::string_view names) const
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

    void quickSort(int low, int high, const std::vector<int>& fields, MemTableOptions options)
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
                    std::swap(records[static_cast<size_t>(left)],
                              records[static_cast<size_t>(right)]);
                    ++left;
                    --right;
                }
            } while (left <= right);
            if (low < right)
                quickSort(low, right, fields, options);
            low = left;
        }
    }

    // The order of compareForSort on one number field, found by sorting keys taken out
    // of the records once instead of comparing records through their fields: nulls
    // first, then the values, then the record-number slots; descending reverses it all.
    // Records equal in value and slot keep their relative order. (A NaN, which compares
    // equal to everything field by field, gets a fixed place here.)
    void sortOnNumber(int fieldIndex, MemTableOptions options)
    {
        struct Key
        {
            uint64_t value; // ordered as the stored number
            int32_t slot;
            uint32_t index;
        };
        constexpr uint64_t signBit = uint64_t{1} << 63;
        const bool isFloat = storageOf(field(fieldIndex).dataType()) == Storage::Float;
        std::vector<Key> keys(records.size());
        size_t nulls = 0;
        for (const RecordBuffer& record : records) {
            if (record.isNull(fieldIndex))
                ++nulls;
        }
        size_t nextNull = 0;
        size_t nextValue = nulls;
        for (size_t i = 0; i < records.size(); ++i) {
            const RecordView record = records[i].view();
            const auto index = static_cast<uint32_t>(i);
            if (record.isNull(fieldIndex)) {
                keys[nextNull++] = {0, record.recNoSlot(), index};
                continue;
            }
            uint64_t value = 0;
            if (isFloat) {
                const double number = record.doubleAt(fieldIndex);
                const auto bits = std::bit_cast<uint64_t>(number == 0 ? 0.0 : number);
                value = (bits & signBit) ? ~bits : (bits | signBit);
            } else {
                value = static_cast<uint64_t>(record.intAt(fieldIndex)) ^ signBit;
            }
            keys[nextValue++] = {value, record.recNoSlot(), index};
        }
        const bool descending = (options & mtcoDescending) != 0;
        const auto before = [descending](const Key& a, const Key& b) {
            if (a.value != b.value)
                return descending ? a.value > b.value : a.value < b.value;
            if (a.slot != b.slot)
                return descending ? a.slot > b.slot : a.slot < b.slot;
            return a.index < b.index;
        };
        std::sort(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(nulls), before);
        std::sort(keys.begin() + static_cast<std::ptrdiff_t>(nulls), keys.end(), before);
        if (descending) // nulls last
            std::rotate(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(nulls),
                        keys.end());
        std::vector<RecordBuffer> ordered;
        ordered.reserve(records.size());
        for (const Key& key : keys)
            ordered.push_back(std::move(records[key.index]));
        records.swap(ordered);
    }

    void sortRecords(const std::vector<int>& fields, MemTableOptions options)
    {
        const std::byte* current =
            cursor >= 0 ? records[static_cast<size_t>(cursor)].identity() : nullptr;
        if (fields.size() == 1 && storageOf(field(fields.front()).dataType()) != Storage::String)
            sortOnNumber(fields.front(), options);
        else
            quickSort(0, recordTotal() - 1, fields, options);
        if (current)
            cursor = indexOf(current);
        sorted = true;
    }

    int indexOf(const std::byte* identity) const
    {
        for (int i = 0; i < recordTotal(); ++i) {
            if (records[static_cast<size_t>(i)].identity() == identity)
                return i;
        }
        return -1;
    }

    // Moves the record just posted at `at` to its place among the others, which are in
    // order; returns its new position.
    int placeSorted(int at, const std::vector<int>& fields)
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

    // Filtering and searching --------------------------------------------------------

    bool accepts(int row)
    {
        if (!filterActive())
            return true;
        const ValueRestorer<const RecordBuffer*> looking(filterRecord,
                                                         &records[static_cast<size_t>(row)]);
        return onFilterRecord(self);
    }

    // The first accepted record from `from` on in direction `step`, or -1.
    int findAccepted(int from, int step)
    {
        for (int i = from; i >= 0 && i < recordTotal(); i += step) {
            if (accepts(i))
                return i;
        }
        return -1;
    }

    template<typename Resolve>
    static FieldList cached(FieldListCache& cache, std::string_view names, Resolve resolve)
    {
        if (!cache.fields || cache.names != names) {
            cache.fields = std::make_shared<const std::vector<int>>(resolve(names));
            cache.names = names;
        }
        return cache.fields;
    }

    FieldList keyFieldList(std::string_view names)
    {
        return cached(keyFieldCache, names, [this](std::string_view list) {
            std::vector<int> result;
            for (const std::string_view name : splitFieldNames(list)) {
                const Field& f = self.fieldByName(name);
                if (!isSupported(f.dataType()))
                    fail("Can't index on field %s", f.fieldName());
                result.push_back(f.index());
            }
            if (result.empty())
                throw Error("There must be at least one field");
            return result;
        });
    }

    int resultField(std::string_view name)
    {
        return cached(resultFieldCache, name,
                      [this](std::string_view field) {
                          return std::vector<int>{self.fieldByName(field).index()};
                      })
            ->front();
    }

    SearchKey makeKey(std::string_view keyFields, const std::vector<Variant>& keyValues)
    {
        SearchKey key{keyFieldList(keyFields), {}};
        if (key.fields->size() > keyValues.size())
            throw Error("More fields than values");
        key.values = spareKey ? std::move(spareKey) : RecordBuffer::create(layout);
        for (size_t k = 0; k < key.fields->size(); ++k)
            store(key.values, field((*key.fields)[k]), keyValues[k]);
        return key;
    }

    void recycle(SearchKey& key) { spareKey = std::move(key.values); }

    // Binary search gives the scan's answer only where comparing with the key orders the
    // records as the sort did, up to holding more of them equal. A cut to the key's length
    // (partial key) changes the order of texts. Without regard to case a case-sensitive
    // order is still in order, but only on the last key field, as the fields after it are
    // ordered within the case-sensitive runs; and records that a case-insensitive sort
    // holds equal lie in no case-sensitive order at all.
    bool binarySearchAllowed(const std::vector<int>& keyFields, MemTableOptions options)
    {
        if (!doBinaryLocate || !sorted || filterActive())
            return false;
        const bool caseInsensitive = (options & mtcoCaseInsensitive) != 0;
        const bool sortCaseInsensitive = (sortOptions & mtcoCaseInsensitive) != 0;
        for (size_t k = 0; k < keyFields.size(); ++k) {
            if (!layout.isString(keyFields[k]))
                continue;
            if ((options | sortOptions) & mtcoPartialKey)
                return false;
            if (sortCaseInsensitive && !caseInsensitive)
                return false;
            if (caseInsensitive && !sortCaseInsensitive && k + 1 < keyFields.size())
                return false;
        }
        const FieldList sortList =
            cached(sortFieldCache, sortFields, [this](std::string_view list) {
                std::vector<int> result;
                for (const std::string_view name : splitFieldNames(list)) {
                    const Field* f = self.findField(name);
                    result.push_back(f ? f->index() : -1);
                }
                return result;
            });
        return keyFields.size() <= sortList->size() &&
               std::equal(keyFields.begin(), keyFields.end(), sortList->begin());
    }

    // The row of the first record matching the key, or -1. Does not touch the cursor.
    int find(const SearchKey& key, MemTableOptions options)
    {
        options &= mtcoCaseInsensitive | mtcoPartialKey;
        if (binarySearchAllowed(*key.fields, options)) {
            // The first record not below the key: the scan's match when there is one.
            const auto compareWith = [&](int row) {
                const int result = compareKeys(key.values.view(), view(row), *key.fields, options);
                return (sortOptions & mtcoDescending) ? -result : result;
            };
            int low = 0;
            int high = recordTotal();
            while (low < high) {
                const int middle = low + (high - low) / 2;
                if (compareWith(middle) > 0)
                    low = middle + 1;
                else
                    high = middle;
            }
            return low < recordTotal() && compareWith(low) == 0 ? low : -1;
        }
        for (int i = 0; i < recordTotal(); ++i) {
            if (compareKeys(key.values.view(), view(i), *key.fields, options) == 0 && accepts(i))
                return i;
        }
        return -1;
    }

    // Editing -----------------------------------------------------------------------

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

    // The new record is whole before the table enters insert state: a failure leaves the
    // table in browse state, as the views last heard of it.
    void startNewRecord(bool atStart)
    {
        requireActive();
        endPending();
        buffer = RecordBuffer::create(layout);
        insertAtStart = atStart;
        state = DataSetState::Insert;
        try {
            if (autoIncField >= 0) {
                if (const std::optional<int64_t> number = nextAutoIncValue())
                    buffer.setInt(autoIncField, *number);
                computeLookups(false); // as after every write of a data field
            }
        } catch (...) {
            buffer = {};
            state = DataSetState::Browse;
            throw;
        }
        modified = false;
        notify(DataEvent::StateChanged);
        notify(DataEvent::DataSetChanged);
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

    void raiseAutoIncMark(const RecordBuffer& record)
    {
        if (autoIncField < 0)
            return;
        const int64_t value = record.isNull(autoIncField) ? 0 : record.intAt(autoIncField);
        autoIncMark = std::max(autoIncMark, value);
    }

    // A new record that must have an auto-increment value but got none because every
    // number is taken can never be posted: it is dropped, and the user told why.
    void refuseRecordWithoutNumber()
    {
        if (state != DataSetState::Insert || autoIncField < 0 || nextAutoIncValue())
            return;
        const Field& f = field(autoIncField);
        if (!f.def().required || !buffer.isNull(autoIncField))
            return;
        self.cancel();
        fail(noNumberLeftMessage(), f.displayName());
    }

    void forgetRecords()
    {
        records.clear();
        cursor = -1;
        eof = bof = true;
        sorted = false;
        nextBookmark = 1;
    }

    void placeCursor(int row)
    {
        cursor = row;
        eof = bof = row < 0;
    }
};

// Field ------------------------------------------------------------------------------

Field::Field(MemTable& table, int index, FieldDef def)
    : table_(&table), index_(index), def_(std::move(def))
{}

const std::string& Field::displayName() const
{
    return def_.displayLabel.empty() ? def_.name : def_.displayLabel;
}

bool Field::isNull() const
{
    const RecordBuffer* record = table_->impl_->currentBuffer();
    return !record || record->isNull(index_);
}

Variant Field::value() const
{
    const RecordBuffer* record = table_->impl_->currentBuffer();
    return record ? table_->impl_->read(*record, *this) : Variant::null();
}

void Field::setValue(const Variant& value)
{
    table_->impl_->write(*this, value);
}

void Field::clear()
{
    setValue(Variant::null());
}

double Field::asFloat() const
{
    return isNull() ? 0.0 : value().toDouble();
}

int32_t Field::asInteger() const
{
    return isNull() ? 0 : value().toInt32();
}

std::string Field::asString() const
{
    return value().toString();
}

bool Field::asBoolean() const
{
    return !isNull() && value().toBool();
}

// MemTable ---------------------------------------------------------------------------

MemTable::MemTable(std::string name) : name_(std::move(name)), impl_(std::make_unique<Impl>(*this))
{}

MemTable::~MemTable()
{
    const std::vector<DataSource*> sources = impl_->sources;
    for (DataSource* source : sources)
        source->setDataSet(nullptr);
}

Field& MemTable::addField(FieldDef def)
{
    if (active())
        throw Error("Cannot perform this operation on an open dataset");
    const int index = fieldCount();
    fields_.push_back(std::make_unique<Field>(*this, index, std::move(def)));
    return *fields_.back();
}

void MemTable::open()
{
    if (active())
        return;
    if (fieldCount() > RecordLayout::maxFields)
        throw Error("Too many fields in table " + name_);
    std::vector<bool> stringFields;
    int autoIncField = -1;
    std::vector<Impl::LookupBinding> lookups;
    for (const auto& f : fields_) {
        if (!isSupported(f->dataType()))
            throw Error("Fielddef " + f->fieldName() + " (" + f->displayName() + ")" +
                        formatMessage(" Datatype %d not supported.)",
                                      std::to_string(toolkitTypeNumber(f->dataType()))));
        stringFields.push_back(storageOf(f->dataType()) == Storage::String);
        if (f->dataType() == FieldType::AutoInc && autoIncField < 0)
            autoIncField = f->index();
        if (f->kind() == FieldKind::Lookup) {
            Impl::LookupBinding binding;
            binding.field = f->index();
            for (const std::string_view key : splitFieldNames(f->def().keyFields))
                binding.keyFields.push_back(fieldByName(key).index());
            lookups.push_back(std::move(binding));
        }
    }
    impl_->layout = RecordLayout(std::move(stringFields));
    impl_->autoIncField = autoIncField;
    impl_->lookups = std::move(lookups);
    impl_->forgetRecords();
    impl_->autoIncMark = -1;
    impl_->state = DataSetState::Browse;
    if (impl_->autoSort)
        sortByFields(impl_->sortFields, impl_->sortOptions);
    impl_->notify(DataEvent::DataSetChanged);
}

bool MemTable::active() const
{
    return impl_->state != DataSetState::Inactive;
}

int MemTable::fieldCount() const
{
    return static_cast<int>(fields_.size());
}

Field& MemTable::field(int index)
{
    return *fields_.at(static_cast<size_t>(index));
}

const Field& MemTable::field(int index) const
{
    return *fields_.at(static_cast<size_t>(index));
}

Field* MemTable::findField(std::string_view name)
{
    for (const auto& f : fields_) {
        if (sameName(f->fieldName(), name))
            return f.get();
    }
    return nullptr;
}

Field& MemTable::fieldByName(std::string_view name)
{
    if (Field* f = findField(name))
        return *f;
    fail("Field '%s' not found", name);
}

const Field& MemTable::fieldByName(std::string_view name) const
{
    return const_cast<MemTable*>(this)->fieldByName(name);
}

DataSetState MemTable::state() const
{
    return impl_->state;
}

bool MemTable::modified() const
{
    return impl_->editing() && impl_->modified;
}

void MemTable::append()
{
    impl_->startNewRecord(false);
}

void MemTable::insert()
{
    impl_->startNewRecord(true);
}

void MemTable::edit()
{
    Impl& d = *impl_;
    d.requireActive();
    if (d.editing())
        return;
    if (d.cursor < 0) {
        insert();
        return;
    }
    d.buffer = d.records[static_cast<size_t>(d.cursor)].clone(d.layout);
    d.buffer.setRecNoSlot(d.cursor + 1);
    d.state = DataSetState::Edit;
    d.modified = false;
    try {
        d.computeLookups(false);
    } catch (...) {
        d.buffer = {};
        d.state = DataSetState::Browse;
        throw;
    }
    d.notify(DataEvent::StateChanged);
    d.notify(DataEvent::RecordChanged);
}

void MemTable::post()
{
    Impl& d = *impl_;
    if (!d.editing())
        return;
    d.notify(DataEvent::UpdateRecord);
    d.refuseRecordWithoutNumber();
    for (const auto& f : fields_) {
        if (f->def().required && d.buffer.isNull(f->index()))
            fail("Field '%s' must have a value", f->displayName());
    }
    const bool adding = d.state == DataSetState::Insert;
    if (adding && d.nextBookmark >= lastBookmark)
        throw Error("Bookmark counter is out of range. Please close and reopen table.");
    std::vector<int> sortFields;
    if (d.autoSort)
        sortFields = d.resolveSortFields(d.sortFields);

    d.raiseAutoIncMark(d.buffer);
    int row = d.cursor;
    if (adding) {
        d.buffer.setBookmark(d.nextBookmark++);
        if (d.insertAtStart) {
            d.records.insert(d.records.begin(), std::move(d.buffer));
            row = 0;
        } else {
            d.records.push_back(std::move(d.buffer));
            row = d.recordTotal() - 1;
        }
        d.sorted = false;
    } else {
        d.records[static_cast<size_t>(row)] = std::move(d.buffer);
    }
    d.buffer = {};
    if (!sortFields.empty()) {
        row = d.placeSorted(row, sortFields);
        d.sorted = true;
    }
    d.placeCursor(row);
    d.state = DataSetState::Browse;
    d.modified = false;
    d.notify(DataEvent::StateChanged);
    d.notify(DataEvent::DataSetChanged);
    if (d.afterPost)
        d.afterPost(*this);
}

void MemTable::cancel()
{
    Impl& d = *impl_;
    if (!d.editing())
        return;
    d.buffer = {};
    d.state = DataSetState::Browse;
    d.modified = false;
    d.notify(DataEvent::StateChanged);
    d.notify(DataEvent::DataSetChanged);
}

void MemTable::deleteRecord()
{
    Impl& d = *impl_;
    d.requireActive();
    if (d.state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (d.cursor < 0)
        return;
    const bool wasEditing = d.state == DataSetState::Edit;
    d.buffer = {};
    d.state = DataSetState::Browse;
    d.modified = false;
    const int row = d.cursor;
    d.records.erase(d.records.begin() + row);
    if (d.records.empty()) {
        d.forgetRecords();
    } else {
        int next = d.findAccepted(row, 1);
        if (next < 0)
            next = d.findAccepted(row - 1, -1);
        d.placeCursor(next);
    }
    if (wasEditing)
        d.notify(DataEvent::StateChanged);
    d.notify(DataEvent::DataSetChanged);
    if (d.afterDelete)
        d.afterDelete(*this);
}

void MemTable::first()
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    const int row = d.findAccepted(0, 1);
    d.cursor = row;
    d.bof = true;
    d.eof = row < 0;
    d.notify(DataEvent::DataSetChanged);
}

void MemTable::last()
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    const int row = d.findAccepted(d.recordTotal() - 1, -1);
    d.cursor = row;
    d.eof = true;
    d.bof = row < 0;
    d.notify(DataEvent::DataSetChanged);
}

void MemTable::next()
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    const int row = d.cursor < 0 ? -1 : d.findAccepted(d.cursor + 1, 1);
    if (row < 0) {
        d.eof = true;
        return;
    }
    d.cursor = row;
    d.eof = d.bof = false;
    d.notify(DataEvent::Scrolled);
}

void MemTable::prior()
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    const int row = d.cursor < 0 ? -1 : d.findAccepted(d.cursor - 1, -1);
    if (row < 0) {
        d.bof = true;
        return;
    }
    d.cursor = row;
    d.eof = d.bof = false;
    d.notify(DataEvent::Scrolled);
}

bool MemTable::eof() const
{
    return impl_->eof || impl_->cursor < 0;
}

bool MemTable::bof() const
{
    return impl_->bof || impl_->cursor < 0;
}

bool MemTable::isEmpty() const
{
    if (impl_->state == DataSetState::Insert)
        return false;
    return impl_->findAccepted(0, 1) < 0;
}

Variant MemTable::fieldValue(std::string_view name) const
{
    return fieldByName(name).value();
}

void MemTable::setFieldValue(std::string_view name, const Variant& value)
{
    fieldByName(name).setValue(value);
}

int MemTable::recNo() const
{
    const Impl& d = *impl_;
    switch (d.state) {
    case DataSetState::Insert:
        return -1;
    case DataSetState::Edit:
        return d.buffer.recNoSlot();
    case DataSetState::Browse:
        return d.cursor >= 0 ? d.cursor + 1 : -1;
    case DataSetState::Inactive:
        break;
    }
    return -1;
}

void MemTable::setRecNo(int recNo)
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    if (recNo >= 1 && recNo <= d.recordTotal())
        d.placeCursor(recNo - 1);
    d.notify(DataEvent::DataSetChanged);
}

int MemTable::recordCount() const
{
    Impl& d = *impl_;
    if (!d.filterActive())
        return d.recordTotal();
    int count = 0;
    for (int i = 0; i < d.recordTotal(); ++i)
        count += d.accepts(i) ? 1 : 0;
    return count;
}

void MemTable::clearRecords()
{
    if (!active())
        return;
    disableControls();
    cancel();
    impl_->forgetRecords();
    enableControls();
    first();
}

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

bool MemTable::locate(std::string_view keyFields, const std::vector<Variant>& keyValues,
                      MemTableOptions options)
{
    Impl& d = *impl_;
    d.requireActive();
    Impl::SearchKey key = d.makeKey(keyFields, keyValues);
    d.endPending();
    const int row = d.find(key, options);
    d.recycle(key);
    if (row < 0)
        return false;
    d.placeCursor(row);
    d.notify(DataEvent::DataSetChanged);
    return true;
}

Variant MemTable::lookup(std::string_view keyFields, const std::vector<Variant>& keyValues,
                         std::string_view resultField)
{
    Impl& d = *impl_;
    if (!active())
        return Variant::null();
    Impl::SearchKey key = d.makeKey(keyFields, keyValues);
    const Field& result = field(d.resultField(resultField));
    const int row = d.find(key, 0);
    d.recycle(key);
    return row < 0 ? Variant::null() : d.read(d.records[static_cast<size_t>(row)], result);
}

bool MemTable::filtered() const
{
    return impl_->filtered;
}

void MemTable::setFiltered(bool on)
{
    impl_->filtered = on;
}

void MemTable::setOnFilterRecord(std::function<bool(MemTable&)> accept)
{
    impl_->onFilterRecord = std::move(accept);
}

void MemTable::setAfterPost(std::function<void(MemTable&)> handler)
{
    impl_->afterPost = std::move(handler);
}

void MemTable::setAfterDelete(std::function<void(MemTable&)> handler)
{
    impl_->afterDelete = std::move(handler);
}

void MemTable::attach(DataSource* source)
{
    if (!source)
        return;
    auto& sources = impl_->sources;
    if (std::find(sources.begin(), sources.end(), source) == sources.end())
        sources.push_back(source);
    if (source->dataSet() != this)
        source->setDataSet(this);
}

void MemTable::detach(DataSource* source)
{
    auto& sources = impl_->sources;
    sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
    if (source && source->dataSet() == this)
        source->setDataSet(nullptr);
}

void MemTable::disableControls()
{
    ++impl_->controlsDisabled;
}

void MemTable::enableControls()
{
    if (impl_->controlsDisabled == 0)
        return;
    if (--impl_->controlsDisabled == 0)
        impl_->notify(DataEvent::DataSetChanged);
}

bool MemTable::controlsDisabled() const
{
    return impl_->controlsDisabled > 0;
}

void MemTable::setCollation(std::shared_ptr<const Collation> collation)
{
    impl_->collation = collation ? std::move(collation) : greekCollation();
}

int MemTable::rowCount() const
{
    return impl_->recordTotal();
}

Variant MemTable::valueAt(int row, int fieldIndex) const
{
    if (row < 0 || row >= rowCount())
        return Variant::null();
    return impl_->read(impl_->records[static_cast<size_t>(row)], field(fieldIndex));
}

bool MemTable::isNullAt(int row, int fieldIndex) const
{
    if (row < 0 || row >= rowCount() || fieldIndex < 0 || fieldIndex >= fieldCount())
        return true;
    return impl_->records[static_cast<size_t>(row)].isNull(fieldIndex);
}

void MemTable::forEachRecord(const std::function<void(const RecordView&)>& visit)
{
    Impl& d = *impl_;
    if (!active())
        return;
    for (int row = 0; row < d.recordTotal(); ++row) {
        if (d.accepts(row))
            visit(d.view(row));
    }
}

void MemTable::walkRecords(const std::function<void(const RecordView&)>& visit)
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    // As the walk: a filter that throws leaves the cursor on the record visited last.
    bool visited = false;
    try {
        for (int row = 0; row < d.recordTotal(); ++row) {
            if (!d.accepts(row))
                continue;
            d.cursor = row;
            d.eof = false;
            d.bof = !visited;
            visited = true;
            visit(d.view(row));
        }
    } catch (...) {
        if (visited)
            d.notify(DataEvent::DataSetChanged);
        throw;
    }
    if (!visited) {
        d.cursor = -1;
        d.bof = true;
    }
    d.eof = true;
    d.notify(DataEvent::DataSetChanged);
}

int MemTable::currentRow() const
{
    const Impl& d = *impl_;
    if (d.state == DataSetState::Insert || d.state == DataSetState::Inactive)
        return -1;
    return d.cursor;
}

int32_t MemTable::bookmark() const
{
    const Impl& d = *impl_;
    if (d.state == DataSetState::Insert)
        return 0;
    const RecordBuffer* record = d.currentBuffer();
    return record ? record->bookmark() : 0;
}

int64_t MemTable::autoIncrementMark() const
{
    return impl_->autoIncMark;
}

void MemTable::raiseAutoIncrementMark(int64_t value)
{
    impl_->autoIncMark = std::max(impl_->autoIncMark, value);
}

void MemTable::swapContents(MemTable& other)
{
    if (&other == this)
        return;
    impl_->requireActive();
    other.impl_->requireActive();
    bool sameFields = fieldCount() == other.fieldCount();
    for (int i = 0; sameFields && i < fieldCount(); ++i)
        sameFields = field(i).dataType() == other.field(i).dataType();
    if (!sameFields)
        throw Error("Cannot exchange the records of tables " + name_ + " and " + other.name_ +
                    " with different fields");
    cancel();
    other.cancel();
    Impl& a = *impl_;
    Impl& b = *other.impl_;
    std::swap(a.records, b.records);
    std::swap(a.cursor, b.cursor);
    std::swap(a.eof, b.eof);
    std::swap(a.bof, b.bof);
    std::swap(a.sorted, b.sorted);
    std::swap(a.nextBookmark, b.nextBookmark);
    a.autoIncMark = b.autoIncMark = std::max(a.autoIncMark, b.autoIncMark);
    a.notify(DataEvent::DataSetChanged);
    b.notify(DataEvent::DataSetChanged);
}

// RecordAppender ---------------------------------------------------------------------

struct RecordAppender::State
{
    // A lookup field whose stored value is looked up once the record is filled: a data
    // field is written after the last direct write of the lookup field, and in the field
    // by field path every such write recomputes it from the keys, which are final by then.
    struct DueLookup
    {
        // A result and, for a string field, the text that the field stores of it (none
        // when the result is null or does not convert, which the write then tells).
        struct Result
        {
            Variant value;
            std::optional<std::string> text;
        };
        size_t binding = 0;
        // With one key field that is not a string, the results go by its number's bits
        // (and the null key apart), else by the raw bytes of all keys.
        bool numberKey = false;
        std::unordered_map<int64_t, Result> byNumber;
        std::optional<Result> nullKey;
        std::unordered_map<std::string, Result> results;
    };

    std::vector<int> fields;
    std::vector<DueLookup> dueLookups;
    bool memoize = false;
    bool stringKeys = false; // a due lookup has a string key field
    // The texts of the string fields, packed into the record once it is filled.
    std::vector<int> textIndex; // per field: its place in the layout's string fields, or -1
    // Per string field the text of the record (none: null), seen where it already is or
    // in `texts`, whose buffers are kept between records so that they are reused.
    std::vector<std::optional<std::string_view>> textViews;
    std::vector<std::string> texts;
    RecordArena arena;              // where the records appended lie
    RecordBuffer scratch;           // the numbers of each record, before its texts
    std::string rawKey;             // reused per record
    std::vector<Variant> keyValues; // reused per record
};

RecordAppender::RecordAppender(MemTable& table, std::vector<int> fields)
    : table_(table), state_(std::make_unique<State>())
{
    MemTable::Impl& d = *table.impl_;
    State& s = *state_;
    d.requireActive();
    for (const int index : fields)
        table.field(index); // fails for a field the table does not have
    s.memoize = !d.afterPost;
    for (size_t b = 0; b < d.lookups.size(); ++b) {
        const MemTable::Impl::LookupBinding& binding = d.lookups[b];
        const auto lastDirect = std::find(fields.rbegin(), fields.rend(), binding.field);
        // The new-record work writes the auto-increment field before everything else.
        bool due = lastDirect == fields.rend() && d.autoIncField >= 0;
        for (auto write = fields.rbegin(); write != lastDirect; ++write)
            due = due || table.field(*write).kind() == FieldKind::Data;
        if (!due)
            continue;
        State::DueLookup lookup;
        lookup.binding = b;
        lookup.numberKey =
            binding.keyFields.size() == 1 && !d.layout.isString(binding.keyFields[0]);
        s.dueLookups.push_back(std::move(lookup));
        for (const int key : binding.keyFields)
            s.stringKeys = s.stringKeys || d.layout.isString(key);
        if (table.field(binding.field).def().lookupDataSet == &table)
            s.memoize = false; // the records appended change the results
    }
    s.textIndex.assign(static_cast<size_t>(table.fieldCount()), -1);
    const std::vector<int>& stringFields = d.layout.stringFields();
    for (size_t k = 0; k < stringFields.size(); ++k)
        s.textIndex[static_cast<size_t>(stringFields[k])] = static_cast<int>(k);
    s.texts.resize(stringFields.size());
    s.textViews.resize(stringFields.size());
    s.fields = std::move(fields);
}

RecordAppender::~RecordAppender() = default;

void RecordAppender::append(std::span<const Variant> values)
{
    RecordBuffer& record = beginRecord(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        write(record, writableField(i), values[i]);
    finishRecord(record);
}

void RecordAppender::append(std::span<const StoredValue> values)
{
    RecordBuffer& record = beginRecord(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        write(record, writableField(i), values[i]);
    finishRecord(record);
}

void RecordAppender::reserve(size_t records)
{
    std::vector<RecordBuffer>& all = table_.impl_->records;
    all.reserve(all.size() + records);
}

RecordBuffer& RecordAppender::beginRecord(size_t valueCount)
{
    MemTable::Impl& d = *table_.impl_;
    State& s = *state_;
    if (valueCount != s.fields.size())
        throw Error("More fields than values");
    d.requireActive();
    d.endPending();

    // Without text keys the texts are packed once at the end: the numbers are filled in
    // a scratch record, and only the packed copy is allocated.
    if (!s.scratch || s.stringKeys)
        s.scratch = RecordBuffer::create(d.layout);
    else
        s.scratch.reset(d.layout);
    std::fill(s.textViews.begin(), s.textViews.end(), std::nullopt);
    if (d.autoIncField >= 0) {
        if (const std::optional<int64_t> number = d.nextAutoIncValue())
            s.scratch.setInt(d.autoIncField, *number);
    }
    return s.scratch;
}

const Field& RecordAppender::writableField(size_t position) const
{
    const Field& f = table_.impl_->field(state_->fields[position]);
    if (f.def().readOnly)
        fail("Field %s is read only", f.displayName());
    return f;
}

// Numbers go straight into the record, texts wait so that it is packed only once.
void RecordAppender::write(RecordBuffer& record, const Field& f, const Variant& value)
{
    State& s = *state_;
    const int text = s.textIndex[static_cast<size_t>(f.index())];
    if (text < 0) {
        table_.impl_->store(record, f, value);
        return;
    }
    const auto k = static_cast<size_t>(text);
    s.textViews[k].reset();
    if (value.isNullOrEmpty())
        return;
    try {
        s.texts[k] = MemTable::Impl::textFor(f, value);
    } catch (const Error&) {
        fail("Invalid value for field '%s'", f.displayName());
    }
    s.textViews[k] = s.texts[k];
}

void RecordAppender::write(RecordBuffer& record, const Field& f, const StoredValue& value)
{
    const MemTable::Impl& d = *table_.impl_;
    State& s = *state_;
    const int i = f.index();
    const int text = s.textIndex[static_cast<size_t>(i)];
    const Storage storage = storageOf(f.dataType());
    switch (value.kind) {
    case StoredValue::Kind::Null:
        if (text >= 0)
            s.textViews[static_cast<size_t>(text)].reset();
        else
            record.setNull(d.layout, i);
        return;
    case StoredValue::Kind::Text:
        if (text < 0)
            break;
        s.textViews[static_cast<size_t>(text)] =
            f.def().size > 0 ? value.text.substr(0, static_cast<size_t>(f.def().size)) : value.text;
        return;
    case StoredValue::Kind::Integer: {
        if (storage != Storage::Integer)
            break;
        int64_t number = value.integer;
        if (f.dataType() == FieldType::Boolean)
            number = number != 0 ? 1 : 0;
        else if (!MemTable::Impl::integerFits(f.dataType(), number))
            break;
        record.setInt(i, number);
        return;
    }
    case StoredValue::Kind::Number: {
        if (storage != Storage::Float)
            break;
        const double number =
            f.dataType() == FieldType::Date ? std::trunc(value.number) : value.number;
        if (!numberFits(f.dataType(), number))
            break;
        record.setDouble(i, number);
        return;
    }
    }
    fail("Invalid value for field '%s'", f.displayName());
}

void RecordAppender::finishRecord(RecordBuffer& record)
{
    MemTable::Impl& d = *table_.impl_;
    State& s = *state_;
    const std::span<const std::optional<std::string_view>> textViews(s.textViews);
    if (s.stringKeys)
        record.setStrings(d.layout, textViews, &s.arena);

    for (State::DueLookup& due : s.dueLookups) {
        const MemTable::Impl::LookupBinding& binding = d.lookups[due.binding];
        const Field& f = d.field(binding.field);
        MemTable* source = f.def().lookupDataSet;
        if (!source)
            continue;
        const auto lookUp = [&] {
            s.keyValues.clear();
            for (const int key : binding.keyFields)
                s.keyValues.push_back(d.read(record, d.field(key)));
            return source->lookup(f.def().lookupKeyFields, s.keyValues, f.def().lookupResultField);
        };
        const auto storeResult = [&](const Variant& result) {
            if (s.stringKeys)
                d.store(record, f, result);
            else
                write(record, f, result);
        };
        if (!s.memoize) {
            storeResult(lookUp());
            continue;
        }
        const int text = s.stringKeys ? -1 : s.textIndex[static_cast<size_t>(f.index())];
        const auto compute = [&] {
            State::DueLookup::Result result{lookUp(), std::nullopt};
            if (text >= 0 && !result.value.isNullOrEmpty()) {
                try {
                    result.text = MemTable::Impl::textFor(f, result.value);
                } catch (const Error&) {
                }
            }
            return result;
        };
        const RecordView view = record.view();
        const State::DueLookup::Result* found = nullptr;
        if (due.numberKey) {
            const int key = binding.keyFields.front();
            if (view.isNull(key)) {
                if (!due.nullKey)
                    due.nullKey = compute();
                found = &*due.nullKey;
            } else {
                auto entry = due.byNumber.find(view.intAt(key));
                if (entry == due.byNumber.end())
                    entry = due.byNumber.emplace(view.intAt(key), compute()).first;
                found = &entry->second;
            }
        } else {
            s.rawKey.clear();
            for (const int key : binding.keyFields) {
                const bool null = view.isNull(key);
                s.rawKey.push_back(null ? '\0' : '\1');
                if (null)
                    continue;
                if (d.layout.isString(key)) {
                    const std::string_view keyText = view.stringAt(key);
                    const auto length = static_cast<uint32_t>(keyText.size());
                    s.rawKey.append(reinterpret_cast<const char*>(&length), sizeof length);
                    s.rawKey.append(keyText);
                } else {
                    const int64_t bits = view.intAt(key);
                    s.rawKey.append(reinterpret_cast<const char*>(&bits), sizeof bits);
                }
            }
            auto entry = due.results.find(s.rawKey);
            if (entry == due.results.end())
                entry = due.results.emplace(s.rawKey, compute()).first;
            found = &entry->second;
        }
        // The text is converted once per key; records point at it until they are packed.
        if (found->text)
            s.textViews[static_cast<size_t>(text)] = *found->text;
        else
            storeResult(found->value);
    }
    d.buffer = s.stringKeys ? std::move(record) : record.withStrings(d.layout, textViews, &s.arena);
    d.insertAtStart = false;
    d.state = DataSetState::Insert;
    d.modified = true;
    try {
        table_.post();
    } catch (...) {
        if (d.state == DataSetState::Insert)
            table_.cancel();
        throw;
    }
}

} // namespace tamisko
