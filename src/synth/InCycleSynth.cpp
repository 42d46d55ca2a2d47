#include "synth/InCycleSynth.h"

#include "synth/FluidTarget.h"
#include "synth/GsModule.h"

namespace kalvant::synth {

namespace {

// Notes, pressure and pitch bend leave the GS state as it was.
bool changesState(std::uint8_t status) {
  const int kind = status & 0xF0;
  return status == 0xF0 || kind == 0xB0 || kind == 0xC0;
}

}  // namespace

InCycleSynth::InCycleSynth(FluidTarget& target, GsModule& module)
    : target_(target), module_(module), state_(module.interpreter()) {}

void InCycleSynth::play(const std::uint8_t* data, std::size_t size) noexcept {
  if (size == 0) return;
  const FluidErrorsDropped quiet;
  module_.receive(data, size);
  if (!changesState(data[0])) return;
  // A few hundred bytes, copied without allocating.
  state_.back() = module_.interpreter();
  state_.publish();
}

void InCycleSynth::render(float* left, float* right, std::uint32_t frames) noexcept {
  const FluidErrorsDropped quiet;
  target_.render(left, right, static_cast<int>(frames));
}

}  // namespace kalvant::synth
