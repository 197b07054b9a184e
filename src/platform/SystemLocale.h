#pragma once

#include "data/RegionalSettings.h"

#include <QLocale>
#include <QString>

namespace tamisko {

// The regional settings of a locale as the core uses them. The C/POSIX locale gives the
// Greek defaults; years are always written with four digits.
RegionalSettings regionalSettingsFor(const QLocale& locale);

// The regional settings of the user (QLocale::system()).
RegionalSettings systemRegionalSettings();

// A Qt short date format in the core's tokens (d, dd, M, MM, yyyy, literals).
std::string shortDateFormatFor(const QString& qtFormat);

// A collation by QCollator for texts outside the Greek order.
std::shared_ptr<const Collation> collationFor(const QLocale& locale);

} // namespace tamisko
