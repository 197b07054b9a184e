#pragma once

#include <optional>
#include <string>
#include <string_view>

// The texts of imported files: their encodings, the way into cp1253, and the folded
// forms under which names and descriptions are matched.
namespace tamisko::import {

enum class Encoding
{
    Auto, // detect from the bytes
    Utf8,
    Cp1253,
    Iso8859_7,
};

// "utf-8", "cp1253", "iso-8859-7" (and "auto").
std::string_view encodingName(Encoding encoding);
// The names above, case-insensitive, also "utf8", "windows-1253", "iso8859-7".
std::optional<Encoding> encodingFromName(std::string_view name);

// UTF-8 when the bytes are valid UTF-8 (a byte order mark counts for it); otherwise
// cp1253 or ISO-8859-7, told apart by the bytes where the two differ.
Encoding detectEncoding(std::string_view bytes);

// The bytes as UTF-8, without a leading byte order mark. A byte the encoding does not
// define (or a malformed UTF-8 sequence) becomes U+FFFD.
std::string decodeToUtf8(std::string_view bytes, Encoding encoding);
// The same without a copy where none is needed: the bytes themselves (without the byte
// order mark) when they are valid UTF-8 already, else their decoding kept in storage.
std::string_view decodedText(std::string_view bytes, Encoding encoding, std::string& storage);

// What turning texts into cp1253 changed, for the summary of an import.
struct TextChanges
{
    int approximated = 0; // characters replaced by their closest cp1253 form
    int unknown = 0;      // characters replaced by "?"
    int cutTexts = 0;     // texts cut to the field's size

    int replacedCharacters() const { return approximated + unknown; }
    TextChanges& operator+=(const TextChanges& other);
};

// UTF-8 into cp1253 bytes: a character cp1253 cannot hold becomes its closest form by
// Unicode decomposition ("ä" -> "a", "ἀ" -> "α"), otherwise "?"; blanks are trimmed and
// runs of blanks and control characters kept as one blank; the result is cut to at
// most maxLength characters. The changes are added to `changes`.
std::string toCp1253(std::string_view utf8, size_t maxLength, TextChanges& changes);

// The folded form of a cp1253 text for matching: lower case, final sigma as sigma,
// blanks trimmed and runs of blanks as one; without accents and diaeresis when
// dropAccents is set.
std::string fold(std::string_view cp1253, bool dropAccents);

// The key under which descriptions teach categories: folded without accents, digits
// dropped, punctuation as blanks.
std::string descriptionKey(std::string_view cp1253);
// The first two words of such a key (the whole key when it has fewer).
std::string_view firstTwoWords(std::string_view key);

} // namespace tamisko::import
