#include "data/MemTable.h"

#include <algorithm>

namespace tamisko {

DataLink::~DataLink()
{
    if (source_)
        source_->removeLink(this);
}

DataSource::DataSource(MemTable* table)
{
    setDataSet(table);
}

DataSource::~DataSource()
{
    setDataSet(nullptr);
    for (DataLink* link : links_)
        link->source_ = nullptr;
}

void DataSource::setDataSet(MemTable* table)
{
    if (table == table_)
        return;
    MemTable* const previous = table_;
    table_ = table;
    if (previous)
        previous->detach(this);
    if (table_)
        table_->attach(this);
    notify(DataEvent::DataSetChanged);
}

void DataSource::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    forEachLink(DataEvent::ActiveChanged, nullptr);
}

void DataSource::addLink(DataLink* link)
{
    if (!link || link->source_ == this)
        return;
    if (link->source_)
        link->source_->removeLink(link);
    link->source_ = this;
    links_.push_back(link);
}

void DataSource::removeLink(DataLink* link)
{
    const auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end())
        return;
    links_.erase(it);
    link->source_ = nullptr;
}

void DataSource::notify(DataEvent event, const Field* field)
{
    if (enabled_)
        forEachLink(event, field);
}

void DataSource::forEachLink(DataEvent event, const Field* field)
{
    if (links_.empty())
        return;
    // A control may unlink itself (or another one) while handling the event.
    const std::vector<DataLink*> links = links_;
    for (DataLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->dataEvent(event, field);
    }
}

} // namespace tamisko
