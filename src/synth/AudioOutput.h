#pragma once
// Plays a FluidSynth synthesizer through the desktop's sound system, on
// FluidSynth's own audio thread: the built-in synthesizer's way when the
// MIDI system has no cycle to play it in.

#include <fluidsynth/types.h>

#include <string>

namespace kalvant::synth {

struct AudioStart {
  bool ok = false;
  std::string driver;  // the driver that plays
  std::string error;   // why nothing plays, for the organist
};

class AudioOutput {
 public:
  AudioOutput() = default;
  ~AudioOutput() { stop(); }
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // "auto" tries PulseAudio, ALSA, then JACK; JACK only when a server is
  // already running (a server is never started for us).
  AudioStart start(fluid_settings_t* settings, fluid_synth_t* synth, const std::string& choice);
  void stop();
  bool running() const { return driver_ != nullptr; }

 private:
  bool tryDriver(fluid_settings_t* settings, fluid_synth_t* synth, const std::string& name,
                 std::string& why);
  fluid_audio_driver_t* driver_ = nullptr;
};

}  // namespace kalvant::synth
