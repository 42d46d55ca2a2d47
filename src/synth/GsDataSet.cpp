#include "synth/GsDataSet.h"

namespace kalvant::synth {

namespace {

// F0 41 dd 42 12 a1 a2 a3 ... cs F7: ten bytes of framing around the data.
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kFramingSize = 10;

std::uint8_t addressByte(std::uint32_t address, int shift) {
  return static_cast<std::uint8_t>((address >> shift) & 0x7F);
}

}  // namespace

std::uint8_t gsChecksum(std::uint32_t address, const std::uint8_t* data, std::size_t size) {
  unsigned sum = addressByte(address, 14) + addressByte(address, 7) + addressByte(address, 0);
  for (std::size_t i = 0; i < size; ++i) sum += data[i];
  return static_cast<std::uint8_t>((128 - sum % 128) % 128);
}

ParsedSysex parseSysex(const std::uint8_t* bytes, std::size_t size) {
  ParsedSysex out;
  if (size < 5 || bytes[0] != 0xF0) {
    out.verdict = SysexVerdict::Malformed;
    return out;
  }
  // Identity is judged on the first bytes alone: a truncated message from
  // another maker is still not ours to count.
  if (bytes[1] != kMakerId || bytes[2] != kDeviceId || bytes[3] != kGsModel ||
      bytes[4] != kDataSetCommand) {
    return out;
  }
  out.verdict = SysexVerdict::Malformed;
  if (size < kFramingSize + 1 || bytes[size - 1] != 0xF7) return out;
  for (std::size_t i = 1; i + 1 < size; ++i) {
    if (bytes[i] & 0x80) return out;
  }
  const std::uint32_t address = gsAddress(bytes[5], bytes[6], bytes[7]);
  const std::size_t dataSize = size - kFramingSize;
  if (gsChecksum(address, bytes + kHeaderSize, dataSize) != bytes[size - 2]) return out;
  out.verdict = SysexVerdict::DataSet;
  out.address = address;
  out.data = bytes + kHeaderSize;
  out.size = dataSize;
  return out;
}

Bytes makeDataSet(std::uint32_t address, const Bytes& data, std::uint8_t model) {
  Bytes m;
  m.reserve(data.size() + 10);
  for (std::uint8_t b :
       {std::uint8_t{0xF0}, kMakerId, kDeviceId, model, kDataSetCommand, addressByte(address, 14),
        addressByte(address, 7), addressByte(address, 0)}) {
    m.push_back(b);
  }
  m.insert(m.end(), data.begin(), data.end());
  m.push_back(gsChecksum(address, data));
  m.push_back(0xF7);
  return m;
}

Bytes gsResetMessage() {
  return makeDataSet(gsAddress(0x40, 0x00, 0x7F), {0x00});
}

}  // namespace kalvant::synth
