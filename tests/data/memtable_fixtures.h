#pragma once

#include "data/Cp1253.h"
#include "data/MemTable.h"

#include <string>
#include <vector>

namespace tamisko::testing {

inline std::string cp(const char8_t* utf8)
{
    return cp1253::fromUtf8OrThrow(reinterpret_cast<const char*>(utf8));
}

inline std::string utf8(const std::string& bytes)
{
    return cp1253::toUtf8OrThrow(bytes);
}

// The category table of a cash book: auto-increment number and a name, kept in name order.
inline void defineCategories(MemTable& table)
{
    table.addField({.name = "CatNum",
                    .type = FieldType::AutoInc,
                    .displayLabel = "Number",
                    .required = true,
                    .visible = false});
    table.addField({.name = "Category",
                    .type = FieldType::String,
                    .size = 30,
                    .displayLabel = "Name",
                    .required = true});
    table.setSortFields("Category");
    table.setAutoSort(true);
    table.setDoBinaryLocate(true);
    table.open();
}

// The movement table, its Category looked up by CatNum in `categories`.
inline void defineMovements(MemTable& table, MemTable* categories)
{
    table.addField(
        {.name = "Date", .type = FieldType::Date, .displayLabel = "Day", .required = true});
    table.addField(
        {.name = "CatNum", .type = FieldType::Integer, .required = true, .visible = false});
    table.addField({.name = "Category",
                    .type = FieldType::String,
                    .kind = FieldKind::Lookup,
                    .size = 30,
                    .keyFields = "CatNum",
                    .lookupDataSet = categories,
                    .lookupKeyFields = "CatNum",
                    .lookupResultField = "Category"});
    table.addField({.name = "Eispraxi", .type = FieldType::Currency});
    table.addField({.name = "Pliromi", .type = FieldType::Currency});
    table.addField({.name = "Perigrafi", .type = FieldType::String, .size = 200});
    table.setDoBinaryLocate(true);
    table.open();
}

inline void addCategory(MemTable& table, const std::string& name)
{
    table.append();
    table.setFieldValue("Category", Variant::fromString(name));
    table.post();
}

// Appends a movement; a negative receipt means none (null).
inline void addMovement(MemTable& table, double date, int catNum, double receipt = -1,
                        const std::string& text = {})
{
    table.append();
    table.setFieldValue("Date", Variant::fromDate(date));
    table.setFieldValue("CatNum", Variant::fromInt(catNum));
    if (receipt >= 0)
        table.setFieldValue("Eispraxi", Variant::fromDouble(receipt));
    if (!text.empty())
        table.setFieldValue("Perigrafi", Variant::fromString(text));
    table.post();
}

// The values of one field, in physical order, as UTF-8 text ("" for null).
inline std::vector<std::string> column(const MemTable& table, const std::string& name)
{
    std::vector<std::string> values;
    const int index = table.fieldByName(name).index();
    for (int row = 0; row < table.rowCount(); ++row)
        values.push_back(utf8(table.valueAt(row, index).toString()));
    return values;
}

} // namespace tamisko::testing
