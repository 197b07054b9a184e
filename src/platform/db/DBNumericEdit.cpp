#include "platform/db/DBNumericEdit.h"

#include "platform/db/FieldText.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace tamisko {

DBNumericEdit::DBNumericEdit(QWidget* parent)
    : NumericEdit(parent), binding_(
                               *this,
                               [this](const Field& field) {
                                   return field.isNull() ? QString() : textOf(field.asFloat());
                               },
                               &db::parseText)
{
    binding_.refresh();
}

void DBNumericEdit::focusInEvent(QFocusEvent* event)
{
    NumericEdit::focusInEvent(event);
    if (binding_.focusIn(*event))
        emit entered();
}

void DBNumericEdit::focusOutEvent(QFocusEvent* event)
{
    NumericEdit::focusOutEvent(event);
    if (binding_.focusOut(*event))
        emit exited();
}

void DBNumericEdit::keyPressEvent(QKeyEvent* event)
{
    if (!binding_.keyPress(*event))
        NumericEdit::keyPressEvent(event);
}

} // namespace tamisko
