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

// A 21-bit GS address: three 7-bit bytes, most significant first.
constexpr std::uint32_t gsAddress(std::uint8_t a1, std::uint8_t a2, std::uint8_t a3) {
  return (std::uint32_t{a1} << 14) | (std::uint32_t{a2} << 7) | a3;
}

enum class SysexVerdict {
  DataSet,    // a GS data set for this device, intact
  NotForUs,   // another maker, model, device or command: none of our business
  Malformed,  // ours, but truncated, unterminated, 8-bit data or a bad checksum
};

struct ParsedSysex {
  SysexVerdict verdict = SysexVerdict::NotForUs;
  std::uint32_t address = 0;
  Bytes data;  // one byte per consecutive address
};

// Looks at one complete message (F0 ... F7).
ParsedSysex parseSysex(const std::uint8_t* bytes, std::size_t size);

// (128 - (address bytes + data) mod 128) mod 128.
std::uint8_t gsChecksum(std::uint32_t address, const Bytes& data);

// A complete data set for device 10h; every data byte must be 7-bit.
Bytes makeDataSet(std::uint32_t address, const Bytes& data);

// The GS reset: F0 41 10 42 12 40 00 7F 00 41 F7.
Bytes gsResetMessage();

}  // namespace kalvant::synth
