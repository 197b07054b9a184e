#pragma once

#include "data/RecordBuffer.h"
#include "data/RegionalSettings.h"
#include "data/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tamisko {

class MemTable;
class DataSource;

enum class FieldType
{
    String,
    SmallInt,
    Integer,
    Word,
    Boolean,
    Float,
    Currency,
    Date,
    Time,
    DateTime,
    LargeInt,
    AutoInc,
    Blob, // not supported: opening a table with it fails
};

enum class FieldKind
{
    Data,
    Calculated,
    Lookup
};

enum class DataSetState
{
    Inactive,
    Browse,
    Edit,
    Insert
};

// Sort and locate options (a bit set).
enum MemTableOption : unsigned
{
    mtcoDescending = 1u << 0,
    mtcoCaseInsensitive = 1u << 1,
    mtcoPartialKey = 1u << 2,
};
using MemTableOptions = unsigned;

struct FieldDef final
{
    std::string name{};
    FieldType type = FieldType::String;
    FieldKind kind = FieldKind::Data;
    int size = 0; // strings: the most characters the field holds
    std::string displayLabel{};
    int displayWidth = 0; // 0: the default width
    bool required = false;
    bool visible = true;
    bool readOnly = false;
    // Lookup fields: the value is lookupResultField of the row of lookupDataSet whose
    // lookupKeyFields equal this record's keyFields.
    std::string keyFields{};
    MemTable* lookupDataSet = nullptr;
    std::string lookupKeyFields{};
    std::string lookupResultField{};
};

// A field of a table; reads and writes the table's current record.
class Field final
{
public:
    Field(MemTable& table, int index, FieldDef def);

    const FieldDef& def() const { return def_; }
    int index() const { return index_; }
    const std::string& fieldName() const { return def_.name; }
    // The display label, or the field name when there is none.
    const std::string& displayName() const;
    FieldType dataType() const { return def_.type; }
    FieldKind kind() const { return def_.kind; }
    bool visible() const { return def_.visible; }
    void setVisible(bool visible) { def_.visible = visible; }
    void setDisplayLabel(std::string label) { def_.displayLabel = std::move(label); }
    void setDisplayWidth(int width) { def_.displayWidth = width; }
    MemTable& table() const { return *table_; }

    bool isNull() const;
    // The value as a variant of the field's type; null when the field is null.
    Variant value() const;
    void setValue(const Variant& value);
    void clear(); // makes the field null

    // Typed reads: a null number reads as 0, a null string as empty.
    double asFloat() const;
    int32_t asInteger() const;
    std::string asString() const;
    bool asBoolean() const;

    void setAsFloat(double value) { setValue(Variant::fromDouble(value)); }
    void setAsInteger(int32_t value) { setValue(Variant::fromInt(value)); }
    void setAsString(std::string value) { setValue(Variant::fromString(std::move(value))); }

private:
    MemTable* table_;
    int index_;
    FieldDef def_;
};

// What a data source tells its controls.
enum class DataEvent
{
    DataSetChanged, // contents or order changed: reread everything
    RecordChanged,  // a field of the current record changed (field given) or the record
    Scrolled,       // the cursor moved to another record
    StateChanged,   // browse/edit/insert changed
    UpdateRecord,   // about to post: controls write their pending text into the fields
    ActiveChanged,  // the source was enabled or disabled
};

// A data-aware control's connection to a data source.
class DataLink
{
public:
    virtual ~DataLink();
    virtual void dataEvent(DataEvent event, const Field* field) = 0;
    DataSource* dataSource() const { return source_; }

private:
    friend class DataSource;
    DataSource* source_ = nullptr;
};

// Connects controls to a table. A disabled source shows nothing and follows nothing.
class DataSource final
{
public:
    explicit DataSource(MemTable* table = nullptr);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    MemTable* dataSet() const { return table_; }
    void setDataSet(MemTable* table);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled); // sends ActiveChanged

    void addLink(DataLink* link);
    void removeLink(DataLink* link);

    // Called by the table; forwarded to the links while enabled.
    void notify(DataEvent event, const Field* field = nullptr);

private:
    void forEachLink(DataEvent event, const Field* field);

    MemTable* table_ = nullptr;
    bool enabled_ = true;
    std::vector<DataLink*> links_;
};

// The in-memory table on which all data of the program lives.
class MemTable final
{
public:
    explicit MemTable(std::string name = {});
    ~MemTable();
    MemTable(const MemTable&) = delete;
    MemTable& operator=(const MemTable&) = delete;

    const std::string& name() const { return name_; }

    // Definition: add fields, then open. Opening fails for unsupported types with
    // "Fielddef NAME (DISPLAY) Datatype %d not supported.)".
    Field& addField(FieldDef def);
    void open();
    bool active() const;

    int fieldCount() const;
    Field& field(int index);
    const Field& field(int index) const;
    Field& fieldByName(std::string_view name); // "Field '%s' not found"
    const Field& fieldByName(std::string_view name) const;
    Field* findField(std::string_view name); // case-insensitive match

    DataSetState state() const;
    // True when a field of the pending edit or insert has been written.
    bool modified() const;

    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    // Removes in one step every physical record (the filter aside) for which select is
    // true, as deleting each in turn would: a pending edit or insert ends first, the
    // cursor goes to the first record left after the first one removed; the views hear
    // of it and AfterDelete runs once, when anything was removed. Returns the count.
    int deleteRecords(const std::function<bool(const RecordView&)>& select);

    void first();
    void last();
    void next();
    void prior();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;

    Variant fieldValue(std::string_view name) const;
    void setFieldValue(std::string_view name, const Variant& value);

    int recNo() const;
    void setRecNo(int recNo);
    int recordCount() const;

    void clearRecords();

    // Sorting.
    const std::string& sortFields() const;
    void setSortFields(std::string fields);
    MemTableOptions sortOptions() const;
    void setSortOptions(MemTableOptions options);
    bool autoSort() const;
    void setAutoSort(bool on); // sorts at once when switched on
    bool doBinaryLocate() const;
    void setDoBinaryLocate(bool on);
    bool isSorted() const;
    void sortByFields(std::string_view fieldNames, MemTableOptions options = 0);

    // Locating; options mtcoCaseInsensitive and mtcoPartialKey.
    bool locate(std::string_view keyFields, const std::vector<Variant>& keyValues,
                MemTableOptions options = 0);
    Variant lookup(std::string_view keyFields, const std::vector<Variant>& keyValues,
                   std::string_view resultField);

    // Filtering: active when filtered and a callback is set.
    bool filtered() const;
    void setFiltered(bool on);
    void setOnFilterRecord(std::function<bool(MemTable&)> accept);

    // Events.
    void setAfterPost(std::function<void(MemTable&)> handler);
    void setAfterDelete(std::function<void(MemTable&)> handler);

    // The views: data sources attach themselves; bulk work detaches them.
    void attach(DataSource* source);
    void detach(DataSource* source);
    void disableControls();
    void enableControls();
    bool controlsDisabled() const;

    // Collation for string comparisons (the Greek one by default).
    void setCollation(std::shared_ptr<const Collation> collation);

    // Direct reads for grids: physical rows, 0-based, ignoring the filter; the cursor
    // does not move. rowCount() is the number of physical records.
    int rowCount() const;
    Variant valueAt(int row, int fieldIndex) const;
    bool isNullAt(int row, int fieldIndex) const;
    // Calls visit for every record that passes the filter, in physical order, without
    // moving the cursor or telling the views: for scans over the whole table. Numbers are
    // read by storage: intAt for integer, boolean and auto-increment fields, doubleAt
    // for floats, currency and dates. The table must not change during the scan.
    void forEachRecord(const std::function<void(const RecordView&)>& visit);
    // Visits the same records in the same order, ending a pending edit or insert first,
    // with the cursor going along as first() and next() would take it: it ends on the
    // last record visited with eof set, or stays on the record whose visit threw. The
    // views hear of it once, not once per record: for writers that walk the table.
    void walkRecords(const std::function<void(const RecordView&)>& visit);
    // The physical 0-based row of the current record; -1 when none or inserting.
    int currentRow() const;

    // The bookmark of the current record (0 when none).
    int32_t bookmark() const;

    // The auto-increment high-water mark (-1 after opening).
    int64_t autoIncrementMark() const;
    // The mark takes the value if it is larger, as a post of that value would make it: a
    // table built aside goes on with the numbers of the table it will replace.
    void raiseAutoIncrementMark(int64_t value);

    // Exchanges the records (with cursor, sorted flag, bookmark counter and the larger
    // auto-increment mark) of two open tables of the same fields, so that a document is
    // read into a fresh table and swapped in only once it read cleanly. The attached
    // sources, fields, settings and events stay with each table.
    void swapContents(MemTable& other);

private:
    friend class Field;
    friend class RecordAppender;
    struct Impl;
    std::string name_;
    std::vector<std::unique_ptr<Field>> fields_;
    std::unique_ptr<Impl> impl_;
};

} // namespace tamisko
