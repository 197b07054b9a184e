#pragma once

#include "data/RegionalSettings.h"

#include <optional>
#include <string_view>

namespace tamisko {

// Regional settings of a POSIX locale name such as "el_GR", "el_GR.UTF-8", "de_DE@euro",
// "en_US" or "C", for programs without a toolkit to ask. Nothing for a locale the core
// does not know. Years always have four digits.
std::optional<RegionalSettings> RegionalSettingsForLocale(std::string_view name);

// The settings of the locale the environment names (LC_ALL, then LC_NUMERIC, then LANG);
// those of "C" when it names none the core knows.
RegionalSettings RegionalSettingsFromEnvironment();

} // namespace tamisko
