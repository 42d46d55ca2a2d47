#pragma once
// The offline renderer's command line, checked before anything is rendered.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalvant::synth {

inline constexpr double kMaxTailSeconds = 3600;
inline constexpr double kMaxRenderSeconds = 86400;

struct RenderOptions {
  std::string play;       // the MIDI file; "" for the demo chords
  std::string render;     // the WAV file
  std::string soundfont;  // "" for the default
  std::string dat;        // "" for kalvant.dat beside the renderer, or none
  double tailSeconds = 3;
  double maxSeconds = 3600;
  // The registration: a memory from a file, then stops that replace its
  // own; -1 for "not given".
  std::string memoryFile;  // --memory FILE.sqs:N, or fixed.fix for --fixed N
  int memory = -1;         // 1..12
  bool fixedMemory = false;
  std::array<int, 3> stops{-1, -1, -1};  // Great, Swell, Pedal
  int temperament = -1;                  // 0 Equal .. 3 Kirnberger
  int reverb = -1;                       // 0 Church, 1 Cathedral, 2 Chapel

  // Whether the organ is played: a registration was asked for, or the demo.
  bool playsOrgan() const;
};

inline constexpr const char* kTemperamentNames[] = {"equal", "meantone", "silbermann",
                                                    "kirnberger"};
inline constexpr const char* kReverbNames[] = {"church", "cathedral", "chapel"};

struct RenderArgs {
  bool ok = false;
  RenderOptions options;
  std::string error;  // what is wrong with the command line, when not ok
};

// Parses the arguments after the program's name. Every option takes a value;
// --render is required; numbers must be plain decimal numbers in range;
// stops must belong to their division, memories be 1..12 and temperaments
// and reverbs be named as above (or numbered from 0).
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
