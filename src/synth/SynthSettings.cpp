#include "synth/SynthSettings.h"

#include <algorithm>
#include <filesystem>

#include "common/FileIo.h"
#include "common/NumberLines.h"
#include "synth/FluidTarget.h"

namespace kalvant::synth {

namespace {

std::string settingsPath(const std::string& programDir) {
  return (std::filesystem::path(programDir) / kSynthSettingsFile).string();
}

}  // namespace

const std::vector<std::string>& audioDriverChoices() {
  static const std::vector<std::string> choices{"auto", "pulseaudio", "alsa", "jack"};
  return choices;
}

SynthSettings parseSynthSettings(const std::string& text) {
  SynthSettings s;
  // Only whole lines are comments: a path may contain '#'.
  for (const auto& [key, value] : keyValueLines(text)) {
    if (key == "audio-driver") {
      const auto& c = audioDriverChoices();
      s.audioDriver = std::find(c.begin(), c.end(), value) != c.end() ? value : "auto";
    } else if (key == "soundfont") {
      s.soundfont = value;
    }
  }
  return s;
}

SynthSettings loadSynthSettings(const std::string& programDir, std::string* error) {
  const std::string path = settingsPath(programDir);
  std::string text, why;
  if (readWholeFile(path, text, why)) return parseSynthSettings(text);
  if (error && !nothingAt(path)) *error = why;  // no file yet is no error
  return {};
}

bool saveSynthSettings(const std::string& programDir, const SynthSettings& s, std::string& error) {
  std::ostringstream out;
  out << "# kalvant built-in synthesizer\n"
      << "# audio-driver: auto (with JACK MIDI, the console's own JACK ports; else\n"
      << "# PulseAudio, then ALSA, then a running JACK server), pulseaudio, alsa or\n"
      << "# jack (with JACK MIDI, the console's own JACK ports)\n"
      << "audio-driver = " << s.audioDriver << "\n"
      << "# soundfont: a .sf2 file; empty for " << kDefaultSoundfont << "\n"
      << "soundfont = " << s.soundfont << "\n";
  return replaceFileAtomically(settingsPath(programDir), out.str(), error);
}

std::string soundfontPath(const SynthSettings& s) {
  return s.soundfont.empty() ? kDefaultSoundfont : s.soundfont;
}

}  // namespace kalvant::synth
