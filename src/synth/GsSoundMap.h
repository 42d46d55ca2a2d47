#pragma once
// From GS parameter values to what a SoundFont synthesizer understands.

#include <array>

#include "synth/GsState.h"
#include "synth/SoundTarget.h"

namespace kalvant::synth {

// The reverb macro sets the kind of space, the time how long it rings within
// that kind's range, the level how loud the reverberation is.
ReverbParams reverbFor(const SystemState& s);
ChorusParams chorusFor(const SystemState& s);

// The part's vibrato offsets and what the modulation wheel (CC1 at
// `modWheel`) adds through the part's pitch and amplitude depths.
Modulation modulationFor(const PartState& p, int modWheel);

// 40h = 0 cents, 00..7F = -64..+63 cents.
std::array<double, 12> scaleTuningCents(const PartState& p);

}  // namespace kalvant::synth
