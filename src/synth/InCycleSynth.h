#pragma once
// The built-in synthesizer inside the MIDI system's own cycle: the driver
// thread feeds the GS module and renders the cycle's audio, so a note sounds
// in the period it was played. Once attached, only the driver thread touches
// the module and the synthesizer; the GUI thread reads the GS state from a
// copy the driver thread publishes.

#include <cstddef>
#include <cstdint>

#include "common/LatestValue.h"
#include "midi/LiveRouting.h"
#include "synth/GsState.h"

namespace kalvant::synth {

class FluidTarget;
class GsModule;

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
