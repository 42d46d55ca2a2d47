#pragma once
// The world around a running kalvant on JACK: keyboards that play into its
// inputs and a sound module that records everything its output sends, each
// message stamped with the moment it arrived.

#include <rtmidi/RtMidi.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kalvant::e2e {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

struct Stamped {
  Clock::time_point at;
  Bytes bytes;
};

// A keyboard: one JACK client with one MIDI output port.
class Keyboard {
 public:
  Keyboard(const std::string& client, const std::string& port = "out");
  ~Keyboard();
  Keyboard(const Keyboard&) = delete;
  Keyboard& operator=(const Keyboard&) = delete;
  void play(const Bytes& message);
  std::string portName() const { return client_ + ":" + port_; }

 private:
  std::string client_, port_;
  RtMidiOut out_;
};

// A module that records: one JACK client with one MIDI input port, sysex
// kept. The callback runs on JACK's thread; the test reads under a lock.
class Recorder {
 public:
  Recorder(const std::string& client, const std::string& port = "in");
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;
  std::string portName() const { return client_ + ":" + port_; }

  // Waits until `done` holds for everything recorded so far, or the
  // timeout passes; returns whether it held.
  bool waitUntil(const std::function<bool(const std::vector<Stamped>&)>& done,
                 std::chrono::milliseconds timeout);
  bool waitForCount(std::size_t count, std::chrono::milliseconds timeout);
  std::vector<Stamped> take();
  std::size_t count();

 private:
  static void received(double, std::vector<unsigned char>* message, void* self);
  std::string client_, port_;
  RtMidiIn in_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Stamped> got_;
};

// Positions of a JACK port in the device lists kalvant builds: RtMidi's
// list for the API with kalvant's own ports left out. Sources are what its
// inputs can open, sinks what its output can open; -1 when not found.
int sourcePosition(const std::string& portName);
int sinkPosition(const std::string& portName);

}  // namespace kalvant::e2e
