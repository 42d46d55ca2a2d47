#pragma once
// What the MIDI device setup dialog shows: three device lists ending with
// "No device", the two delays, and the built-in synthesizer's choices.

#include <string>
#include <vector>

namespace kalvant::ports {

// The built-in synthesizer's box: a copy of its settings that only OK saves.
struct SynthView {
  bool available = false;  // the output list offers the built-in synthesizer
  std::vector<std::string> audioDrivers;
  int driverSelected = -1;
  std::string soundfontShown;  // the file the choice loads
  bool operator==(const SynthView&) const = default;
};

struct SetupView {
  bool visible = false;
  std::vector<std::string> input1Devices, input2Devices, outputDevices;
  int input1Selected = -1, input2Selected = -1, outputSelected = -1;
  int sysexDelaySlider = 0;  // milliseconds, 0..100
  int noteDelaySlider = 0;   // microseconds between output messages, 0..500
  std::string sysexDelayText, noteDelayText;
  SynthView synth;
  bool operator==(const SetupView&) const = default;
};

}  // namespace kalvant::ports
