#pragma once
// GS data sets (DT1): the only system-exclusive messages the built-in module
// acts on. F0 41 10 42 12 a1 a2 a3 data... cs F7.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kalvant::synth {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kMakerId = 0x41;
inline constexpr std::uint8_t kDeviceId = 0x10;
inline constexpr std::uint8_t kGsModel = 0x42;
inline constexpr std::uint8_t kDataSetCommand = 0x12;

// The GS address map: part parameters at 40 1x <offset> (x: the part's
// block), their controller depths at 40 2x <offset>, the effects at
// 40 01 <offset>.
namespace gs {
inline constexpr std::uint8_t kTone = 0x00;  // bank, then program
inline constexpr std::uint8_t kRxChannel = 0x02;
inline constexpr std::uint8_t kRxChannelOff = 0x10;  // the value: the part hears nothing
inline constexpr std::uint8_t kRhythmPart = 0x15;
inline constexpr std::uint8_t kKeyShift = 0x16;
inline constexpr std::uint8_t kLevel = 0x19;
inline constexpr std::uint8_t kPan = 0x1C;
inline constexpr std::uint8_t kChorusSend = 0x21;
inline constexpr std::uint8_t kReverbSend = 0x22;
inline constexpr std::uint8_t kVibratoRate = 0x30;
inline constexpr std::uint8_t kVibratoDepth = 0x31;
inline constexpr std::uint8_t kVibratoDelay = 0x37;
inline constexpr std::uint8_t kScaleTuning = 0x40;  // twelve bytes, C to B
// In block 40 2x: what the modulation wheel (CC1) does.
inline constexpr std::uint8_t kModPitchDepth = 0x04;
inline constexpr std::uint8_t kModAmplitudeDepth = 0x06;
// In block 40 01.
inline constexpr std::uint8_t kReverbMacro = 0x30;
inline constexpr std::uint8_t kReverbLevel = 0x33;
inline constexpr std::uint8_t kReverbTime = 0x34;
inline constexpr std::uint8_t kChorusMacro = 0x38;
inline constexpr std::uint8_t kChorusLevel = 0x3A;
}  // namespace gs

// A 21-bit GS address: three 7-bit bytes, most significant first.
constexpr std::uint32_t gsAddress(std::uint8_t a1, std::uint8_t a2, std::uint8_t a3) {
  return (std::uint32_t{a1} << 14) | (std::uint32_t{a2} << 7) | a3;
}

enum class SysexVerdict {
  DataSet,    // a GS data set for this device, intact
  NotForUs,   // another maker, model, device or command: none of our business
  Malformed,  // ours, but truncated, unterminated, 8-bit data or a bad checksum
};

// The data stays where it is in the message: parsing never allocates.
struct ParsedSysex {
  SysexVerdict verdict = SysexVerdict::NotForUs;
  std::uint32_t address = 0;
  const std::uint8_t* data = nullptr;  // one byte per consecutive address
  std::size_t size = 0;
};

// Looks at one complete message (F0 ... F7).
ParsedSysex parseSysex(const std::uint8_t* bytes, std::size_t size);

// (128 - (address bytes + data) mod 128) mod 128.
std::uint8_t gsChecksum(std::uint32_t address, const std::uint8_t* data, std::size_t size);
inline std::uint8_t gsChecksum(std::uint32_t address, const Bytes& data) {
  return gsChecksum(address, data.data(), data.size());
}

// A complete data set for device 10h; every data byte must be 7-bit. The
// model is the GS module's, or another (45h: its display) of the same maker.
Bytes makeDataSet(std::uint32_t address, const Bytes& data, std::uint8_t model = kGsModel);

// The GS reset: F0 41 10 42 12 40 00 7F 00 41 F7.
Bytes gsResetMessage();

}  // namespace kalvant::synth
