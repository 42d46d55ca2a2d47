#pragma once
// Small file helpers shared by the readers and writers of the console's files.

#include <string>

namespace kalvant {

// Reads a whole file as bytes. On failure returns false and sets error to a
// readable reason that names the file.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Replaces the file with the given bytes atomically: writes "<path>.new",
// flushes it to disk, then renames it over path. The old file stays intact
// when anything fails.
bool replaceFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace kalvant
