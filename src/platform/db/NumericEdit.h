#pragma once

#include "platform/db/DropDownEdit.h"

#include <optional>

class QRegularExpressionValidator;

namespace tamisko {

// A number with a fixed most number of decimals and a calculator drop-down. Keys that
// would make the text something other than a number of that form are refused with a
// beep: with 0 decimals the separator goes in but no digit after it, with 2 no third.
// Both '.' and ',' type the regional decimal separator.
class NumericEdit : public DropDownEdit
{
    Q_OBJECT

public:
    explicit NumericEdit(QWidget* parent = nullptr);

    int decimals() const { return decimals_; }
    void setDecimals(int decimals);

    // The number the text reads as; nothing when empty or unreadable.
    std::optional<double> value() const;
    void setValue(std::optional<double> value);
    // The text of a value: with the edit's decimals, or more when the value has them.
    QString textOf(double value) const;

protected:
    // The text shows the value anew with the new decimals.
    virtual void decimalsChanged() {}
    void keyPressEvent(QKeyEvent* event) override;
    void openDropDown() override;

private:
    void updateValidator();

    QRegularExpressionValidator* const validator_;
    int decimals_ = 2;
};

} // namespace tamisko
