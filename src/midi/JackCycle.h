#pragma once
// What leaves the console's JACK out port (internal to src/midi): the
// console's sends through a ring from the GUI thread, and what a live router
// sends from the process thread, spaced by the minimum gap, in one order.
//
// In each cycle the process thread first writes what waits (messages carried
// over from the last cycle, then the ring), then what the inputs' live
// routers send while it walks this cycle's events. A message leaves at frame
// max(its own time, the last message's frame + the gap): after a quiet spell
// at once, in a burst only as late as the gap needs. What no longer fits in
// the cycle waits: a ring message stays in the ring, a live message goes to
// a preallocated carry buffer, marked with how much of the ring was written
// before it. The next cycle merges the two by that mark, so nothing
// overtakes what was sent before it.
//
// While a CycleSynth is attached, every message goes to its play() instead
// of the out port (no spacing: it renders the whole cycle at once).

#include <jack/ringbuffer.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "midi/LiveRouting.h"

namespace kalvant::midi {

class JackOutputCycle final : public CycleOut {
 public:
  JackOutputCycle();
  ~JackOutputCycle();
  JackOutputCycle(const JackOutputCycle&) = delete;
  JackOutputCycle& operator=(const JackOutputCycle&) = delete;

  // GUI thread. push() is false when the ring has no room now; a message
  // that can never fit is dropped (true).
  bool hasRoomFor(std::size_t size) const;
  bool push(const std::uint8_t* data, std::size_t size, bool synthOnly);
  // Something sent has not left yet.
  bool pending() const;
  void setGap(std::chrono::microseconds gap) { gapMicros_.store(gap.count()); }
  // No cycle runs: a fresh client starts with nothing waiting.
  void reset();
  std::uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

  // Process thread: opens a cycle on the out port's cleared buffer, and
  // writes what waits.
  void begin(void* buffer, std::uint32_t frames, std::uint32_t rate, CycleSynth* synth) noexcept;
  // The time (frame in this cycle) of the event being routed now.
  void at(std::uint32_t frame) noexcept { eventTime_ = frame; }
  // A live router's send, at the current event's time.
  bool send(const std::uint8_t* data, std::size_t size) noexcept override;

 private:
  enum class Placed { Sent, Later, Dropped };
  struct Carried {
    std::uint64_t mark;  // ring bytes written before it
    std::uint32_t size;
    std::array<std::uint8_t, 16> bytes;
  };
  // A flood faster than the gap lets out backs up here (2 MiB): a second of
  // it at 10,000 messages a second fits many times over. Near the end a
  // release still finds room, so no note is left sounding for want of it.
  static constexpr std::size_t kCarrySlots = 65536;
  static constexpr std::size_t kReleaseReserve = 1024;

  Placed place(const std::uint8_t* data, std::size_t size, std::int64_t time,
               bool synthOnly) noexcept;
  bool writeWaiting() noexcept;
  bool writeCarried() noexcept;
  enum class RingResult { Written, Later, Empty };
  RingResult writeFromRing() noexcept;
  bool carry(const std::uint8_t* data, std::size_t size) noexcept;

  jack_ringbuffer_t* ring_;
  std::vector<char> scratch_;       // GUI thread
  std::vector<std::uint8_t> read_;  // process thread: one ring message
  std::atomic<std::int64_t> gapMicros_{0};
  std::atomic<std::uint64_t> dropped_{0};

  // Process thread.
  void* buffer_ = nullptr;
  CycleSynth* synth_ = nullptr;
  std::int64_t frames_ = 0;
  std::int64_t gapFrames_ = 0;
  std::int64_t nextFree_ = 0;  // earliest frame for the next message, in this cycle
  std::size_t maxEvent_ = 0;
  std::uint32_t eventTime_ = 0;
  std::uint64_t consumed_ = 0;  // ring bytes read so far
  bool backlog_ = false;        // something waits: live messages go behind it
  std::vector<Carried> carried_;
  std::size_t carryHead_ = 0;
  std::atomic<std::size_t> carryCount_{0};
};

}  // namespace kalvant::midi
