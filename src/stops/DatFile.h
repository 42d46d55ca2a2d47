#pragma once
// The DAT file: the 231 entries of the stops table in index order, each a
// 16-bit little-endian length followed by that many bytes. No header, no
// padding; bytes after the 231st record are ignored.

#include <string>

#include "common/ReadResult.h"
#include "stops/StopsTable.h"

namespace kalvant {

// The longest entry a record can hold: the length is read back as a signed
// 16-bit number by older tools.
inline constexpr std::size_t kMaxEntryLength = 32767;

// data is filled only when ok; error names the file and the record.
using DatReadResult = ReadResult<StopsTable>;

// Reads the whole file, then parses it; a file that ends inside any of the
// 231 records fails as a whole.
DatReadResult readDatFile(const std::string& path);
DatReadResult parseDat(const std::string& bytes, const std::string& pathForMessages);

// Serialises the table; fails (returns false, error set) when an entry is
// longer than kMaxEntryLength.
bool serialiseDat(const StopsTable& table, std::string& bytes, std::string& error);

// Writes through a temporary file in the same directory and renames it over
// the old one, so a full disk or a crash never leaves a half-written table.
bool writeDatFile(const std::string& path, const StopsTable& table, std::string& error);

}  // namespace kalvant
