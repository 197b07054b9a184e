#pragma once

#include "platform/db/DropDownEdit.h"

#include <optional>

namespace tamisko {

// A date typed in the regional short date format, with a calendar drop-down.
class DateEdit : public DropDownEdit
{
    Q_OBJECT

public:
    explicit DateEdit(QWidget* parent = nullptr);

    // The day number of the text; nothing when the text is not a valid date.
    std::optional<double> dayNumber() const;
    void setDayNumber(std::optional<double> dayNumber);

protected:
    void openDropDown() override;
};

} // namespace tamisko
