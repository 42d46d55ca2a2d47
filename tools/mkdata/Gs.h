#pragma once
// GS data-set messages and the module's vocabulary (tones, pitches, reverb
// and chorus types) as the stop list names them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "synth/GsDataSet.h"

namespace kalvant::mkdata {

// The display's model: the identification shows the organ's name there.
inline constexpr std::uint8_t kDisplayModel = 0x45;
inline constexpr int kDisplayMaxChars = 32;

// The module's address map, shared with the built-in synthesizer that reads it.
namespace gs = synth::gs;

// F0 41 10 <model> 12 a1 a2 a3 data... cs F7. Every byte must be 7-bit.
std::string dataSet(std::uint8_t model, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3,
                    const std::vector<std::uint8_t>& data);

// The GS reset that starts every set-up.
std::string gsReset();

// One parameter of part p (1..16): 40 1x <offset> or, for the controller
// depths, 40 2x <offset>.
std::string partParameter(int part, std::uint8_t offset, std::uint8_t value);
std::string partControllerParameter(int part, std::uint8_t offset, std::uint8_t value);
std::string partTone(int part, std::uint8_t bank, std::uint8_t program);
std::string partScaleTuning(int part, const std::vector<std::uint8_t>& twelveBytes);

// Module-wide effects: 40 01 30.. .
std::string reverbParameter(std::uint8_t offset, std::uint8_t value);

struct Tone {
  std::uint8_t bank;
  std::uint8_t program;  // 0-based
};

// "Church Organ 1", "Trumpet" ... (case does not matter) or "bank/program"
// with a 0-based program, e.g. "8/19".
std::optional<Tone> findTone(std::string_view name);

// Organ pitch in feet as written on a stop knob: "16'", "8'", "2 2/3'" (the
// foot mark may be left out); returns the key shift in semitones.
std::optional<int> keyShiftForPitch(std::string_view feet);
std::string knownPitches();

std::optional<std::uint8_t> reverbMacro(std::string_view name);
std::optional<std::uint8_t> chorusMacro(std::string_view name);

}  // namespace kalvant::mkdata
