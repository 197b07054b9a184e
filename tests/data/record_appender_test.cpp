#include "data/Errors.h"
#include "data/MemTable.h"
#include "data/RecordAppender.h"
#include "memtable_fixtures.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using namespace tamisko;
using namespace tamisko::testing;

namespace {

using Row = std::vector<Variant>;

// Appends a row the way a document used to be read: append, one write per field, post;
// a failing row is cancelled.
void appendFieldByField(MemTable& table, const std::vector<int>& fields, const Row& row)
{
    table.append();
    try {
        for (size_t i = 0; i < fields.size(); ++i)
            table.field(fields[i]).setValue(row[i]);
        table.post();
    } catch (...) {
        table.cancel();
        throw;
    }
}

// Everything a table shows of its records: values (types included), bookmarks, the
// cursor, the auto-increment mark and the sorted flag.
std::vector<std::string> snapshot(MemTable& table)
{
    std::vector<std::string> lines;
    lines.push_back("state " + std::to_string(static_cast<int>(table.state())) + " row " +
                    std::to_string(table.currentRow()) + " mark " +
                    std::to_string(table.autoIncrementMark()) + " sorted " +
                    std::to_string(table.isSorted()) + " bof " + std::to_string(table.bof()) +
                    " eof " + std::to_string(table.eof()));
    const int current = table.recNo();
    for (int row = 0; row < table.rowCount(); ++row) {
        std::string line;
        for (int f = 0; f < table.fieldCount(); ++f) {
            const Variant value = table.valueAt(row, f);
            line += std::to_string(value.typeCode()) + ":" + value.toString() + "|";
        }
        table.setRecNo(row + 1);
        lines.push_back(line + " bookmark " + std::to_string(table.bookmark()));
    }
    table.setRecNo(current);
    return lines;
}

// Two category tables and two movement tables, one pair filled field by field, the other
// through the appender, with the same rows.
class AppenderMatchesFieldByField : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (MemTable* cats : {&slowCats, &fastCats}) {
            defineCategories(*cats);
            for (const char8_t* name : {u8"τρόφιμα", u8"ενοίκιο", u8"βιβλία"})
                addCategory(*cats, cp(name));
        }
        defineMovements(slowLog, &slowCats);
        defineMovements(fastLog, &fastCats);
    }

    // Fills both tables row by row and expects the same outcome, failures included.
    void appendBoth(MemTable& slow, MemTable& fast, const std::vector<int>& fields,
                    const std::vector<Row>& rows)
    {
        RecordAppender appender(fast, fields);
        for (const Row& row : rows) {
            std::string slowError = "none";
            std::string fastError = "none";
            try {
                appendFieldByField(slow, fields, row);
            } catch (const Error& error) {
                slowError = error.what();
            }
            try {
                appender.append(row);
            } catch (const Error& error) {
                fastError = error.what();
            }
            EXPECT_EQ(fastError, slowError);
            ASSERT_EQ(snapshot(fast), snapshot(slow));
        }
    }

    MemTable slowCats{"CatTable"};
    MemTable fastCats{"CatTable"};
    MemTable slowLog{"LogTable"};
    MemTable fastLog{"LogTable"};
};

// The variant whose write a stored value stands for.
Variant variantOf(const StoredValue& value)
{
    switch (value.kind) {
    case StoredValue::Kind::Integer:
        if (value.integer >= INT32_MIN && value.integer <= INT32_MAX)
            return Variant::fromInt(static_cast<int32_t>(value.integer));
        return Variant::fromDouble(static_cast<double>(value.integer));
    case StoredValue::Kind::Number:
        return Variant::fromDouble(value.number);
    case StoredValue::Kind::Text:
        return Variant::fromString(std::string(value.text));
    case StoredValue::Kind::Null:
        break;
    }
    return Variant::null();
}

using StoredRow = std::vector<StoredValue>;

// As appendBoth, the fast table given the values in their stored form.
void appendBothStored(MemTable& slow, MemTable& fast, const std::vector<int>& fields,
                      const std::vector<StoredRow>& rows)
{
    RecordAppender appender(fast, fields);
    for (const StoredRow& row : rows) {
        Row variants;
        for (const StoredValue& value : row)
            variants.push_back(variantOf(value));
        std::string slowError = "none";
        std::string fastError = "none";
        try {
            appendFieldByField(slow, fields, variants);
        } catch (const Error& error) {
            slowError = error.what();
        }
        try {
            appender.append(std::span<const StoredValue>(row));
        } catch (const Error& error) {
            fastError = error.what();
        }
        EXPECT_EQ(fastError, slowError);
        ASSERT_EQ(snapshot(fast), snapshot(slow));
    }
}

Row movement(double day, Variant catNum, Variant receipt, Variant text)
{
    return {Variant::fromDate(day), std::move(catNum), std::move(receipt), Variant::null(),
            std::move(text)};
}

} // namespace

TEST_F(AppenderMatchesFieldByField, MovementsWithLookupsNullsAndFailures)
{
    const std::vector<int> fields{0, 1, 3, 4, 5}; // the document's field order
    appendBoth(
        slowLog, fastLog, fields,
        {
            movement(40000, Variant::fromInt(1), Variant::fromDouble(12.5),
                     Variant::fromString(cp(u8"λαϊκή"))),
            movement(39999.0, Variant::fromInt(0), Variant::null(), Variant::null()),
            movement(40001, Variant::fromInt(7), Variant::fromDouble(3), Variant()), // no category
            movement(40002, Variant::fromInt(1), Variant::fromString("x"), Variant()), // invalid
            movement(40003, Variant::null(), Variant::null(), Variant()), // required missing
            movement(40004, Variant::fromInt(2), Variant::fromCurrencyScaled(15000),
                     Variant::fromString(std::string(250, 'a'))), // cut to 200
            movement(40005, Variant::fromInt(0), Variant::null(), Variant::null()),
        });
    EXPECT_EQ(utf8(fastLog.valueAt(0, 2).toString()), "ενοίκιο");
    EXPECT_TRUE(fastLog.valueAt(2, 2).isNull());
}

TEST_F(AppenderMatchesFieldByField, LookupWrittenDirectlyKeepsItsValueUntilADataFieldFollows)
{
    const Row texts{Variant::fromDate(40000), Variant::fromInt(1), Variant::fromString("own")};
    appendBoth(slowLog, fastLog, {0, 1, 2}, {texts, texts});
    EXPECT_EQ(fastLog.valueAt(0, 2).toString(), "own");
    appendBoth(slowLog, fastLog, {2, 0, 1},
               {{Variant::fromString("own"), Variant::fromDate(1), Variant::fromInt(0)}});
    EXPECT_EQ(utf8(fastLog.valueAt(2, 2).toString()), "τρόφιμα");
}

TEST_F(AppenderMatchesFieldByField, CategoriesKeepTheirNumbersAndAutoSortPlacement)
{
    MemTable slow("CatTable");
    MemTable fast("CatTable");
    defineCategories(slow);
    defineCategories(fast);
    const auto category = [](Variant number, const char8_t* name) {
        return Row{std::move(number), Variant::fromString(cp(name))};
    };
    appendBoth(slow, fast, {0, 1},
               {
                   category(Variant::fromInt(5), u8"φάρμακα"),
                   category(Variant::fromInt(2), u8"αναψυκτικά"),
                   category(Variant::null(), u8"ΔΕΗ"), // required number missing
                   category(Variant::fromInt(9), u8"αναψυκτικά"),
                   category(Variant::fromInt(1), u8"μισθός"),
               });
    // Only the name: the number comes from the auto-increment mark.
    appendBoth(slow, fast, {1}, {{Variant::fromString(cp(u8"βιβλία"))}});
    EXPECT_EQ(fast.autoIncrementMark(), 10);
}

TEST_F(AppenderMatchesFieldByField, AfterPostRunsPerRecordOnThePostedRecord)
{
    std::vector<std::string> slowSeen;
    std::vector<std::string> fastSeen;
    slowLog.setAfterPost([&](MemTable& t) {
        slowSeen.push_back(std::to_string(t.recNo()) + t.fieldValue("Category").toString());
    });
    fastLog.setAfterPost([&](MemTable& t) {
        fastSeen.push_back(std::to_string(t.recNo()) + t.fieldValue("Category").toString());
    });
    const std::vector<int> fields{0, 1, 3, 4, 5};
    appendBoth(slowLog, fastLog, fields,
               {movement(1, Variant::fromInt(0), Variant::null(), Variant()),
                movement(2, Variant::fromInt(2), Variant::null(), Variant())});
    EXPECT_EQ(fastSeen, slowSeen);
    EXPECT_EQ(fastSeen.size(), 2u);
}

TEST_F(AppenderMatchesFieldByField, StoredValuesAsTheirVariants)
{
    using V = StoredValue;
    const std::string longText(250, 'b');
    const std::vector<int> fields{0, 1, 3, 4, 5};
    appendBothStored(slowLog, fastLog, fields,
                     {
                         {V::ofNumber(40000), V::ofInteger(1), V::ofNumber(12.5), V::null(),
                          V::ofText(cp(u8"λαϊκή"))},
                         {V::ofNumber(40000.75), V::ofInteger(2), V::null(), V::ofNumber(-3),
                          V::ofText(longText)}, // the day cut to 40000, the text to 200
                         {V::ofNumber(40001), V::ofInteger(7), V::null(), V::null(),
                          V::ofText("")}, // no such category; an empty text is no null
                         {V::ofNumber(40002), V::ofInteger(int64_t{1} << 40), V::null(), V::null(),
                          V::null()}, // beyond 32 bits
                         {V::null(), V::ofInteger(0), V::null(), V::null(),
                          V::null()}, // the required day missing
                         {V::ofNumber(40003), V::ofInteger(0), V::null(), V::null(), V::null()},
                     });
    EXPECT_EQ(utf8(fastLog.valueAt(1, 2).toString()), "βιβλία");
    EXPECT_EQ(fastLog.valueAt(1, 5).toString().size(), 200u);
}

TEST_F(AppenderMatchesFieldByField, StoredValuesInRangeOfEachIntegerField)
{
    MemTable slow("t");
    MemTable fast("t");
    for (MemTable* table : {&slow, &fast}) {
        table->addField({.name = "Small", .type = FieldType::SmallInt});
        table->addField({.name = "Word", .type = FieldType::Word});
        table->addField({.name = "Flag", .type = FieldType::Boolean});
        table->addField({.name = "Large", .type = FieldType::LargeInt});
        table->addField({.name = "Serial", .type = FieldType::AutoInc});
        table->open();
    }
    using V = StoredValue;
    appendBothStored(slow, fast, {0, 1, 2, 3, 4},
                     {
                         {V::ofInteger(-32768), V::ofInteger(65535), V::ofInteger(5),
                          V::ofInteger(int64_t{1} << 40), V::ofInteger(7)},
                         {V::ofInteger(32768), V::null(), V::null(), V::null(), V::null()},
                         {V::null(), V::ofInteger(-1), V::null(), V::null(), V::null()},
                         {V::null(), V::null(), V::ofInteger(0), V::ofInteger(-3),
                          V::ofInteger(int64_t{1} << 31)},
                         {V::null(), V::null(), V::null(), V::null(), V::null()},
                     });
}

TEST(RecordAppenderStored, ValueOfAFormTheFieldDoesNotKeepIsInvalid)
{
    MemTable table("t");
    table.addField({.name = "Count", .type = FieldType::Integer, .displayLabel = "How many"});
    table.addField({.name = "Amount", .type = FieldType::Float});
    table.addField({.name = "Text", .type = FieldType::String});
    table.addField({.name = "Day", .type = FieldType::Date});
    table.open();
    RecordAppender appender(table, {0, 1, 2, 3});
    const StoredValue null = StoredValue::null();
    // Numbers that the field keeps in form but that no document could hold are refused
    // as the field's own writes refuse them.
    const std::vector<std::vector<StoredValue>> rows{
        {StoredValue::ofNumber(1), null, null, null},
        {null, StoredValue::ofText("1"), null, null},
        {null, null, StoredValue::ofInteger(1), null},
        {null, StoredValue::ofNumber(std::numeric_limits<double>::quiet_NaN()), null, null},
        {null, StoredValue::ofNumber(-std::numeric_limits<double>::infinity()), null, null},
        {null, null, null, StoredValue::ofNumber(2958466)},
        {null, null, null, StoredValue::ofNumber(-693594)},
    };
    const char* const names[] = {"How many", "Amount", "Text", "Amount", "Amount", "Day", "Day"};
    for (size_t i = 0; i < rows.size(); ++i) {
        try {
            appender.append(std::span<const StoredValue>(rows[i]));
            ADD_FAILURE() << i << ": appended";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()),
                      std::string("Invalid value for field '") + names[i] + "'");
        }
    }
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_EQ(table.state(), DataSetState::Browse);
}
