#include "platform/db/DBDateEdit.h"

#include "platform/db/FieldText.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace tamisko {

DBDateEdit::DBDateEdit(QWidget* parent)
    : DateEdit(parent),
      binding_(
          *this, [](const Field& field) { return db::displayText(field, field.value()); },
          &db::parseText)
{
    binding_.refresh();
}

void DBDateEdit::focusInEvent(QFocusEvent* event)
{
    DateEdit::focusInEvent(event);
    if (binding_.focusIn(*event))
        emit entered();
}

void DBDateEdit::focusOutEvent(QFocusEvent* event)
{
    DateEdit::focusOutEvent(event);
    if (binding_.focusOut(*event))
        emit exited();
}

void DBDateEdit::keyPressEvent(QKeyEvent* event)
{
    if (!binding_.keyPress(*event))
        DateEdit::keyPressEvent(event);
}

} // namespace tamisko
