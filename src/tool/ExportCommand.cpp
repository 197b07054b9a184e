#include "data/DataMdl.h"
#include "data/TableUtils.h"
#include "tool/Commands.h"
#include "tool/Documents.h"
#include "tool/Password.h"

#include <iostream>

namespace tamisko::tool {

int runExport(const Arguments& arguments, std::ostream&)
{
    const RegionalSettings settings = settingsFor(arguments);
    const std::string password = documentPassword(arguments);
    DataMod data;
    openDocument(arguments.files[0], password, data);
    if (!ExportTableToTextFile(data.LogTable, arguments.files[1], settings))
        std::cerr << "tamisko-tool: " << arguments.files[0]
                  << ": the document has no movements; nothing written\n";
    return 0;
}

} // namespace tamisko::tool
