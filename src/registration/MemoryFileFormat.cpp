#include "registration/MemoryFileFormat.h"

#include "common/FileIo.h"
#include "common/NumberLines.h"
#include "common/Text.h"

namespace kalvant {

namespace {

constexpr int kHeaderNumbers = 5;
constexpr int kValuesPerRecord = 10;
constexpr int kFirstRecordLine = 2 + kHeaderNumbers;  // 1-based line of the first record

std::string where(const std::string& path, std::size_t line) {
  return lineError(path, line, "");
}

}  // namespace

MemoryFileReadResult parseMemoryFile(const std::string& bytes, const std::string& path) {
  MemoryFileReadResult result;
  const std::vector<std::string> lines = splitLines(bytes);
  if (lines.size() < 1 + kHeaderNumbers) {
    result.error = where(path, lines.size() + 1) + "the file ends inside its header";
    return result;
  }
  // A file name: UTF-8 as written here, Windows-1252 from older files.
  result.data.datFileName = pathFromFileText(lines[0].substr(0, lines[0].find(',')));
  std::int16_t* header[kHeaderNumbers] = {&result.data.temperament, &result.data.tremoloValue,
                                          &result.data.tremoloController, &result.data.reverbType,
                                          &result.data.memoryLabelMode};
  for (int i = 0; i < kHeaderNumbers; ++i) {
    if (!parseNumberLine(lines[1 + i], *header[i])) {
      result.error = where(path, 2 + i) + "expected a number, found \"" + lines[1 + i] + "\"";
      return result;
    }
  }
  // Only whole records count, and never more than the twelve a file holds.
  std::size_t line = kFirstRecordLine - 1;  // 0-based index into lines
  while (result.data.records.size() < kMemoriesPerFile && line < lines.size()) {
    std::array<std::int16_t, kValuesPerRecord> values{};
    for (int v = 0; v < kValuesPerRecord; ++v, ++line) {
      if (line >= lines.size()) {
        result.error = where(path, line + 1) + "the file ends inside memory " +
                       std::to_string(result.data.records.size() + 1);
        return result;
      }
      if (!parseNumberLine(lines[line], values[v])) {
        result.error = where(path, line + 1) + "expected a number, found \"" + lines[line] + "\"";
        return result;
      }
    }
    result.data.records.push_back(Registration::fromValues(values));
  }
  for (std::size_t i = line; i < lines.size(); ++i) {
    if (lines[i].find_first_not_of(" \t") != std::string::npos) {
      result.ignored = where(path, i + 1) +
                       "the file holds more than twelve memories; the lines from " +
                       std::to_string(line + 1) + " on were not loaded.";
      break;
    }
  }
  result.ok = true;
  return result;
}

MemoryFileReadResult readMemoryFile(const std::string& path) {
  MemoryFileReadResult result;
  std::string bytes;
  if (!readWholeFile(path, bytes, result.error)) return result;
  return parseMemoryFile(bytes, path);
}

std::string serialiseMemoryFile(const MemoryFileData& data) {
  std::string out = data.datFileName + "\r\n";
  for (std::int16_t v : {data.temperament, data.tremoloValue, data.tremoloController,
                         data.reverbType, data.memoryLabelMode})
    out += formatNumberLine(v);
  for (int m = 0; m < kMemoriesPerFile; ++m) {
    const Registration& r =
        m < static_cast<int>(data.records.size()) ? data.records[m] : kInitialRegistration;
    for (std::int16_t v : r.values()) out += formatNumberLine(v);
  }
  return out;
}

bool writeMemoryFile(const std::string& path, const MemoryFileData& data, std::string& error) {
  return replaceFileAtomically(path, serialiseMemoryFile(data), error);
}

}  // namespace kalvant
