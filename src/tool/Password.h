#pragma once

#include "tool/Arguments.h"

#include <string>

namespace tamisko::tool {

// The password as cp1253 bytes: the first line of standard input with --password-stdin,
// else TAMISKO_PASSWORD, else empty (as the program uses after a cancelled prompt).
std::string documentPassword(const Arguments& arguments);

} // namespace tamisko::tool
