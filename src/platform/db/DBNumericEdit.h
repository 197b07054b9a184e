#pragma once

#include "platform/db/LineEditBinding.h"
#include "platform/db/NumericEdit.h"

namespace tamisko {

// A number field of the current record, typed with the edit's fixed decimals.
class DBNumericEdit : public NumericEdit
{
    Q_OBJECT

public:
    explicit DBNumericEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { binding_.link().setDataSource(source); }
    DataSource* dataSource() const { return binding_.link().dataSource(); }
    void setDataField(const std::string& name) { binding_.link().setFieldName(name); }
    Field* field() const { return binding_.link().field(); }
    FieldDataLink& dataLink() { return binding_.link(); }

signals:
    void entered();
    void exited();

protected:
    void decimalsChanged() override { binding_.refresh(); }
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    LineEditBinding binding_;
};

} // namespace tamisko
