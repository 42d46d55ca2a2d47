#pragma once
// The fixed memories ("fixed.fix") from their readable source: a [file]
// section for the header and [memory 1] .. [memory 12], each naming its
// stops by table index.

#include <string>

#include "registration/MemoryFileFormat.h"
#include "stops/StopsTable.h"

namespace kalvant::mkdata {

// Throws SourceError (file and line) for a memory that the console could
// not play: a stop outside its division or not defined in `table`, a value
// out of range, a missing or repeated memory.
MemoryFileData parseFixedMemories(const std::string& bytes, const std::string& path,
                                  const StopsTable& table);

}  // namespace kalvant::mkdata
