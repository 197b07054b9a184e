#include "platform/Dates.h"

#include <cmath>

namespace tamisko {
namespace {

const QDate kDayZero(1899, 12, 30);

} // namespace

QDate toQDate(double dayNumber)
{
    return kDayZero.addDays(static_cast<qint64>(std::floor(dayNumber)));
}

double toDayNumber(const QDate& date)
{
    return static_cast<double>(kDayZero.daysTo(date));
}

} // namespace tamisko
