#pragma once
// The GS interpreter: the state of the module's 16 parts and of its effects,
// changed by GS data sets exactly as a hardware module would change it.
// Widget-free and sound-free: the sound engine asks it what changed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "synth/GsDataSet.h"

namespace kalvant::synth {

inline constexpr int kParts = 16;
inline constexpr std::uint8_t kRxOff = gs::kRxChannelOff;
inline constexpr std::uint8_t kCentre = 0x40;  // the zero of offset parameters

struct PartState {
  std::uint8_t toneBank = 0;  // the CC#0 value
  std::uint8_t toneProgram = 0;
  std::uint8_t rxChannel = 0;  // 0..15, or kRxOff
  std::uint8_t rhythm = 0;     // 0 = melodic, 1/2 = drum map
  std::uint8_t keyShift = kCentre;
  std::uint8_t level = 100;
  std::uint8_t pan = kCentre;  // 0 = random
  std::uint8_t chorusSend = 0;
  std::uint8_t reverbSend = 40;
  std::uint8_t vibratoRate = kCentre;
  std::uint8_t vibratoDepth = kCentre;
  std::uint8_t vibratoDelay = kCentre;
  std::array<std::uint8_t, 12> scaleTuning{};  // C..B, kCentre = 0 cents
  std::uint8_t modPitchDepth = 0x0A;           // what CC1 does to the pitch
  std::uint8_t modAmplitudeDepth = 0;          // what CC1 does to the loudness

  int keyShiftSemitones() const { return keyShift - kCentre; }
  bool receives(int channel) const { return rxChannel == channel; }
};

struct SystemState {
  std::uint8_t reverbMacro = 4;  // Hall 2
  std::uint8_t reverbLevel = 64;
  std::uint8_t reverbTime = 64;
  std::uint8_t chorusMacro = 2;  // Chorus 3
  std::uint8_t chorusLevel = 64;
};

// What a data set changed, for the sound engine to carry out.
enum class Param {
  Reset,
  Tone,
  RxChannel,
  Rhythm,
  KeyShift,
  Level,
  Pan,
  ChorusSend,
  ReverbSend,
  Vibrato,  // rate, depth or delay
  ScaleTuning,
  ModDepth,  // CC1 pitch or amplitude depth
  Reverb,    // macro, level or time
  Chorus,    // macro or level
};

struct Change {
  Param param;
  int part = -1;  // 0..15 for part parameters
  bool operator==(const Change&) const = default;
};

// Where a data set's changes go, in order, each once the bytes it covers
// are written.
class ChangeSink {
 public:
  virtual void changed(const Change& c) = 0;

 protected:
  ~ChangeSink() = default;
};

struct SysexCounts {
  int dataSets = 0;  // acted on
  int notForUs = 0;  // other makers, models, devices, commands
  int malformed = 0;
  int unknownAddress = 0;  // intact data sets for parameters this module lacks
};

// Part index (0..15) of address block x, or -1: parts 1..9 are blocks 1..9,
// part 10 is block 0, parts 11..16 are blocks A..F.
int partOfBlock(int x);
int blockOfPart(int part);

class GsInterpreter {
 public:
  GsInterpreter() { reset(); }

  // One complete system-exclusive message; what it changed goes to `sink`.
  // Never allocates: the module takes data sets on the audio thread.
  void receiveSysex(const std::uint8_t* bytes, std::size_t size, ChangeSink& sink);
  // The same, returning what changed, in order.
  std::vector<Change> receiveSysex(const std::uint8_t* bytes, std::size_t size);
  // An intact data set: each data byte goes to the next address.
  void write(std::uint32_t address, const std::uint8_t* data, std::size_t size, ChangeSink& sink);
  // The GS reset's defaults.
  void reset();

  const PartState& part(int index) const { return parts_[static_cast<std::size_t>(index)]; }
  PartState& part(int index) { return parts_[static_cast<std::size_t>(index)]; }
  const SystemState& system() const { return system_; }
  const SysexCounts& counts() const { return counts_; }

 private:
  bool writeByte(std::uint32_t address, std::uint8_t value, Change& change);
  bool writePart(int part, int block, std::uint8_t offset, std::uint8_t value, Change& change);
  bool writeSystem(std::uint8_t offset, std::uint8_t value, Change& change);

  std::array<PartState, kParts> parts_{};
  SystemState system_{};
  SysexCounts counts_{};
};

}  // namespace kalvant::synth
