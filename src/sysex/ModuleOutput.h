#pragma once
// What the console sends to the sound module, by meaning rather than by
// status byte. Messages passed through from a keyboard keep their own bytes
// (`forward`).

#include <string_view>

#include "common/OrganDivisions.h"
#include "midi/MidiPort.h"

namespace kalvant {

class ModuleOutput {
 public:
  explicit ModuleOutput(midi::MidiOutput& port) : port_(port) {}

  // Channels are 0-based.
  void noteOff(int channel, int key, int velocity) {
    port_.sendShort(0x80 | channel, key, velocity);
  }
  void controller(const OrganDivision& division, int number, int value) {
    port_.sendShort(division.controllerStatus(), number, value);
  }
  void allNotesOff(const OrganDivision& division) { controller(division, kAllNotesOff, 0); }
  void sysex(std::string_view bytes) { port_.sendSysex(bytes); }
  // A keyboard's message as routed: its status byte names kind and channel.
  void forward(int status, int data1, int data2) { port_.sendShort(status, data1, data2); }

  static constexpr int kModulation = 1;
  static constexpr int kExpression = 11;
  static constexpr int kAllNotesOff = 123;

 private:
  midi::MidiOutput& port_;
};

}  // namespace kalvant
