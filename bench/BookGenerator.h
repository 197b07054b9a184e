#pragma once

#include <cstdint>
#include <string>

namespace tamisko::bench {

// The password of the encrypted books (cp1253 bytes).
std::string bookPassword();

// The two files of one generated book: the same payload, plain and encrypted.
struct BookFiles
{
    std::string plain;
    std::string encrypted;
};

// Writes (once per process) a cash book of `movements` movements over 30 categories into
// `directory`: dates spread over twenty years, mostly in entry order, Greek descriptions
// in cp1253, one receipt in about twelve movements. The same count gives the same bytes.
BookFiles generateBook(const std::string& directory, int movements);

} // namespace tamisko::bench
