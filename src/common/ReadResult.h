#pragma once
// What every reader of the console's files returns, and the one form its
// error texts take, so that a message box always names the file and the
// place in it the same way:
//   "<path>" line N: reason                 a line-based file (.CFG, .sqs)
//   "<path>" record N (offset K): reason    the DAT file
//   cannot read "<path>": reason            the file layer (common/FileIo.h)
//   cannot write "<path>": reason

#include <cstddef>
#include <string>

namespace kalvant {

template <class T>
struct ReadResult {
  bool ok = false;
  T data{};           // what was read; how much of it on failure is the reader's to say
  std::string error;  // the whole sentence when not ok
};

inline std::string quotedPath(const std::string& path) {
  return "\"" + path + "\"";
}

inline std::string lineError(const std::string& path, std::size_t line, const std::string& reason) {
  return quotedPath(path) + " line " + std::to_string(line) + ": " + reason;
}

inline std::string recordError(const std::string& path, std::size_t record, std::size_t offset,
                               const std::string& reason) {
  return quotedPath(path) + " record " + std::to_string(record) + " (offset " +
         std::to_string(offset) + "): " + reason;
}

}  // namespace kalvant
