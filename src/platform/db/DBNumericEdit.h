#pragma once

#include "platform/db/LineEditBinding.h"
#include "platform/db/NumericEdit.h"

namespace tamisko {

// A number field of the current record, typed with the edit's fixed decimals.
class DBNumericEdit : public BoundLineEdit<NumericEdit>
{
    Q_OBJECT

public:
    explicit DBNumericEdit(QWidget* parent = nullptr);

protected:
    void decimalsChanged() override { binding().refresh(); }
};

} // namespace tamisko
