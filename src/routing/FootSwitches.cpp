#include "routing/FootSwitches.h"

#include "common/FileIo.h"
#include "common/NumberLines.h"

namespace kalvant::routing {

namespace {

constexpr int kSostenuto = 66, kSoftPedal = 67;
constexpr std::string_view kKey = "footswitches";

}  // namespace

int FootSwitchPresses::step(int input, int controller, int value) {
  if (controller != kSostenuto && controller != kSoftPedal) return 0;
  bool& down = down_[static_cast<std::size_t>(input & 1)][controller == kSoftPedal ? 1 : 0];
  const bool wasDown = down;
  down = value >= 64;
  if (!down || wasDown) return 0;
  return controller == kSoftPedal ? 1 : -1;
}

bool readFootSwitchSetting(const std::string& path) {
  std::string bytes, error;
  if (nothingAt(path) || !readWholeFile(path, bytes, error)) return true;
  bool on = true;
  for (const auto& [key, value] : keyValueLines(bytes)) {
    if (key == kKey) on = value != "0";
  }
  return on;
}

bool writeFootSwitchSetting(const std::string& path, bool on, std::string& error) {
  return replaceFileAtomically(
      path, "# kalvant memory sequencer\nfootswitches=" + std::string(on ? "1" : "0") + "\n",
      error);
}

}  // namespace kalvant::routing
