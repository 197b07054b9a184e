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
        {"import",
         "BOOK FILE [--format auto|csv|qif|ofx|xhb] [--create] [--dry-run] "
         "[--columns date=N,description=N,amount=N|debit=N,credit=N,category=N,sign=N] "
         "[--date-order dmy|mdy|ymd] [--decimal ,|.] [--encoding utf-8|cp1253|iso-8859-7] "
         "[--category NAME] [--keep-duplicates] [--account NAME] [--force]",
         "import a bank statement (CSV, QIF, OFX) or a HomeBank book into BOOK and print "
         "what was imported as JSON",
         {Option::PasswordStdin, Option::Import, Option::Force},
         2,
         runImport},
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
