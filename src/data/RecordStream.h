#pragma once

#include "data/Variant.h"

#include <span>
#include <string>
#include <vector>

namespace tamisko {

class ByteStream;
class MemTable;

// The typed value row: per value one type byte (the variant type code; 256 -> 18,
// 4095 -> 19, 8192 -> 20, 16384 -> 21, other codes their low 8 bits) and its bytes,
// little-endian. Texts of more than 65535 bytes cannot be stored and raise an Error.
void WriteValueRow(ByteStream& stream, std::span<const Variant> values);

// Reads values.size() values. Reading is strict: a stream that ends inside a value and
// a type byte that no writer of documents produces (9, 10, 12 to 16, 19 and above)
// raise an Error instead of yielding made-up values.
void ReadValueRow(ByteStream& stream, std::span<Variant> values);

// The record block: a 32-bit signed record count, then one value row per record in the
// table's current order with the named fields in list order. Nothing is written when
// the table is not open. A pending edit or insert is dropped first.
void WriteTableRecords(ByteStream& stream, MemTable& table,
                       const std::vector<std::string>& fieldNames);
// The same block of the table's posted records, appended at the stream's end, leaving a
// pending edit or insert, the cursor and the views alone: for a copy taken while the user
// may be typing.
void WriteTableSnapshot(ByteStream& stream, MemTable& table,
                        const std::vector<std::string>& fieldNames);

// Reads one record block and appends its records to the table; a count of zero or less
// reads as no records. Every value must fit its field (its type, the field's size, the
// cp1253 code page, a whole day in years 1 to 9999 for dates, a value for required
// fields); the first that does not raises an Error. Records posted before stay; the
// record being filled is dropped.
void ReadTableRecords(ByteStream& stream, MemTable& table,
                      const std::vector<std::string>& fieldNames);

} // namespace tamisko
