#pragma once

#include "data/Errors.h"
#include "data/MemTable.h"

#include <string_view>

// Column readers shared by the scans of the analyses over the movement log.
namespace tamisko::analysis {

// A number field of the visited records, read as Field::asFloat reads it: 0 when null.
class NumberColumn
{
public:
    explicit NumberColumn(const Field& field) : index_(field.index())
    {
        switch (field.dataType()) {
        case FieldType::Float:
        case FieldType::Currency:
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime:
            storedAsDouble_ = true;
            break;
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::Word:
        case FieldType::AutoInc:
        case FieldType::LargeInt:
            storedAsDouble_ = false;
            break;
        default:
            throw Error("Field '" + field.fieldName() + "' is not a number");
        }
    }

    bool isNull(const RecordView& record) const { return record.isNull(index_); }
    double operator()(const RecordView& record) const
    {
        if (record.isNull(index_))
            return 0.0;
        return storedAsDouble_ ? record.doubleAt(index_)
                               : static_cast<double>(record.intAt(index_));
    }

private:
    int index_;
    bool storedAsDouble_ = true;
};

// Byte equality, inline: category names are short, and most movements compare equal.
inline bool sameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

} // namespace tamisko::analysis
