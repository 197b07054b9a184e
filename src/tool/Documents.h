#pragma once

#include "data/MemTable.h"

#include <functional>
#include <string>

namespace tamisko {
class DataMod;
}

namespace tamisko::tool {

// The two tables of a document in file order: the categories are not kept sorted.
class DocumentTables final
{
public:
    DocumentTables();
    DocumentTables(const DocumentTables&) = delete;
    DocumentTables& operator=(const DocumentTables&) = delete;

    MemTable categories{"CatTable"};
    MemTable movements{"LogTable"};
};

// Reads a document strictly, decrypting with the given password (cp1253) when the file
// is encrypted. Every failure is a tamisko::Error whose message names the file.
void readDocument(const std::string& fileName, const std::string& password, DocumentTables& tables);
// The same through the data module, as the program opens documents.
void openDocument(const std::string& fileName, const std::string& password, DataMod& data);

// Writes the tables as SaveDocument writes them, encrypted when the password is set.
void writeDocument(const std::string& fileName, const std::string& password,
                   DocumentTables& tables);

} // namespace tamisko::tool
