#include "tool/Commands.h"

namespace tamisko::tool {

std::span<const Command> commands()
{
    static const std::vector<Command> table{
        {"dump", "FILE", "print the document as JSON", {Option::PasswordStdin}, 1, runDump},
        {"create",
         "JSON_FILE OUT_FILE [--force]",
         "write a document from JSON in the form dump prints",
         {Option::PasswordStdin, Option::Force},
         2,
         runCreate},
        {"export",
         "FILE OUT.txt [--locale NAME]",
         "write the movements as a TAB separated UTF-8 text",
         {Option::PasswordStdin, Option::Locale},
         2,
         runExport},
        {"compare",
         "FILE --from yyyy-mm-dd --to yyyy-mm-dd [--locale NAME]",
         "print the receipts and payments by category over the period and their statistics",
         {Option::PasswordStdin, Option::Locale, Option::Period},
         1,
         runCompare},
        {"series",
         "FILE [--days N] [--locale NAME]",
         "print the net of every category over consecutive periods of N days (default 30)",
         {Option::PasswordStdin, Option::Locale, Option::Days},
         1,
         runSeries},
        {"check",
         "FILE",
         "read the document strictly and print its summary",
         {Option::PasswordStdin},
         1,
         runCheck},
    };
    return table;
}

} // namespace tamisko::tool
