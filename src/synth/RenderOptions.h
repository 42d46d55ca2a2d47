#pragma once
// The offline renderer's command line, checked before anything is rendered.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalvant::synth {

inline constexpr double kMaxTailSeconds = 3600;
inline constexpr double kMaxRenderSeconds = 86400;

struct RenderOptions {
  std::string play;       // the MIDI file
  std::string render;     // the WAV file
  std::string soundfont;  // "" for the default
  std::string dat;        // "" for no console reset
  double tailSeconds = 3;
  double maxSeconds = 3600;
};

struct RenderArgs {
  bool ok = false;
  RenderOptions options;
  std::string error;  // what is wrong with the command line, when not ok
};

// Parses the arguments after the program's name. Every option takes a value;
// --play and --render are required; numbers must be plain decimal numbers in
// range.
RenderArgs parseRenderArgs(const std::vector<std::string>& args);

// A number of seconds: the whole text a finite decimal number within [lo, hi].
bool parseSeconds(std::string_view text, double lo, double hi, double& seconds);

// How much audio a file ending at fileSeconds gives: its end plus the tail,
// cut at the options' maximum.
struct RenderLength {
  double seconds = 0;
  std::uint64_t frames = 0;
  bool cut = false;  // the maximum shortened the file or its tail
};
RenderLength renderLength(double fileSeconds, const RenderOptions& options, int sampleRate);

}  // namespace kalvant::synth
