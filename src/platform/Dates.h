#pragma once

#include <QDate>

// Day numbers (day 0 = 30 December 1899) as the widgets' dates.
namespace tamisko {

QDate toQDate(double dayNumber);
double toDayNumber(const QDate& date);

} // namespace tamisko
