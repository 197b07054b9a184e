#pragma once

#include "data/MemTable.h"

#include <functional>
#include <string>

namespace tamisko {

// The link of a single-field control to a data source. The control shows the field of
// the table's current record and writes it back through the table, so every control on
// the same source follows the same cursor. Typing first calls edit(), which puts the
// table into edit state; the typed text stays pending in the control (modified()) until
// the focus leaves or the table posts, when onUpdateData writes it into the field.
class FieldDataLink final : public DataLink
{
public:
    FieldDataLink() = default;
    FieldDataLink(const FieldDataLink&) = delete;
    FieldDataLink& operator=(const FieldDataLink&) = delete;

    void setDataSource(DataSource* source);
    void setFieldName(std::string name);
    const std::string& fieldName() const { return fieldName_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool readOnly() const { return readOnly_; }

    // Attached: the source is enabled and its table open.
    bool active() const;
    MemTable* table() const;
    // The bound field; nullptr while detached or when the table has no such field.
    Field* field() const;
    bool editing() const;
    bool canModify() const;

    // Starts editing the current record (appending one to an empty table). False when
    // the control may not change the field now; errors are reported to the user.
    bool edit();
    // The control holds text that is not yet in the field.
    void modified() { modified_ = true; }
    bool isModified() const { return modified_; }
    // Drops the pending text and shows the field again.
    void reset();
    // Writes the pending text into the field; throws when the field refuses it.
    void updateRecord();

    std::function<void()> onDataChange;    // show the field's value
    std::function<void()> onUpdateData;    // write the pending text into field()
    std::function<void()> onActiveChange;  // attached or detached
    std::function<void()> onEditingChange; // the table entered or left edit/insert
    // Also refresh when any field of the record changes (lookup controls show a value
    // that follows another field).
    void setFollowAllFields(bool on) { followAllFields_ = on; }

    void dataEvent(DataEvent event, const Field* field) override;

private:
    void dataChanged();
    void checkEditing();

    std::string fieldName_;
    bool readOnly_ = false;
    bool modified_ = false;
    bool wasEditing_ = false;
    bool updating_ = false;
    bool followAllFields_ = false;
};

} // namespace tamisko
