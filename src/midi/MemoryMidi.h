#pragma once
// In-memory MIDI back-end for tests: a fixed list of device names, every
// message sent recorded byte for byte, received messages injected by the test.

#include <string>
#include <vector>

#include "midi/MidiPort.h"

namespace kalvant::midi {

using Bytes = std::vector<std::uint8_t>;

class MemoryMidiInput : public MidiInput {
 public:
  MemoryMidiInput(std::vector<std::string> devices, Post post);

  int deviceCount() override { return static_cast<int>(devices_.size()); }
  std::string deviceName() override;
  bool open() override;
  bool start() override;
  void close() override;

  // As if the opened, started device had sent these bytes as one event.
  void inject(std::initializer_list<std::uint8_t> bytes);
  void inject(const Bytes& bytes);

  int openCount = 0;  // successful opens, for tests of the port lifecycle
  int openedDevice = -1;
  bool failNextOpen = false;

 private:
  std::vector<std::string> devices_;
};

class MemoryMidiOutput : public MidiOutput {
 public:
  MemoryMidiOutput(std::vector<std::string> devices, Post post);

  int deviceCount() override { return static_cast<int>(devices_.size()); }
  std::string deviceName() override;
  bool open() override;
  bool start() override;
  void close() override;

  std::vector<Bytes> sent;                   // every message, in order
  std::vector<std::string> handOvers;        // every sendSysex call, whole
  std::function<void(const Bytes&)> onSent;  // lets a test stamp each message
  int openCount = 0;
  int openedDevice = -1;
  bool failNextOpen = false;

 protected:
  void sendMessage(const std::uint8_t* data, std::size_t size) override;
  void handedOver(std::string_view bytes) override { handOvers.emplace_back(bytes); }

 private:
  std::vector<std::string> devices_;
};

}  // namespace kalvant::midi
