#pragma once

#include "platform/db/DateEdit.h"
#include "platform/db/LineEditBinding.h"

namespace tamisko {

// A date field of the current record. A text that is not a date is refused with a
// message when the focus leaves, and the focus stays.
class DBDateEdit : public BoundLineEdit<DateEdit>
{
    Q_OBJECT

public:
    explicit DBDateEdit(QWidget* parent = nullptr);
};

} // namespace tamisko
