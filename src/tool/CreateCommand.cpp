#include "data/Cp1253.h"
#include "data/Errors.h"
#include "tool/Commands.h"
#include "tool/DocumentJson.h"
#include "tool/Documents.h"
#include "tool/Password.h"
#include "tool/WriteLock.h"

#include <fstream>

namespace tamisko::tool {
namespace {

Json readJsonFile(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw Error("Cannot open file \"" + fileName + "\"");
    try {
        return Json::parse(in);
    } catch (const nlohmann::json::exception& error) {
        throw Error(fileName + ": not valid JSON: " + error.what());
    }
}

} // namespace

int runCreate(const Arguments& arguments, std::ostream&)
{
    const std::string& jsonFile = arguments.files[0];
    const std::string password = documentPassword(arguments);
    const Json json = readJsonFile(jsonFile);
    DocumentTables tables;
    try {
        documentFromJson(json, tables);
    } catch (const Error& error) {
        throw Error(jsonFile + ": not a document: " + cp1253::messageToUtf8(error.what()));
    }
    const WriteLock lock = lockForWriting(arguments.files[1], arguments);
    writeDocument(arguments.files[1], password, tables);
    return 0;
}

} // namespace tamisko::tool
