// Editing a memory table: new records with their auto-increment value, edits, posts
// (required fields, bookmarks, AutoSort placement, the after-post event), cancelling,
// deleting and emptying.

#include "data/Cp1253.h"
#include "data/MemTableImpl.h"

#include <algorithm>

namespace tamisko {
namespace {

// Said to the user who adds a record when the auto-increment field has no number left.
const std::string& noNumberLeftMessage()
{
    static const std::string message = cp1253::fromUtf8OrThrow(
        "Δεν υπάρχει άλλος διαθέσιμος αριθμός για το πεδίο '%s'· η νέα εγγραφή δεν "
        "καταχωρήθηκε.");
    return message;
}

} // namespace

using namespace memtable;

// The new record is whole before the table enters insert state: a failure leaves the
// table in browse state, as the views last heard of it.
void MemTable::Impl::startNewRecord(bool atStart)
{
    requireActive();
    endPending();
    buffer = RecordBuffer::create(layout);
    insertAtStart = atStart;
    state = DataSetState::Insert;
    try {
        if (autoIncField >= 0) {
            if (const std::optional<int64_t> number = nextAutoIncValue())
                buffer.setInt(autoIncField, *number);
            computeLookups(false); // as after every write of a data field
        }
    } catch (...) {
        buffer = {};
        state = DataSetState::Browse;
        throw;
    }
    modified = false;
    notify(DataEvent::StateChanged);
    notify(DataEvent::DataSetChanged);
}

void MemTable::Impl::raiseAutoIncMark(const RecordBuffer& record)
{
    if (autoIncField < 0)
        return;
    const int64_t value = record.isNull(autoIncField) ? 0 : record.intAt(autoIncField);
    autoIncMark = std::max(autoIncMark, value);
}

// A new record that must have an auto-increment value but got none because every number
// is taken can never be posted: it is dropped, and the user told why.
void MemTable::Impl::refuseRecordWithoutNumber()
{
    if (state != DataSetState::Insert || autoIncField < 0 || nextAutoIncValue())
        return;
    const Field& f = field(autoIncField);
    if (!f.def().required || !buffer.isNull(autoIncField))
        return;
    self.cancel();
    fail(noNumberLeftMessage(), f.displayName());
}

void MemTable::Impl::forgetRecords()
{
    records.clear();
    cursor = -1;
    eof = bof = true;
    sorted = false;
    nextBookmark = 1;
}

DataSetState MemTable::state() const
{
    return impl_->state;
}

bool MemTable::modified() const
{
    return impl_->editing() && impl_->modified;
}

void MemTable::append()
{
    impl_->startNewRecord(false);
}

void MemTable::insert()
{
    impl_->startNewRecord(true);
}

void MemTable::edit()
{
    Impl& d = *impl_;
    d.requireActive();
    if (d.editing())
        return;
    if (d.cursor < 0) {
        insert();
        return;
    }
    d.buffer = d.records[static_cast<size_t>(d.cursor)].clone(d.layout);
    d.buffer.setRecNoSlot(d.cursor + 1);
    d.state = DataSetState::Edit;
    d.modified = false;
    try {
        d.computeLookups(false);
    } catch (...) {
        d.buffer = {};
        d.state = DataSetState::Browse;
        throw;
    }
    d.notify(DataEvent::StateChanged);
    d.notify(DataEvent::RecordChanged);
}

void MemTable::post()
{
    Impl& d = *impl_;
    if (!d.editing())
        return;
    d.notify(DataEvent::UpdateRecord);
    d.refuseRecordWithoutNumber();
    for (const auto& f : fields_) {
        if (f->def().required && d.buffer.isNull(f->index()))
            fail("Field '%s' must have a value", f->displayName());
    }
    const bool adding = d.state == DataSetState::Insert;
    if (adding && d.nextBookmark >= lastBookmark)
        throw Error("Bookmark counter is out of range. Please close and reopen table.");
    std::vector<int> sortFields;
    if (d.autoSort)
        sortFields = d.resolveSortFields(d.sortFields);

    d.raiseAutoIncMark(d.buffer);
    int row = d.cursor;
    if (adding) {
        d.buffer.setBookmark(d.nextBookmark++);
        if (d.insertAtStart) {
            d.records.insert(d.records.begin(), std::move(d.buffer));
            row = 0;
        } else {
            d.records.push_back(std::move(d.buffer));
            row = d.recordTotal() - 1;
        }
        d.sorted = false;
    } else {
        d.records[static_cast<size_t>(row)] = std::move(d.buffer);
    }
    d.buffer = {};
    if (!sortFields.empty()) {
        row = d.placeSorted(row, sortFields);
        d.sorted = true;
    }
    d.placeCursor(row);
    d.state = DataSetState::Browse;
    d.modified = false;
    d.notify(DataEvent::StateChanged);
    d.notify(DataEvent::DataSetChanged);
    if (d.afterPost)
        d.afterPost(*this);
}

void MemTable::cancel()
{
    Impl& d = *impl_;
    if (!d.editing())
        return;
    d.buffer = {};
    d.state = DataSetState::Browse;
    d.modified = false;
    d.notify(DataEvent::StateChanged);
    d.notify(DataEvent::DataSetChanged);
}

void MemTable::deleteRecord()
{
    Impl& d = *impl_;
    d.requireActive();
    if (d.state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (d.cursor < 0)
        return;
    const bool wasEditing = d.state == DataSetState::Edit;
    d.buffer = {};
    d.state = DataSetState::Browse;
    d.modified = false;
    const int row = d.cursor;
    d.records.erase(d.records.begin() + row);
    if (d.records.empty()) {
        d.forgetRecords();
    } else {
        int next = d.findAccepted(row, 1);
        if (next < 0)
            next = d.findAccepted(row - 1, -1);
        d.placeCursor(next);
    }
    if (wasEditing)
        d.notify(DataEvent::StateChanged);
    d.notify(DataEvent::DataSetChanged);
    if (d.afterDelete)
        d.afterDelete(*this);
}

int MemTable::deleteRecords(const std::function<bool(const RecordView&)>& select)
{
    Impl& d = *impl_;
    d.requireActive();
    d.endPending();
    int firstRemoved = -1;
    size_t kept = 0;
    for (size_t row = 0; row < d.records.size(); ++row) {
        if (select(d.records[row].view())) {
            if (firstRemoved < 0)
                firstRemoved = static_cast<int>(row);
            continue;
        }
        if (kept != row)
            d.records[kept] = std::move(d.records[row]);
        ++kept;
    }
    if (firstRemoved < 0)
        return 0;
    const int removed = static_cast<int>(d.records.size() - kept);
    d.records.erase(d.records.begin() + static_cast<std::ptrdiff_t>(kept), d.records.end());
    if (d.records.empty()) {
        d.forgetRecords();
    } else {
        int next = d.findAccepted(std::min(firstRemoved, d.recordTotal() - 1), 1);
        if (next < 0)
            next = d.findAccepted(std::min(firstRemoved, d.recordTotal()) - 1, -1);
        d.placeCursor(next);
    }
    d.notify(DataEvent::DataSetChanged);
    if (d.afterDelete)
        d.afterDelete(*this);
    return removed;
}

void MemTable::clearRecords()
{
    if (!active())
        return;
    disableControls();
    cancel();
    impl_->forgetRecords();
    enableControls();
    first();
}

} // namespace tamisko
