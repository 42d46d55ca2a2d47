#pragma once
// Memory files (".sqs") and "fixed.fix": 126 text lines ended by CR LF.
// Line 1 the DAT file name the memories were made with, lines 2..6 the
// temperament, tremolo value, tremolo controller, reverb and label mode,
// then twelve records of ten numbers in Registration order.

#include <cstdint>
#include <string>
#include <vector>

#include "common/ReadResult.h"
#include "registration/Registration.h"

namespace kalvant {

inline constexpr int kMemoriesPerFile = 12;

struct MemoryFileData {
  std::string datFileName;  // line 1, read up to the first comma
  std::int16_t temperament = 0;
  std::int16_t tremoloValue = 100;
  std::int16_t tremoloController = 0;
  std::int16_t reverbType = 0;
  std::int16_t memoryLabelMode = 1;
  std::vector<Registration> records;  // at most kMemoriesPerFile
};

// ok: header read and every present record whole; data keeps the records
// read before any failure.
struct MemoryFileReadResult : ReadResult<MemoryFileData> {
  std::string ignored;  // names the first line with text after the twelfth record
};

// Reads the header and then whole records until the end of the file or the
// twelfth record; lines after the twelfth record are ignored. A line that
// holds no number fails the read at that line.
MemoryFileReadResult parseMemoryFile(const std::string& bytes, const std::string& pathForMessages);
MemoryFileReadResult readMemoryFile(const std::string& path);

// Exactly 126 lines: missing records are written as the initial registration.
std::string serialiseMemoryFile(const MemoryFileData& data);
bool writeMemoryFile(const std::string& path, const MemoryFileData& data, std::string& error);

}  // namespace kalvant
