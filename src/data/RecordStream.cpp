#include "data/RecordStream.h"

#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DayNumber.h"
#include "data/Errors.h"
#include "data/MemTable.h"
#include "data/RecordAppender.h"
#include "data/TableUtils.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace tamisko {
namespace {

// Type bytes of the codes that do not fit in one byte.
constexpr uint8_t kStringByte = 18;
constexpr uint8_t kType4095Byte = 19;
constexpr uint8_t kType8192Byte = 20;
constexpr uint8_t kType16384Byte = 21;

template<typename Unsigned> void writeLittleEndian(ByteStream& stream, Unsigned value)
{
    uint8_t bytes[sizeof(Unsigned)];
    for (size_t i = 0; i < sizeof(Unsigned); ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    stream.write(bytes, sizeof bytes);
}

// Reads a stream's bytes in place, without the stream's calls per value; the stream's
// position follows when the reader goes, also after a failure.
class InPlaceReader final
{
public:
    explicit InPlaceReader(ByteStream& stream)
        : stream_(stream), valid_(stream.position() >= 0 && stream.position() <= stream.size()),
          at_(valid_ ? static_cast<size_t>(stream.position()) : 0)
    {}
    ~InPlaceReader()
    {
        if (valid_)
            stream_.setPosition(static_cast<int64_t>(at_));
    }
    InPlaceReader(const InPlaceReader&) = delete;
    InPlaceReader& operator=(const InPlaceReader&) = delete;

    void readExact(void* buffer, int64_t count)
    {
        if (count <= 0)
            return;
        std::memcpy(buffer, take(static_cast<size_t>(count)), static_cast<size_t>(count));
    }

    // The next count bytes where they are; they stay valid while the stream is not changed.
    std::string_view view(size_t count)
    {
        if (count == 0)
            return {};
        return {reinterpret_cast<const char*>(take(count)), count};
    }

private:
    const uint8_t* take(size_t count)
    {
        const std::vector<uint8_t>& bytes = stream_.bytes();
        if (!valid_ || bytes.size() - at_ < count) {
            at_ = bytes.size(); // as far as a short read gets
            throw Error("The document ends before its data is complete");
        }
        const uint8_t* at = bytes.data() + at_;
        at_ += count;
        return at;
    }

    ByteStream& stream_;
    bool valid_;
    size_t at_;
};

template<typename Unsigned, typename Source> Unsigned readLittleEndian(Source& stream)
{
    uint8_t bytes[sizeof(Unsigned)];
    stream.readExact(bytes, sizeof bytes);
    Unsigned value = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&value, bytes, sizeof value); // one load instead of one per byte
        return value;
    }
    for (size_t i = 0; i < sizeof(Unsigned); ++i)
        value |= static_cast<Unsigned>(bytes[i]) << (8 * i);
    return value;
}

void writeByte(ByteStream& stream, uint8_t value)
{
    stream.write(&value, 1);
}

template<typename Source> uint8_t readByte(Source& stream)
{
    uint8_t value = 0;
    stream.readExact(&value, 1);
    return value;
}

void writeDouble(ByteStream& stream, double value)
{
    writeLittleEndian(stream, std::bit_cast<uint64_t>(value));
}

template<typename Source> double readDouble(Source& stream)
{
    return std::bit_cast<double>(readLittleEndian<uint64_t>(stream));
}

void writeText(ByteStream& stream, const std::string& text)
{
    if (text.size() > 0xFFFF)
        throw Error("A text of " + std::to_string(text.size()) +
                    " bytes is too long to be stored (at most 65535)");
    writeLittleEndian(stream, static_cast<uint16_t>(text.size()));
    stream.write(text.data(), static_cast<int64_t>(text.size()));
}

template<typename Source> std::string readText(Source& stream)
{
    const uint16_t length = readLittleEndian<uint16_t>(stream);
    std::string text(length, '\0');
    stream.readExact(text.data(), length);
    return text;
}

uint8_t typeByte(uint16_t code)
{
    switch (code) {
    case static_cast<uint16_t>(VarType::String):
        return kStringByte;
    case 4095:
        return kType4095Byte;
    case 8192:
        return kType8192Byte;
    case 16384:
        return kType16384Byte;
    default:
        return static_cast<uint8_t>(code & 0xFF);
    }
}

void writeValue(ByteStream& stream, const Variant& value)
{
    writeByte(stream, typeByte(value.typeCode()));
    switch (value.type()) {
    case VarType::SmallInt:
        writeLittleEndian(stream, static_cast<uint16_t>(value.toInt64()));
        break;
    case VarType::Integer:
        writeLittleEndian(stream, static_cast<uint32_t>(value.toInt64()));
        break;
    case VarType::Single:
        writeLittleEndian(stream, std::bit_cast<uint32_t>(static_cast<float>(value.toDouble())));
        break;
    case VarType::Double:
    case VarType::Date:
        writeDouble(stream, value.toDouble());
        break;
    case VarType::Currency:
        writeLittleEndian(stream, static_cast<uint64_t>(value.currencyScaled()));
        break;
    case VarType::OleStr:
    case VarType::String:
        writeText(stream, value.toString());
        break;
    case VarType::Boolean:
        writeByte(stream, value.toBool() ? 1 : 0);
        break;
    case VarType::Byte:
        writeByte(stream, static_cast<uint8_t>(value.toInt64()));
        break;
    default:
        break; // empty, null and the codes without value bytes
    }
}

template<typename Source> Variant readValue(Source& stream)
{
    const uint8_t type = readByte(stream);
    switch (type) {
    case 0:
        return Variant();
    case 1:
        return Variant::null();
    case 2:
        return Variant::fromInt(static_cast<int16_t>(readLittleEndian<uint16_t>(stream)));
    case 3:
        return Variant::fromInt(static_cast<int32_t>(readLittleEndian<uint32_t>(stream)));
    case 4:
        return Variant::fromDouble(std::bit_cast<float>(readLittleEndian<uint32_t>(stream)));
    case 5:
        return Variant::fromDouble(readDouble(stream));
    case 6:
        return Variant::fromCurrencyScaled(
            static_cast<int64_t>(readLittleEndian<uint64_t>(stream)));
    case 7:
        return Variant::fromDate(readDouble(stream));
    case 8:
    case kStringByte:
        return Variant::fromString(readText(stream));
    case 11:
        return Variant::fromBool(readByte(stream) != 0);
    case 17:
        return Variant::fromInt(readByte(stream));
    default:
        // No writer of documents produces these; meeting one means the bytes are not a
        // record stream (most often: decrypted with a wrong password).
        throw Error("The document holds an unknown value type (" + std::to_string(type) + ")");
    }
}

// A value as the stream holds it, a text left where it is in the stream's bytes: what
// readValue reads, without a variant and without a copy of the text. The type is that
// of the variant readValue makes: integers of every size read as 3, singles as 5 and
// both kinds of text as 18.
struct RawValue final
{
    uint8_t type = 0;        // 0, 1, 3, 5, 6, 7, 11 or 18
    int64_t integer = 0;     // types 3, 6 (the amount times 10000) and 11 (0 or 1)
    double number = 0;       // types 5 and 7
    std::string_view text{}; // type 18
};

RawValue readRawValue(InPlaceReader& stream)
{
    RawValue value;
    const uint8_t type = readByte(stream);
    switch (type) {
    case 0:
    case 1:
        value.type = type;
        break;
    case 2:
        value.type = 3;
        value.integer = static_cast<int16_t>(readLittleEndian<uint16_t>(stream));
        break;
    case 3:
        value.type = 3;
        value.integer = static_cast<int32_t>(readLittleEndian<uint32_t>(stream));
        break;
    case 4:
        value.type = 5;
        value.number = std::bit_cast<float>(readLittleEndian<uint32_t>(stream));
        break;
    case 5:
    case 7:
        value.type = type;
        value.number = readDouble(stream);
        break;
    case 6:
        value.type = 6;
        value.integer = static_cast<int64_t>(readLittleEndian<uint64_t>(stream));
        break;
    case 8:
    case kStringByte:
        value.type = kStringByte;
        value.text = stream.view(readLittleEndian<uint16_t>(stream));
        break;
    case 11:
        value.type = 11;
        value.integer = readByte(stream) != 0 ? 1 : 0;
        break;
    case 17:
        value.type = 3;
        value.integer = readByte(stream);
        break;
    default:
        // As readValue: the bytes are not a record stream.
        throw Error("The document holds an unknown value type (" + std::to_string(type) + ")");
    }
    return value;
}

bool isNullOrEmpty(const RawValue& value)
{
    return value.type <= 1;
}

bool isInteger(const RawValue& value)
{
    return value.type == 3;
}

bool isFloat(const RawValue& value)
{
    return value.type == 5 || value.type == 6;
}

bool isText(const RawValue& value)
{
    return value.type == kStringByte;
}

// The number of a numeric value as its variant's toDouble gives it.
double numberOf(const RawValue& value)
{
    switch (value.type) {
    case 3:
        return static_cast<double>(value.integer);
    case 6:
        return static_cast<double>(value.integer) / 10000.0;
    case 11:
        return value.integer != 0 ? -1.0 : 0.0;
    default:
        return value.number;
    }
}

[[noreturn]] void invalidValue(const Field& field)
{
    throw Error(formatMessage("Invalid value for field '%s'", field.displayName()));
}

void checkInteger(const Field& field, const RawValue& value, double low, double high)
{
    if (isInteger(value) || isFloat(value)) {
        const double number = numberOf(value);
        if (std::isfinite(number) && number == std::trunc(number) && number >= low &&
            number <= high)
            return;
    }
    invalidValue(field);
}

void checkText(const Field& field, const RawValue& value)
{
    if (!isText(value))
        invalidValue(field);
    const std::string_view text = value.text;
    if (field.def().size > 0 && text.size() > static_cast<size_t>(field.def().size))
        throw Error("The text of field '" + field.displayName() + "' is longer than " +
                    std::to_string(field.def().size) + " characters");
    // A table, because every text of a document passes here byte by byte.
    static const auto defined = [] {
        std::array<bool, 256> bytes{};
        for (size_t b = 0; b < bytes.size(); ++b)
            bytes[b] = cp1253::isDefinedByte(static_cast<unsigned char>(b));
        return bytes;
    }();
    for (const char c : text) {
        if (!defined[static_cast<unsigned char>(c)])
            throw Error("The text of field '" + field.displayName() +
                        "' holds a character that the Greek code page does not define");
    }
}

void checkDate(const Field& field, const RawValue& value, bool wholeDay)
{
    if (value.type != 7 && value.type != 5 && !isInteger(value))
        invalidValue(field);
    const double day = numberOf(value);
    if (!std::isfinite(day) || (wholeDay && day != std::trunc(day)) ||
        !days::inValidRange(std::floor(day)))
        throw Error("Field '" + field.displayName() + "' holds no valid date");
}

// A value of the stream must be one that the field can hold as it is; it is handed on
// in the form the field keeps, as storing its variant would convert it. Messages name
// fields by their display names, as the table's own do.
StoredValue fitted(const Field& field, const RawValue& value)
{
    if (isNullOrEmpty(value)) {
        if (field.def().required)
            throw Error(formatMessage("Field '%s' must have a value", field.displayName()));
        return StoredValue::null();
    }
    const auto integer = [&value] {
        return StoredValue::ofInteger(isInteger(value) ? value.integer
                                                       : std::llround(numberOf(value)));
    };
    switch (field.dataType()) {
    case FieldType::String:
        checkText(field, value);
        return StoredValue::ofText(value.text);
    case FieldType::SmallInt:
        checkInteger(field, value, INT16_MIN, INT16_MAX);
        return integer();
    case FieldType::Word:
        checkInteger(field, value, 0, UINT16_MAX);
        return integer();
    case FieldType::Integer:
    case FieldType::AutoInc:
        checkInteger(field, value, INT32_MIN, INT32_MAX);
        return integer();
    case FieldType::LargeInt:
        checkInteger(field, value, -9.2e18, 9.2e18);
        return integer();
    case FieldType::Boolean:
        if (value.type != 11)
            invalidValue(field);
        return StoredValue::ofInteger(value.integer);
    case FieldType::Float:
    case FieldType::Currency:
        if (!(isInteger(value) || isFloat(value)) || !std::isfinite(numberOf(value)))
            invalidValue(field);
        return StoredValue::ofNumber(numberOf(value));
    case FieldType::Date:
        checkDate(field, value, true);
        return StoredValue::ofNumber(numberOf(value));
    case FieldType::DateTime:
    case FieldType::Time:
        checkDate(field, value, false);
        return StoredValue::ofNumber(numberOf(value));
    case FieldType::Blob:
        break;
    }
    invalidValue(field);
}

// How a field's stored value goes into the stream: integers as 32-bit integers, amounts
// as doubles, days and times as dates, large integers as integers while they fit in 32
// bits and as doubles beyond. A null value of any field is the type byte 1 alone.
enum class Encoding
{
    SmallInt,
    Integer,
    Double,
    Date,
    Text,
    Boolean,
    LargeInt,
    Null
};

Encoding encodingOf(FieldType type)
{
    switch (type) {
    case FieldType::SmallInt:
        return Encoding::SmallInt;
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::AutoInc:
        return Encoding::Integer;
    case FieldType::Float:
    case FieldType::Currency:
        return Encoding::Double;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return Encoding::Date;
    case FieldType::String:
        return Encoding::Text;
    case FieldType::Boolean:
        return Encoding::Boolean;
    case FieldType::LargeInt:
        return Encoding::LargeInt;
    case FieldType::Blob:
        break;
    }
    return Encoding::Null;
}

// The most bytes a value takes, its text bytes not counted.
constexpr size_t kLargestValue = 9;
// What the reservation for a block counts per text, a guess: longer texts only make the
// bytes grow once more.
constexpr size_t kTextGuess = 16;

size_t expectedSize(Encoding encoding)
{
    switch (encoding) {
    case Encoding::SmallInt:
    case Encoding::Integer:
        return 5;
    case Encoding::Text:
        return 3 + kTextGuess;
    case Encoding::Boolean:
        return 2;
    case Encoding::Null:
        return 1;
    default:
        return kLargestValue;
    }
}

struct FieldEncoding final
{
    int field;
    Encoding encoding;
};

// Appends a record block to the end of a stream's bytes through a plain index, growing
// them in large steps within a capacity reserved once; however the writing ends, the
// bytes are cut to what was written and the position stands behind it.
class BlockEncoder final
{
public:
    BlockEncoder(ByteStream& stream, std::span<const FieldEncoding> fields, size_t reserve)
        : stream_(stream), bytes_(stream.bytes()), at_(bytes_.size()), fields_(fields),
          recordRoom_(fields.size() * kLargestValue)
    {
        stream.reserve(at_ + reserve);
    }
    ~BlockEncoder()
    {
        bytes_.resize(at_);
        stream_.setPosition(static_cast<int64_t>(at_));
    }
    BlockEncoder(const BlockEncoder&) = delete;
    BlockEncoder& operator=(const BlockEncoder&) = delete;

    void count(uint32_t records)
    {
        room(4);
        put32(records);
    }

    void record(const RecordView& record)
    {
        room(recordRoom_);
        for (const FieldEncoding& f : fields_) {
            if (record.isNull(f.field)) {
                put8(1);
                continue;
            }
            switch (f.encoding) {
            case Encoding::SmallInt:
                integer(static_cast<int16_t>(record.intAt(f.field)));
                break;
            case Encoding::Integer:
                integer(static_cast<int32_t>(record.intAt(f.field)));
                break;
            case Encoding::Double:
                number(5, record.doubleAt(f.field));
                break;
            case Encoding::Date:
                number(7, record.doubleAt(f.field));
                break;
            case Encoding::Text:
                text(record.stringAt(f.field));
                break;
            case Encoding::Boolean:
                put8(11);
                put8(record.intAt(f.field) != 0 ? 1 : 0);
                break;
            case Encoding::LargeInt: {
                const int64_t value = record.intAt(f.field);
                if (value >= INT32_MIN && value <= INT32_MAX)
                    integer(static_cast<int32_t>(value));
                else
                    number(5, static_cast<double>(value));
                break;
            }
            case Encoding::Null:
                put8(1);
                break;
            }
        }
    }

private:
    void integer(int32_t value)
    {
        put8(3);
        put32(static_cast<uint32_t>(value));
    }

    void number(uint8_t type, double value)
    {
        put8(type);
        const auto bits = std::bit_cast<uint64_t>(value);
        put32(static_cast<uint32_t>(bits));
        put32(static_cast<uint32_t>(bits >> 32));
    }

    void text(std::string_view value)
    {
        put8(kStringByte);
        if (value.size() > 0xFFFF)
            throw Error("A text of " + std::to_string(value.size()) +
                        " bytes is too long to be stored (at most 65535)");
        put8(static_cast<uint8_t>(value.size()));
        put8(static_cast<uint8_t>(value.size() >> 8));
        // The room of the record covers its values without their texts.
        room(value.size() + recordRoom_);
        if (!value.empty())
            std::memcpy(bytes_.data() + at_, value.data(), value.size());
        at_ += value.size();
    }

    void put8(uint8_t value) { bytes_[at_++] = value; }

    void put32(uint32_t value)
    {
        const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                  static_cast<uint8_t>(value >> 16),
                                  static_cast<uint8_t>(value >> 24)};
        std::memcpy(bytes_.data() + at_, bytes, 4);
        at_ += 4;
    }

    // Room for n more bytes. Within the reserved capacity the bytes grow a megabyte at a
    // time, so that little more than what is written is ever touched; past it only by
    // what is needed, the vector doubling its capacity.
    void room(size_t n)
    {
        if (bytes_.size() - at_ < n)
            bytes_.resize(std::max(at_ + n, std::min(at_ + kGrowthStep, bytes_.capacity())));
    }

    static constexpr size_t kGrowthStep = size_t{1} << 20;

    ByteStream& stream_;
    std::vector<uint8_t>& bytes_;
    size_t at_;
    std::span<const FieldEncoding> fields_;
    size_t recordRoom_;
};

// The block at the end of the stream.
// The posted records as a block, without ending a pending edit or moving the cursor.
void appendSnapshotBlock(ByteStream& stream, MemTable& table, const std::vector<Field*>& fields)
{
    std::vector<FieldEncoding> encodings;
    for (const Field* field : fields)
        encodings.push_back({field->index(), encodingOf(field->dataType())});
    uint32_t count = 0;
    table.forEachRecord([&count](const RecordView&) { ++count; });
    BlockEncoder encoder(stream, encodings, 4);
    encoder.count(count);
    table.forEachRecord([&encoder](const RecordView& record) { encoder.record(record); });
}

void appendBlock(ByteStream& stream, MemTable& table, const std::vector<Field*>& fields)
{
    std::vector<FieldEncoding> encodings;
    size_t recordSize = 0;
    for (const Field* field : fields) {
        encodings.push_back({field->index(), encodingOf(field->dataType())});
        recordSize += expectedSize(encodings.back().encoding);
    }
    const int count = table.recordCount();
    BlockEncoder encoder(stream, encodings,
                         4 + static_cast<size_t>(std::max(count, 0)) * recordSize);
    encoder.count(static_cast<uint32_t>(count));
    table.walkRecords([&encoder](const RecordView& record) { encoder.record(record); });
}

std::vector<Field*> fieldsByName(MemTable& table, const std::vector<std::string>& names)
{
    std::vector<Field*> fields;
    fields.reserve(names.size());
    for (const auto& name : names)
        fields.push_back(&table.fieldByName(name));
    return fields;
}

} // namespace

void WriteValueRow(ByteStream& stream, std::span<const Variant> values)
{
    for (const Variant& value : values)
        writeValue(stream, value);
}

void ReadValueRow(ByteStream& stream, std::span<Variant> values)
{
    InPlaceReader reader(stream);
    for (Variant& value : values)
        value = readValue(reader);
}

void WriteTableRecords(ByteStream& stream, MemTable& table,
                       const std::vector<std::string>& fieldNames)
{
    if (!table.active())
        return;
    CancelPending({&table});
    const std::vector<Field*> fields = fieldsByName(table, fieldNames);
    if (stream.position() == stream.size()) {
        appendBlock(stream, table, fields);
        return;
    }
    // Elsewhere than at the end the block is built apart and written over the stream's
    // bytes in one piece, as far as it got also when it failed.
    ByteStream block;
    try {
        appendBlock(block, table, fields);
    } catch (...) {
        stream.write(block.bytes().data(), block.size());
        throw;
    }
    stream.write(block.bytes().data(), block.size());
}

void WriteTableSnapshot(ByteStream& stream, MemTable& table,
                        const std::vector<std::string>& fieldNames)
{
    if (!table.active())
        return;
    stream.setPosition(stream.size());
    appendSnapshotBlock(stream, table, fieldsByName(table, fieldNames));
}

void ReadTableRecords(ByteStream& stream, MemTable& table,
                      const std::vector<std::string>& fieldNames)
{
    if (!table.active())
        return;
    CancelPending({&table});
    const std::vector<Field*> fields = fieldsByName(table, fieldNames);
    const auto count = static_cast<int32_t>(readLittleEndian<uint32_t>(stream));
    std::vector<int> fieldIndexes;
    for (const Field* field : fields)
        fieldIndexes.push_back(field->index());
    RecordAppender appender(table, std::move(fieldIndexes));
    // Each value takes a byte at least, which bounds what a count can claim.
    if (count > 0 && !fields.empty() && stream.position() >= 0 &&
        stream.position() <= stream.size())
        appender.reserve(
            std::min(static_cast<size_t>(count),
                     static_cast<size_t>(stream.size() - stream.position()) / fields.size()));
    std::vector<RawValue> row(fields.size());
    std::vector<StoredValue> values(fields.size());
    // A whole row is read before its values are checked, so that a stream that ends
    // inside a row fails as such whatever its values; the texts are appended from
    // where they stand in the stream.
    InPlaceReader reader(stream);
    for (int32_t record = 0; record < count; ++record) {
        for (RawValue& value : row)
            value = readRawValue(reader);
        for (size_t i = 0; i < fields.size(); ++i)
            values[i] = fitted(*fields[i], row[i]);
        appender.append(std::span<const StoredValue>(values));
    }
}

} // namespace tamisko
