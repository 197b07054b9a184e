#include "platform/db/DBTextEdit.h"

#include "platform/db/Cp1253Validator.h"
#include "platform/db/FieldText.h"
#include "platform/Text.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace tamisko {

DBTextEdit::DBTextEdit(QWidget* parent)
    : QLineEdit(parent),
      binding_(
          *this, [](const Field& field) { return toQString(field.asString()); }, &db::parseText)
{
    setValidator(new Cp1253Validator(this));
    binding_.setOnAttach([this](const Field& field) {
        setMaxLength(field.def().size > 0 ? field.def().size : 32767);
    });
    binding_.refresh();
}

void DBTextEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (binding_.focusIn(*event))
        emit entered();
}

void DBTextEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (binding_.focusOut(*event))
        emit exited();
}

void DBTextEdit::keyPressEvent(QKeyEvent* event)
{
    if (!binding_.keyPress(*event))
        QLineEdit::keyPressEvent(event);
}

} // namespace tamisko
