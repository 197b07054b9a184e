#pragma once

#include "platform/db/LineEditBinding.h"

#include <QLineEdit>

namespace tamisko {

// A text field of the current record; holds at most the field's size in characters
// and only characters of the Greek code page.
class DBTextEdit : public BoundLineEdit<QLineEdit>
{
    Q_OBJECT

public:
    explicit DBTextEdit(QWidget* parent = nullptr);
};

} // namespace tamisko
