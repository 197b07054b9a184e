#include "data/Errors.h"

namespace tamisko {

std::string formatMessage(std::string_view pattern, std::string_view argument)
{
    std::string result(pattern);
    for (const char* placeholder : {"%s", "%d"}) {
        if (const auto pos = result.find(placeholder); pos != std::string::npos) {
            result.replace(pos, 2, argument);
            break;
        }
    }
    return result;
}

} // namespace tamisko
