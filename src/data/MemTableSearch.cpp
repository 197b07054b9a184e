// Search in a memory table: key values made into a record of the key fields, then a
// binary search where the order allows it, else a scan in physical order; locate moves
// the cursor to the match, lookup reads a field of it.

#include "data/MemTableImpl.h"

#include <algorithm>

namespace tamisko {
namespace {

// A field list resolved once for the names it was last asked for.
template<typename Cache, typename Resolve>
const auto& cached(Cache& cache, std::string_view names, Resolve resolve)
{
    if (!cache.fields || cache.names != names) {
        cache.fields = std::make_shared<const std::vector<int>>(resolve(names));
        cache.names = names;
    }
    return cache.fields;
}

} // namespace

using namespace memtable;

// Search keys ------------------------------------------------------------------------

MemTable::Impl::FieldList MemTable::Impl::keyFieldList(std::string_view names)
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

int MemTable::Impl::resultField(std::string_view name)
{
    return cached(resultFieldCache, name,
                  [this](std::string_view field) {
                      return std::vector<int>{self.fieldByName(field).index()};
                  })
        ->front();
}

MemTable::Impl::SearchKey MemTable::Impl::makeKey(std::string_view keyFields,
                                                  const std::vector<Variant>& keyValues)
{
    SearchKey key{keyFieldList(keyFields), {}};
    if (key.fields->size() > keyValues.size())
        throw Error("More fields than values");
    key.values = spareKey ? std::move(spareKey) : RecordBuffer::create(layout);
    for (size_t k = 0; k < key.fields->size(); ++k)
        store(key.values, field((*key.fields)[k]), keyValues[k]);
    return key;
}

// Binary search or scan ----------------------------------------------------------------

// Binary search gives the scan's answer only where comparing with the key orders the
// records as the sort did, up to holding more of them equal. A cut to the key's length
// (partial key) changes the order of texts. Without regard to case a case-sensitive
// order is still in order, but only on the last key field, as the fields after it are
// ordered within the case-sensitive runs; and records that a case-insensitive sort
// holds equal lie in no case-sensitive order at all.
bool MemTable::Impl::binarySearchAllowed(const std::vector<int>& keyFields, MemTableOptions options)
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
    const FieldList sortList = cached(sortFieldCache, sortFields, [this](std::string_view list) {
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

int MemTable::Impl::find(const SearchKey& key, MemTableOptions options)
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

// Locate and lookup ------------------------------------------------------------------

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

} // namespace tamisko
