#pragma once
// kalvant's command line: where the program directory is and which MIDI
// system to use.

#include <optional>
#include <string>
#include <vector>

#include "midi/RtMidiBackend.h"

namespace kalvant::app {

struct CommandLine {
  std::string dataDir;               // "" = the executable's directory
  std::optional<midi::Api> midiApi;  // none given = detect
  bool help = false;
  bool version = false;
  bool monitor = false;  // opens the MIDI monitor at start
  std::string error;     // set when the arguments are wrong
};

CommandLine parseCommandLine(const std::vector<std::string>& args);  // args without argv[0]
std::string usage();

}  // namespace kalvant::app
