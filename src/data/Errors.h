#pragma once

#include <stdexcept>
#include <string>

namespace tamisko {

// Every failure of the core is an exception carrying the message the user sees.
class Error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A failure that callers treat as such but that shows no message (an empty document file).
class SilentAbort final : public Error
{
public:
    SilentAbort() : Error("Operation aborted") {}
};

// Replaces the first "%s" (or "%d") of a message template.
std::string formatMessage(std::string_view pattern, std::string_view argument);

} // namespace tamisko
