#pragma once

#include <cstdint>
#include <vector>

namespace tamisko {

class DataMod;

// The bytes a save of the document would write now (encrypted under its password when it
// has one), taken without ending a pending edit or insert and without moving a cursor,
// so that a copy can be made while the user types.
std::vector<uint8_t> DocumentSnapshot(DataMod& data);

} // namespace tamisko
