#include "data/ByteStream.h"
#include "data/Errors.h"
#include "data/RecordStream.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace tamisko {
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::HasSubstr;

Bytes written(const Variant& value)
{
    ByteStream stream;
    WriteValueRow(stream, std::vector<Variant>{value});
    return stream.bytes();
}

Variant readBack(const Bytes& bytes)
{
    ByteStream stream(bytes);
    std::vector<Variant> row(1);
    ReadValueRow(stream, row);
    EXPECT_EQ(stream.position(), stream.size()) << "bytes left over";
    return row[0];
}

TEST(WriteValueRow, WritesEachVariantTypeAsItsTypeByteAndLittleEndianBytes)
{
    struct Case
    {
        const char* what;
        Variant value;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", Variant(), {0x00}},
        {"null", Variant::null(), {0x01}},
        {"small integer", Variant::fromSmallInt(-2), {0x02, 0xFE, 0xFF}},
        {"integer", Variant::fromInt(14), {0x03, 0x0E, 0x00, 0x00, 0x00}},
        {"negative integer", Variant::fromInt(-1), {0x03, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"single", Variant::fromSingle(1.5f), {0x04, 0x00, 0x00, 0xC0, 0x3F}},
        {"double 12.5", Variant::fromDouble(12.5), {0x05, 0, 0, 0, 0, 0, 0, 0x29, 0x40}},
        {"currency 1.2345",
         Variant::fromCurrencyScaled(12345),
         {0x06, 0x39, 0x30, 0, 0, 0, 0, 0, 0}},
        {"date 2004-01-01", Variant::fromDate(37987), {0x07, 0, 0, 0, 0, 0x60, 0x8C, 0xE2, 0x40}},
        {"OLE string", Variant::fromOleStr("ab"), {0x08, 0x02, 0x00, 'a', 'b'}},
        {"boolean true", Variant::fromBool(true), {0x0B, 0x01}},
        {"boolean false", Variant::fromBool(false), {0x0B, 0x00}},
        {"byte", Variant::fromByte(200), {0x11, 0xC8}},
        {"string", Variant::fromString("\xC4\xC5\xC7"), {0x12, 0x03, 0x00, 0xC4, 0xC5, 0xC7}},
        {"empty string", Variant::fromString(""), {0x12, 0x00, 0x00}},
        {"type 4095", Variant::ofTypeCode(4095), {0x13}},
        {"type 8192", Variant::ofTypeCode(8192), {0x14}},
        {"type 16384", Variant::ofTypeCode(16384), {0x15}},
        {"other type", Variant::ofTypeCode(0x0109), {0x09}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(written(c.value), c.bytes) << c.what;
}

TEST(WriteValueRow, WritesA200CharacterTextWhole)
{
    const std::string text(200, '\xE1');
    const Bytes bytes = written(Variant::fromString(text));
    ASSERT_EQ(bytes.size(), 203u);
    EXPECT_EQ(bytes[0], 0x12);
    EXPECT_EQ(bytes[1], 0xC8);
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(std::string(bytes.begin() + 3, bytes.end()), text);
}

TEST(WriteValueRow, RefusesATextItCouldOnlyCut)
{
    ByteStream stream;
    EXPECT_THROW(
        WriteValueRow(stream, std::vector<Variant>{Variant::fromString(std::string(65536, 'x'))}),
        Error);
    EXPECT_EQ(written(Variant::fromString(std::string(65535, 'x'))).size(), 65538u);
}

TEST(WriteValueRow, WritesTheValuesInOrderAndNothingForAnEmptyRow)
{
    ByteStream stream;
    WriteValueRow(stream, std::vector<Variant>{});
    EXPECT_EQ(stream.size(), 0);
    WriteValueRow(stream, std::vector<Variant>{Variant::fromInt(1), Variant::null()});
    EXPECT_EQ(stream.bytes(), (Bytes{0x03, 0x01, 0x00, 0x00, 0x00, 0x01}));
}

TEST(ReadValueRow, ReadsBackEveryTypeTheWriterProducesForValues)
{
    struct Case
    {
        const char* what;
        Bytes bytes;
        VarType type;
        double number;
    };
    const Case cases[] = {
        {"small integer gives an integer", {0x02, 0xFE, 0xFF}, VarType::Integer, -2},
        {"integer", {0x03, 0x0E, 0x00, 0x00, 0x00}, VarType::Integer, 14},
        {"single gives a double", {0x04, 0x00, 0x00, 0xC0, 0x3F}, VarType::Double, 1.5},
        {"double", {0x05, 0, 0, 0, 0, 0, 0, 0x29, 0x40}, VarType::Double, 12.5},
        {"currency", {0x06, 0x39, 0x30, 0, 0, 0, 0, 0, 0}, VarType::Currency, 1.2345},
        {"date", {0x07, 0, 0, 0, 0, 0x60, 0x8C, 0xE2, 0x40}, VarType::Date, 37987},
        {"boolean", {0x0B, 0x05}, VarType::Boolean, -1},
        {"byte gives an integer", {0x11, 0xC8}, VarType::Integer, 200},
    };
    for (const auto& c : cases) {
        const Variant value = readBack(c.bytes);
        EXPECT_EQ(value.type(), c.type) << c.what;
        EXPECT_DOUBLE_EQ(value.toDouble(), c.number) << c.what;
    }
    EXPECT_EQ(readBack({0x06, 0x39, 0x30, 0, 0, 0, 0, 0, 0}).currencyScaled(), 12345);
    EXPECT_TRUE(readBack({0x00}).isEmpty());
    EXPECT_TRUE(readBack({0x01}).isNull());
    for (const uint8_t stringByte : {uint8_t{0x08}, uint8_t{0x12}}) {
        const Variant text = readBack({stringByte, 0x03, 0x00, 0xC4, 0xC5, 0xC7});
        EXPECT_TRUE(text.isString());
        EXPECT_EQ(text.toString(), "\xC4\xC5\xC7");
    }
}

TEST(ReadValueRow, RoundTripsARowOfMixedValues)
{
    const std::vector<Variant> row{Variant::fromDate(37987), Variant::fromInt(-7),
                                   Variant::fromDouble(-0.1), Variant::null(),
                                   Variant::fromString(std::string(200, 'z'))};
    ByteStream stream;
    WriteValueRow(stream, row);
    stream.setPosition(0);
    std::vector<Variant> back(row.size());
    ReadValueRow(stream, back);
    EXPECT_EQ(stream.position(), stream.size());
    for (size_t i = 0; i < row.size(); ++i) {
        EXPECT_EQ(back[i].type(), row[i].type()) << i;
        EXPECT_TRUE(back[i].equals(row[i])) << i;
    }
}

TEST(ReadValueRow, RefusesTypeBytesThatNoDocumentHolds)
{
    std::vector<uint8_t> refused{9, 10};
    for (uint8_t b = 12; b <= 16; ++b)
        refused.push_back(b);
    for (int b = 19; b <= 255; ++b)
        refused.push_back(static_cast<uint8_t>(b));
    for (const uint8_t type : refused) {
        ByteStream stream(Bytes{type, 0, 0, 0, 0, 0, 0, 0, 0});
        std::vector<Variant> row(1);
        EXPECT_THROW(ReadValueRow(stream, row), Error) << int(type);
    }
}

TEST(ReadValueRow, RefusesAValueCutShortByTheEndOfTheStream)
{
    const Bytes complete[] = {
        {0x02, 0xFE, 0xFF},
        {0x03, 0x0E, 0x00, 0x00, 0x00},
        {0x05, 0, 0, 0, 0, 0, 0, 0x29, 0x40},
        {0x12, 0x03, 0x00, 0xC4, 0xC5, 0xC7},
        {0x0B, 0x01},
    };
    for (const Bytes& bytes : complete) {
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            ByteStream stream(Bytes(bytes.begin(), bytes.begin() + cut));
            std::vector<Variant> row(1);
            try {
                ReadValueRow(stream, row);
                ADD_FAILURE() << "read a value from " << cut << " of " << bytes.size() << " bytes";
            } catch (const Error& error) {
                EXPECT_THAT(error.what(), HasSubstr("ends")) << cut;
            }
        }
    }
}

} // namespace
} // namespace tamisko
