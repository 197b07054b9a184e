#pragma once

#include <optional>
#include <string>
#include <string_view>

// Texts are held as the cp1253 (Windows Greek) bytes that documents store.
// These helpers convert exactly between those bytes and UTF-8.
namespace tamisko::cp1253 {

// True when the byte has a character in cp1253 (0x81, 0x88, 0xAA, 0xD2, 0xFF... do not).
bool isDefinedByte(unsigned char byte);

// The Unicode code point of a defined byte.
char32_t toCodePoint(unsigned char byte);

// The cp1253 byte of a code point, or nothing when cp1253 cannot hold it.
std::optional<unsigned char> fromCodePoint(char32_t codePoint);

// cp1253 bytes to UTF-8; nothing when a byte is undefined.
std::optional<std::string> toUtf8(std::string_view bytes);

// UTF-8 to cp1253 bytes; nothing when the text is not valid UTF-8 or holds a character
// that cp1253 cannot represent. Never substitutes a '?'.
std::optional<std::string> fromUtf8(std::string_view utf8);

// A message as UTF-8, for a terminal or a log: kept when it is valid UTF-8 already (file
// names, texts of the tools), else read as the cp1253 bytes of the core's messages (field
// names, document texts), a byte that cp1253 does not define showing as U+FFFD.
std::string messageToUtf8(std::string_view message);

// Throwing variants for callers that report the failure as an error.
std::string toUtf8OrThrow(std::string_view bytes);
// Appends the UTF-8 form of cp1253 bytes; throws, `out` as it was, on an undefined byte.
void appendUtf8OrThrow(std::string& out, std::string_view bytes);
// Appends one Unicode code point to a UTF-8 text.
void appendUtf8(std::string& out, char32_t codePoint);
std::string fromUtf8OrThrow(std::string_view utf8);

} // namespace tamisko::cp1253
