#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tamisko::testing {

struct ToolRun
{
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built tamisko-tool with the arguments, feeding stdinText to its standard
// input. TAMISKO_PASSWORD is unset unless environment sets it; an entry without a value
// unsets the variable.
ToolRun runTool(const std::vector<std::string>& arguments,
                const std::map<std::string, std::optional<std::string>>& environment = {},
                const std::string& stdinText = {});

} // namespace tamisko::testing
