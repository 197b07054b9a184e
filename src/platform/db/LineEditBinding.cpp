#include "platform/db/LineEditBinding.h"

#include "platform/db/DbMessages.h"
#include "platform/db/FocusChange.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace tamisko {

LineEditBinding::LineEditBinding(QLineEdit& edit, TextOfField textOf, ValueOfText valueOf)
    : edit_(edit), textOf_(std::move(textOf)), valueOf_(std::move(valueOf))
{
    link_.onDataChange = [this] {
        refresh();
    };
    link_.onActiveChange = [this] {
        refresh();
    };
    link_.onUpdateData = [this] {
        writeField();
    };
    QObject::connect(&edit_, &QLineEdit::textEdited, &edit_, [this] { textEdited(); });
}

void LineEditBinding::refresh()
{
    const Field* const bound = link_.field();
    if (bound && bound != attached_ && onAttach_)
        onAttach_(*bound);
    attached_ = bound;
    edit_.setReadOnly(!link_.canModify());
    const QString text = bound ? textOf_(*bound) : QString();
    if (edit_.text() != text)
        edit_.setText(text);
}

void LineEditBinding::textEdited()
{
    if (!link_.editing()) {
        // Entering edit state shows the record afresh; keep what was typed.
        const QString typed = edit_.text();
        const int cursor = edit_.cursorPosition();
        if (!link_.edit()) {
            refresh();
            QApplication::beep();
            return;
        }
        edit_.setText(typed);
        edit_.setCursorPosition(cursor);
    }
    link_.modified();
}

void LineEditBinding::writeField()
{
    Field* const bound = link_.field();
    if (bound)
        bound->setValue(valueOf_(*bound, edit_.text()));
}

void LineEditBinding::focusIn(const QFocusEvent&)
{
    if (inside_)
        return;
    inside_ = true;
    emit entered();
}

void LineEditBinding::focusOut(const QFocusEvent& event)
{
    if (!inside_ || !leavesControl(edit_, event))
        return;
    try {
        link_.updateRecord();
    } catch (const std::exception& error) {
        // The focus stays here until the text is put right or dropped with Esc.
        edit_.setFocus(Qt::OtherFocusReason);
        edit_.selectAll();
        db::reportError(error);
        return;
    }
    inside_ = false;
    emit exited();
}

bool LineEditBinding::keyPress(const QKeyEvent& event)
{
    if (event.key() != Qt::Key_Escape || !link_.isModified())
        return false;
    link_.reset();
    edit_.selectAll();
    return true;
}

} // namespace tamisko
