#include "platform/db/DBNumericEdit.h"

#include "platform/db/FieldText.h"

namespace tamisko {

DBNumericEdit::DBNumericEdit(QWidget* parent)
    : BoundLineEdit(
          [this](const Field& field) {
              return field.isNull() ? QString() : textOf(field.asFloat());
          },
          &db::parseText, parent)
{
    binding().refresh();
}

} // namespace tamisko
