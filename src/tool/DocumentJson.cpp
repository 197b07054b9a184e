#include "tool/DocumentJson.h"

#include "data/Cp1253.h"
#include "data/DataMdl.h"
#include "data/DayNumber.h"
#include "data/Errors.h"
#include "data/Format.h"
#include "tool/Documents.h"

#include <algorithm>
#include <set>

namespace tamisko::tool {
namespace {

Json fieldToJson(const Field& field)
{
    if (field.isNull())
        return nullptr;
    switch (field.dataType()) {
    case FieldType::Date:
        return isoDate(field.asFloat());
    case FieldType::Currency:
        return field.asFloat();
    case FieldType::String:
        return cp1253::toUtf8OrThrow(field.asString());
    default:
        return field.asInteger();
    }
}

Json tableToJson(MemTable& table, const std::vector<std::string>& fieldNames)
{
    Json rows = Json::array();
    for (table.first(); !table.eof(); table.next()) {
        Json row = Json::object();
        for (const std::string& name : fieldNames)
            row[name] = fieldToJson(table.fieldByName(name));
        rows.push_back(std::move(row));
    }
    return rows;
}

// Where a bad value sits, for the error message.
struct Place final
{
    const char* list;
    size_t index;
    std::string describe(const std::string& field) const
    {
        return std::string(list) + "[" + std::to_string(index) + "]." + field;
    }
};

[[noreturn]] void invalid(const Place& place, const std::string& field, const std::string& why)
{
    throw Error(place.describe(field) + ": " + why);
}

Variant jsonToValue(const Json& value, const Field& field, const Place& place)
{
    const std::string& name = field.fieldName();
    if (value.is_null()) {
        if (field.def().required)
            invalid(place, name, "must have a value");
        return Variant::null();
    }
    switch (field.dataType()) {
    case FieldType::Date: {
        const auto day = value.is_string() ? parseIsoDate(value.get<std::string>()) : std::nullopt;
        if (!day || !days::inValidRange(*day))
            invalid(place, name, "expected a date yyyy-mm-dd in the years 1 to 9999");
        return Variant::fromDate(*day);
    }
    case FieldType::Currency:
        if (!value.is_number())
            invalid(place, name, "expected a number or null");
        return Variant::fromDouble(value.get<double>());
    case FieldType::String: {
        if (!value.is_string())
            invalid(place, name, "expected a text or null");
        const auto text = cp1253::fromUtf8(value.get<std::string>());
        if (!text)
            invalid(place, name, "holds characters that the Greek code page cannot represent");
        if (text->size() > static_cast<size_t>(field.def().size))
            invalid(place, name, "longer than " + std::to_string(field.def().size) + " characters");
        return Variant::fromString(*text);
    }
    default:
        if (!value.is_number_integer() || value.get<int64_t>() < INT32_MIN ||
            value.get<int64_t>() > INT32_MAX)
            invalid(place, name, "expected a 32-bit integer");
        return Variant::fromInt(static_cast<int32_t>(value.get<int64_t>()));
    }
}

void tableFromJson(const Json& json, const char* list, MemTable& table,
                   const std::vector<std::string>& fieldNames)
{
    const Json& rows = json.at(list);
    if (!rows.is_array())
        throw Error(std::string(list) + ": expected an array");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Place place{list, i};
        const Json& row = rows[i];
        if (!row.is_object())
            throw Error(std::string(list) + "[" + std::to_string(i) + "]: expected an object");
        for (const auto& item : row.items()) {
            if (std::find(fieldNames.begin(), fieldNames.end(), item.key()) == fieldNames.end())
                invalid(place, item.key(), "unknown field");
        }
        table.append();
        for (const std::string& name : fieldNames) {
            if (!row.contains(name))
                invalid(place, name, "missing");
            Field& field = table.fieldByName(name);
            field.setValue(jsonToValue(row.at(name), field, place));
        }
        table.post();
    }
}

void requireUniqueCategoryNumbers(const Json& categories)
{
    std::set<int64_t> seen;
    for (size_t i = 0; i < categories.size(); ++i) {
        if (!seen.insert(categories[i].at("CatNum").get<int64_t>()).second)
            invalid({"categories", i}, "CatNum", "appears twice");
    }
}

void appendJson(std::string& out, const Json& json)
{
    if (json.is_object()) {
        out += '{';
        bool first = true;
        for (const auto& item : json.items()) {
            if (!first)
                out += ", ";
            first = false;
            out += Json(item.key()).dump();
            out += ": ";
            appendJson(out, item.value());
        }
        out += '}';
    } else if (json.is_array()) {
        out += '[';
        for (size_t i = 0; i < json.size(); ++i) {
            if (i > 0)
                out += ", ";
            appendJson(out, json[i]);
        }
        out += ']';
    } else {
        out += json.dump();
    }
}

} // namespace

Json documentToJson(DocumentTables& tables)
{
    Json json = Json::object();
    json["categories"] = tableToJson(tables.categories, CatFieldNames());
    json["movements"] = tableToJson(tables.movements, LogFieldNames());
    return json;
}

void documentFromJson(const Json& json, DocumentTables& tables)
{
    if (!json.is_object() || !json.contains("categories") || !json.contains("movements"))
        throw Error("expected an object with \"categories\" and \"movements\"");
    for (const auto& item : json.items()) {
        if (item.key() != "categories" && item.key() != "movements")
            throw Error("unknown key \"" + item.key() + "\"");
    }
    tableFromJson(json, "categories", tables.categories, CatFieldNames());
    requireUniqueCategoryNumbers(json.at("categories"));
    tableFromJson(json, "movements", tables.movements, LogFieldNames());
}

std::string formatJson(const Json& json)
{
    std::string out;
    appendJson(out, json);
    return out;
}

} // namespace tamisko::tool
