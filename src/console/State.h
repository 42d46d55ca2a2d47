#pragma once
// The console's program-wide state: settings kept in the configuration file
// and the flags of the console.
// Every handler reads and writes it on the one GUI thread.

#include <array>
#include <cstdint>
#include <string>

#include "common/Settings.h"

namespace kalvant {

struct ConsoleState {
  Settings settings;

  // Flags of the console, named after the procedures that own them.

  // Paths built at start-up from the program directory.
  std::string CfgPath;
};

}  // namespace kalvant
