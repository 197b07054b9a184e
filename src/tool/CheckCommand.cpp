#include "data/DataMdl.h"
#include "data/Format.h"
#include "tool/Commands.h"
#include "tool/Documents.h"
#include "tool/Password.h"

#include <ostream>
#include <sstream>

namespace tamisko::tool {

int runCheck(const Arguments& arguments, std::ostream& out)
{
    const std::string password = documentPassword(arguments);
    DataMod data;
    openDocument(arguments.files[0], password, data);
    const bool hasMovements = !data.LogTable.isEmpty();
    std::ostringstream text;
    text << "categories: " << data.CatTable.recordCount() << '\n'
         << "movements: " << data.LogTable.recordCount() << '\n'
         << "balance: " << formatFixed(data.Balance, 2, '.') << '\n'
         << "first date: " << (hasMovements ? isoDate(data.FirstDate) : "none") << '\n'
         << "last date: " << (hasMovements ? isoDate(data.LastDate) : "none") << '\n';
    out << text.str();
    return 0;
}

} // namespace tamisko::tool
