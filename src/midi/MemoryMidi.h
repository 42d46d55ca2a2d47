#pragma once
// In-memory MIDI back-end for tests: a list of device names the test may
// change (devices that come, go or are renamed), every message sent recorded
// byte for byte, received messages injected by the test.

#include <optional>
#include <string>
#include <vector>

#include "midi/MidiPort.h"

namespace kalvant::midi {

using Bytes = std::vector<std::uint8_t>;

// The devices a fake port lists, and the one it is connected to.
struct DeviceList {
  std::vector<std::string> names;
  std::string connected;  // the device opened last
  bool gone = false;      // it went away while open
  bool announces = true;  // false: a back-end that must be polled
  bool tells = true;      // false: connectedName() cannot tell
  std::string nameAt(int i) const;
  // The list changes: a connected device missing from it is gone.
  void set(std::vector<std::string> list);
  // A device is renamed; a connection to it stays and follows the name.
  void rename(const std::string& from, const std::string& to);
  std::optional<std::string> connectedName(bool open) const;
};

class MemoryMidiInput : public MidiInput {
 public:
  MemoryMidiInput(std::vector<std::string> names, Post post);

  int deviceCount() override { return static_cast<int>(deviceList.names.size()); }
  std::vector<std::string> devices() override { return deviceList.names; }
  std::string deviceName() override;
  bool open() override;
  bool start() override;
  void close() override;

  // As if the opened, started device had sent these bytes as one event.
  void inject(std::initializer_list<std::uint8_t> bytes);
  void inject(const Bytes& bytes);

  // The cycle a live router sends into (the test's choice: usually the
  // MemoryMidiOutput; null keeps every message queued).
  CycleOut* liveOut = nullptr;
  CycleOut* cycleOut() override { return liveOut; }

  int openCount = 0;  // successful opens, for tests of the port lifecycle
  int openedDevice = -1;
  bool failNextOpen = false;
  DeviceList deviceList;
  std::optional<std::string> connectedName() override { return deviceList.connectedName(open_); }
  bool announcesChanges() const override { return deviceList.announces; }
};

// Also the cycle of a live router: what it sends lands in `sent` like any
// other message, counted in liveSends as well.
class MemoryMidiOutput : public MidiOutput, public CycleOut {
 public:
  MemoryMidiOutput(std::vector<std::string> names, Post post);

  int deviceCount() override { return static_cast<int>(deviceList.names.size()); }
  std::vector<std::string> devices() override { return deviceList.names; }
  std::string deviceName() override;
  bool open() override;
  bool start() override;
  void close() override;

  bool send(const std::uint8_t* data, std::size_t size) noexcept override;

  std::vector<Bytes> sent;                   // every message, in order
  int liveSends = 0;                         // those that came through send()
  std::vector<std::string> handOvers;        // every sendSysex call, whole
  std::function<void(const Bytes&)> onSent;  // lets a test stamp each message
  int openCount = 0;
  int openedDevice = -1;
  bool failNextOpen = false;
  DeviceList deviceList;
  std::optional<std::string> connectedName() override { return deviceList.connectedName(open_); }
  bool announcesChanges() const override { return deviceList.announces; }

 protected:
  void sendMessage(const std::uint8_t* data, std::size_t size) override;
  void handedOver(std::string_view bytes) override { handOvers.emplace_back(bytes); }
};

}  // namespace kalvant::midi
