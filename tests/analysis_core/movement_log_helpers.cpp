#include "analysis_core/movement_log_helpers.h"

#include "data/Cp1253.h"
#include "data/DayNumber.h"

namespace tamisko::testing {
namespace {

void addField(MemTable& table, const char* name, FieldType type, int size = 0)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    table.addField(def);
}

} // namespace

double day(int year, int month, int dayOfMonth)
{
    return days::fromCivil({year, month, dayOfMonth});
}

MovementLog::MovementLog()
{
    addField(log, "Date", FieldType::Date);
    addField(log, "CatNum", FieldType::Integer);
    addField(log, "Category", FieldType::String, 30);
    addField(log, "Eispraxi", FieldType::Currency);
    addField(log, "Pliromi", FieldType::Currency);
    addField(log, "Perigrafi", FieldType::String, 200);
    log.open();

    addField(categories, "CatNum", FieldType::AutoInc);
    addField(categories, "Category", FieldType::String, 30);
    categories.open();
    categories.append();
    categories.fieldByName("Category").setAsString(cp1253::fromUtf8OrThrow("τρόφιμα"));
    categories.post();
}

void MovementLog::add(double date, const std::string& category, std::optional<double> receipt,
                      std::optional<double> payment)
{
    log.append();
    log.fieldByName("Date").setValue(Variant::fromDate(date));
    log.fieldByName("CatNum").setAsInteger(0);
    log.fieldByName("Category").setAsString(cp1253::fromUtf8OrThrow(category));
    if (receipt)
        log.fieldByName("Eispraxi").setAsFloat(*receipt);
    if (payment)
        log.fieldByName("Pliromi").setAsFloat(*payment);
    log.post();
}

} // namespace tamisko::testing
