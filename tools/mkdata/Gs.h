#pragma once
// GS data-set messages and the module's vocabulary (tones, pitches, reverb
// and chorus types) as the stop list names them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvant::mkdata {

inline constexpr std::uint8_t kRolandId = 0x41;
inline constexpr std::uint8_t kDeviceId = 0x10;
inline constexpr std::uint8_t kGsModel = 0x42;
inline constexpr std::uint8_t kDisplayModel = 0x45;
inline constexpr std::uint8_t kDataSet = 0x12;
inline constexpr int kParts = 16;
inline constexpr int kDisplayMaxChars = 32;

// Roland checksum over the address and data bytes.
std::uint8_t rolandChecksum(const std::vector<std::uint8_t>& addressAndData);

// F0 41 10 <model> 12 a1 a2 a3 data... cs F7. Every byte must be 7-bit.
std::string dataSet(std::uint8_t model, std::uint8_t a1, std::uint8_t a2, std::uint8_t a3,
                    const std::vector<std::uint8_t>& data);

// The GS reset that starts every set-up.
std::string gsReset();

// Part p (1..16) lives in address block x: parts 1..9 are 1..9, part 10 is
// 0, parts 11..16 are A..F.
std::uint8_t partBlock(int part);

// One parameter of one part: 40 1x <offset> or, for the controller
// depths, 40 2x <offset>.
std::string partParameter(int part, std::uint8_t offset, std::uint8_t value);
std::string partControllerParameter(int part, std::uint8_t offset, std::uint8_t value);
std::string partTone(int part, std::uint8_t bank, std::uint8_t program);
std::string partScaleTuning(int part, const std::vector<std::uint8_t>& twelveBytes);

// Part parameter offsets in block 40 1x.
namespace gs {
inline constexpr std::uint8_t kRxChannel = 0x02;
inline constexpr std::uint8_t kRxChannelOff = 0x10;
inline constexpr std::uint8_t kRhythmPart = 0x15;
inline constexpr std::uint8_t kKeyShift = 0x16;
inline constexpr std::uint8_t kLevel = 0x19;
inline constexpr std::uint8_t kPan = 0x1C;
inline constexpr std::uint8_t kChorusSend = 0x21;
inline constexpr std::uint8_t kReverbSend = 0x22;
inline constexpr std::uint8_t kVibratoRate = 0x30;
inline constexpr std::uint8_t kVibratoDepth = 0x31;
inline constexpr std::uint8_t kVibratoDelay = 0x37;
// In block 40 2x: what the modulation wheel (CC1) does.
inline constexpr std::uint8_t kModPitchDepth = 0x04;
inline constexpr std::uint8_t kModAmplitudeDepth = 0x06;
}  // namespace gs

// Module-wide effects: 40 01 30.. .
std::string reverbParameter(std::uint8_t offset, std::uint8_t value);
namespace gs {
inline constexpr std::uint8_t kReverbMacro = 0x30;
inline constexpr std::uint8_t kReverbLevel = 0x33;
inline constexpr std::uint8_t kReverbTime = 0x34;
inline constexpr std::uint8_t kChorusMacro = 0x38;
}  // namespace gs

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
