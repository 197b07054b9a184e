#include "tool/Password.h"

#include "data/Cp1253.h"

#include <cstdlib>
#include <iostream>

namespace tamisko::tool {

std::string documentPassword(const Arguments& arguments)
{
    std::string utf8;
    if (arguments.passwordFromStdin) {
        std::getline(std::cin, utf8);
        if (!utf8.empty() && utf8.back() == '\r')
            utf8.pop_back();
    } else if (const char* variable = std::getenv("TAMISKO_PASSWORD")) {
        utf8 = variable;
    }
    const auto bytes = cp1253::fromUtf8(utf8);
    if (!bytes)
        throw UsageError("the password holds characters that the Greek code page (cp1253) "
                         "cannot represent");
    return *bytes;
}

} // namespace tamisko::tool
