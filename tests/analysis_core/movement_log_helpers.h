#pragma once

#include "data/MemTable.h"

#include <optional>
#include <string>

namespace tamisko::testing {

double day(int year, int month, int dayOfMonth);

// A movement log with the fields the analyses read (Category is stored text here, as the
// lookup leaves it), and a category table of one name.
class MovementLog
{
public:
    MovementLog();

    // Texts are UTF-8 here and stored as cp1253.
    void add(double date, const std::string& category, std::optional<double> receipt,
             std::optional<double> payment);

    MemTable log{"LogTable"};
    MemTable categories{"CatTable"};
};

} // namespace tamisko::testing
