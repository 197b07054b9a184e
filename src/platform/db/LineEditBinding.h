#pragma once

#include "platform/db/FieldDataLink.h"

#include <functional>
#include <QObject>
#include <QString>

class QFocusEvent;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace tamisko {

// Binds a line edit to one field: shows the field, starts editing on the first change,
// writes the text back when the focus leaves (refusing to leave while the field does
// not accept it) or when the table posts. Signals when the user enters and leaves the
// edit; switching to another top-level window or opening a popup is neither.
class LineEditBinding final : public QObject
{
    Q_OBJECT

public:
    using TextOfField = std::function<QString(const Field&)>;
    // Throws tamisko::Error with the user's message when the text is not a value.
    using ValueOfText = std::function<Variant(const Field&, const QString&)>;

    LineEditBinding(QLineEdit& edit, TextOfField textOf, ValueOfText valueOf);

    FieldDataLink& link() { return link_; }
    const FieldDataLink& link() const { return link_; }
    // Called with the field whenever it is (re)attached, to size and restrict the edit.
    void setOnAttach(std::function<void(const Field&)> onAttach)
    {
        onAttach_ = std::move(onAttach);
    }

    // Shows the field's current value again.
    void refresh();

    // The edit's event handlers forward here, after the edit's own handling.
    void focusIn(const QFocusEvent& event);
    void focusOut(const QFocusEvent& event);
    // Esc drops the pending text; true when the key was used.
    bool keyPress(const QKeyEvent& event);

signals:
    void entered();
    void exited();

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

// A line edit of the kind Edit bound to one field of a data source through its
// LineEditBinding. A template adds no meta-object, so the concrete edits derive from it
// and keep their Q_OBJECT.
template<typename Edit> class BoundLineEdit : public Edit
{
public:
    BoundLineEdit(LineEditBinding::TextOfField textOf, LineEditBinding::ValueOfText valueOf,
                  QWidget* parent)
        : Edit(parent), binding_(*this, std::move(textOf), std::move(valueOf))
    {}

    void setDataSource(DataSource* source) { binding_.link().setDataSource(source); }
    DataSource* dataSource() const { return binding_.link().dataSource(); }
    void setDataField(const std::string& name) { binding_.link().setFieldName(name); }
    Field* field() const { return binding_.link().field(); }
    FieldDataLink& dataLink() { return binding_.link(); }
    // Its entered and exited signals tell when the user enters and leaves the edit.
    LineEditBinding& binding() { return binding_; }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        Edit::focusInEvent(event);
        binding_.focusIn(*event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        Edit::focusOutEvent(event);
        binding_.focusOut(*event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!binding_.keyPress(*event))
            Edit::keyPressEvent(event);
    }

private:
    LineEditBinding binding_;
};

} // namespace tamisko
