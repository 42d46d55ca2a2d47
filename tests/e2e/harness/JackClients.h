#pragma once
// Keyboards that play into a running kalvant on JACK and a sound module that
// records, with arrival times, everything its output sends.

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

class Keyboard {
 public:
  Keyboard(const std::string& client, const std::string& port = "out");
  ~Keyboard();
  void play(const Bytes& message) { out_.sendMessage(message.data(), message.size()); }
  std::string portName() const { return client_ + ":" + port_; }

 private:
  std::string client_, port_;
  RtMidiOut out_;
};

// Sysex kept. The callback runs on JACK's thread; the test reads under a lock.
class Recorder {
 public:
  Recorder(const std::string& client, const std::string& port = "in");
  ~Recorder();
  std::string portName() const { return client_ + ":" + port_; }
  // Whether `done` came to hold for everything recorded before the timeout.
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

// A port's position in kalvant's device lists (RtMidi's, its own ports left
// out): sources for its inputs, sinks for its output; -1 when not found.
int sourcePosition(const std::string& portName);
int sinkPosition(const std::string& portName);

}  // namespace kalvant::e2e
