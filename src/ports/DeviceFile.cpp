#include "ports/DeviceFile.h"

#include "common/FileIo.h"
#include "common/NumberLines.h"

namespace kalvant::ports {

namespace {

constexpr const char* kKeys[] = {"input1", "input2", "output"};

int keyIndex(std::string_view key) {
  for (int i = 0; i < 3; ++i) {
    if (key == kKeys[i]) return i;
  }
  return -1;
}

bool oneLine(const std::string& name) {
  return name.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

DeviceFileRead readDeviceFile(const std::string& path) {
  DeviceFileRead r;
  if (nothingAt(path)) {
    r.ok = true;
    return r;
  }
  std::string bytes;
  if (!readWholeFile(path, bytes, r.error)) return r;
  const std::vector<std::string> lines = splitLines(bytes);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string_view line = lines[n];
    const std::string_view bare = trimBlanks(line);
    if (bare.empty() || bare.front() == '#') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      r.error = fileNameOf(path) + " line " + std::to_string(n + 1) + ": no '=' in \"" +
                std::string(bare) + "\"";
      r.names = {};
      return r;
    }
    const int key = keyIndex(trimBlanks(line.substr(0, equals)));
    if (key >= 0) r.names[static_cast<std::size_t>(key)] = std::string(line.substr(equals + 1));
  }
  r.ok = true;
  return r;
}

std::string serialiseDeviceFile(const DeviceNames& names) {
  std::string text = "# kalvant MIDI devices, by name\n";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] && oneLine(*names[i])) text += std::string(kKeys[i]) + "=" + *names[i] + "\n";
  }
  return text;
}

bool writeDeviceFile(const std::string& path, const DeviceNames& names, std::string& error) {
  return replaceFileAtomically(path, serialiseDeviceFile(names), error);
}

}  // namespace kalvant::ports
