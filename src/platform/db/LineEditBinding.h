#pragma once

#include "platform/db/FieldDataLink.h"

#include <functional>
#include <QString>

class QFocusEvent;
class QKeyEvent;
class QLineEdit;

namespace tamisko {

// Binds a line edit to one field: shows the field, starts editing on the first change,
// writes the text back when the focus leaves (refusing to leave while the field does
// not accept it) or when the table posts.
class LineEditBinding
{
public:
    using TextOfField = std::function<QString(const Field&)>;
    // Throws tamisko::Error with the user's message when the text is not a value.
    using ValueOfText = std::function<Variant(const Field&, const QString&)>;

    LineEditBinding(QLineEdit& edit, TextOfField textOf, ValueOfText valueOf);
    LineEditBinding(const LineEditBinding&) = delete;
    LineEditBinding& operator=(const LineEditBinding&) = delete;

    FieldDataLink& link() { return link_; }
    const FieldDataLink& link() const { return link_; }
    // Called with the field whenever it is (re)attached, to size and restrict the edit.
    void setOnAttach(std::function<void(const Field&)> onAttach)
    {
        onAttach_ = std::move(onAttach);
    }

    // Shows the field's current value again.
    void refresh();

    // The edit's event handlers forward here. focusIn is true when the focus came in
    // from elsewhere (the control's enter event), focusOut when it left for good.
    bool focusIn(const QFocusEvent& event);
    bool focusOut(const QFocusEvent& event);
    // Esc drops the pending text; true when the key was used.
    bool keyPress(const QKeyEvent& event);

private:
    void textEdited();
    void writeField();

    QLineEdit& edit_;
    TextOfField textOf_;
    ValueOfText valueOf_;
    std::function<void(const Field&)> onAttach_;
    FieldDataLink link_;
    const Field* attached_ = nullptr;
    bool inside_ = false;
};

} // namespace tamisko
