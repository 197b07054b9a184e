#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/Errors.h"
#include "data/RecordStream.h"

#include <bit>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

namespace tamisko {
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::HasSubstr;

const std::vector<std::string> kCatFields{"CatNum", "Category"};
const std::vector<std::string> kLogFields{"Date", "CatNum", "Eispraxi", "Pliromi", "Perigrafi"};
const std::string kDEH = "\xC4\xC5\xC7"; // ΔΕΗ

// Builders of raw record blocks, to hand the reader exactly the bytes a case needs.
struct Block
{
    Bytes bytes;

    Block& count(int32_t n)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(n) >> (8 * i)));
        return *this;
    }
    Block& integer(int32_t n)
    {
        bytes.push_back(3);
        return count(n);
    }
    Block& number(uint8_t type, double value)
    {
        bytes.push_back(type);
        const auto raw = std::bit_cast<uint64_t>(value);
        for (int i = 0; i < 8; ++i)
            bytes.push_back(static_cast<uint8_t>(raw >> (8 * i)));
        return *this;
    }
    Block& date(double day) { return number(7, day); }
    Block& amount(double value) { return number(5, value); }
    Block& text(const std::string& s)
    {
        bytes.push_back(18);
        bytes.push_back(static_cast<uint8_t>(s.size()));
        bytes.push_back(static_cast<uint8_t>(s.size() >> 8));
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    Block& null()
    {
        bytes.push_back(1);
        return *this;
    }
    Block& raw(std::initializer_list<uint8_t> more)
    {
        bytes.insert(bytes.end(), more);
        return *this;
    }
};

class RecordStreamTest : public ::testing::Test
{
protected:
    RecordStreamTest()
    {
        DefineCatTable(categories);
        DefineLogTable(movements, categories);
    }

    void addCategory(int32_t catNum, const std::string& name)
    {
        categories.append();
        categories.fieldByName("CatNum").setAsInteger(catNum);
        categories.fieldByName("Category").setAsString(name);
        categories.post();
    }

    void addMovement(double day, int32_t catNum, std::optional<double> receipt,
                     std::optional<double> payment, const std::string& description)
    {
        movements.append();
        movements.fieldByName("Date").setValue(Variant::fromDate(day));
        movements.fieldByName("CatNum").setAsInteger(catNum);
        if (receipt)
            movements.fieldByName("Eispraxi").setAsFloat(*receipt);
        if (payment)
            movements.fieldByName("Pliromi").setAsFloat(*payment);
        if (!description.empty())
            movements.fieldByName("Perigrafi").setAsString(description);
        movements.post();
    }

    Bytes writtenCategories()
    {
        ByteStream stream;
        WriteTableRecords(stream, categories, kCatFields);
        return stream.bytes();
    }

    Bytes writtenMovements()
    {
        ByteStream stream;
        WriteTableRecords(stream, movements, kLogFields);
        return stream.bytes();
    }

    void readMovements(const Bytes& bytes)
    {
        ByteStream stream(bytes);
        ReadTableRecords(stream, movements, kLogFields);
    }

    MemTable categories{"CatTable"};
    MemTable movements{"LogTable"};
};

TEST_F(RecordStreamTest, EmptyTableIsACountOfZero)
{
    EXPECT_EQ(writtenCategories(), (Bytes{0, 0, 0, 0}));
}

TEST_F(RecordStreamTest, OneCategoryBlock)
{
    addCategory(14, kDEH);
    EXPECT_EQ(writtenCategories(), (Bytes{0x01, 0x00, 0x00, 0x00, 0x03, 0x0E, 0x00, 0x00, 0x00,
                                          0x12, 0x03, 0x00, 0xC4, 0xC5, 0xC7}));
}

TEST_F(RecordStreamTest, MovementRowHoldsDoublesDatesNullsAndTexts)
{
    addCategory(14, kDEH);
    const std::string description(200, '\xF1');
    addMovement(37987, 14, 12.5, std::nullopt, description);
    const Bytes expected = Block()
                               .count(1)
                               .raw({0x07, 0, 0, 0, 0, 0x60, 0x8C, 0xE2, 0x40})
                               .integer(14)
                               .raw({0x05, 0, 0, 0, 0, 0, 0, 0x29, 0x40})
                               .null()
                               .text(description)
                               .bytes;
    EXPECT_EQ(writtenMovements(), expected);
}

TEST_F(RecordStreamTest, ReadingAppendsRecordsWithTheirValuesAndLookups)
{
    addCategory(14, kDEH);
    readMovements(Block()
                      .count(2)
                      .date(37987)
                      .integer(14)
                      .amount(12.5)
                      .null()
                      .text("abc")
                      .date(37988)
                      .integer(99)
                      .null()
                      .amount(3)
                      .null()
                      .bytes);
    ASSERT_EQ(movements.recordCount(), 2);
    movements.first();
    EXPECT_EQ(movements.fieldByName("Date").asFloat(), 37987);
    EXPECT_EQ(movements.fieldByName("Eispraxi").asFloat(), 12.5);
    EXPECT_TRUE(movements.fieldByName("Pliromi").isNull());
    EXPECT_EQ(movements.fieldByName("Perigrafi").asString(), "abc");
    EXPECT_EQ(movements.fieldByName("Category").asString(), kDEH);
    movements.next();
    EXPECT_TRUE(movements.fieldByName("Eispraxi").isNull());
    EXPECT_TRUE(movements.fieldByName("Perigrafi").isNull());
    EXPECT_TRUE(movements.fieldByName("Category").isNull()); // CatNum 99 names no category
}

TEST_F(RecordStreamTest, WrittenRecordsReadBackIdentically)
{
    addCategory(3, "b");
    addCategory(10, "a");
    addCategory(7, "c");
    addMovement(37987, 10, 0.1, 2e9, "x");
    addMovement(-693593, 3, std::nullopt, std::nullopt, "");
    addMovement(2958465, 7, -5.25, 0, std::string(200, 'y'));
    const Bytes cats = writtenCategories();
    const Bytes moves = writtenMovements();

    MemTable otherCategories("CatTable");
    MemTable otherMovements("LogTable");
    DefineCatTable(otherCategories);
    DefineLogTable(otherMovements, otherCategories);
    ByteStream stream(cats);
    stream.bytes().insert(stream.bytes().end(), moves.begin(), moves.end());
    ReadTableRecords(stream, otherCategories, kCatFields);
    ReadTableRecords(stream, otherMovements, kLogFields);
    EXPECT_EQ(stream.position(), stream.size());

    ByteStream again;
    WriteTableRecords(again, otherCategories, kCatFields);
    WriteTableRecords(again, otherMovements, kLogFields);
    EXPECT_EQ(again.bytes(), stream.bytes());
    EXPECT_GE(otherCategories.autoIncrementMark(), 10); // explicit values raise the mark
}

TEST_F(RecordStreamTest, ZeroAndNegativeCountsReadAsNoRecords)
{
    for (const int32_t count : {0, -1, std::numeric_limits<int32_t>::min()}) {
        ByteStream stream(Block().count(count).raw({0x55}).bytes);
        ReadTableRecords(stream, categories, kCatFields);
        EXPECT_EQ(stream.position(), 4) << count;
        EXPECT_TRUE(categories.isEmpty()) << count;
    }
}

TEST_F(RecordStreamTest, WritingDropsAPendingInsertAndFollowsTheFilter)
{
    addCategory(1, "a");
    addCategory(2, "b");
    categories.setOnFilterRecord(
        [](MemTable& t) { return t.fieldByName("Category").asString() == "b"; });
    categories.setFiltered(true);
    categories.append();
    categories.fieldByName("Category").setAsString("pending");
    EXPECT_EQ(writtenCategories(), Block().count(1).integer(2).text("b").bytes);
    EXPECT_EQ(categories.state(), DataSetState::Browse);
}

TEST_F(RecordStreamTest, ClosedTableWritesAndReadsNothing)
{
    MemTable closed("closed");
    ByteStream stream(Block().count(1).bytes);
    WriteTableRecords(stream, closed, {});
    EXPECT_EQ(stream.size(), 4);
    ReadTableRecords(stream, closed, {});
    EXPECT_EQ(stream.position(), 0);
}

// Every flaw the reader must refuse rather than run on with made-up values.
TEST_F(RecordStreamTest, StrictReadingRefusesFlawedMovements)
{
    auto row = [] {
        return Block().count(1).date(37987).integer(14);
    };
    // Fields are named by their display names, as the table names them.
    const auto quoted = [](std::string_view label) {
        return "'" + cp1253::fromUtf8OrThrow(label) + "'";
    };
    const std::string day = quoted("Ημέρα");
    const std::string category = quoted("Κατηγορία");
    const std::string receipt = quoted("Είσπραξη");
    const std::string description = quoted("Περιγραφή");
    struct Case
    {
        const char* what;
        Bytes bytes;
        std::string message;
    };
    const Case cases[] = {
        {"no count", Bytes{0x01, 0x00}, "ends"},
        {"more records than rows", Block().count(1).bytes, "ends"},
        {"row cut inside a value", row().raw({0x05, 0x00, 0x00}).bytes, "ends"},
        {"text cut short", row().null().null().raw({0x12, 0x05, 0x00, 'a'}).bytes, "ends"},
        {"unknown type byte", row().raw({0x09}).null().null().bytes, "type"},
        {"type byte 19", row().raw({0x13}).null().null().bytes, "type"},
        {"type byte above 21", row().raw({0x80}).null().null().bytes, "type"},
        {"text for an amount", row().text("12").null().null().bytes, receipt},
        {"boolean for an amount", row().raw({0x0B, 0x01}).null().null().bytes, receipt},
        {"amount not a number",
         row().amount(std::numeric_limits<double>::quiet_NaN()).null().null().bytes, receipt},
        {"infinite amount",
         row().amount(std::numeric_limits<double>::infinity()).null().null().bytes, receipt},
        {"null date", Block().count(1).null().integer(14).null().null().null().bytes, day},
        {"empty date", Block().count(1).raw({0x00}).integer(14).null().null().null().bytes, day},
        {"null category number", Block().count(1).date(1).null().null().null().null().bytes,
         category},
        {"fractional category number",
         Block().count(1).date(1).amount(1.5).null().null().null().bytes, category},
        {"text for a date", Block().count(1).text("1/1/2004").integer(1).null().null().null().bytes,
         day},
        {"date with a time of day",
         Block().count(1).date(37987.5).integer(1).null().null().null().bytes, day},
        {"date after 9999", Block().count(1).date(2958466).integer(1).null().null().null().bytes,
         day},
        {"date before year 1", Block().count(1).date(-693594).integer(1).null().null().null().bytes,
         day},
        {"description of 201 characters", row().null().null().text(std::string(201, 'a')).bytes,
         description},
        {"byte that cp1253 leaves undefined", row().null().null().text("a\xFF").bytes, description},
        {"another undefined byte", row().null().null().text("\x81").bytes, description},
    };
    for (const auto& c : cases) {
        movements.clearRecords();
        try {
            readMovements(c.bytes);
            ADD_FAILURE() << c.what << ": read without an error";
        } catch (const Error& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.message)) << c.what;
        }
        EXPECT_EQ(movements.state(), DataSetState::Browse) << c.what;
        EXPECT_TRUE(movements.isEmpty()) << c.what;
    }
}

TEST_F(RecordStreamTest, StrictReadingRefusesFlawedCategories)
{
    struct Case
    {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"null name", Block().count(1).integer(1).null().bytes},
        {"name of 31 characters", Block().count(1).integer(1).text(std::string(31, 'a')).bytes},
        {"text for a number", Block().count(1).text("1").text("a").bytes},
        {"number beyond 32 bits", Block().count(1).amount(4294967296.0).text("a").bytes},
    };
    for (const auto& c : cases) {
        ByteStream stream(c.bytes);
        EXPECT_THROW(ReadTableRecords(stream, categories, kCatFields), Error) << c.what;
        EXPECT_TRUE(categories.isEmpty()) << c.what;
    }
}

TEST_F(RecordStreamTest, RecordsBeforeAFlawStayPosted)
{
    ByteStream stream(Block().count(3).integer(1).text("a").integer(2).text("b").integer(3).bytes);
    EXPECT_THROW(ReadTableRecords(stream, categories, kCatFields), Error);
    EXPECT_EQ(categories.recordCount(), 2);
    EXPECT_EQ(categories.state(), DataSetState::Browse);
}

TEST_F(RecordStreamTest, AcceptsEveryValueTypeThatFitsItsField)
{
    // Other faithful writers may store small integers, singles or currency values.
    addCategory(14, kDEH);
    readMovements(Block()
                      .count(1)
                      .number(5, 37987)
                      .raw({0x02, 0x0E, 0x00})
                      .raw({0x06, 0x39, 0x30, 0, 0, 0, 0, 0, 0})
                      .raw({0x04, 0x00, 0x00, 0xC0, 0x3F})
                      .raw({0x08, 0x01, 0x00, 'z'})
                      .bytes);
    movements.first();
    EXPECT_EQ(movements.fieldByName("Date").asFloat(), 37987);
    EXPECT_EQ(movements.fieldByName("CatNum").asInteger(), 14);
    EXPECT_DOUBLE_EQ(movements.fieldByName("Eispraxi").asFloat(), 1.2345);
    EXPECT_EQ(movements.fieldByName("Pliromi").asFloat(), 1.5);
    EXPECT_EQ(movements.fieldByName("Perigrafi").asString(), "z");
}

TEST_F(RecordStreamTest, SinglesReadAsDoublesAndBytesAsIntegers)
{
    // A single is a double once read, which a date field takes; a byte is an integer.
    addCategory(200, kDEH);
    readMovements(Block()
                      .count(1)
                      .raw({0x04, 0x00, 0x63, 0x14, 0x47}) // 37987 as a single
                      .raw({0x11, 0xC8})
                      .raw({0x04, 0x00, 0x00, 0x20, 0x40}) // 2.5
                      .null()
                      .null()
                      .bytes);
    movements.first();
    EXPECT_EQ(movements.fieldByName("Date").asFloat(), 37987);
    EXPECT_EQ(movements.fieldByName("CatNum").asInteger(), 200);
    EXPECT_EQ(movements.fieldByName("Eispraxi").asFloat(), 2.5);
    EXPECT_EQ(movements.fieldByName("Category").asString(), kDEH);
}

} // namespace
} // namespace tamisko
