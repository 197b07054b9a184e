#pragma once

#include <QValidator>

namespace tamisko {

// Accepts only text that the Greek code page can store, as documents hold it.
class Cp1253Validator final : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

} // namespace tamisko
