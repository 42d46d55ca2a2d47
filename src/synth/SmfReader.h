#pragma once
// A small Standard MIDI File reader: format 0 and 1, running status, tempo
// changes, sysex events. Enough to play a file through the built-in module.

#include <cstdint>
#include <string>
#include <vector>

namespace kalvant::synth {

struct TimedMessage {
  double seconds = 0;                 // from the start of the file
  std::vector<std::uint8_t> message;  // one complete MIDI message
};

struct SmfReadResult {
  bool ok = false;
  std::vector<TimedMessage> messages;  // in playing order
  std::string error;
};

SmfReadResult parseSmf(const std::string& bytes);
SmfReadResult readSmfFile(const std::string& path);

}  // namespace kalvant::synth
