#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tamisko {

// Locale-aware comparison of cp1253 texts; returns <0, 0 or >0. The case-insensitive
// order is the case-sensitive one with more texts held equal (tables rely on it to search
// a case-sensitive order without regard to case).
class Collation
{
public:
    virtual ~Collation() = default;
    virtual int compare(std::string_view a, std::string_view b, bool caseInsensitive) const = 0;

    // The places of distinct texts (each given once) in this order, for sorting many
    // records at once: texts that compare equal get equal ranks, and a smaller rank sorts
    // first. By default found by sorting the texts with compare.
    virtual std::vector<uint32_t> ranks(std::span<const std::string_view> texts,
                                        bool caseInsensitive) const;

protected:
    // The ranks of `count` items in the order of `order(i, j)` (<0, 0 or >0).
    template<typename Order>
    static std::vector<uint32_t> ranksInOrder(size_t count, Order order)
    {
        std::vector<uint32_t> sorted(count);
        for (size_t i = 0; i < count; ++i)
            sorted[i] = static_cast<uint32_t>(i);
        std::sort(sorted.begin(), sorted.end(),
                  [&](uint32_t a, uint32_t b) { return order(a, b) < 0; });
        std::vector<uint32_t> rank(count);
        uint32_t current = 0;
        for (size_t i = 0; i < count; ++i) {
            if (i > 0 && order(sorted[i - 1], sorted[i]) != 0)
                ++current;
            rank[sorted[i]] = current;
        }
        return rank;
    }
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
