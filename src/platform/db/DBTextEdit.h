#pragma once

#include "platform/db/LineEditBinding.h"

#include <QLineEdit>

namespace tamisko {

// A text field of the current record; holds at most the field's size in characters
// and only characters of the Greek code page.
class DBTextEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit DBTextEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { binding_.link().setDataSource(source); }
    DataSource* dataSource() const { return binding_.link().dataSource(); }
    void setDataField(const std::string& name) { binding_.link().setFieldName(name); }
    Field* field() const { return binding_.link().field(); }
    FieldDataLink& dataLink() { return binding_.link(); }

signals:
    void entered();
    void exited();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    LineEditBinding binding_;
};

} // namespace tamisko
