#include "data/TableUtils.h"

#include "data/ByteStream.h"
#include "data/Cp1253.h"
#include "data/DocumentFile.h"
#include "data/Format.h"
#include "data/MemTable.h"
#include "data/RecordBuffer.h"
#include "data/RegionalSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace tamisko {
namespace {

// The one saved set of SuspendViews.
struct SavedViews final
{
    std::vector<DataSource*> sources;
    std::vector<int32_t> recNos;
};

SavedViews& savedViews()
{
    static SavedViews views;
    return views;
}

std::string timeOfDay(double dayNumber)
{
    const double fraction = dayNumber - std::floor(dayNumber);
    const auto seconds = static_cast<long>(std::lround(fraction * 86400.0)) % 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

void appendFieldText(std::string& out, const Field& field, const RegionalSettings& settings,
                     TableTextForm form)
{
    if (field.isNull())
        return;
    const Variant value = field.value();
    if (value.isNullOrEmpty())
        return;
    switch (field.dataType()) {
    case FieldType::Float:
    case FieldType::Currency:
        appendGeneral(out, value.toDouble(), settings.decimalSeparator);
        return;
    case FieldType::Date:
    case FieldType::DateTime: {
        const double day = value.toDouble();
        out += formatDate(std::floor(day), settings);
        if (form == TableTextForm::Export && day != std::floor(day))
            out += " " + timeOfDay(day);
        return;
    }
    case FieldType::Time:
        out += timeOfDay(value.toDouble());
        return;
    default:
        out += value.toString();
        return;
    }
}

std::vector<const Field*> visibleFields(const MemTable& table)
{
    std::vector<const Field*> fields;
    for (int i = 0; i < table.fieldCount(); ++i) {
        if (table.field(i).visible())
            fields.push_back(&table.field(i));
    }
    return fields;
}

template<typename TextOf>
void appendLine(std::string& text, const std::vector<const Field*>& fields, TextOf appendText)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += '\t';
        appendText(*fields[i]);
    }
    text += "\r\n";
}

// The table's text (see TableText) handed to `take` in pieces of whole lines, each of
// about a megabyte: a writer need not hold the whole text at once.
void forEachTextPiece(MemTable& table, const RegionalSettings& settings, TableTextForm form,
                      const std::function<void(std::string_view)>& take)
{
    constexpr size_t kPieceSize = size_t{1} << 20;
    const std::vector<const Field*> fields = visibleFields(table);
    std::string piece;
    piece.reserve(kPieceSize + 4096);
    appendLine(piece, fields, [&](const Field& field) { piece += field.displayName(); });
    for (table.first(); !table.eof(); table.next()) {
        appendLine(piece, fields,
                   [&](const Field& field) { appendFieldText(piece, field, settings, form); });
        if (piece.size() >= kPieceSize) {
            take(piece);
            piece.clear();
        }
    }
    take(piece);
}

// Whether a stored value equals `value` as Variant equality has it, for the cases a
// record can answer in place (a text field and a text, a whole-number field and a
// number); nothing for the others.
std::optional<std::function<bool(const RecordView&)>> inPlaceEquality(const Field& field,
                                                                      const Variant& value)
{
    const int index = field.index();
    if (field.dataType() == FieldType::String && value.isString()) {
        return [index, text = value.toString()](const RecordView& record) {
            return !record.isNull(index) && record.stringAt(index) == text;
        };
    }
    const FieldType type = field.dataType();
    const bool wholeNumber = type == FieldType::Integer || type == FieldType::SmallInt ||
                             type == FieldType::Word || type == FieldType::AutoInc;
    if (wholeNumber && value.isNumeric()) {
        return [index, number = value.toDouble()](const RecordView& record) {
            return !record.isNull(index) && static_cast<double>(record.intAt(index)) == number;
        };
    }
    return std::nullopt;
}

} // namespace

void ReplaceFieldValues(MemTable& table, std::string_view fieldName, const Variant& oldValue,
                        const Variant& newValue)
{
    if (!table.active())
        return;
    CancelPending({&table});
    Field& field = table.fieldByName(fieldName);
    const auto rewrite = [&] {
        table.edit();
        field.setValue(newValue);
        table.post();
    };
    const auto matches = inPlaceEquality(field, oldValue);
    // Without a filter and with records that stay where they are posted, the matching
    // rows are found by reading the records in place, and the cursor visits only them:
    // a rename touches a tenth of a million movements, not all of them.
    if (matches && !table.filtered() && !table.autoSort()) {
        std::vector<int> rows;
        int row = 0;
        table.forEachRecord([&](const RecordView& record) {
            if ((*matches)(record))
                rows.push_back(row);
            ++row;
        });
        for (const int match : rows) {
            table.setRecNo(match + 1);
            rewrite();
        }
        return;
    }
    for (table.first(); !table.eof(); table.next()) {
        if (field.value().equals(oldValue))
            rewrite();
    }
}

void SuspendViews(std::initializer_list<DataSource*> sources)
{
    SavedViews& views = savedViews();
    views.sources.assign(sources.begin(), sources.end());
    views.recNos.assign(sources.size(), 0);
    for (size_t i = 0; i < views.sources.size(); ++i) {
        DataSource* source = views.sources[i];
        MemTable* table = source->dataSet();
        if (table == nullptr)
            continue;
        CancelPending({table});
        if (table->active() && !table->isEmpty())
            views.recNos[i] = table->recNo();
        source->setEnabled(false);
    }
}

void ResumeViews()
{
    const SavedViews& views = savedViews();
    for (size_t i = 0; i < views.sources.size(); ++i) {
        DataSource* source = views.sources[i];
        MemTable* table = source->dataSet();
        if (table == nullptr)
            continue;
        source->setEnabled(true);
        if (table->active() && !table->isEmpty())
            table->setRecNo(views.recNos[i]);
    }
}

SourceDisabled::SourceDisabled(DataSource& source) : source_(source)
{
    source_.setEnabled(false);
}

SourceDisabled::~SourceDisabled()
{
    source_.setEnabled(true);
}

void CancelPending(std::initializer_list<MemTable*> tables)
{
    for (MemTable* table : tables) {
        if (table->active() &&
            (table->state() == DataSetState::Edit || table->state() == DataSetState::Insert))
            table->cancel();
    }
}

std::string FileNameWithoutExt(std::string_view path)
{
    const auto separator = path.find_last_of("/\\:");
    const std::string_view name =
        separator == std::string_view::npos ? path : path.substr(separator + 1);
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::optional<std::string> TableText(MemTable& table, const RegionalSettings& settings,
                                     TableTextForm form)
{
    if (!table.active() || table.isEmpty())
        return std::nullopt;
    std::string text;
    forEachTextPiece(table, settings, form, [&text](std::string_view piece) {
        if (text.capacity() - text.size() < piece.size()) // grown as append would, in huge pages
            reserveLarge(text, std::max(2 * text.capacity(), text.size() + piece.size()));
        text += piece;
    });
    return text;
}

bool ExportTableToTextFile(MemTable& table, const std::string& fileName,
                           const RegionalSettings& settings)
{
    if (!table.active() || table.isEmpty())
        return false;
    FileReplacement file(fileName);
    std::string utf8;
    forEachTextPiece(table, settings, TableTextForm::Export, [&](std::string_view piece) {
        cp1253::appendUtf8OrThrow(utf8, piece);
        file.write({reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size()});
        utf8.clear();
    });
    file.commit();
    return true;
}

} // namespace tamisko
