#pragma once

#include "data/RecordBuffer.h"
#include "data/RegionalSettings.h"
#include "data/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
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

struct FieldDef
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
class Field
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
class DataSource
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
class MemTable
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

// A value in the form in which a field keeps it, for appending records without variants:
// an integer for integer, word, boolean, large-integer and auto-increment fields, a
// double for float, currency, date and time fields, a text (cp1253 bytes, copied) for
// string fields.
struct StoredValue
{
    enum class Kind : uint8_t
    {
        Null,
        Integer,
        Number,
        Text
    };

    static StoredValue null() { return {}; }
    static StoredValue ofInteger(int64_t value) { return {Kind::Integer, value, 0, {}}; }
    static StoredValue ofNumber(double value) { return {Kind::Number, 0, value, {}}; }
    static StoredValue ofText(std::string_view value) { return {Kind::Text, 0, 0, value}; }

    Kind kind = Kind::Null;
    int64_t integer = 0;
    double number = 0;
    std::string_view text{};
};

// Appends records as append, a write of each listed field in list order and post would,
// with the same table state afterwards (auto-increment values and mark, stored lookup
// values, bookmarks, AutoSort placement, cursor, AfterPost per record), but without
// building each record field by field and telling the views of every write: for reading
// documents. A failing record is not added and leaves the table as it was before it.
// While the appender lives, lookup values are computed once per distinct key, so the
// looked-up tables must not change meanwhile; with an AfterPost handler, which might
// change them, every record is looked up afresh.
class RecordAppender
{
public:
    RecordAppender(MemTable& table, std::vector<int> fields);
    ~RecordAppender();
    RecordAppender(const RecordAppender&) = delete;
    RecordAppender& operator=(const RecordAppender&) = delete;

    // values[i] is written to the i-th field; an empty or null value makes it null.
    void append(std::span<const Variant> values);
    // The same with values already in their fields' form: each is written as the variant
    // of its number or text would be (dates cut to the day, texts to the field's size,
    // integers checked against the field's range); a value of a form that the field does
    // not keep raises "Invalid value for field".
    void append(std::span<const StoredValue> values);
    // Makes room for that many more records at once, as a reader that knows their count
    // can tell.
    void reserve(size_t records);

private:
    struct State;
    RecordBuffer& beginRecord(size_t valueCount);
    const Field& writableField(size_t position) const;
    void write(RecordBuffer& record, const Field& field, const Variant& value);
    void write(RecordBuffer& record, const Field& field, const StoredValue& value);
    void finishRecord(RecordBuffer& record);
    MemTable& table_;
    std::unique_ptr<State> state_;
};

} // namespace tamisko
