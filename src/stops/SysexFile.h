#pragma once
// A sysex file taken whole into one entry of the stops table: the rules the
// editor's import and kalvant-table share.

#include <cstddef>
#include <string>

namespace kalvant {

inline constexpr const char* kSysexExtension = ".syx";

// The longest file an entry takes: older DAT tools count entry bytes in a
// signed 16-bit number that must also reach one past the last byte.
inline constexpr std::size_t kMaxSysexFile = 32766;

// The editor imports into the entry of its selected field, 0..115. Fields
// 113..115 name the divisions, and saving writes entries 114 and 115 back
// from the names of stops 10 and 11, so only entries 0..113 keep a file.
inline constexpr int kLastSysexFileEntry = 113;

// Reads the whole file, the entry's new bytes. On failure returns false and
// sets error to a sentence naming the file and why: it cannot be read, or
// it holds more than kMaxSysexFile bytes (the text then gives its size).
bool readSysexFile(const std::string& path, std::string& bytes, std::string& error);

}  // namespace kalvant
