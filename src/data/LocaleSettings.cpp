#include "data/LocaleSettings.h"

#include <cstdlib>
#include <string>

namespace tamisko {
namespace {

// "el_GR.UTF-8@euro" -> "el_GR"
std::string_view languageAndTerritory(std::string_view name)
{
    return name.substr(0, name.find_first_of(".@"));
}

RegionalSettings settings(char decimalSeparator, char thousandSeparator,
                          std::string shortDateFormat)
{
    RegionalSettings result;
    result.decimalSeparator = decimalSeparator;
    result.thousandSeparator = thousandSeparator;
    result.currencyDecimals = 2;
    result.shortDateFormat = std::move(shortDateFormat);
    return result;
}

} // namespace

std::optional<RegionalSettings> RegionalSettingsForLocale(std::string_view name)
{
    const std::string_view locale = languageAndTerritory(name);
    if (locale == "el_GR" || locale == "el_CY" || locale == "el")
        return RegionalSettings::greek();
    if (locale == "en_US" || locale == "en")
        return settings('.', ',', "M/d/yyyy");
    if (locale == "en_GB" || locale == "en_IE")
        return settings('.', ',', "dd/MM/yyyy");
    if (locale == "de_DE" || locale == "de_AT" || locale == "de")
        return settings(',', '.', "dd.MM.yyyy");
    if (locale == "C" || locale == "POSIX")
        return settings('.', ',', "yyyy-MM-dd");
    return std::nullopt;
}

RegionalSettings RegionalSettingsFromEnvironment()
{
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return RegionalSettingsForLocale(value).value_or(*RegionalSettingsForLocale("C"));
    }
    return *RegionalSettingsForLocale("C");
}

} // namespace tamisko
