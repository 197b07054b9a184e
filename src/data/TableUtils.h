#pragma once

#include "data/Variant.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tamisko {

class DataSource;
class MemTable;
struct RegionalSettings;

// Sets FieldName to NewValue in every record whose value equals OldValue (variant
// equality: bytes for texts, values for numbers, null only equals null), posting each.
void ReplaceFieldValues(MemTable& table, std::string_view fieldName, const Variant& oldValue,
                        const Variant& newValue);

// Detaches the controls of the sources for bulk work, dropping pending edits, and
// remembers each table's record number. One process-wide set: calls do not nest, and
// suspending again replaces the set.
void SuspendViews(std::initializer_list<DataSource*> sources);
// Reattaches the remembered sources on their remembered record numbers.
void ResumeViews();

// SuspendViews for the life of a scope: ResumeViews on every way out of it.
class ViewsSuspended final
{
public:
    explicit ViewsSuspended(std::initializer_list<DataSource*> sources) { SuspendViews(sources); }
    ~ViewsSuspended() { ResumeViews(); }
    ViewsSuspended(const ViewsSuspended&) = delete;
    ViewsSuspended& operator=(const ViewsSuspended&) = delete;
};

// One data source disabled for the life of a scope, enabled again however it ends.
class SourceDisabled final
{
public:
    explicit SourceDisabled(DataSource& source);
    ~SourceDisabled();
    SourceDisabled(const SourceDisabled&) = delete;
    SourceDisabled& operator=(const SourceDisabled&) = delete;

private:
    DataSource& source_;
};

// Drops a pending edit or insert of each open table; never posts.
void CancelPending(std::initializer_list<MemTable*> tables);

// The file name of a path without folder and extension ("C:\Data\a.b.tmk" -> "a.b").
std::string FileNameWithoutExt(std::string_view path);

// The text of a table as the export and the clipboard carry it: a header of the display
// names of the visible fields and one line per record, TAB separated, CR LF ended, as
// cp1253 bytes. Nothing when the table has no records. The cursor ends at the end.
enum class TableTextForm
{
    Export,    // the values' texts in the regional settings
    Clipboard, // the fields' plain text forms
};
std::optional<std::string> TableText(MemTable& table, const RegionalSettings& settings,
                                     TableTextForm form);

// Writes the export text to a file, converted to UTF-8, replacing the file. False, and
// no file created or changed, when the table has no records; an Error when writing fails.
bool ExportTableToTextFile(MemTable& table, const std::string& fileName,
                           const RegionalSettings& settings);

} // namespace tamisko
