#include "platform/db/DBDateEdit.h"

#include "platform/db/FieldText.h"

namespace tamisko {

DBDateEdit::DBDateEdit(QWidget* parent)
    : BoundLineEdit([](const Field& field) { return db::displayText(field, field.value()); },
                    &db::parseText, parent)
{
    binding().refresh();
}

} // namespace tamisko
