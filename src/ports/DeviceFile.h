#pragma once
// The MIDI devices by name, in a small text file beside KALVANT.CFG
// (KALVANT.CFG keeps only their positions in the device lists, which change
// whenever another device comes or goes). UTF-8, one "key=value" per line:
//
//   # kalvant MIDI devices, by name
//   input1=a2j:Keystation 61 [20] (capture): Keystation 61 MIDI 1
//   input2=
//   output=kalvant built-in synthesizer
//
// An empty value is "No device". A key that is absent was never recorded
// (the console then goes by KALVANT.CFG's position). Blank lines and lines
// starting with '#' are comments; unknown keys are left to newer versions.

#include <array>
#include <optional>
#include <string>

namespace kalvant::ports {

inline constexpr const char* kDeviceFileName = "kalvant-devices.conf";

// Input 1, input 2, output.
using DeviceNames = std::array<std::optional<std::string>, 3>;

struct DeviceFileRead {
  bool ok = false;  // false: error says which line and why; nothing recorded
  DeviceNames names;
  std::string error;
};

// A missing file reads as nothing recorded.
DeviceFileRead readDeviceFile(const std::string& path);
// Names that cannot be written on one line (a line break) are left out.
std::string serialiseDeviceFile(const DeviceNames& names);
bool writeDeviceFile(const std::string& path, const DeviceNames& names, std::string& error);

}  // namespace kalvant::ports
