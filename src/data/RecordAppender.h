#pragma once

#include "data/MemTable.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tamisko {

// A value in the form in which a field keeps it, for appending records without variants:
// an integer for integer, word, boolean, large-integer and auto-increment fields, a
// double for float, currency, date and time fields, a text (cp1253 bytes, copied) for
// string fields.
struct StoredValue final
{
    enum class Kind : uint8_t
    {
        Null,
        Integer,
        Number,
        Text
    };

    static StoredValue null() { return {}; }
    static StoredValue ofInteger(int64_t value) { return {Kind::Integer, value, 0, {}}; }
    static StoredValue ofNumber(double value) { return {Kind::Number, 0, value, {}}; }
    static StoredValue ofText(std::string_view value) { return {Kind::Text, 0, 0, value}; }

    Kind kind = Kind::Null;
    int64_t integer = 0;
    double number = 0;
    std::string_view text{};
};

// Appends records as append, a write of each listed field in list order and post would,
// with the same table state afterwards (auto-increment values and mark, stored lookup
// values, bookmarks, AutoSort placement, cursor, AfterPost per record), but without
// building each record field by field and telling the views of every write: for reading
// documents. A failing record is not added and leaves the table as it was before it.
// While the appender lives, lookup values are computed once per distinct key, so the
// looked-up tables must not change meanwhile; with an AfterPost handler, which might
// change them, every record is looked up afresh.
class RecordAppender final
{
public:
    RecordAppender(MemTable& table, std::vector<int> fields);
    ~RecordAppender();
    RecordAppender(const RecordAppender&) = delete;
    RecordAppender& operator=(const RecordAppender&) = delete;

    // values[i] is written to the i-th field; an empty or null value makes it null.
    void append(std::span<const Variant> values);
    // The same with values already in their fields' form: each is written as the variant
    // of its number or text would be (dates cut to the day, texts to the field's size,
    // integers checked against the field's range); a value of a form that the field does
    // not keep raises "Invalid value for field".
    void append(std::span<const StoredValue> values);
    // Makes room for that many more records at once, as a reader that knows their count
    // can tell.
    void reserve(size_t records);

private:
    struct State;
    RecordBuffer& beginRecord(size_t valueCount);
    const Field& writableField(size_t position) const;
    void write(RecordBuffer& record, const Field& field, const Variant& value);
    void write(RecordBuffer& record, const Field& field, const StoredValue& value);
    void finishRecord(RecordBuffer& record);
    MemTable& table_;
    std::unique_ptr<State> state_;
};

} // namespace tamisko
