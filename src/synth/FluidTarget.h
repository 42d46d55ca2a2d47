#pragma once
// SoundTarget on libfluidsynth: GS part p plays on FluidSynth channel p.
// Only channel messages and API calls reach FluidSynth, never sysex. The
// fluid_synth_* calls made here are thread-safe, so an audio driver may render
// on its own thread while the GS module drives this object from another.

#include <fluidsynth/types.h>

#include <string>

#include "synth/SoundTarget.h"

namespace kalvant::synth {

inline constexpr const char* kDefaultSoundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

class FluidTarget : public SoundTarget {
 public:
  struct Options {
    double sampleRate = 44100.0;
    double gain = 0.4;
    int polyphony = 512;  // a full organ with couplers sounds ~200 voices
  };

  explicit FluidTarget(const Options& options);
  ~FluidTarget() override;
  FluidTarget(const FluidTarget&) = delete;
  FluidTarget& operator=(const FluidTarget&) = delete;

  // Replaces the sound. Returns false with a readable reason when the file
  // cannot be loaded; the synthesizer then stays silent.
  bool loadSoundfont(const std::string& path, std::string& error);

  // Renders the next frames offline (never while an audio driver runs).
  void render(float* left, float* right, int frames);

  fluid_settings_t* settings() const { return settings_; }
  fluid_synth_t* synth() const { return synth_; }

  void noteOn(int channel, int key, int velocity) override;
  void noteOff(int channel, int key) override;
  void controlChange(int channel, int controller, int value) override;
  void pitchBend(int channel, int value) override;
  void channelPressure(int channel, int value) override;
  void keyPressure(int channel, int key, int value) override;
  void selectTone(int channel, int bank, int program, bool rhythm) override;
  void setScaleTuning(int channel, const std::array<double, 12>& cents) override;
  void setModulation(int channel, const Modulation& m) override;
  void setReverb(const ReverbParams& r) override;
  void setChorus(const ChorusParams& c) override;
  void silence(int channel) override;

 private:
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  int soundfont_ = -1;
};

// FluidSynth prints to stderr by default; this keeps its errors for the
// caller instead and drops its chatter. Safe to call more than once.
void quietFluidLog();
// The errors FluidSynth logged since the last call, joined by "; ".
std::string takeFluidErrors();

}  // namespace kalvant::synth
