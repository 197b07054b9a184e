#pragma once

#include <exception>
#include <optional>
#include <QString>
#include <string>
#include <string_view>

// Documents hold cp1253 bytes; the UI holds QStrings. These convert exactly.
namespace tamisko {

// cp1253 bytes as text; an undefined byte shows as U+FFFD.
QString toQString(std::string_view cp1253Bytes);

// The cp1253 bytes of a text, or nothing when a character has no cp1253 byte.
std::optional<std::string> fromQString(const QString& text);

// True when every character of the text has a cp1253 byte.
bool fitsCp1253(const QString& text);

// The message of a failure as the user should read it (UTF-8, else cp1253).
QString errorText(const std::exception& error);

} // namespace tamisko
