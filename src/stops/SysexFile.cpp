#include "stops/SysexFile.h"

#include <filesystem>

#include "common/FileIo.h"
#include "common/ReadResult.h"

namespace kalvant {

namespace {

std::string tooLong(const std::string& path, std::uintmax_t size) {
  return quotedPath(path) + " holds " + std::to_string(size) +
         " bytes; a stops table entry takes at most " + std::to_string(kMaxSysexFile) + " bytes";
}

}  // namespace

bool readSysexFile(const std::string& path, std::string& bytes, std::string& error) {
  // A huge file is refused before it is read. A size the file system cannot
  // give (a folder, a FIFO) is left to the reader, which says why.
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxSysexFile) {
    error = tooLong(path, size);
    return false;
  }
  std::string read;
  if (!readWholeFile(path, read, error)) return false;
  if (read.size() > kMaxSysexFile) {
    error = tooLong(path, read.size()) + " (it grew while it was read)";
    return false;
  }
  bytes = std::move(read);
  return true;
}

}  // namespace kalvant
