#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace tamisko::tool {

class DocumentTables;

using Json = nlohmann::ordered_json;

// {"categories": [{"CatNum", "Category"}...], "movements": [{"Date", "CatNum",
// "Eispraxi", "Pliromi", "Perigrafi"}...]} in file order: dates ISO, amounts numbers,
// texts UTF-8, null for null fields.
Json documentToJson(DocumentTables& tables);

// Fills empty tables from JSON of that form, in its order and with its CatNum values.
// Throws tamisko::Error naming the first record that does not fit a document.
void documentFromJson(const Json& json, DocumentTables& tables);

// One line, with ", " and ": " between the items, non-ASCII text as it is.
std::string formatJson(const Json& json);

} // namespace tamisko::tool
