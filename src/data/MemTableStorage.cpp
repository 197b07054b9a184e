// Fields of the memory table: values read from a record as variants of the field's type,
// variants converted and stored in the record's form, and the lookup fields computed from
// the data fields.

#include "data/MemTableImpl.h"

namespace tamisko {
namespace memtable {
namespace {

int64_t integerFor(const Field& f, const Variant& value)
{
    switch (f.dataType()) {
    case FieldType::Boolean:
        return value.toBool() ? 1 : 0;
    case FieldType::LargeInt:
        return value.toInt64();
    default:
        break;
    }
    const int64_t number = value.toInt64();
    if (!integerFits(f.dataType(), number))
        throw Error("out of range");
    return number;
}

} // namespace

std::string textFor(const Field& f, const Variant& value)
{
    std::string text = value.toString();
    if (f.def().size > 0 && text.size() > static_cast<size_t>(f.def().size))
        text.resize(static_cast<size_t>(f.def().size));
    return text;
}

} // namespace memtable

using namespace memtable;

// Record values ----------------------------------------------------------------------

Variant MemTable::Impl::read(const RecordBuffer& record, const Field& f) const
{
    const int i = f.index();
    if (record.isNull(i))
        return Variant::null();
    switch (f.dataType()) {
    case FieldType::String:
        return Variant::fromString(std::string(record.stringAt(i)));
    case FieldType::SmallInt:
        return Variant::fromSmallInt(static_cast<int16_t>(record.intAt(i)));
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::AutoInc:
        return Variant::fromInt(static_cast<int32_t>(record.intAt(i)));
    case FieldType::LargeInt: {
        const int64_t value = record.intAt(i);
        if (value >= INT32_MIN && value <= INT32_MAX)
            return Variant::fromInt(static_cast<int32_t>(value));
        return Variant::fromDouble(static_cast<double>(value));
    }
    case FieldType::Boolean:
        return Variant::fromBool(record.intAt(i) != 0);
    case FieldType::Float:
    case FieldType::Currency:
        return Variant::fromDouble(record.doubleAt(i));
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return Variant::fromDate(record.doubleAt(i));
    case FieldType::Blob:
        break;
    }
    return Variant::null();
}

bool MemTable::Impl::store(RecordBuffer& record, const Field& f, const Variant& value) const
{
    const int i = f.index();
    const bool wasNull = record.isNull(i);
    if (value.isNullOrEmpty()) {
        if (!wasNull)
            record.setNull(layout, i);
        return !wasNull;
    }
    try {
        switch (storageOf(f.dataType())) {
        case Storage::String: {
            const std::string text = textFor(f, value);
            if (!wasNull && record.stringAt(i) == text)
                return false;
            record.setString(layout, i, text);
            return true;
        }
        case Storage::Integer: {
            const int64_t number = integerFor(f, value);
            if (!wasNull && record.intAt(i) == number)
                return false;
            record.setInt(i, number);
            return true;
        }
        case Storage::Float: {
            double number = value.toDouble();
            if (f.dataType() == FieldType::Date)
                number = std::trunc(number);
            if (!numberFits(f.dataType(), number))
                throw Error("out of range");
            if (!wasNull && record.doubleAt(i) == number)
                return false;
            record.setDouble(i, number);
            return true;
        }
        }
    } catch (const Error&) {
    }
    fail("Invalid value for field '%s'", f.displayName());
}

// Writes of the pending record ---------------------------------------------------------

void MemTable::Impl::write(const Field& f, const Variant& value)
{
    if (!editing())
        throw Error("Dataset is not in edit mode.");
    if (f.def().readOnly)
        fail("Field %s is read only", f.displayName());
    assign(f, value);
}

void MemTable::Impl::assign(const Field& f, const Variant& value, bool notifyControls)
{
    const bool changed = store(buffer, f, value);
    modified = true;
    if (changed && state == DataSetState::Edit)
        sorted = false;
    if (notifyControls)
        notify(DataEvent::RecordChanged, &f);
    if (f.kind() == FieldKind::Data)
        computeLookups(notifyControls);
}

void MemTable::Impl::computeLookups(bool notifyChanges)
{
    for (LookupBinding& binding : lookups) {
        const Field& f = field(binding.field);
        MemTable* source = f.def().lookupDataSet;
        if (!source)
            continue;
        binding.keyValues.clear();
        for (const int key : binding.keyFields)
            binding.keyValues.push_back(read(buffer, field(key)));
        const Variant result =
            source->lookup(f.def().lookupKeyFields, binding.keyValues, f.def().lookupResultField);
        if (!store(buffer, f, result))
            continue;
        if (state == DataSetState::Edit)
            sorted = false;
        if (notifyChanges)
            notify(DataEvent::RecordChanged, &f);
    }
}

// Field ------------------------------------------------------------------------------

Field::Field(MemTable& table, int index, FieldDef def)
    : table_(&table), index_(index), def_(std::move(def))
{}

const std::string& Field::displayName() const
{
    return def_.displayLabel.empty() ? def_.name : def_.displayLabel;
}

bool Field::isNull() const
{
    const RecordBuffer* record = table_->impl_->currentBuffer();
    return !record || record->isNull(index_);
}

Variant Field::value() const
{
    const RecordBuffer* record = table_->impl_->currentBuffer();
    return record ? table_->impl_->read(*record, *this) : Variant::null();
}

void Field::setValue(const Variant& value)
{
    table_->impl_->write(*this, value);
}

void Field::clear()
{
    setValue(Variant::null());
}

double Field::asFloat() const
{
    return isNull() ? 0.0 : value().toDouble();
}

int32_t Field::asInteger() const
{
    return isNull() ? 0 : value().toInt32();
}

std::string Field::asString() const
{
    return value().toString();
}

bool Field::asBoolean() const
{
    return !isNull() && value().toBool();
}

// Values by name and by row ----------------------------------------------------------

Variant MemTable::fieldValue(std::string_view name) const
{
    return fieldByName(name).value();
}

void MemTable::setFieldValue(std::string_view name, const Variant& value)
{
    fieldByName(name).setValue(value);
}

int MemTable::rowCount() const
{
    return impl_->recordTotal();
}

Variant MemTable::valueAt(int row, int fieldIndex) const
{
    if (row < 0 || row >= rowCount())
        return Variant::null();
    return impl_->read(impl_->records[static_cast<size_t>(row)], field(fieldIndex));
}

bool MemTable::isNullAt(int row, int fieldIndex) const
{
    if (row < 0 || row >= rowCount() || fieldIndex < 0 || fieldIndex >= fieldCount())
        return true;
    return impl_->records[static_cast<size_t>(row)].isNull(fieldIndex);
}

} // namespace tamisko
