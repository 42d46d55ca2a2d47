#include "stops/DatFile.h"

#include "common/FileIo.h"

namespace kalvant {

DatReadResult parseDat(const std::string& bytes, const std::string& path) {
  DatReadResult result;
  std::size_t pos = 0;
  for (int i = 0; i < kStopsTableSize; ++i) {
    if (pos + 2 > bytes.size()) {
      result.error = recordError(path, i, pos, "the file ends before it");
      return result;
    }
    const std::size_t start = pos;
    const std::size_t length =
        static_cast<unsigned char>(bytes[pos]) |
        (static_cast<std::size_t>(static_cast<unsigned char>(bytes[pos + 1])) << 8);
    pos += 2;
    if (pos + length > bytes.size()) {
      result.error =
          recordError(path, i, start,
                      "it claims " + std::to_string(length) + " bytes but the file ends after " +
                          std::to_string(bytes.size() - pos));
      return result;
    }
    result.data[i].assign(bytes, pos, length);
    pos += length;
  }
  result.ok = true;
  return result;
}

DatReadResult readDatFile(const std::string& path) {
  std::string bytes;
  DatReadResult result;
  if (!readWholeFile(path, bytes, result.error)) return result;
  return parseDat(bytes, path);
}

bool serialiseDat(const StopsTable& table, std::string& bytes, std::string& error) {
  bytes.clear();
  for (int i = 0; i < kStopsTableSize; ++i) {
    const std::string& e = table[i];
    if (e.size() > kMaxEntryLength) {
      error = "entry " + std::to_string(i) + " is " + std::to_string(e.size()) +
              " bytes long; a stops table entry holds at most " + std::to_string(kMaxEntryLength);
      return false;
    }
    bytes.push_back(static_cast<char>(e.size() & 0xFF));
    bytes.push_back(static_cast<char>((e.size() >> 8) & 0xFF));
    bytes += e;
  }
  return true;
}

bool writeDatFile(const std::string& path, const StopsTable& table, std::string& error) {
  std::string bytes;
  if (!serialiseDat(table, bytes, error)) {
    error = "cannot write \"" + path + "\": " + error;
    return false;
  }
  return replaceFileAtomically(path, bytes, error);
}

}  // namespace kalvant
