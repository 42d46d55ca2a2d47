#include "midi/MemoryMidi.h"

namespace kalvant::midi {

namespace {
bool validIndex(int i, std::size_t count) {
  return i >= 0 && static_cast<std::size_t>(i) < count;
}
std::string nameAt(const std::vector<std::string>& devices, int i) {
  return validIndex(i, devices.size()) ? devices[static_cast<std::size_t>(i)] : std::string();
}
}  // namespace

MemoryMidiInput::MemoryMidiInput(std::vector<std::string> devices, Post post)
    : MidiInput(std::move(post)), devices_(std::move(devices)) {}

std::string MemoryMidiInput::deviceName() {
  return nameAt(devices_, selected_);
}

bool MemoryMidiInput::open() {
  if (failNextOpen || !validIndex(selected_, devices_.size())) {
    failNextOpen = false;
    reportError(kNoSuchDevice, "MIDI input device " + std::to_string(selected_) + " not found");
    return false;
  }
  open_ = true;
  openedDevice = selected_;
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

MemoryMidiOutput::MemoryMidiOutput(std::vector<std::string> devices, Post post)
    : MidiOutput(std::move(post)), devices_(std::move(devices)) {}

std::string MemoryMidiOutput::deviceName() {
  return nameAt(devices_, selected_);
}

bool MemoryMidiOutput::open() {
  if (failNextOpen || !validIndex(selected_, devices_.size())) {
    failNextOpen = false;
    reportError(kNoSuchDevice, "MIDI output device " + std::to_string(selected_) + " not found");
    return false;
  }
  open_ = true;
  openedDevice = selected_;
  ++openCount;
  return true;
}

bool MemoryMidiOutput::start() {
  return open_;
}

void MemoryMidiOutput::close() {
  open_ = false;
}

void MemoryMidiOutput::sendMessage(const std::uint8_t* data, std::size_t size) {
  sent.emplace_back(data, data + size);
  if (onSent) onSent(sent.back());
}

}  // namespace kalvant::midi
