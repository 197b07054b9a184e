#pragma once

#include "tool/Arguments.h"

#include <iosfwd>
#include <span>
#include <string_view>
#include <vector>

namespace tamisko::tool {

// One subcommand of tamisko-tool. run() writes its result to out and returns the exit
// status; failures are thrown: UsageError (status 2) or tamisko::Error (status 1).
struct Command final
{
    std::string_view name;
    std::string_view synopsis; // the arguments, for the usage text
    std::string_view summary;
    std::vector<Option> options;
    size_t fileCount;
    int (*run)(const Arguments& arguments, std::ostream& out);
};

// The subcommands, in the order the usage text lists them.
std::span<const Command> commands();

int runDump(const Arguments& arguments, std::ostream& out);
int runCreate(const Arguments& arguments, std::ostream& out);
int runExport(const Arguments& arguments, std::ostream& out);
int runCheck(const Arguments& arguments, std::ostream& out);
int runCompare(const Arguments& arguments, std::ostream& out);
int runSeries(const Arguments& arguments, std::ostream& out);
int runImport(const Arguments& arguments, std::ostream& out);

} // namespace tamisko::tool
