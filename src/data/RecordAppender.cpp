// The bulk appender: records appended as append, writes and post would, without
// variants per value and with lookups computed once per distinct key.

#include "data/RecordAppender.h"

#include "data/MemTableImpl.h"

#include <algorithm>
#include <unordered_map>

namespace tamisko {

using namespace memtable;

struct RecordAppender::State final
{
    // A lookup field whose stored value is looked up once the record is filled: a data
    // field is written after the last direct write of the lookup field, and in the field
    // by field path every such write recomputes it from the keys, which are final by then.
    struct DueLookup final
    {
        // A result and, for a string field, the text that the field stores of it (none
        // when the result is null or does not convert, which the write then tells).
        struct Result final
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
        s.texts[k] = textFor(f, value);
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
        else if (!integerFits(f.dataType(), number))
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
                    result.text = textFor(f, result.value);
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
