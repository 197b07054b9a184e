#include "data/import/ImportText.h"

#include "data/Cp1253.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tamisko::import {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Fallback
{
    char32_t codePoint;
    const char* bytes;
};

constexpr Fallback kFallbacks[] = {
#include "data/import/Cp1253Fallback.inc"
};

const char* closestForm(char32_t codePoint)
{
    const auto* end = std::end(kFallbacks);
    const auto* found = std::lower_bound(
        std::begin(kFallbacks), end, codePoint,
        [](const Fallback& entry, char32_t wanted) { return entry.codePoint < wanted; });
    return found != end && found->codePoint == codePoint ? found->bytes : nullptr;
}

// cp1253 bytes by code point below U+2200 (every character cp1253 holds is there);
// 0 where it has none.
const std::array<uint8_t, 0x2200>& cp1253Bytes()
{
    static const std::array<uint8_t, 0x2200> table = [] {
        std::array<uint8_t, 0x2200> bytes{};
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const auto b = static_cast<unsigned char>(byte);
            if (cp1253::isDefinedByte(b))
                bytes[cp1253::toCodePoint(b)] = b;
        }
        return bytes;
    }();
    return table;
}

std::optional<unsigned char> byteOf(char32_t codePoint)
{
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    if (codePoint >= 0x2200)
        return std::nullopt;
    const uint8_t byte = cp1253Bytes()[codePoint];
    return byte ? std::optional<unsigned char>(byte) : std::nullopt;
}

// One UTF-8 sequence at pos (advanced past it); U+FFFD and one byte for a malformed one.
char32_t nextCodePoint(std::string_view s, size_t& pos)
{
    const auto lead = static_cast<unsigned char>(s[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        least = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + static_cast<size_t>(extra) >= s.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto c = static_cast<unsigned char>(s[pos + static_cast<size_t>(i)]);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += static_cast<size_t>(extra) + 1;
    return cp;
}

bool isValidUtf8(std::string_view s)
{
    for (size_t pos = 0; pos < s.size();) {
        const auto lead = static_cast<unsigned char>(s[pos]);
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        const size_t before = pos;
        // A malformed sequence gives U+FFFD for one byte; U+FFFD itself takes three.
        if (nextCodePoint(s, pos) == kReplacement && pos - before != 3)
            return false;
    }
    return true;
}

// ISO-8859-7 (2003) differs from cp1253 only below 0xC0.
char32_t isoCodePoint(unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (byte < 0xA0)
        return kReplacement; // C1 controls: not text
    switch (byte) {
    case 0xA1:
        return 0x2018;
    case 0xA2:
        return 0x2019;
    case 0xA4:
        return 0x20AC;
    case 0xA5:
        return 0x20AF;
    case 0xAA:
        return 0x037A;
    case 0xAE:
    case 0xD2:
    case 0xFF:
        return kReplacement;
    case 0xB5:
        return 0x0385;
    case 0xB6:
        return 0x0386;
    default:
        return cp1253::isDefinedByte(byte) ? cp1253::toCodePoint(byte) : kReplacement;
    }
}

bool isBlank(char32_t cp)
{
    return cp <= 0x20 || cp == 0x7F || cp == 0xA0 || (cp >= 0x80 && cp < 0xA0) || cp == 0x2007 ||
           cp == 0x202F || (cp >= 0x2000 && cp <= 0x200B) || cp == 0x3000 || cp == 0xFEFF;
}

// Lower case of a cp1253 byte, accents kept or dropped.
unsigned char foldByte(unsigned char byte, bool dropAccents)
{
    if (byte >= 'A' && byte <= 'Z')
        return static_cast<unsigned char>(byte + 32);
    if (byte < 0x80)
        return byte;
    // Capitals Α..Ω (0xC1..0xD9, 0xD2 undefined) and the capitals with dialytika.
    if (byte >= 0xC1 && byte <= 0xDB && byte != 0xD2)
        byte = static_cast<unsigned char>(byte + 0x20);
    switch (byte) {
    case 0xA2: // Ά
        byte = 0xDC;
        break;
    case 0xB8: // Έ
        byte = 0xDD;
        break;
    case 0xB9: // Ή
        byte = 0xDE;
        break;
    case 0xBA: // Ί
        byte = 0xDF;
        break;
    case 0xBC: // Ό
        byte = 0xFC;
        break;
    case 0xBE: // Ύ
        byte = 0xFD;
        break;
    case 0xBF: // Ώ
        byte = 0xFE;
        break;
    case 0xF2: // final sigma
        byte = 0xF3;
        break;
    default:
        break;
    }
    if (!dropAccents)
        return byte;
    switch (byte) {
    case 0xDC:
        return 0xE1; // ά -> α
    case 0xDD:
        return 0xE5; // έ -> ε
    case 0xDE:
        return 0xE7; // ή -> η
    case 0xDF:
    case 0xFA:
    case 0xC0:
        return 0xE9; // ί ϊ ΐ -> ι
    case 0xFC:
        return 0xEF; // ό -> ο
    case 0xFD:
    case 0xFB:
    case 0xE0:
        return 0xF5; // ύ ϋ ΰ -> υ
    case 0xFE:
        return 0xF9; // ώ -> ω
    default:
        return byte;
    }
}

bool isCp1253Letter(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 0xB8 && byte != 0xBB && byte != 0xBD && byte != 0xD2 && byte != 0xFF) ||
           byte == 0xA2;
}

} // namespace

std::string_view encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Auto:
        return "auto";
    case Encoding::Utf8:
        return "utf-8";
    case Encoding::Cp1253:
        return "cp1253";
    case Encoding::Iso8859_7:
        return "iso-8859-7";
    }
    return "auto";
}

std::optional<Encoding> encodingFromName(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "auto")
        return Encoding::Auto;
    if (lower == "utf-8" || lower == "utf8")
        return Encoding::Utf8;
    if (lower == "cp1253" || lower == "windows-1253")
        return Encoding::Cp1253;
    if (lower == "iso-8859-7" || lower == "iso8859-7" || lower == "greek")
        return Encoding::Iso8859_7;
    return std::nullopt;
}

Encoding detectEncoding(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF") || isValidUtf8(bytes))
        return Encoding::Utf8;
    // The bytes where the two code pages differ: cp1253 puts letters and punctuation at
    // 0x80..0x9F (controls in ISO-8859-7) and "Ά" at 0xA2; ISO-8859-7 puts "Ά" at 0xB6
    // (the pilcrow in cp1253).
    int cp1253Votes = 0;
    int isoVotes = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F)
            ++cp1253Votes;
        else if (byte == 0xA2)
            ++cp1253Votes;
        else if (byte == 0xB6 || byte == 0xA1)
            ++isoVotes;
    }
    return isoVotes > cp1253Votes ? Encoding::Iso8859_7 : Encoding::Cp1253;
}

std::string decodeToUtf8(std::string_view bytes, Encoding encoding)
{
    if (encoding == Encoding::Auto)
        encoding = detectEncoding(bytes);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    if (encoding == Encoding::Utf8) {
        for (size_t pos = 0; pos < bytes.size();) {
            const auto lead = static_cast<unsigned char>(bytes[pos]);
            if (lead < 0x80) {
                out += static_cast<char>(lead);
                ++pos;
            } else {
                cp1253::appendUtf8(out, nextCodePoint(bytes, pos));
            }
        }
        return out;
    }
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else if (encoding == Encoding::Iso8859_7) {
            cp1253::appendUtf8(out, isoCodePoint(byte));
        } else {
            cp1253::appendUtf8(out, cp1253::isDefinedByte(byte) ? cp1253::toCodePoint(byte)
                                                                : kReplacement);
        }
    }
    return out;
}

std::string_view decodedText(std::string_view bytes, Encoding encoding, std::string& storage)
{
    if (encoding == Encoding::Auto)
        encoding = detectEncoding(bytes);
    if (encoding == Encoding::Utf8) {
        const std::string_view text = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
        if (isValidUtf8(text))
            return text;
    }
    storage = decodeToUtf8(bytes, encoding);
    return storage;
}

TextChanges& TextChanges::operator+=(const TextChanges& other)
{
    approximated += other.approximated;
    unknown += other.unknown;
    cutTexts += other.cutTexts;
    return *this;
}

std::string toCp1253(std::string_view utf8, size_t maxLength, TextChanges& changes)
{
    std::string out;
    out.reserve(std::min(utf8.size(), maxLength + 1));
    bool pendingBlank = false;
    bool cut = false;
    const auto put = [&](unsigned char byte) {
        if (pendingBlank && !out.empty()) {
            if (out.size() >= maxLength) {
                cut = true;
                return;
            }
            out += ' ';
        }
        pendingBlank = false;
        if (out.size() >= maxLength) {
            cut = true;
            return;
        }
        out += static_cast<char>(byte);
    };
    for (size_t pos = 0; pos < utf8.size() && !cut;) {
        const char32_t cp = nextCodePoint(utf8, pos);
        if (isBlank(cp)) {
            pendingBlank = true;
            continue;
        }
        if (const auto byte = byteOf(cp)) {
            put(*byte);
        } else if (const char* form = closestForm(cp)) {
            ++changes.approximated;
            for (const char* b = form; *b && !cut; ++b)
                put(static_cast<unsigned char>(*b));
        } else if (cp >= 0x300 && cp < 0x370) {
            ++changes.approximated; // a lone combining mark: its base is already there
        } else {
            ++changes.unknown;
            put('?');
        }
    }
    if (cut)
        ++changes.cutTexts;
    return out;
}

std::string fold(std::string_view cp1253Text, bool dropAccents)
{
    std::string out;
    out.reserve(cp1253Text.size());
    bool pendingBlank = false;
    for (const char c : cp1253Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0xA0) {
            pendingBlank = true;
            continue;
        }
        if (pendingBlank && !out.empty())
            out += ' ';
        pendingBlank = false;
        out += static_cast<char>(foldByte(byte, dropAccents));
    }
    return out;
}

std::string descriptionKey(std::string_view cp1253Text)
{
    std::string out;
    out.reserve(cp1253Text.size());
    bool pendingBlank = false;
    for (const char c : cp1253Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= '0' && byte <= '9')
            continue;
        if (!isCp1253Letter(byte)) {
            pendingBlank = true;
            continue;
        }
        if (pendingBlank && !out.empty())
            out += ' ';
        pendingBlank = false;
        out += static_cast<char>(foldByte(byte, true));
    }
    return out;
}

std::string_view firstTwoWords(std::string_view key)
{
    const size_t first = key.find(' ');
    if (first == std::string_view::npos)
        return key;
    const size_t second = key.find(' ', first + 1);
    return second == std::string_view::npos ? key : key.substr(0, second);
}

} // namespace tamisko::import
