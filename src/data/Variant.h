#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace tamisko {

// Variant type codes, as the record stream writes them (see RecordStream).
enum class VarType : uint16_t
{
    Empty = 0,
    Null = 1,
    SmallInt = 2,
    Integer = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    OleStr = 8,
    Boolean = 11,
    Byte = 17,
    String = 256,
};

// A small dynamically typed value with explicit empty and null states. Strings hold
// cp1253 bytes. Currency is kept as the amount times 10000, as the stream stores it.
class Variant final
{
public:
    Variant() = default; // empty
    static Variant null();
    static Variant fromInt(int32_t value);
    static Variant fromSmallInt(int16_t value);
    static Variant fromByte(uint8_t value);
    static Variant fromDouble(double value);
    static Variant fromSingle(float value);
    static Variant fromCurrencyScaled(int64_t scaled);
    static Variant fromCurrency(double amount);
    static Variant fromDate(double dayNumber);
    static Variant fromString(std::string cp1253Text);
    static Variant fromOleStr(std::string cp1253Text);
    static Variant fromBool(bool value);
    // A value of a type code without payload (used by the stream reader for codes it keeps).
    static Variant ofTypeCode(uint16_t code);

    uint16_t typeCode() const { return code_; }
    VarType type() const { return static_cast<VarType>(code_); }
    bool isEmpty() const { return code_ == 0; }
    bool isNull() const { return code_ == 1; }
    bool isNullOrEmpty() const { return code_ <= 1; }
    bool isString() const;
    bool isNumeric() const; // integers, floats, currency, date, boolean, byte

    // Conversions; each throws tamisko::Error ("Could not convert variant ...") when impossible.
    double toDouble() const;
    int64_t toInt64() const;
    int32_t toInt32() const;
    bool toBool() const;
    int64_t currencyScaled() const;
    // Text with '.' as decimal separator and up to 15 significant digits; empty for null.
    std::string toString() const;

    // Variant equality as ReplaceFieldValues uses it: two nulls are equal, null differs
    // from any value, strings compare bytewise, numbers by value, a string against a
    // number is converted to a number (throws when it cannot be).
    bool equals(const Variant& other) const;

private:
    uint16_t code_ = 0;
    std::variant<std::monostate, int64_t, double, std::string, bool> payload_;
};

// Parses a number written with '.' or ',' as decimal separator (optional sign,
// surrounding blanks allowed); false when the text is not a finite number.
bool parseNumber(std::string_view text, double& value);

} // namespace tamisko
