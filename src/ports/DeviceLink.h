#pragma once
// One port's device, kept by its name: opened when it is there, waited for
// while it is not, let go when it goes away, followed when it is renamed.
// Positions in a device list change whenever another device comes or goes;
// names do not.

#include <string>
#include <vector>

#include "midi/MidiPort.h"

namespace kalvant::ports {

// The position of the `occurrence`-th device called `name` (0: the first),
// or -1. Two identical keyboards have the same name: the first input takes
// the first, the second input the next.
int findDevice(const std::vector<std::string>& list, const std::string& name, int occurrence);

class DeviceLink {
 public:
  enum class Change { None, Connected, Lost, Renamed };

  // `input` is the same port as an input (it drops active sensing), or null.
  DeviceLink(midi::MidiPort& port, midi::MidiInput* input) : port_(port), input_(input) {}

  midi::MidiPort& port() { return port_; }
  // The device wanted, "" for none.
  const std::string& wanted() const { return wanted_; }
  void want(std::string name) { wanted_ = std::move(name); }
  bool connected() const { return connected_; }
  // Opens the wanted device when `list` holds it; false when it does not
  // (or would not open): it is then waited for.
  bool open(const std::vector<std::string>& list, int occurrence);
  void close();
  // Looks again: a connection that went away is let go (the port closed), a
  // renamed device is followed, a wanted device that came is opened.
  Change watch(const std::vector<std::string>& list, int occurrence);

 private:
  midi::MidiPort& port_;
  midi::MidiInput* input_;
  std::string wanted_;
  bool connected_ = false;
};

}  // namespace kalvant::ports
