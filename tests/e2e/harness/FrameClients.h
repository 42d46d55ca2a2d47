#pragma once
// Latency on JACK's frame clock: a source client that sends planned
// messages at planned frames and a sink client that notes the frame each
// message arrived in. Both read jack_last_frame_time() in their process
// callbacks, so a message's added latency is its receive frame minus its
// send frame, in whole frames, with no wall clock in between. Being two
// clients, a router between them can act inside the cycle.

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kalvant::e2e {

using Frame = std::uint32_t;  // JACK's frame counter; differences wrap safely

// One planned message: three bytes, sent `at` frames after the plan starts.
struct Planned {
  Frame at;
  std::array<std::uint8_t, 3> bytes;
};

// A JACK client with one MIDI output, playing a plan once on request.
class FrameSource {
 public:
  explicit FrameSource(const std::string& name);
  ~FrameSource();
  FrameSource(const FrameSource&) = delete;
  FrameSource& operator=(const FrameSource&) = delete;

  bool ok() const { return out_ != nullptr; }
  std::string outPort() const { return name_ + ":out"; }
  // Plays `plan` (sorted by `at`) from the next period on; returns once the
  // last message went out or `timeout` passed. The send frame of each
  // message is in sent().
  bool play(std::vector<Planned> plan, std::chrono::milliseconds timeout) {
    begin(std::move(plan));
    return finish(timeout);
  }
  // The same in two steps, for sources that play side by side.
  void begin(std::vector<Planned> plan);
  bool finish(std::chrono::milliseconds timeout);
  const std::vector<Frame>& sent() const { return sent_; }
  const std::vector<Planned>& played() const { return plan_; }
  // The first frame of the period the plan started in (a period start).
  Frame start() const { return base_; }
  Frame period() const { return jack_get_buffer_size(client_); }
  Frame rate() const { return jack_get_sample_rate(client_); }

 private:
  static int process(jack_nframes_t frames, void* self);
  void send(jack_nframes_t frames);

  std::string name_;
  jack_client_t* client_ = nullptr;
  jack_port_t* out_ = nullptr;
  std::vector<Planned> plan_;
  std::vector<Frame> sent_;
  std::atomic<bool> playing_{false};
  bool started_ = false;
  Frame base_ = 0;
  std::size_t next_ = 0;
};

// One message as the sink saw it.
struct Arrived {
  Frame at;
  std::uint8_t size;
  std::array<std::uint8_t, 3> bytes;
};

// A JACK client with one MIDI input that records what arrives, with its
// frame, into room reserved up front (messages beyond it are counted only).
class FrameSink {
 public:
  FrameSink(const std::string& name, std::size_t room);
  ~FrameSink();
  FrameSink(const FrameSink&) = delete;
  FrameSink& operator=(const FrameSink&) = delete;

  bool ok() const { return in_ != nullptr; }
  std::string inPort() const { return name_ + ":in"; }
  std::size_t count() const { return count_.load(std::memory_order_acquire); }
  // Waits until nothing arrived for `quiet` (at most `timeout`), then hands
  // over what came and starts afresh.
  std::vector<Arrived> takeWhenQuiet(std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds timeout);
  std::size_t overflowed() const { return overflow_.load(); }

 private:
  static int process(jack_nframes_t frames, void* self);

  std::string name_;
  jack_client_t* client_ = nullptr;
  jack_port_t* in_ = nullptr;
  std::vector<Arrived> got_;
  std::atomic<std::size_t> count_{0};
  std::atomic<std::size_t> overflow_{0};
  std::atomic<bool> paused_{false};
};

// Connects two JACK ports by name; false when JACK refuses.
bool connectJackPorts(const std::string& from, const std::string& to);

// Numbered note-ons: the number rides in key and velocity (16,256 apart
// before they repeat), on MIDI channel 1.
constexpr int kDistinctNumbers = 128 * 127;
std::array<std::uint8_t, 3> numberedNote(long n);
// The number in a received note-on on any channel, or -1.
int numberIn(const Arrived& m);

// What one path did with a plan, by message number: whether it came and its
// first arrival's added latency in frames. A router that hands a message on
// within the cycle it came in may write it at an earlier offset than it
// came at: then the latency is negative (at most a period) and the
// periods 0.
struct PathResult {
  std::vector<bool> came;
  std::vector<long> latency;   // frames
  std::vector<Frame> arrival;  // receive frame
  long lost = 0, doubled = 0, reordered = 0, other = 0;
};
PathResult matchArrivals(const std::vector<Frame>& sent, const std::vector<Arrived>& got);

// Whole periods from the one a message was sent in to the one it arrived
// in: 0 = the same cycle. `start` is a period start on the same clock.
long periodsBetween(Frame start, Frame period, Frame sent, Frame got);

}  // namespace kalvant::e2e
