#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tamisko {

// Locale-aware comparison of cp1253 texts; returns <0, 0 or >0. The case-insensitive
// order is the case-sensitive one with more texts held equal (tables rely on it to search
// a case-sensitive order without regard to case).
class Collation
{
public:
    virtual ~Collation() = default;
    virtual int compare(std::string_view a, std::string_view b, bool caseInsensitive) const = 0;
};

// The Greek (Greece) order of cp1253 texts: Greek before Latin, accents and diaeresis
// only at the second level, lower case before upper case at the third.
std::shared_ptr<const Collation> greekCollation();

// The user's regional settings as the core needs them. Separators are cp1253 bytes.
// The core never reads the machine's locale: callers pass the settings they want.
struct RegionalSettings final
{
    char decimalSeparator = ',';
    char thousandSeparator = '.';
    int currencyDecimals = 2;
    std::string shortDateFormat = "d/M/yyyy"; // tokens d, dd, M, MM, yy, yyyy
    std::shared_ptr<const Collation> collation = greekCollation();

    // Greek (Greece): the default of the program.
    static RegionalSettings greek();
};

} // namespace tamisko
