#include "synth/AudioOutput.h"

#include <fluidsynth.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "midi/RtMidiBackend.h"
#include "synth/FluidTarget.h"

namespace kalvant::synth {

namespace {

std::string readableName(const std::string& driver) {
  if (driver == "pulseaudio") return "PulseAudio";
  if (driver == "alsa") return "ALSA";
  if (driver == "jack") return "JACK";
  return driver;
}

}  // namespace

AudioStart AudioOutput::start(fluid_settings_t* settings, fluid_synth_t* synth,
                              const std::string& choice) {
  stop();
  AudioStart result;
  const std::vector<std::string> order =
      choice == "auto" ? std::vector<std::string>{"pulseaudio", "alsa", "jack"}
                       : std::vector<std::string>{choice};
  std::string reasons;
  for (const std::string& name : order) {
    std::string why;
    // Without a sound card libasound only fills the terminal with its own
    // complaints; asked for by name, ALSA is still tried, as its plugins
    // may lead elsewhere.
    std::error_code ec;
    if (choice == "auto" && name == "alsa" && !std::filesystem::exists("/dev/snd", ec)) {
      reasons += "\nALSA: no sound card is present";
      continue;
    }
    if (tryDriver(settings, synth, name, why)) {
      result.ok = true;
      result.driver = name;
      return result;
    }
    reasons += "\n" + readableName(name) + ": " + why;
  }
  result.error =
      "The built-in synthesizer found no audio output, so it stays silent." + reasons +
      "\nThe console works on; choose another audio output under BUILT-IN SYNTHESIZER in "
      "Setup, or another "
      "MIDI output.";
  return result;
}

bool AudioOutput::tryDriver(fluid_settings_t* settings, fluid_synth_t* synth,
                            const std::string& name, std::string& why) {
  if (name == "jack" && !midi::jackServerRunning()) {
    why = "no JACK server is running";
    return false;
  }
  if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) {
    why = "this FluidSynth has no such driver";
    return false;
  }
  fluid_settings_setstr(settings, "audio.jack.id", "kalvant-synth");
  fluid_settings_setint(settings, "audio.jack.autoconnect", 1);
  fluid_settings_setstr(settings, "audio.pulseaudio.media-role", "music");
  takeFluidErrors();
  driver_ = new_fluid_audio_driver(settings, synth);
  if (driver_) return true;
  why = takeFluidErrors();
  if (why.empty()) why = "the device could not be opened";
  return false;
}

void AudioOutput::stop() {
  if (driver_) delete_fluid_audio_driver(driver_);
  driver_ = nullptr;
}

}  // namespace kalvant::synth
