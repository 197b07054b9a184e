// The record block that WriteTableRecords writes, held against the same block built value
// by value through the public API: a walk over the table with first() and next(), each
// field's value as the stream stores it, written with WriteValueRow. Both sides run on
// twin tables, so that the table state each leaves behind can be compared as well.

#include "data/ByteStream.h"
#include "data/Errors.h"
#include "data/MemTable.h"
#include "data/RecordStream.h"
#include "data/TableUtils.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tamisko {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr double kLargest = std::numeric_limits<double>::max();
constexpr double kSmallestNormal = std::numeric_limits<double>::min();

// The values each field cycles through, null included; strings are cp1253 bytes.
struct Column
{
    FieldDef def;
    std::vector<Variant> values;
};

std::vector<Column> columns()
{
    const Variant null = Variant::null();
    return {
        {{.name = "Text", .type = FieldType::String},
         {Variant::fromString("abc"), Variant::fromString(""), null,
          Variant::fromString("\xC4\xC5\xC7"), Variant::fromString(std::string(300, '\xF1')),
          Variant::fromString(std::string(1, '\0'))}},
        {{.name = "Short", .type = FieldType::String, .size = 5},
         {Variant::fromString("hello"), null, Variant::fromString("cut after five")}},
        {{.name = "Small", .type = FieldType::SmallInt},
         {Variant::fromInt(-32768), Variant::fromInt(32767), null, Variant::fromInt(-1),
          Variant::fromInt(0)}},
        {{.name = "Int", .type = FieldType::Integer},
         {Variant::fromInt(std::numeric_limits<int32_t>::min()),
          Variant::fromInt(std::numeric_limits<int32_t>::max()), Variant::fromInt(14), null}},
        {{.name = "Word", .type = FieldType::Word},
         {Variant::fromInt(65535), Variant::fromInt(0), null, Variant::fromInt(1234)}},
        {{.name = "Flag", .type = FieldType::Boolean},
         {Variant::fromBool(true), Variant::fromBool(false), null}},
        {{.name = "Real", .type = FieldType::Float},
         {Variant::fromDouble(12.5), Variant::fromDouble(-0.0), Variant::fromDouble(0.1 + 0.2),
          null, Variant::fromDouble(1e300), Variant::fromDouble(kLargest),
          Variant::fromDouble(-kLargest), Variant::fromDouble(kSmallestNormal),
          Variant::fromDouble(5e-324)}},
        {{.name = "Money", .type = FieldType::Currency},
         {Variant::fromCurrency(1.2345), Variant::fromDouble(0.1), null, Variant::fromDouble(-5.25),
          Variant::fromDouble(1e15), Variant::fromInt(7)}},
        {{.name = "Day", .type = FieldType::Date},
         {Variant::fromDate(37987), Variant::fromDate(-693593), Variant::fromDate(2958465), null,
          Variant::fromDate(37987.75)}},
        {{.name = "Clock", .type = FieldType::Time},
         {Variant::fromDate(0.5), null, Variant::fromDate(0.999988), Variant::fromDate(0)}},
        {{.name = "Stamp", .type = FieldType::DateTime},
         {Variant::fromDate(37987.5), Variant::fromDate(-1.25), null}},
        {{.name = "Large", .type = FieldType::LargeInt},
         {Variant::fromInt(-7), Variant::fromDouble(2147483648.0), null,
          Variant::fromDouble(-2147483649.0), Variant::fromInt(std::numeric_limits<int32_t>::max()),
          Variant::fromDouble(-5e12), Variant::fromDouble(9007199254740993.0)}},
        {{.name = "Serial", .type = FieldType::AutoInc}, {}}, // numbered by the table
    };
}

std::vector<std::string> allFieldNames()
{
    std::vector<std::string> names;
    for (const Column& column : columns())
        names.push_back(column.def.name);
    names.push_back("Looked");
    return names;
}

// A table of every field type that documents can hold, a lookup field among them, with
// `count` records whose values mix so that each row differs from the others.
class Book
{
public:
    explicit Book(int count)
    {
        lookups_.addField({.name = "Key", .type = FieldType::Integer});
        lookups_.addField({.name = "Name", .type = FieldType::String, .size = 10});
        lookups_.open();
        for (int key = 0; key < 3; ++key) {
            lookups_.append();
            lookups_.fieldByName("Key").setAsInteger(key);
            lookups_.fieldByName("Name").setAsString("name" + std::to_string(key));
            lookups_.post();
        }
        for (const Column& column : columns())
            table.addField(column.def);
        table.addField({.name = "Looked",
                        .type = FieldType::String,
                        .kind = FieldKind::Lookup,
                        .size = 10,
                        .keyFields = "Int",
                        .lookupDataSet = &lookups_,
                        .lookupKeyFields = "Key",
                        .lookupResultField = "Name"});
        table.open();
        const std::vector<Column> all = columns();
        for (int row = 0; row < count; ++row) {
            table.append();
            for (size_t c = 0; c < all.size(); ++c) {
                const std::vector<Variant>& values = all[c].values;
                if (!values.empty())
                    table.field(static_cast<int>(c))
                        .setValue(values[(static_cast<size_t>(row) * (c + 1) + c) % values.size()]);
            }
            if (row % 4 == 1)
                table.fieldByName("Int").setAsInteger(row % 3); // a key that the lookup finds
            table.post();
        }
    }

    MemTable table{"Book"};

private:
    MemTable lookups_{"Lookups"};
};

// The value of a field as the record stream stores it: integers as 32-bit integers,
// amounts as doubles, days and times as dates, texts as strings; booleans and large
// integers as the field gives them.
Variant storedValue(const Field& field)
{
    if (field.isNull())
        return Variant::null();
    const Variant value = field.value();
    switch (field.dataType()) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::AutoInc:
        return Variant::fromInt(value.toInt32());
    case FieldType::Float:
    case FieldType::Currency:
        return Variant::fromDouble(value.toDouble());
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return Variant::fromDate(value.toDouble());
    case FieldType::String:
        return Variant::fromString(value.toString());
    default:
        return value;
    }
}

// The block built value by value, as WriteTableRecords documents it.
void writeReference(ByteStream& stream, MemTable& table, const std::vector<std::string>& names)
{
    if (!table.active())
        return;
    CancelPending({&table});
    const auto count = static_cast<uint32_t>(table.recordCount());
    const uint8_t countBytes[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                                   static_cast<uint8_t>(count >> 16),
                                   static_cast<uint8_t>(count >> 24)};
    stream.write(countBytes, 4);
    std::vector<Variant> row(names.size());
    for (table.first(); !table.eof(); table.next()) {
        for (size_t i = 0; i < names.size(); ++i)
            row[i] = storedValue(table.fieldByName(names[i]));
        WriteValueRow(stream, row);
    }
}

struct Outcome
{
    Bytes bytes;
    int64_t position = 0;
    std::optional<std::string> error;
    int currentRow = 0;
    int recNo = 0;
    bool eof = false;
    bool bof = false;
    DataSetState state = DataSetState::Inactive;
};

// The new writer must leave everything as the value-by-value one does.
void expectSameOutcome(const Outcome& actual, const Outcome& expected, const std::string& what)
{
    EXPECT_EQ(actual.error, expected.error) << what;
    EXPECT_EQ(actual.bytes, expected.bytes) << what;
    EXPECT_EQ(actual.position, expected.position) << what;
    EXPECT_EQ(actual.currentRow, expected.currentRow) << what;
    EXPECT_EQ(actual.recNo, expected.recNo) << what;
    EXPECT_EQ(actual.eof, expected.eof) << what;
    EXPECT_EQ(actual.bof, expected.bof) << what;
    EXPECT_EQ(actual.state, expected.state) << what;
}

using Writer = std::function<void(ByteStream&, MemTable&, const std::vector<std::string>&)>;
using Setup = std::function<void(MemTable&)>;

Outcome run(const Writer& write, int count, const Setup& setup, const Bytes& before,
            int64_t position, const std::vector<std::string>& names)
{
    Book book(count);
    setup(book.table);
    ByteStream stream(before);
    stream.setPosition(position);
    Outcome outcome;
    try {
        write(stream, book.table, names);
    } catch (const Error& error) {
        outcome.error = error.what();
    }
    outcome.bytes = stream.bytes();
    outcome.position = stream.position();
    outcome.currentRow = book.table.currentRow();
    outcome.recNo = book.table.recNo();
    outcome.eof = book.table.eof();
    outcome.bof = book.table.bof();
    outcome.state = book.table.state();
    return outcome;
}

void filterOn(MemTable& table, std::function<bool(MemTable&)> accept)
{
    table.setOnFilterRecord(std::move(accept));
    table.setFiltered(true);
}

int serial(MemTable& table)
{
    return table.fieldByName("Serial").asInteger();
}

struct Case
{
    const char* what;
    int count;
    Setup setup;
    Bytes before{};
    int64_t position = 0;
    std::vector<std::string> names = allFieldNames();
};

TEST(RecordBlock, EqualsTheBlockWrittenValueByValue)
{
    const auto nothing = [](MemTable&) {
    };
    const auto onRecord = [](int recNo) {
        return [recNo](MemTable& t) {
            t.setRecNo(recNo);
        };
    };
    const Case cases[] = {
        {"no records", 0, nothing},
        {"one record", 1, nothing},
        {"records of every value", 60, nothing},
        {"cursor in the middle", 60, onRecord(17)},
        {"a filter passing some", 60,
         [](MemTable& t) {
             filterOn(t, [](MemTable& m) { return serial(m) % 3 != 1; });
         }},
        {"a filter passing one", 60,
         [](MemTable& t) {
             filterOn(t, [](MemTable& m) { return serial(m) == 40; });
         }},
        {"a filter passing none", 60,
         [onRecord](MemTable& t) {
             onRecord(5)(t);
             filterOn(t, [](MemTable&) { return false; });
         }},
        {"a filter set but off", 20,
         [](MemTable& t) {
             t.setOnFilterRecord([](MemTable&) { return false; });
         }},
        {"a pending insert", 20,
         [](MemTable& t) {
             t.append();
             t.fieldByName("Text").setAsString("pending");
         }},
        {"a pending edit", 20,
         [](MemTable& t) {
             t.setRecNo(3);
             t.edit();
             t.fieldByName("Int").setAsInteger(99);
         }},
        {"sorted on a text", 60,
         [](MemTable& t) {
             t.sortByFields("Text;Serial");
         }},
        {"behind other bytes", 30, nothing, Bytes{9, 8, 7}, 3},
        {"over other bytes", 30, nothing, Bytes(500, 0xAB), 7},
        {"over the end of other bytes", 30, nothing, Bytes(20, 0xCD), 2},
        {"past the end of other bytes", 5, nothing, Bytes{1, 2}, 6},
        {"some fields in another order",
         30,
         nothing,
         {},
         0,
         {"Money", "Serial", "Text", "Day", "Money"}},
        {"no fields", 10, nothing, {}, 0, {}},
    };
    for (const Case& c : cases) {
        const Outcome expected =
            run(writeReference, c.count, c.setup, c.before, c.position, c.names);
        const Outcome actual =
            run(WriteTableRecords, c.count, c.setup, c.before, c.position, c.names);
        EXPECT_FALSE(expected.error) << c.what;
        expectSameOutcome(actual, expected, c.what);
    }
}

// A text of more than 65535 bytes cannot be stored: the block ends inside the record that
// holds it, and the cursor stays on that record.
TEST(RecordBlock, TextTooLongFailsOnItsRecord)
{
    const auto longTextOn = [](int recNo, size_t length) {
        return [recNo, length](MemTable& t) {
            t.setRecNo(recNo);
            t.edit();
            t.fieldByName("Text").setAsString(std::string(length, 'x'));
            t.post();
            t.first();
        };
    };
    const Case cases[] = {
        {"the longest text", 8, longTextOn(5, 65535)},
        {"one byte more", 8, longTextOn(5, 65536)},
        {"on the first record", 8, longTextOn(1, 70000)},
        {"after other bytes", 8, longTextOn(6, 65536), Bytes(50, 0xEE), 50},
        {"over other bytes", 8, longTextOn(6, 65536), Bytes(50, 0xEE), 10},
        {"text not the first field", 8, longTextOn(4, 65536), {}, 0, {"Int", "Text", "Day"}},
    };
    for (const Case& c : cases) {
        const Outcome expected =
            run(writeReference, c.count, c.setup, c.before, c.position, c.names);
        const Outcome actual =
            run(WriteTableRecords, c.count, c.setup, c.before, c.position, c.names);
        expectSameOutcome(actual, expected, c.what);
    }
    const Outcome failed = run(WriteTableRecords, 8, longTextOn(5, 65536), {}, 0, allFieldNames());
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(*failed.error, "A text of 65536 bytes is too long to be stored (at most 65535)");
    EXPECT_EQ(failed.currentRow, 4);
}

// The values the writer reads from the records must be the ones the fields give, which
// the reference above relies on; a few spot checks of the bytes themselves.
TEST(RecordBlock, StoresAmountsAsDoublesAndSmallNumbersAsIntegers)
{
    MemTable table("t");
    table.addField({.name = "Money", .type = FieldType::Currency});
    table.addField({.name = "Small", .type = FieldType::SmallInt});
    table.addField({.name = "Large", .type = FieldType::LargeInt});
    table.addField({.name = "Flag", .type = FieldType::Boolean});
    table.open();
    table.append();
    table.fieldByName("Money").setValue(Variant::fromCurrency(1.5));
    table.fieldByName("Small").setAsInteger(-2);
    table.fieldByName("Large").setValue(Variant::fromDouble(4294967296.0));
    table.fieldByName("Flag").setValue(Variant::fromBool(true));
    table.post();
    ByteStream stream;
    WriteTableRecords(stream, table, {"Money", "Small", "Large", "Flag"});
    EXPECT_EQ(stream.bytes(),
              (Bytes{1,    0,    0,    0, 5, 0, 0, 0, 0, 0, 0,    0xF8, 0x3F, 3, 0xFE,
                     0xFF, 0xFF, 0xFF, 5, 0, 0, 0, 0, 0, 0, 0xF0, 0x41, 11,   1}));
    EXPECT_EQ(stream.position(), stream.size());
}

} // namespace
} // namespace tamisko
