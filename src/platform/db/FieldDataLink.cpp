#include "platform/db/FieldDataLink.h"

#include "platform/db/DbMessages.h"

namespace tamisko {

void FieldDataLink::setDataSource(DataSource* source)
{
    if (source == dataSource())
        return;
    if (dataSource())
        dataSource()->removeLink(this);
    if (source)
        source->addLink(this);
    dataEvent(DataEvent::ActiveChanged, nullptr);
}

void FieldDataLink::setFieldName(std::string name)
{
    fieldName_ = std::move(name);
    dataChanged();
}

bool FieldDataLink::active() const
{
    const DataSource* const source = dataSource();
    return source && source->enabled() && source->dataSet() && source->dataSet()->active();
}

MemTable* FieldDataLink::table() const
{
    return dataSource() ? dataSource()->dataSet() : nullptr;
}

Field* FieldDataLink::field() const
{
    if (!active() || fieldName_.empty())
        return nullptr;
    return table()->findField(fieldName_);
}

bool FieldDataLink::editing() const
{
    if (!active())
        return false;
    const DataSetState state = table()->state();
    return state == DataSetState::Edit || state == DataSetState::Insert;
}

bool FieldDataLink::canModify() const
{
    const Field* const bound = field();
    return bound && !readOnly_ && !bound->def().readOnly && bound->kind() != FieldKind::Calculated;
}

bool FieldDataLink::edit()
{
    if (!canModify())
        return false;
    if (editing())
        return true;
    try {
        table()->edit(); // an empty table starts a new record instead
    } catch (const std::exception& error) {
        db::reportError(error);
        return false;
    }
    return editing();
}

void FieldDataLink::reset()
{
    modified_ = false;
    if (onDataChange)
        onDataChange();
}

void FieldDataLink::updateRecord()
{
    if (!modified_ || updating_)
        return;
    updating_ = true;
    struct Done final
    {
        bool& flag;
        ~Done() { flag = false; }
    } done{updating_};
    if (field() && onUpdateData)
        onUpdateData();
    modified_ = false;
}

void FieldDataLink::dataEvent(DataEvent event, const Field* changed)
{
    switch (event) {
    case DataEvent::ActiveChanged:
        modified_ = false;
        wasEditing_ = editing();
        if (onActiveChange)
            onActiveChange();
        dataChanged();
        break;
    case DataEvent::DataSetChanged:
    case DataEvent::Scrolled:
        modified_ = false;
        dataChanged();
        checkEditing();
        break;
    case DataEvent::RecordChanged:
        if (!changed || followAllFields_ || changed->fieldName() == fieldName_) {
            modified_ = false;
            dataChanged();
        }
        break;
    case DataEvent::StateChanged:
        // Leaving edit state without posting (cancel) drops what was typed.
        if (!editing() && modified_) {
            modified_ = false;
            dataChanged();
        }
        checkEditing();
        break;
    case DataEvent::UpdateRecord:
        updateRecord();
        break;
    }
}

void FieldDataLink::dataChanged()
{
    if (onDataChange)
        onDataChange();
}

void FieldDataLink::checkEditing()
{
    const bool now = editing();
    if (now == wasEditing_)
        return;
    wasEditing_ = now;
    if (onEditingChange)
        onEditingChange();
}

} // namespace tamisko
