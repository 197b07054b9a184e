// The memory table's frame: its definition and opening, field lookup by name, the
// events, the views attached through data sources, and the exchange of records between
// two tables. The rest lives in the MemTable*.cpp files named in MemTableImpl.h.

#include "data/MemTableImpl.h"

#include <algorithm>

namespace tamisko {
namespace memtable {

std::vector<std::string_view> splitFieldNames(std::string_view names)
{
    std::vector<std::string_view> result;
    while (!names.empty()) {
        const size_t end = std::min(names.find(';'), names.size());
        std::string_view name = names.substr(0, end);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        if (!name.empty())
            result.push_back(name);
        names.remove_prefix(std::min(end + 1, names.size()));
    }
    return result;
}

[[noreturn]] void fail(std::string_view pattern, std::string_view argument)
{
    throw Error(formatMessage(pattern, argument));
}

} // namespace memtable

namespace {

// The type numbers of the data-set toolkit whose files and messages we follow.
int toolkitTypeNumber(FieldType type)
{
    switch (type) {
    case FieldType::String:
        return 1;
    case FieldType::SmallInt:
        return 2;
    case FieldType::Integer:
        return 3;
    case FieldType::Word:
        return 4;
    case FieldType::Boolean:
        return 5;
    case FieldType::Float:
        return 6;
    case FieldType::Currency:
        return 7;
    case FieldType::Date:
        return 9;
    case FieldType::Time:
        return 10;
    case FieldType::DateTime:
        return 11;
    case FieldType::AutoInc:
        return 14;
    case FieldType::Blob:
        return 15;
    case FieldType::LargeInt:
        return 25;
    }
    return 0;
}

char asciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiUpper(x) == asciiUpper(y);
           });
}

} // namespace

using namespace memtable;

// Definition and opening -------------------------------------------------------------

MemTable::MemTable(std::string name) : name_(std::move(name)), impl_(std::make_unique<Impl>(*this))
{}

MemTable::~MemTable()
{
    const std::vector<DataSource*> sources = impl_->sources;
    for (DataSource* source : sources)
        source->setDataSet(nullptr);
}

Field& MemTable::addField(FieldDef def)
{
    if (active())
        throw Error("Cannot perform this operation on an open dataset");
    const int index = fieldCount();
    fields_.push_back(std::make_unique<Field>(*this, index, std::move(def)));
    return *fields_.back();
}

void MemTable::open()
{
    if (active())
        return;
    if (fieldCount() > RecordLayout::maxFields)
        throw Error("Too many fields in table " + name_);
    std::vector<bool> stringFields;
    int autoIncField = -1;
    std::vector<Impl::LookupBinding> lookups;
    for (const auto& f : fields_) {
        if (!isSupported(f->dataType()))
            throw Error("Fielddef " + f->fieldName() + " (" + f->displayName() + ")" +
                        formatMessage(" Datatype %d not supported.)",
                                      std::to_string(toolkitTypeNumber(f->dataType()))));
        stringFields.push_back(storageOf(f->dataType()) == Storage::String);
        if (f->dataType() == FieldType::AutoInc && autoIncField < 0)
            autoIncField = f->index();
        if (f->kind() == FieldKind::Lookup) {
            Impl::LookupBinding binding;
            binding.field = f->index();
            for (const std::string_view key : splitFieldNames(f->def().keyFields))
                binding.keyFields.push_back(fieldByName(key).index());
            lookups.push_back(std::move(binding));
        }
    }
    impl_->layout = RecordLayout(std::move(stringFields));
    impl_->autoIncField = autoIncField;
    impl_->lookups = std::move(lookups);
    impl_->forgetRecords();
    impl_->autoIncMark = -1;
    impl_->state = DataSetState::Browse;
    if (impl_->autoSort)
        sortByFields(impl_->sortFields, impl_->sortOptions);
    impl_->notify(DataEvent::DataSetChanged);
}

bool MemTable::active() const
{
    return impl_->state != DataSetState::Inactive;
}

int MemTable::fieldCount() const
{
    return static_cast<int>(fields_.size());
}

Field& MemTable::field(int index)
{
    return *fields_.at(static_cast<size_t>(index));
}

const Field& MemTable::field(int index) const
{
    return *fields_.at(static_cast<size_t>(index));
}

Field* MemTable::findField(std::string_view name)
{
    for (const auto& f : fields_) {
        if (sameName(f->fieldName(), name))
            return f.get();
    }
    return nullptr;
}

Field& MemTable::fieldByName(std::string_view name)
{
    if (Field* f = findField(name))
        return *f;
    fail("Field '%s' not found", name);
}

const Field& MemTable::fieldByName(std::string_view name) const
{
    return const_cast<MemTable*>(this)->fieldByName(name);
}

// Events and views -------------------------------------------------------------------

void MemTable::setAfterPost(std::function<void(MemTable&)> handler)
{
    impl_->afterPost = std::move(handler);
}

void MemTable::setAfterDelete(std::function<void(MemTable&)> handler)
{
    impl_->afterDelete = std::move(handler);
}

void MemTable::attach(DataSource* source)
{
    if (!source)
        return;
    auto& sources = impl_->sources;
    if (std::find(sources.begin(), sources.end(), source) == sources.end())
        sources.push_back(source);
    if (source->dataSet() != this)
        source->setDataSet(this);
}

void MemTable::detach(DataSource* source)
{
    auto& sources = impl_->sources;
    sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
    if (source && source->dataSet() == this)
        source->setDataSet(nullptr);
}

void MemTable::disableControls()
{
    ++impl_->controlsDisabled;
}

void MemTable::enableControls()
{
    if (impl_->controlsDisabled == 0)
        return;
    if (--impl_->controlsDisabled == 0)
        impl_->notify(DataEvent::DataSetChanged);
}

bool MemTable::controlsDisabled() const
{
    return impl_->controlsDisabled > 0;
}

void MemTable::setCollation(std::shared_ptr<const Collation> collation)
{
    impl_->collation = collation ? std::move(collation) : greekCollation();
}

// Auto-increment mark and exchange of records -----------------------------------------

int64_t MemTable::autoIncrementMark() const
{
    return impl_->autoIncMark;
}

void MemTable::raiseAutoIncrementMark(int64_t value)
{
    impl_->autoIncMark = std::max(impl_->autoIncMark, value);
}

void MemTable::swapContents(MemTable& other)
{
    if (&other == this)
        return;
    impl_->requireActive();
    other.impl_->requireActive();
    bool sameFields = fieldCount() == other.fieldCount();
    for (int i = 0; sameFields && i < fieldCount(); ++i)
        sameFields = field(i).dataType() == other.field(i).dataType();
    if (!sameFields)
        throw Error("Cannot exchange the records of tables " + name_ + " and " + other.name_ +
                    " with different fields");
    cancel();
    other.cancel();
    Impl& a = *impl_;
    Impl& b = *other.impl_;
    std::swap(a.records, b.records);
    std::swap(a.cursor, b.cursor);
    std::swap(a.eof, b.eof);
    std::swap(a.bof, b.bof);
    std::swap(a.sorted, b.sorted);
    std::swap(a.nextBookmark, b.nextBookmark);
    a.autoIncMark = b.autoIncMark = std::max(a.autoIncMark, b.autoIncMark);
    a.notify(DataEvent::DataSetChanged);
    b.notify(DataEvent::DataSetChanged);
}

} // namespace tamisko
