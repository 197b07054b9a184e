#pragma once

#include <string>

namespace tamisko {
class DataMod;
}

namespace tamisko::bench {

// Writes (once per process) a bank statement of `rows` rows as UTF-8 CSV the way Greek
// banks give it: a preamble, a header, date, value date, description, amount and
// balance, a footer of totals; its descriptions are those of the generated books, so
// that the book teaches their categories. Returns the file's path.
std::string generateStatement(const std::string& directory, int rows);

// Reads the statement and checks it against the book (categories and duplicates), as
// the import does before it asks; returns the rows it would import.
int readAndCheckStatement(const std::string& statement, DataMod& book);

} // namespace tamisko::bench
