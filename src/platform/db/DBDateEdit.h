#pragma once

#include "platform/db/DateEdit.h"
#include "platform/db/LineEditBinding.h"

namespace tamisko {

// A date field of the current record. A text that is not a date is refused with a
// message when the focus leaves, and the focus stays.
class DBDateEdit : public DateEdit
{
    Q_OBJECT

public:
    explicit DBDateEdit(QWidget* parent = nullptr);

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
