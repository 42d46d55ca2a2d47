#include "midi/MemoryMidi.h"

#include <algorithm>

namespace kalvant::midi {

namespace {
bool validIndex(int i, std::size_t count) {
  return i >= 0 && static_cast<std::size_t>(i) < count;
}
}  // namespace

std::string DeviceList::nameAt(int i) const {
  return validIndex(i, names.size()) ? names[static_cast<std::size_t>(i)] : std::string();
}

void DeviceList::set(std::vector<std::string> list) {
  names = std::move(list);
  if (std::find(names.begin(), names.end(), connected) == names.end()) gone = true;
}

void DeviceList::rename(const std::string& from, const std::string& to) {
  std::replace(names.begin(), names.end(), from, to);
  if (connected == from) connected = to;
}

std::optional<std::string> DeviceList::connectedName(bool open) const {
  if (!tells) return std::nullopt;
  return open && !gone ? connected : std::string();
}

MemoryMidiInput::MemoryMidiInput(std::vector<std::string> names, Post post)
    : MidiInput(std::move(post)) {
  deviceList.names = std::move(names);
}

std::string MemoryMidiInput::deviceName() {
  return deviceList.nameAt(selected_);
}

bool MemoryMidiInput::open() {
  if (failNextOpen || !validIndex(selected_, deviceList.names.size())) {
    failNextOpen = false;
    reportError(kNoSuchDevice, "MIDI input device " + std::to_string(selected_) + " not found");
    return false;
  }
  open_ = true;
  openedDevice = selected_;
  deviceList.connected = deviceList.nameAt(selected_);
  deviceList.gone = false;
  ++openCount;
  return true;
}

bool MemoryMidiInput::start() {
  started_ = open_;
  return open_;
}

void MemoryMidiInput::close() {
  open_ = started_ = false;
  clearQueue();
}

void MemoryMidiInput::inject(std::initializer_list<std::uint8_t> bytes) {
  if (started_) enqueueFromDriver(bytes.begin(), bytes.size());
}

void MemoryMidiInput::inject(const Bytes& bytes) {
  if (started_) enqueueFromDriver(bytes.data(), bytes.size());
}

MemoryMidiOutput::MemoryMidiOutput(std::vector<std::string> names, Post post)
    : MidiOutput(std::move(post)) {
  deviceList.names = std::move(names);
}

std::string MemoryMidiOutput::deviceName() {
  return deviceList.nameAt(selected_);
}

bool MemoryMidiOutput::open() {
  if (failNextOpen || !validIndex(selected_, deviceList.names.size())) {
    failNextOpen = false;
    reportError(kNoSuchDevice, "MIDI output device " + std::to_string(selected_) + " not found");
    return false;
  }
  open_ = true;
  openedDevice = selected_;
  deviceList.connected = deviceList.nameAt(selected_);
  deviceList.gone = false;
  ++openCount;
  return true;
}

bool MemoryMidiOutput::start() {
  return open_;
}

void MemoryMidiOutput::close() {
  open_ = false;
}

// Like an output port nothing is connected to, a closed one loses what the
// cycle sends.
bool MemoryMidiOutput::send(const std::uint8_t* data, std::size_t size) noexcept {
  ++liveSends;
  if (open_) sendMessage(data, size);
  return true;
}

void MemoryMidiOutput::sendMessage(const std::uint8_t* data, std::size_t size) {
  sent.emplace_back(data, data + size);
  if (onSent) onSent(sent.back());
}

}  // namespace kalvant::midi
