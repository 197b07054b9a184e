#include "platform/db/DBTextEdit.h"

#include "platform/db/Cp1253Validator.h"
#include "platform/db/FieldText.h"
#include "platform/Text.h"

namespace tamisko {

DBTextEdit::DBTextEdit(QWidget* parent)
    : BoundLineEdit([](const Field& field) { return toQString(field.asString()); }, &db::parseText,
                    parent)
{
    setValidator(new Cp1253Validator(this));
    binding().setOnAttach([this](const Field& field) {
        setMaxLength(field.def().size > 0 ? field.def().size : 32767);
    });
    binding().refresh();
}

} // namespace tamisko
