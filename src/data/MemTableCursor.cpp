// The cursor of a memory table: navigation over the records that the filter accepts, in
// physical order, record numbers and counts, and the walks over the whole table.

#include "data/MemTableImpl.h"

namespace tamisko {

int MemTable::Impl::findAccepted(int from, int step)
{
    for (int i = from; i >= 0 && i < recordTotal(); i += step) {
        if (accepts(i))
            return i;
    }
    return -1;
}

// Navigation -------------------------------------------------------------------------

void MemTable::first()
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    const int row = d.findAccepted(0, 1);
    d.cursor = row;
    d.bof = true;
    d.eof = row < 0;
    d.notify(DataEvent::DataSetChanged);
}

void MemTable::last()
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    const int row = d.findAccepted(d.recordTotal() - 1, -1);
    d.cursor = row;
    d.eof = true;
    d.bof = row < 0;
    d.notify(DataEvent::DataSetChanged);
}

void MemTable::next()
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    const int row = d.cursor < 0 ? -1 : d.findAccepted(d.cursor + 1, 1);
    if (row < 0) {
        d.eof = true;
        return;
    }
    d.cursor = row;
    d.eof = d.bof = false;
    d.notify(DataEvent::Scrolled);
}

void MemTable::prior()
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    const int row = d.cursor < 0 ? -1 : d.findAccepted(d.cursor - 1, -1);
    if (row < 0) {
        d.bof = true;
        return;
    }
    d.cursor = row;
    d.eof = d.bof = false;
    d.notify(DataEvent::Scrolled);
}

bool MemTable::eof() const
{
    return impl_->eof || impl_->cursor < 0;
}

bool MemTable::bof() const
{
    return impl_->bof || impl_->cursor < 0;
}

bool MemTable::isEmpty() const
{
    if (impl_->state == DataSetState::Insert)
        return false;
    return impl_->findAccepted(0, 1) < 0;
}

// Record numbers and counts -----------------------------------------------------------

int MemTable::recNo() const
{
    const Impl& d = *impl_;
    switch (d.state) {
    case DataSetState::Insert:
        return -1;
    case DataSetState::Edit:
        return d.buffer.recNoSlot();
    case DataSetState::Browse:
        return d.cursor >= 0 ? d.cursor + 1 : -1;
    case DataSetState::Inactive:
        break;
    }
    return -1;
}

void MemTable::setRecNo(int recNo)
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    if (recNo >= 1 && recNo <= d.recordTotal())
        d.placeCursor(recNo - 1);
    d.notify(DataEvent::DataSetChanged);
}

int MemTable::recordCount() const
{
    Impl& d = *impl_;
    if (!d.filterActive())
        return d.recordTotal();
    int count = 0;
    for (int i = 0; i < d.recordTotal(); ++i)
        count += d.accepts(i) ? 1 : 0;
    return count;
}

// The filter -------------------------------------------------------------------------

bool MemTable::filtered() const
{
    return impl_->filtered;
}

void MemTable::setFiltered(bool on)
{
    impl_->filtered = on;
}

void MemTable::setOnFilterRecord(std::function<bool(MemTable&)> accept)
{
    impl_->onFilterRecord = std::move(accept);
}

// Walks ------------------------------------------------------------------------------

void MemTable::forEachRecord(const std::function<void(const RecordView&)>& visit)
{
    Impl& d = *impl_;
    if (!active())
        return;
    for (int row = 0; row < d.recordTotal(); ++row) {
        if (d.accepts(row))
            visit(d.view(row));
    }
}

void MemTable::walkRecords(const std::function<void(const RecordView&)>& visit)
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    // As the walk: a filter that throws leaves the cursor on the record visited last.
    bool visited = false;
    try {
        for (int row = 0; row < d.recordTotal(); ++row) {
            if (!d.accepts(row))
                continue;
            d.cursor = row;
            d.eof = false;
            d.bof = !visited;
            visited = true;
            visit(d.view(row));
        }
    } catch (...) {
        if (visited)
            d.notify(DataEvent::DataSetChanged);
        throw;
    }
    if (!visited) {
        d.cursor = -1;
        d.bof = true;
    }
    d.eof = true;
    d.notify(DataEvent::DataSetChanged);
}

int MemTable::currentRow() const
{
    const Impl& d = *impl_;
    if (d.state == DataSetState::Insert || d.state == DataSetState::Inactive)
        return -1;
    return d.cursor;
}

int32_t MemTable::bookmark() const
{
    const Impl& d = *impl_;
    if (d.state == DataSetState::Insert)
        return 0;
    const RecordBuffer* record = d.currentBuffer();
    return record ? record->bookmark() : 0;
}

} // namespace tamisko
