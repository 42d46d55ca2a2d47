#pragma once
// Opening a port on a device, as start-up and both ends of the setup dialog
// do it: inputs drop active sensing (FEh) before it reaches the console.

#include "midi/MidiPort.h"

namespace kalvant {

inline bool openInput(midi::MidiInput& in, int device) {
  in.selectDevice(device);
  in.setFilter(254, true);
  return in.open() && in.start();
}

inline bool openOutput(midi::MidiOutput& out, int device) {
  out.selectDevice(device);
  return out.open() && out.start();
}

}  // namespace kalvant
