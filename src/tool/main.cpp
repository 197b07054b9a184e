#include "data/Cp1253.h"
#include "data/Errors.h"
#include "tool/Commands.h"

#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace tamisko::tool {
namespace {

void printUsage(std::ostream& out)
{
    out << "usage: tamisko-tool COMMAND ARGUMENTS\n\n";
    for (const Command& command : commands())
        out << "  " << command.name << ' ' << command.synopsis << "\n      " << command.summary
            << '\n';
    out << "\nThe password of an encrypted document comes from TAMISKO_PASSWORD or, with\n"
           "--password-stdin, from the first line of standard input.\n";
}

const Command* findCommand(std::string_view name)
{
    for (const Command& command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

int run(const std::vector<std::string_view>& words)
{
    if (words.empty()) {
        printUsage(std::cerr);
        return 2;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        printUsage(std::cout);
        return 0;
    }
    const Command* command = findCommand(words[0]);
    try {
        if (command == nullptr)
            throw UsageError("unknown command " + std::string(words[0]));
        const Arguments arguments =
            parseArguments(std::span(words).subspan(1), command->options, command->fileCount);
        // Nothing reaches standard output unless the whole command succeeded.
        std::ostringstream out;
        const int status = command->run(arguments, out);
        std::cout << out.str() << std::flush;
        return status;
    } catch (const UsageError& error) {
        std::cerr << "tamisko-tool: " << cp1253::messageToUtf8(error.what()) << '\n';
        if (command != nullptr)
            std::cerr << "usage: tamisko-tool " << command->name << ' ' << command->synopsis
                      << '\n';
        else
            printUsage(std::cerr);
        return 2;
    } catch (const std::exception& error) {
        // The core's messages are cp1253, as its texts; terminals read UTF-8.
        std::cerr << "tamisko-tool: " << cp1253::messageToUtf8(error.what()) << '\n';
        return 1;
    }
}

} // namespace
} // namespace tamisko::tool

int main(int argc, char** argv)
{
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    return tamisko::tool::run(words);
}
