#pragma once

#include "data/RegionalSettings.h"

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tamisko::tool {

// A command line that does not fit the command: exit status 2.
class UsageError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The options a command may accept.
enum class Option
{
    PasswordStdin,
    Locale,
    Period, // --from DATE and --to DATE
    Days,   // --days N
    Import, // the options of import (ImportOptions)
    Force,  // --force: write a book even when a running program holds it
};

// The options of the import command, as given (nothing where not given).
struct ImportOptions
{
    std::optional<std::string> format;
    std::optional<std::string> columns;
    std::optional<std::string> dateOrder;
    std::optional<std::string> decimal;
    std::optional<std::string> encoding;
    std::optional<std::string> category;
    std::optional<std::string> account;
    bool create = false;
    bool dryRun = false;
    bool keepDuplicates = false;
};

// What follows the command name: file names in order and the options given.
struct Arguments final
{
    std::vector<std::string> files;
    bool passwordFromStdin = false;
    std::optional<std::string> locale;
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::optional<std::string> days;
    ImportOptions import;
    bool force = false;
};

// Options may stand anywhere; "--" ends them. Throws UsageError for an option the
// command does not take or a wrong number of file names.
Arguments parseArguments(std::span<const std::string_view> words, std::span<const Option> accepted,
                         size_t fileCount);

// The regional settings of the --locale option, or of the environment without it.
// Throws UsageError for a locale it does not know.
RegionalSettings settingsFor(const Arguments& arguments);

} // namespace tamisko::tool
