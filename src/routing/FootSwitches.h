#pragma once
// The memory sequencer's foot switches: the soft pedal (controller 67)
// steps to the next memory, the sostenuto pedal (controller 66) to the
// previous one. A press is a value of 64 or more after a value below 64, of
// the same controller on the same input; every other value (a release, a
// pedal held down, a half pedal) is no step. The routing hands each value to
// the GUI thread in order (Command::FootSwitch), which counts the presses
// here.
//
// Whether the foot switches step at all is the organist's choice in Setup,
// kept in a small file beside KALVANT.CFG:
//
//   # kalvant memory sequencer
//   footswitches=1
//
// A missing file, or no such line, means on.

#include <array>
#include <string>

namespace kalvant::routing {

inline constexpr const char* kSequencerFileName = "kalvant-sequencer.conf";

class FootSwitchPresses {
 public:
  // +1 (next), -1 (previous) on a press, 0 otherwise.
  int step(int input, int controller, int value);

 private:
  // Per input, sostenuto and soft pedal: down since the last value.
  std::array<std::array<bool, 2>, 2> down_{};
};

// True unless the file says "footswitches=0"; an unreadable file counts as
// missing.
bool readFootSwitchSetting(const std::string& path);
bool writeFootSwitchSetting(const std::string& path, bool on, std::string& error);

}  // namespace kalvant::routing
