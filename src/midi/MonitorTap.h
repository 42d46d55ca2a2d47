#pragma once
// What the MIDI monitor sees: every event an input receives and every
// message the output sends, stamped with the time it passed, copied into a
// preallocated ring per producer. A producer never waits, allocates or
// locks: when its ring is full the record is dropped and counted. While no
// monitor watches, a producer's whole cost is one relaxed atomic load.
//
// Producers: each input's driver thread (its received events and what its
// live router sends) and the GUI thread (what the console sends). The
// consumer is the GUI thread, which merges the rings by time.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kalvant::midi {

enum class TapPort : std::uint8_t { In1 = 0, In2 = 1, Out = 2 };

struct TapRecord {
  static constexpr std::size_t kBytes = 256;  // longer sysex is kept cut
  std::int64_t nanos = 0;                     // steady clock
  std::uint32_t size = 0;                     // the whole message's length
  TapPort port = TapPort::In1;
  std::uint8_t bytes[kBytes];
  std::size_t kept() const { return size < kBytes ? size : kBytes; }
};

// One producer, one consumer; fixed capacity.
class TapRing {
 public:
  explicit TapRing(std::size_t capacity);
  // Producer. False (and counted) when full.
  bool push(TapPort port, const std::uint8_t* data, std::size_t size, std::int64_t nanos) noexcept;
  // Consumer: the oldest record, or null.
  const TapRecord* front() const noexcept;
  void pop() noexcept;
  void discardAll() noexcept;
  std::uint64_t dropped() const noexcept { return dropped_.load(std::memory_order_relaxed); }

 private:
  std::size_t capacity_;
  std::unique_ptr<TapRecord[]> slots_;
  alignas(64) std::atomic<std::uint64_t> tail_{0};
  alignas(64) std::atomic<std::uint64_t> head_{0};
  std::atomic<std::uint64_t> dropped_{0};
};

class MonitorTap {
 public:
  // Producer numbers: 0 and 1 are the inputs' driver threads, 2 the GUI thread.
  static constexpr int kGuiProducer = 2;
  static constexpr int kProducers = 3;
  static constexpr std::size_t kDefaultCapacity = 2048;

  explicit MonitorTap(std::size_t capacity = kDefaultCapacity);

  bool watching() const noexcept { return watching_.load(std::memory_order_relaxed); }
  // GUI thread. Starting drops whatever an earlier watch left behind.
  void setWatching(bool on) noexcept;

  // Producer `producer`'s thread; does nothing unless watched.
  void record(int producer, TapPort port, const std::uint8_t* data, std::size_t size) noexcept {
    if (watching()) recordNow(producer, port, data, size);
  }
  void recordNow(int producer, TapPort port, const std::uint8_t* data, std::size_t size) noexcept;

  // GUI thread: hands at most `limit` records to fn(const TapRecord&),
  // oldest first across producers, and returns how many it handed.
  template <class Fn>
  std::size_t drain(Fn&& fn, std::size_t limit = SIZE_MAX) {
    std::size_t n = 0;
    for (; n < limit; ++n) {
      TapRing* oldest = nullptr;
      for (auto& ring : rings_) {
        const TapRecord* r = ring->front();
        if (r && (!oldest || r->nanos < oldest->front()->nanos)) oldest = ring.get();
      }
      if (!oldest) break;
      fn(*oldest->front());
      oldest->pop();
    }
    return n;
  }
  // Records dropped for want of room, since the tap was made.
  std::uint64_t dropped() const noexcept;

  static std::int64_t now() noexcept;

 private:
  std::atomic<bool> watching_{false};
  std::unique_ptr<TapRing> rings_[kProducers];
};

// The process's tap, made before main() runs.
MonitorTap& monitorTap();

}  // namespace kalvant::midi
