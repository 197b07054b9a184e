#include "data/Cp1253.h"

#include "data/Errors.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tamisko::cp1253 {
namespace {

constexpr char32_t kUndefined = 0xFFFF;

// Code points of the bytes 0x80 to 0xFF; kUndefined where cp1253 has no character.
constexpr std::array<char32_t, 128> kHighHalf = [] {
    std::array<char32_t, 128> table{};
    constexpr char32_t u = kUndefined;
    constexpr char32_t first[48] = {
        0x20AC, u,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
        u,      0x2030, u,      0x2039, u,      u,      u,      u,      // 88
        u,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
        u,      0x2122, u,      0x203A, u,      u,      u,      u,      // 98
        0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, // A0
        0x00A8, 0x00A9, u,      0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015, // A8
    };
    constexpr char32_t second[16] = {
        0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7, // B0
        0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F, // B8
    };
    for (int i = 0; i < 48; ++i)
        table[i] = first[i];
    for (int i = 0; i < 16; ++i)
        table[48 + i] = second[i];
    // 0xC0..0xFE follow the Greek block from U+0390; 0xD2 and 0xFF are undefined.
    for (int byte = 0xC0; byte <= 0xFE; ++byte)
        table[byte - 0x80] = 0x0390 + (byte - 0xC0);
    table[0xD2 - 0x80] = u;
    table[0xFF - 0x80] = u;
    return table;
}();

// The UTF-8 form of every byte of the upper half (at most three bytes: U+20AC), its
// length 0 where the byte is undefined.
struct Utf8Form final
{
    std::array<char, 3> bytes{};
    uint8_t length = 0;
};
const std::array<Utf8Form, 128>& upperHalfUtf8()
{
    static const std::array<Utf8Form, 128> forms = [] {
        std::array<Utf8Form, 128> table{};
        for (size_t i = 0; i < table.size(); ++i) {
            if (kHighHalf[i] == kUndefined)
                continue;
            std::string text;
            appendUtf8(text, kHighHalf[i]);
            std::copy(text.begin(), text.end(), table[i].bytes.begin());
            table[i].length = static_cast<uint8_t>(text.size());
        }
        return table;
    }();
    return forms;
}

// Appends the UTF-8 form of cp1253 bytes; false, with `out` as it was, when a byte is
// undefined. Exports turn tens of megabytes at a time: the length is found first and
// the text written in place.
bool appendUtf8Of(std::string& out, std::string_view bytes)
{
    const std::array<Utf8Form, 128>& forms = upperHalfUtf8();
    size_t length = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            ++length;
        } else if (const uint8_t n = forms[byte - 0x80].length; n != 0) {
            length += n;
        } else {
            return false;
        }
    }
    const size_t start = out.size();
    out.resize(start + length);
    char* to = out.data() + start;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            *to++ = c;
        } else {
            const Utf8Form& form = forms[byte - 0x80];
            to = std::copy_n(form.bytes.begin(), form.length, to);
        }
    }
    return true;
}

// Decodes one UTF-8 sequence at pos; nothing when it is malformed.
std::optional<char32_t> decodeUtf8(std::string_view s, size_t& pos)
{
    const auto lead = static_cast<unsigned char>(s[pos]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (pos + extra >= s.size() && extra > 0)
        return std::nullopt;
    for (int i = 1; i <= extra; ++i) {
        const auto c = static_cast<unsigned char>(s[pos + i]);
        if ((c & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (c & 0x3F);
    }
    pos += extra + 1;
    return cp;
}

} // namespace

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool isDefinedByte(unsigned char byte)
{
    return byte < 0x80 || kHighHalf[byte - 0x80] != kUndefined;
}

char32_t toCodePoint(unsigned char byte)
{
    return byte < 0x80 ? byte : kHighHalf[byte - 0x80];
}

std::optional<unsigned char> fromCodePoint(char32_t codePoint)
{
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    if (codePoint == kUndefined)
        return std::nullopt;
    for (int i = 0; i < 128; ++i) {
        if (kHighHalf[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

std::optional<std::string> toUtf8(std::string_view bytes)
{
    std::string out;
    if (!appendUtf8Of(out, bytes))
        return std::nullopt;
    return out;
}

std::optional<std::string> fromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const auto cp = decodeUtf8(utf8, pos);
        if (!cp)
            return std::nullopt;
        const auto byte = fromCodePoint(*cp);
        if (!byte)
            return std::nullopt;
        out += static_cast<char>(*byte);
    }
    return out;
}

std::string messageToUtf8(std::string_view message)
{
    size_t pos = 0;
    while (pos < message.size() && decodeUtf8(message, pos)) {
    }
    if (pos == message.size())
        return std::string(message);
    std::string out;
    out.reserve(message.size() * 2);
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, isDefinedByte(byte) ? toCodePoint(byte) : char32_t{0xFFFD});
    }
    return out;
}

std::string toUtf8OrThrow(std::string_view bytes)
{
    std::string text;
    appendUtf8OrThrow(text, bytes);
    return text;
}

void appendUtf8OrThrow(std::string& out, std::string_view bytes)
{
    if (!appendUtf8Of(out, bytes))
        throw Error("The text holds a byte that the Greek code page cp1253 does not define");
}

std::string fromUtf8OrThrow(std::string_view utf8)
{
    if (auto text = fromUtf8(utf8))
        return std::move(*text);
    throw Error("The text holds a character that the Greek code page cp1253 cannot represent");
}

} // namespace tamisko::cp1253
