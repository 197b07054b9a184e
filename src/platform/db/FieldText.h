#pragma once

#include "data/MemTable.h"
#include "data/RegionalSettings.h"

#include <QString>

// How the data-aware controls turn field values into text and typed text into values.
namespace tamisko::db {

// The settings every data-aware control formats with: the user's, unless replaced.
const RegionalSettings& formatSettings();
void setFormatSettings(RegionalSettings settings);

// A field's display label as text (labels are written in UTF-8 or cp1253).
QString fieldLabel(const Field& field);

// The text a grid cell or a control shows for a value of the field.
QString displayText(const Field& field, const Variant& value);
// The same with the given settings in place of formatSettings().
QString displayText(const Field& field, const Variant& value, const RegionalSettings& settings);

// The text offered for editing: like the display text, amounts without grouping.
QString editText(const Field& field, const Variant& value);

// The value typed for a field: empty text is null. Throws tamisko::Error with the
// message the user sees when the text does not read as the field's type.
Variant parseText(const Field& field, const QString& text);

// True for the field types that are shown right-aligned.
bool isNumeric(const Field& field);

} // namespace tamisko::db
