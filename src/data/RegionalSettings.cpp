#include "data/RegionalSettings.h"

#include "data/Cp1253.h"

#include <array>

namespace tamisko {
namespace {

struct Weight final
{
    uint16_t primary = 0; // 0: ignorable
    uint8_t secondary = 0;
    uint8_t tertiary = 0;
};

// Base letter index (1..24) of a Greek code point, with its accent and case levels.
bool greekWeight(char32_t cp, Weight& w)
{
    struct Accented final
    {
        char32_t cp;
        char32_t base;
        uint8_t accent;
    };
    static constexpr Accented kAccented[] = {
        {0x0386, 0x0391, 1}, {0x0388, 0x0395, 1}, {0x0389, 0x0397, 1}, {0x038A, 0x0399, 1},
        {0x038C, 0x039F, 1}, {0x038E, 0x03A5, 1}, {0x038F, 0x03A9, 1}, {0x0390, 0x03B9, 3},
        {0x03AA, 0x0399, 2}, {0x03AB, 0x03A5, 2}, {0x03AC, 0x03B1, 1}, {0x03AD, 0x03B5, 1},
        {0x03AE, 0x03B7, 1}, {0x03AF, 0x03B9, 1}, {0x03B0, 0x03C5, 3}, {0x03CA, 0x03B9, 2},
        {0x03CB, 0x03C5, 2}, {0x03CC, 0x03BF, 1}, {0x03CD, 0x03C5, 1}, {0x03CE, 0x03C9, 1},
    };
    uint8_t accent = 0;
    for (const auto& a : kAccented) {
        if (a.cp == cp) {
            cp = a.base;
            accent = a.accent;
            break;
        }
    }
    uint8_t caseLevel = 0;
    if (cp == 0x03C2) { // final sigma: a variant of sigma
        cp = 0x03C3;
        caseLevel = 1;
    } else if (cp >= 0x0391 && cp <= 0x03A9) {
        cp += 0x20;
        caseLevel = 2;
    } else if (!(cp >= 0x03B1 && cp <= 0x03C9)) {
        return false;
    }
    int index = static_cast<int>(cp - 0x03B1); // alpha = 0; final sigma slot 0x03C2 folded
    if (cp > 0x03C2)
        --index;
    w = {static_cast<uint16_t>(1000 + index), accent, caseLevel};
    return true;
}

std::array<Weight, 256> buildWeights()
{
    std::array<Weight, 256> weights{};
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<unsigned char>(byte);
        Weight w;
        if (!cp1253::isDefinedByte(b) || byte < 0x20 || byte == 0x7F || byte == 0xAD) {
            w = {}; // control characters and the soft hyphen are ignored
        } else {
            const char32_t cp = cp1253::toCodePoint(b);
            if (greekWeight(cp, w)) {
                // Greek letters
            } else if (cp >= '0' && cp <= '9') {
                w = {static_cast<uint16_t>(900 + (cp - '0')), 0, 0};
            } else if (cp >= 'a' && cp <= 'z') {
                w = {static_cast<uint16_t>(1100 + (cp - 'a')), 0, 0};
            } else if (cp >= 'A' && cp <= 'Z') {
                w = {static_cast<uint16_t>(1100 + (cp - 'A')), 0, 2};
            } else if (cp == 0xB5) { // micro sign sorts as mu
                greekWeight(0x03BC, w);
                w.tertiary = 1;
            } else {
                w = {static_cast<uint16_t>(1 + byte), 0, 0}; // blanks, punctuation, symbols
            }
        }
        weights[static_cast<size_t>(byte)] = w;
    }
    return weights;
}

class GreekCollation final : public Collation
{
public:
    int compare(std::string_view a, std::string_view b, bool caseInsensitive) const override
    {
        if (const int r = compareLevel(a, b, &Weight::primary); r != 0)
            return r;
        if (const int r = compareLevel(a, b, &Weight::secondary); r != 0)
            return r;
        if (caseInsensitive)
            return 0;
        return compareLevel(a, b, &Weight::tertiary);
    }

    std::vector<uint32_t> ranks(std::span<const std::string_view> texts,
                                bool caseInsensitive) const override
    {
        std::vector<std::string> keys;
        keys.reserve(texts.size());
        for (const std::string_view text : texts)
            keys.push_back(sortKey(text, caseInsensitive));
        return ranksInOrder(keys.size(),
                            [&](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]); });
    }

private:
    // Bytes whose plain order is compare's: the primary weights as big-endian pairs and a
    // zero pair after them (a text that ends first sorts first), then the secondary and,
    // when case counts, the tertiary weights. Texts equal at the first level have as many
    // weights at the others, so those need no end mark.
    std::string sortKey(std::string_view text, bool caseInsensitive) const
    {
        std::string key;
        key.reserve(text.size() * 4 + 2);
        for (const char c : text) {
            if (const uint16_t primary = weight(c).primary; primary != 0) {
                key += static_cast<char>(primary >> 8);
                key += static_cast<char>(primary & 0xFF);
            }
        }
        key += '\0';
        key += '\0';
        for (const char c : text) {
            if (weight(c).primary != 0)
                key += static_cast<char>(weight(c).secondary);
        }
        if (!caseInsensitive) {
            for (const char c : text) {
                if (weight(c).primary != 0)
                    key += static_cast<char>(weight(c).tertiary);
            }
        }
        return key;
    }

    template<typename T>
    int compareLevel(std::string_view a, std::string_view b, T Weight::*level) const
    {
        size_t i = 0;
        size_t j = 0;
        for (;;) {
            while (i < a.size() && weight(a[i]).primary == 0)
                ++i;
            while (j < b.size() && weight(b[j]).primary == 0)
                ++j;
            if (i == a.size() || j == b.size())
                return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
            const int wa = weight(a[i]).*level;
            const int wb = weight(b[j]).*level;
            if (wa != wb)
                return wa < wb ? -1 : 1;
            ++i;
            ++j;
        }
    }

    const Weight& weight(char c) const { return weights_[static_cast<unsigned char>(c)]; }

    std::array<Weight, 256> weights_ = buildWeights();
};

} // namespace

std::vector<uint32_t> Collation::ranks(std::span<const std::string_view> texts,
                                       bool caseInsensitive) const
{
    return ranksInOrder(texts.size(), [&](uint32_t a, uint32_t b) {
        return compare(texts[a], texts[b], caseInsensitive);
    });
}

std::shared_ptr<const Collation> greekCollation()
{
    static const auto collation = std::make_shared<const GreekCollation>();
    return collation;
}

RegionalSettings RegionalSettings::greek()
{
    return RegionalSettings{};
}

} // namespace tamisko
