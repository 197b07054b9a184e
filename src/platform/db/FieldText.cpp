#include "platform/db/FieldText.h"

#include "data/Errors.h"
#include "data/Format.h"
#include "platform/SystemLocale.h"
#include "platform/Text.h"

#include <cmath>
#include <optional>
#include <QStringDecoder>

namespace tamisko::db {
namespace {

std::optional<RegionalSettings>& currentSettings()
{
    static std::optional<RegionalSettings> settings;
    return settings;
}

QString fromBytes(const std::string& bytes)
{
    return QString::fromLatin1(bytes);
}

[[noreturn]] void invalid(const char* pattern, const QString& text)
{
    throw Error(formatMessage(pattern, text.toStdString()));
}

// An amount with the currency decimals when that loses nothing, else every digit it has.
QString amountText(double value, const RegionalSettings& settings)
{
    const int decimals = settings.currencyDecimals;
    const double scaled = value * std::pow(10.0, decimals);
    if (std::fabs(scaled - std::round(scaled)) < 1e-6)
        return fromBytes(formatFixed(value, decimals, settings.decimalSeparator));
    return fromBytes(formatGeneral(value, settings.decimalSeparator));
}

} // namespace

const RegionalSettings& formatSettings()
{
    auto& settings = currentSettings();
    if (!settings)
        settings = systemRegionalSettings();
    return *settings;
}

void setFormatSettings(RegionalSettings settings)
{
    currentSettings() = std::move(settings);
}

QString fieldLabel(const Field& field)
{
    const std::string& label = field.displayName();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArrayView(label.data(), static_cast<qsizetype>(label.size())));
    return utf8.hasError() ? toQString(label) : text;
}

bool isNumeric(const Field& field)
{
    switch (field.dataType()) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::LargeInt:
    case FieldType::AutoInc:
        return true;
    default:
        return false;
    }
}

QString displayText(const Field& field, const Variant& value)
{
    return displayText(field, value, formatSettings());
}

QString displayText(const Field& field, const Variant& value, const RegionalSettings& settings)
{
    if (value.isNullOrEmpty())
        return {};
    switch (field.dataType()) {
    case FieldType::String:
        return toQString(value.toString());
    case FieldType::Currency:
        return amountText(value.toDouble(), settings);
    case FieldType::Float:
        return fromBytes(formatGeneral(value.toDouble(), settings.decimalSeparator));
    case FieldType::Date:
        return fromBytes(formatDate(value.toDouble(), settings));
    case FieldType::DateTime:
    case FieldType::Time:
        return fromBytes(formatDate(std::floor(value.toDouble()), settings));
    case FieldType::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString::number(value.toInt64());
    }
}

QString editText(const Field& field, const Variant& value)
{
    return displayText(field, value);
}

Variant parseText(const Field& field, const QString& text)
{
    if (text.isEmpty())
        return Variant::null();
    const RegionalSettings& settings = formatSettings();
    switch (field.dataType()) {
    case FieldType::String: {
        auto bytes = fromQString(text);
        if (!bytes)
            invalid("'%s' holds characters that cannot be stored", text);
        return Variant::fromString(std::move(*bytes));
    }
    case FieldType::Date:
    case FieldType::DateTime:
    case FieldType::Time: {
        const auto day = parseDate(text.trimmed().toStdString(), settings.shortDateFormat);
        if (!day)
            invalid("'%s' is not a valid date", text);
        return Variant::fromDate(*day);
    }
    case FieldType::Float:
    case FieldType::Currency: {
        double number = 0;
        if (!parseNumber(text.toStdString(), number) || !std::isfinite(number))
            invalid("'%s' is not a valid floating point value", text);
        return Variant::fromDouble(number);
    }
    case FieldType::Boolean: {
        const QString word = text.trimmed().toLower();
        if (word == QLatin1String("true"))
            return Variant::fromBool(true);
        if (word == QLatin1String("false"))
            return Variant::fromBool(false);
        invalid("'%s' is not a valid boolean value", text);
    }
    default: {
        bool ok = false;
        const qlonglong number = text.trimmed().toLongLong(&ok);
        if (!ok || number < INT32_MIN || number > INT32_MAX)
            invalid("'%s' is not a valid integer value", text);
        return Variant::fromInt(static_cast<int32_t>(number));
    }
    }
}

} // namespace tamisko::db
