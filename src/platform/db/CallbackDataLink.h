#pragma once

#include "data/MemTable.h"

#include <functional>

namespace tamisko {

// A data link that hands every event of its source to a function.
class CallbackDataLink final : public DataLink
{
public:
    using Handler = std::function<void(DataEvent event, const Field* field)>;

    explicit CallbackDataLink(Handler handler) : handler_(std::move(handler)) {}

    void setDataSource(DataSource* source)
    {
        if (source == dataSource())
            return;
        if (dataSource())
            dataSource()->removeLink(this);
        if (source)
            source->addLink(this);
        handler_(DataEvent::ActiveChanged, nullptr);
    }

    // Attached: the source is enabled and its table open.
    bool active() const
    {
        const DataSource* const source = dataSource();
        return source && source->enabled() && source->dataSet() && source->dataSet()->active();
    }
    MemTable* table() const { return dataSource() ? dataSource()->dataSet() : nullptr; }

    void dataEvent(DataEvent event, const Field* field) override { handler_(event, field); }

private:
    Handler handler_;
};

} // namespace tamisko
