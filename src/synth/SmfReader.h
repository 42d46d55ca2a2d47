#pragma once
// A small Standard MIDI File reader: format 0 and 1, running status, tempo
// changes, sysex events. Enough to play a file through the built-in module.

#include <cstdint>
#include <string>
#include <vector>

#include "common/ReadResult.h"

namespace kalvant::synth {

using kalvant::ReadResult;

struct TimedMessage {
  double seconds = 0;                 // from the start of the file
  std::vector<std::uint8_t> message;  // one complete MIDI message
};

// data: the messages in playing order.
using SmfReadResult = ReadResult<std::vector<TimedMessage>>;

SmfReadResult parseSmf(const std::string& bytes);
SmfReadResult readSmfFile(const std::string& path);

}  // namespace kalvant::synth
