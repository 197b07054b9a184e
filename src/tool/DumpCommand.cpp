#include "tool/Commands.h"
#include "tool/DocumentJson.h"
#include "tool/Documents.h"
#include "tool/Password.h"

#include <ostream>

namespace tamisko::tool {

int runDump(const Arguments& arguments, std::ostream& out)
{
    const std::string password = documentPassword(arguments);
    DocumentTables tables;
    readDocument(arguments.files[0], password, tables);
    out << formatJson(documentToJson(tables)) << '\n';
    return 0;
}

} // namespace tamisko::tool
