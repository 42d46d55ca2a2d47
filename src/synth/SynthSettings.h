#pragma once
// The built-in synthesizer's own settings, in "kalvant-synth.ini" in the
// program directory (KALVANT.CFG keeps its old layout):
//   audio-driver = auto | pulseaudio | alsa | jack
// (auto and jack play through the console's own JACK ports when the MIDI
// system is JACK)
//   soundfont = /usr/share/sounds/sf2/FluidR3_GM.sf2

#include <string>
#include <vector>

namespace kalvant::synth {

inline constexpr const char* kSynthSettingsFile = "kalvant-synth.ini";

struct SynthSettings {
  std::string audioDriver = "auto";
  std::string soundfont;  // empty: the default soundfont
  bool operator==(const SynthSettings&) const = default;
};

// "auto" first, then the drivers in the order "auto" tries them.
const std::vector<std::string>& audioDriverChoices();

// A missing file or line gives the default; an unknown driver gives "auto".
// A file that is there but cannot be read gives the defaults too, and the
// reason in *error when asked for.
SynthSettings loadSynthSettings(const std::string& programDir, std::string* error = nullptr);
SynthSettings parseSynthSettings(const std::string& text);
bool saveSynthSettings(const std::string& programDir, const SynthSettings& s, std::string& error);

// The soundfont to load: the one chosen, else the default.
std::string soundfontPath(const SynthSettings& s);

}  // namespace kalvant::synth
