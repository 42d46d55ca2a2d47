#pragma once
// What the GS module asks of a synthesizer: one synthesizer channel per GS
// part, already translated into physical quantities. FluidTarget is the real
// one; tests and benchmarks may substitute their own.

#include <array>

namespace kalvant::synth {

struct ReverbParams {
  double roomSize = 0.5;  // 0..1: longer decay as it grows
  double damping = 0.3;   // 0..1: high frequencies die sooner
  double width = 0.8;     // 0..1
  double level = 0.5;     // 0..1: wet output
};

struct ChorusParams {
  int voices = 3;
  double level = 1.0;  // 0..10
  double speedHz = 0.4;
  double depthMs = 5.0;
};

// Offsets added to the tone's own LFO generators (SoundFont units).
struct Modulation {
  double vibratoCents = 0;  // vibrato LFO to pitch
  double lfoRateCents = 0;  // both LFOs, relative
  double vibratoDelayTimecents = 0;
  double tremoloCentibels = 0;  // modulation LFO to volume
};

class SoundTarget {
 public:
  virtual ~SoundTarget() = default;
  virtual void noteOn(int channel, int key, int velocity) = 0;
  virtual void noteOff(int channel, int key) = 0;
  virtual void controlChange(int channel, int controller, int value) = 0;
  virtual void pitchBend(int channel, int value) = 0;  // 0..16383
  virtual void channelPressure(int channel, int value) = 0;
  virtual void keyPressure(int channel, int key, int value) = 0;
  // Falls back to bank 0 (or the standard drum kit) when the sound lacks it.
  virtual void selectTone(int channel, int bank, int program, bool rhythm) = 0;
  // Cents from equal temperament for C..B; applies to sounding notes too.
  virtual void setScaleTuning(int channel, const std::array<double, 12>& cents) = 0;
  virtual void setModulation(int channel, const Modulation& m) = 0;
  virtual void setReverb(const ReverbParams& r) = 0;
  virtual void setChorus(const ChorusParams& c) = 0;
  // Every voice of the channel stops at once, without release.
  virtual void silence(int channel) = 0;
};

}  // namespace kalvant::synth
