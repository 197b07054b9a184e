#include "data/Variant.h"

#include "data/Errors.h"
#include "data/Format.h"

#include <charconv>
#include <cmath>

namespace tamisko {
namespace {

[[noreturn]] void conversionFailed(const Variant& v, std::string_view target)
{
    throw Error("Could not convert variant of type (" + std::to_string(v.typeCode()) +
                ") into type (" + std::string(target) + ")");
}

} // namespace

Variant Variant::null()
{
    return ofTypeCode(1);
}

Variant Variant::ofTypeCode(uint16_t code)
{
    Variant v;
    v.code_ = code;
    return v;
}

Variant Variant::fromInt(int32_t value)
{
    Variant v;
    v.code_ = static_cast<uint16_t>(VarType::Integer);
    v.payload_ = static_cast<int64_t>(value);
    return v;
}

Variant Variant::fromSmallInt(int16_t value)
{
    Variant v = fromInt(value);
    v.code_ = static_cast<uint16_t>(VarType::SmallInt);
    return v;
}

Variant Variant::fromByte(uint8_t value)
{
    Variant v = fromInt(value);
    v.code_ = static_cast<uint16_t>(VarType::Byte);
    return v;
}

Variant Variant::fromDouble(double value)
{
    Variant v;
    v.code_ = static_cast<uint16_t>(VarType::Double);
    v.payload_ = value;
    return v;
}

Variant Variant::fromSingle(float value)
{
    Variant v = fromDouble(value);
    v.code_ = static_cast<uint16_t>(VarType::Single);
    return v;
}

Variant Variant::fromCurrencyScaled(int64_t scaled)
{
    Variant v;
    v.code_ = static_cast<uint16_t>(VarType::Currency);
    v.payload_ = scaled;
    return v;
}

Variant Variant::fromCurrency(double amount)
{
    return fromCurrencyScaled(static_cast<int64_t>(std::llround(amount * 10000.0)));
}

Variant Variant::fromDate(double dayNumber)
{
    Variant v = fromDouble(dayNumber);
    v.code_ = static_cast<uint16_t>(VarType::Date);
    return v;
}

Variant Variant::fromString(std::string cp1253Text)
{
    Variant v;
    v.code_ = static_cast<uint16_t>(VarType::String);
    v.payload_ = std::move(cp1253Text);
    return v;
}

Variant Variant::fromOleStr(std::string cp1253Text)
{
    Variant v = fromString(std::move(cp1253Text));
    v.code_ = static_cast<uint16_t>(VarType::OleStr);
    return v;
}

Variant Variant::fromBool(bool value)
{
    Variant v;
    v.code_ = static_cast<uint16_t>(VarType::Boolean);
    v.payload_ = value;
    return v;
}

bool Variant::isString() const
{
    return type() == VarType::String || type() == VarType::OleStr;
}

bool Variant::isNumeric() const
{
    switch (type()) {
    case VarType::SmallInt:
    case VarType::Integer:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date:
    case VarType::Boolean:
    case VarType::Byte:
        return true;
    default:
        return false;
    }
}

double Variant::toDouble() const
{
    switch (type()) {
    case VarType::Empty:
        return 0.0;
    case VarType::SmallInt:
    case VarType::Integer:
    case VarType::Byte:
        return static_cast<double>(std::get<int64_t>(payload_));
    case VarType::Currency:
        return static_cast<double>(std::get<int64_t>(payload_)) / 10000.0;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
        return std::get<double>(payload_);
    case VarType::Boolean:
        return std::get<bool>(payload_) ? -1.0 : 0.0;
    case VarType::String:
    case VarType::OleStr: {
        double value = 0;
        if (parseNumber(std::get<std::string>(payload_), value))
            return value;
        break;
    }
    default:
        break;
    }
    conversionFailed(*this, "Double");
}

int64_t Variant::toInt64() const
{
    switch (type()) {
    case VarType::SmallInt:
    case VarType::Integer:
    case VarType::Byte:
        return std::get<int64_t>(payload_);
    default: {
        const double d = toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 9.2e18)
            conversionFailed(*this, "Int64");
        return std::llround(d);
    }
    }
}

int32_t Variant::toInt32() const
{
    const int64_t value = toInt64();
    if (value < INT32_MIN || value > INT32_MAX)
        conversionFailed(*this, "Integer");
    return static_cast<int32_t>(value);
}

bool Variant::toBool() const
{
    if (type() == VarType::Boolean)
        return std::get<bool>(payload_);
    if (isString()) {
        const auto& s = std::get<std::string>(payload_);
        if (s == "True" || s == "true" || s == "TRUE")
            return true;
        if (s == "False" || s == "false" || s == "FALSE")
            return false;
    }
    return toDouble() != 0.0;
}

int64_t Variant::currencyScaled() const
{
    if (type() == VarType::Currency)
        return std::get<int64_t>(payload_);
    return static_cast<int64_t>(std::llround(toDouble() * 10000.0));
}

std::string Variant::toString() const
{
    switch (type()) {
    case VarType::Empty:
    case VarType::Null:
        return {};
    case VarType::String:
    case VarType::OleStr:
        return std::get<std::string>(payload_);
    case VarType::SmallInt:
    case VarType::Integer:
    case VarType::Byte:
        return std::to_string(std::get<int64_t>(payload_));
    case VarType::Boolean:
        return std::get<bool>(payload_) ? "True" : "False";
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date:
        return formatGeneral(toDouble(), '.');
    default:
        conversionFailed(*this, "String");
    }
}

bool Variant::equals(const Variant& other) const
{
    if (isNullOrEmpty() || other.isNullOrEmpty())
        return isNullOrEmpty() && other.isNullOrEmpty() && (isNull() == other.isNull());
    if (isString() && other.isString())
        return std::get<std::string>(payload_) == std::get<std::string>(other.payload_);
    return toDouble() == other.toDouble();
}

bool parseNumber(std::string_view text, double& value)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty())
        return false;
    std::string normalized(text);
    if (normalized.front() == '+')
        normalized.erase(0, 1);
    for (char& c : normalized) {
        if (c == ',')
            c = '.';
    }
    const char* begin = normalized.data();
    const char* end = begin + normalized.size();
    // "nan" and "inf" read as numbers here, but no amount or day is one.
    double number = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, number);
    if (ec != std::errc() || ptr != end || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

} // namespace tamisko
