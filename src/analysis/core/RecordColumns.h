#pragma once

#include "data/Errors.h"
#include "data/MemTable.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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

// The group (a row, a column) of each visited record's category name. The group found
// for a name is remembered under the record's category number and taken again while the
// record's stored name is the group's, so that most movements cost a comparison of bytes
// instead of a hash of their name. A null name counts as the empty one.
class CategoryGroups
{
public:
    CategoryGroups(MemTable& log, int categoryField)
        : category_(categoryField), byNumber_(kRemembered, kNone)
    {
        if (const Field* number = log.findField("CatNum");
            number && number->kind() == FieldKind::Data &&
            (number->dataType() == FieldType::Integer || number->dataType() == FieldType::AutoInc))
            number_ = number->index();
    }

    // nameOf(group) is the group's name; byName(name, null) finds or makes the group of a
    // name that the memo does not know.
    template<typename NameOf, typename ByName>
    size_t operator()(const RecordView& record, NameOf nameOf, ByName byName)
    {
        const bool null = record.isNull(category_);
        const std::string_view name = null ? std::string_view() : record.stringAt(category_);
        size_t* remembered = nullptr;
        if (number_ >= 0 && !record.isNull(number_)) {
            const auto key = static_cast<uint64_t>(record.intAt(number_));
            if (key < kRemembered) {
                remembered = &byNumber_[key];
                if (*remembered != kNone && sameText(nameOf(*remembered), name))
                    return *remembered;
            }
        }
        const size_t group = byName(name, null);
        if (remembered)
            *remembered = group;
        return group;
    }

private:
    static constexpr uint64_t kRemembered = 1024; // category numbers past it are hashed
    static constexpr size_t kNone = static_cast<size_t>(-1);
    int category_;
    std::vector<size_t> byNumber_; // category number -> group
    int number_ = -1;
};

} // namespace tamisko::analysis
