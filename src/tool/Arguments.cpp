#include "tool/Arguments.h"

#include "data/LocaleSettings.h"

#include <algorithm>

namespace tamisko::tool {
namespace {

bool accepts(std::span<const Option> accepted, Option option)
{
    return std::find(accepted.begin(), accepted.end(), option) != accepted.end();
}

// An option with a value, "--name VALUE" or "--name=VALUE"; false when the word is not
// this option.
bool takeValueOption(std::span<const std::string_view> words, size_t& i, std::string_view name,
                     std::string_view valueHint, std::optional<std::string>& value)
{
    const std::string_view word = words[i];
    if (!word.starts_with(name))
        return false;
    const std::string_view rest = word.substr(name.size());
    if (rest.starts_with("=")) {
        value = std::string(rest.substr(1));
        return true;
    }
    if (!rest.empty())
        return false;
    if (i + 1 == words.size())
        throw UsageError(std::string(name) + " needs " + std::string(valueHint));
    value = std::string(words[++i]);
    return true;
}

// A date option, "--name DATE" or "--name=DATE"; false when the word is not this option.
bool takeDateOption(std::span<const std::string_view> words, size_t& i, std::string_view name,
                    std::optional<std::string>& value)
{
    return takeValueOption(words, i, name, "a date yyyy-mm-dd", value);
}

bool takeImportOption(std::span<const std::string_view> words, size_t& i, ImportOptions& options)
{
    const std::string_view word = words[i];
    if (word == "--create") {
        options.create = true;
        return true;
    }
    if (word == "--dry-run") {
        options.dryRun = true;
        return true;
    }
    if (word == "--keep-duplicates") {
        options.keepDuplicates = true;
        return true;
    }
    return takeValueOption(words, i, "--format", "auto, csv, qif, ofx or xhb", options.format) ||
           takeValueOption(words, i, "--columns", "a list such as date=1,description=2,amount=3",
                           options.columns) ||
           takeValueOption(words, i, "--date-order", "dmy, mdy or ymd", options.dateOrder) ||
           takeValueOption(words, i, "--decimal", "\",\" or \".\"", options.decimal) ||
           takeValueOption(words, i, "--encoding", "utf-8, cp1253 or iso-8859-7",
                           options.encoding) ||
           takeValueOption(words, i, "--category", "a category name", options.category) ||
           takeValueOption(words, i, "--account", "an account name", options.account);
}

} // namespace

Arguments parseArguments(std::span<const std::string_view> words, std::span<const Option> accepted,
                         size_t fileCount)
{
    Arguments arguments;
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (optionsEnded || !word.starts_with("-") || word == "-") {
            arguments.files.emplace_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--password-stdin" && accepts(accepted, Option::PasswordStdin)) {
            arguments.passwordFromStdin = true;
        } else if (word == "--force" && accepts(accepted, Option::Force)) {
            arguments.force = true;
        } else if (word.starts_with("--locale=") && accepts(accepted, Option::Locale)) {
            arguments.locale = std::string(word.substr(9));
        } else if (word == "--locale" && accepts(accepted, Option::Locale)) {
            if (i + 1 == words.size())
                throw UsageError("--locale needs a locale name such as el_GR");
            arguments.locale = std::string(words[++i]);
        } else if (word.starts_with("--days=") && accepts(accepted, Option::Days)) {
            arguments.days = std::string(word.substr(7));
        } else if (word == "--days" && accepts(accepted, Option::Days)) {
            if (i + 1 == words.size())
                throw UsageError("--days needs a number of days from 1 to 999");
            arguments.days = std::string(words[++i]);
        } else if (accepts(accepted, Option::Period) &&
                   (takeDateOption(words, i, "--from", arguments.from) ||
                    takeDateOption(words, i, "--to", arguments.to))) {
            // taken with its value
        } else if (accepts(accepted, Option::Import) &&
                   takeImportOption(words, i, arguments.import)) {
            // taken with its value
        } else if (word == "--password") {
            throw UsageError("passwords are not taken from the command line: use "
                             "TAMISKO_PASSWORD or --password-stdin");
        } else {
            throw UsageError("unknown option " + std::string(word));
        }
    }
    if (arguments.files.size() != fileCount)
        throw UsageError("expected " + std::to_string(fileCount) + " file name" +
                         (fileCount == 1 ? "" : "s") + ", got " +
                         std::to_string(arguments.files.size()));
    return arguments;
}

RegionalSettings settingsFor(const Arguments& arguments)
{
    if (!arguments.locale)
        return RegionalSettingsFromEnvironment();
    if (auto settings = RegionalSettingsForLocale(*arguments.locale))
        return *settings;
    throw UsageError("unknown locale " + *arguments.locale +
                     " (known: el_GR, en_US, en_GB, de_DE, C)");
}

} // namespace tamisko::tool
