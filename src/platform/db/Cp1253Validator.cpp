#include "platform/db/Cp1253Validator.h"

#include "platform/Text.h"

namespace tamisko {

QValidator::State Cp1253Validator::validate(QString& input, int&) const
{
    return fitsCp1253(input) ? Acceptable : Invalid;
}

} // namespace tamisko
