#pragma once
// The built-in synthesizer inside the MIDI system's own cycle: the driver
// thread feeds the GS module and renders the cycle's audio, so a note sounds
// in the period it was played. Once attached, only the driver thread touches
// the module and the synthesizer; the GUI thread reads the GS state from a
// copy the driver thread publishes.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "midi/LiveRouting.h"
#include "synth/GsState.h"

namespace kalvant::synth {

class FluidTarget;
class GsModule;

// The latest of a value one thread writes and another reads, wait-free for
// both (three copies: the writer's, the reader's, the one passed between).
template <class T>
class LatestValue {
 public:
  explicit LatestValue(const T& initial) : slots_{initial, initial, initial} {}
  // Writer: fills back(), then publishes it.
  T& back() { return slots_[back_]; }
  void publish() { back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndex; }
  // Reader: the last value published; valid until the next call.
  const T& latest() {
    if (middle_.load(std::memory_order_relaxed) & kFresh)
      front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndex;
    return slots_[front_];
  }

 private:
  static constexpr unsigned kIndex = 3, kFresh = 4;
  std::array<T, 3> slots_;
  unsigned back_ = 0, front_ = 2;
  std::atomic<unsigned> middle_{1};
};

class InCycleSynth final : public midi::CycleSynth {
 public:
  // The module is in the state it plays from; both outlive this object.
  InCycleSynth(FluidTarget& target, GsModule& module);

  // Driver thread.
  void play(const std::uint8_t* data, std::size_t size) noexcept override;
  void render(float* left, float* right, std::uint32_t frames) noexcept override;

  // GUI thread: the GS state as of the last message the driver played.
  const GsInterpreter& gsState() { return state_.latest(); }

 private:
  FluidTarget& target_;
  GsModule& module_;
  LatestValue<GsInterpreter> state_;
};

}  // namespace kalvant::synth
