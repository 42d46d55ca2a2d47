#pragma once
// SoundTarget on libfluidsynth: GS part p plays on FluidSynth channel p.
// Only channel messages and API calls reach FluidSynth, never sysex. With
// Options::threadSafe the fluid_synth_* calls take FluidSynth's own lock, so
// an audio driver may render on its own thread while the GS module drives
// this object from another. Without it one thread makes every call (once
// built), and no call locks: notes and controllers then neither lock nor
// allocate; a changed scale tuning allocates inside FluidSynth.

#include <fluidsynth/types.h>

#include <array>
#include <string>

#include "synth/SoundTarget.h"

namespace kalvant::synth {

// FluidR3_GM (Debian fluid-soundfont-gm): its organ tones sound at written
// pitch, where TimGM6mb's church organs hold a sub-octave.
inline constexpr const char* kDefaultSoundfont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

class FluidTarget : public SoundTarget {
 public:
  struct Options {
    double sampleRate = 44100.0;
    // Headroom by measurement: the full organ with couplers playing chords
    // on all three divisions peaks between -6 and -3 dBFS with FluidR3_GM,
    // depending on the couplers and the voicing.
    double gain = 0.11;
    int polyphony = 512;  // a full organ with couplers sounds ~200 voices
    bool threadSafe = true;
  };

  explicit FluidTarget(const Options& options);
  ~FluidTarget() override;
  FluidTarget(const FluidTarget&) = delete;
  FluidTarget& operator=(const FluidTarget&) = delete;

  // Replaces the sound. Returns false with a readable reason when the file
  // cannot be loaded; the synthesizer then stays silent.
  bool loadSoundfont(const std::string& path, std::string& error);

  // Back to a freshly built synthesizer with the same soundfont: no voices,
  // controllers and tunings reset (offline only). FluidSynth's reverb may
  // still ring from earlier notes.
  void restart();

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
  // The scale tuning each channel plays: FluidSynth builds a new tuning for
  // every change, so an unchanged one (a GS reset, a stop that keeps the
  // temperament) is not handed over again. All zero: no tuning is active.
  std::array<std::array<double, 12>, 16> tuning_{};
};

// FluidSynth prints to stderr by default; this keeps its errors for the
// caller instead and drops its chatter. Safe to call more than once.
void quietFluidLog();
// The errors FluidSynth logged since the last call, joined by "; ".
std::string takeFluidErrors();
// While alive, errors FluidSynth logs on this thread are dropped: keeping
// them would lock and allocate, which an audio thread must not.
class FluidErrorsDropped {
 public:
  FluidErrorsDropped();
  ~FluidErrorsDropped();
  FluidErrorsDropped(const FluidErrorsDropped&) = delete;
  FluidErrorsDropped& operator=(const FluidErrorsDropped&) = delete;

 private:
  bool before_;
};

}  // namespace kalvant::synth
