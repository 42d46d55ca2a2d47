#include "stops/TableCheck.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "synth/GsDataSet.h"

namespace kalvant {

namespace {

constexpr int kLastSysexEntry = 112;  // the last temperament
constexpr unsigned char kSysexStart = 0xF0;
constexpr unsigned char kSysexEnd = 0xF7;
constexpr std::uint8_t kDisplayModel = 0x45;
// F0 41 10 42 12 a1 a2 a3 cs F7 around the data.
constexpr std::size_t kIdentityBytes = 5;
constexpr std::size_t kAddressAt = 5;
constexpr std::size_t kFramingBytes = 10;

std::string hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02Xh", value & 0xFFu);
  return text;
}

std::string addressText(std::uint32_t a) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X", (a >> 14) & 0x7Fu, (a >> 7) & 0x7Fu,
                a & 0x7Fu);
  return text;
}

// A run of consecutive addresses the module (or its display) takes.
struct AddressRange {
  std::uint32_t first, last;
  const char* what;
};

std::optional<AddressRange> rangeOf(std::uint8_t model, std::uint32_t address) {
  const auto a1 = static_cast<std::uint8_t>(address >> 14);
  const auto a2 = static_cast<std::uint8_t>((address >> 7) & 0x7F);
  const auto a3 = static_cast<std::uint8_t>(address & 0x7F);
  const auto block = [&](std::uint8_t last, const char* what) {
    return AddressRange{synth::gsAddress(a1, a2, 0), synth::gsAddress(a1, a2, last), what};
  };
  if (model == kDisplayModel) {
    if (a1 == 0x10 && a2 == 0x00 && a3 < 0x20) return block(0x1F, "the display text");
    return std::nullopt;
  }
  if (a1 == 0x40) {
    if (a2 == 0x00 && a3 <= 0x06) return block(0x06, "the system parameters");
    if (a2 == 0x00 && a3 == 0x7F) return AddressRange{address, address, "the GS reset"};
    if (a2 == 0x01 && a3 <= 0x5A) return block(0x5A, "the patch common parameters");
    if ((a2 >> 4) == 1 && a3 <= 0x4B) return block(0x4B, "a part's parameters");
    if ((a2 >> 4) == 2 && a3 <= 0x5A) return block(0x5A, "a part's controller parameters");
  }
  if (a1 == 0x41 && (a2 >> 4) <= 1 && (a2 & 0x0F) <= 9) return block(0x7F, "a drum map's setup");
  return std::nullopt;
}

// The one fault of a complete message m (F0 ... F7, 7-bit inside), or none.
std::optional<TableFault> dataSetFault(int entry, std::string_view m, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(m[i]); };
  const auto fault = [&](std::size_t i, std::string reason) {
    return TableFault{entry, at + i, std::move(reason)};
  };
  const std::string tooShort = "a message of " + std::to_string(m.size()) +
                               " bytes; a GS data set takes at least " +
                               std::to_string(kFramingBytes + 1);
  if (m.size() < kIdentityBytes) return fault(0, tooShort);
  if (byte(1) != synth::kMakerId) return fault(1, "maker " + hex(byte(1)) + ", not Roland's 41h");
  if (byte(2) != synth::kDeviceId)
    return fault(2, "device " + hex(byte(2)) + "; the module listens to 10h");
  if (byte(3) != synth::kGsModel && byte(3) != kDisplayModel)
    return fault(3, "model " + hex(byte(3)) + ", neither GS (42h) nor its display (45h)");
  if (byte(4) != synth::kDataSetCommand)
    return fault(4, "command " + hex(byte(4)) + ", not a data set (12h)");
  if (m.size() <= kFramingBytes) return fault(0, tooShort);
  const std::uint32_t address = synth::gsAddress(byte(5), byte(6), byte(7));
  const std::size_t size = m.size() - kFramingBytes;
  const auto* data = reinterpret_cast<const std::uint8_t*>(m.data()) + kAddressAt + 3;
  const std::uint8_t sum = synth::gsChecksum(address, data, size);
  if (sum != byte(m.size() - 2))
    return fault(m.size() - 2,
                 "checksum " + hex(byte(m.size() - 2)) + "; address and data make " + hex(sum));
  const std::optional<AddressRange> range = rangeOf(byte(3), address);
  if (!range)
    return fault(kAddressAt, "address " + addressText(address) + " is not in the GS address map");
  if (address + size - 1 > range->last)
    return fault(kAddressAt, std::to_string(size) + " data bytes from address " +
                                 addressText(address) + " run past " + addressText(range->last) +
                                 ", the end of " + range->what);
  return std::nullopt;
}

std::size_t nextStart(std::string_view bytes, std::size_t from) {
  const std::size_t next = bytes.find(static_cast<char>(kSysexStart), from);
  return next == std::string_view::npos ? bytes.size() : next;
}

}  // namespace

bool isSysexEntry(int entry) {
  return entry >= 0 && entry <= kLastSysexEntry;
}

bool isNameEntry(int entry) {
  return (entry >= entry::kFirstGreatStop + entry::kStopNameOffset &&
          entry <= entry::kLastStop + entry::kStopNameOffset) ||
         (entry >= entry::kPedalName && entry < kStopsTableSize);
}

std::vector<TableFault> checkSysexEntry(int entry, std::string_view bytes) {
  std::vector<TableFault> faults;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto first = static_cast<unsigned char>(bytes[pos]);
    if (first != kSysexStart) {
      faults.push_back({entry, pos, hex(first) + " outside a message: a message starts with F0h"});
      pos = nextStart(bytes, pos + 1);
      continue;
    }
    std::size_t i = pos + 1;
    while (i < bytes.size() && !(static_cast<unsigned char>(bytes[i]) & 0x80)) ++i;
    if (i == bytes.size()) {
      faults.push_back(
          {entry, pos, "the message from byte " + std::to_string(pos) + " has no F7h at its end"});
      break;
    }
    const auto stop = static_cast<unsigned char>(bytes[i]);
    if (stop != kSysexEnd) {
      faults.push_back({entry, i,
                        hex(stop) + " inside the message from byte " + std::to_string(pos) +
                            ": only F7h ends a message"});
      pos = stop == kSysexStart ? i : nextStart(bytes, i + 1);
      continue;
    }
    if (auto f = dataSetFault(entry, bytes.substr(pos, i + 1 - pos), pos)) faults.push_back(*f);
    pos = i + 1;
  }
  return faults;
}

std::vector<TableFault> checkNameEntry(int entry, std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x20 || b == 0x7F)
      return {{entry, i, hex(b) + " is a control character, which no name may hold"}};
    // The five bytes Windows-1252 leaves undefined.
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
      return {{entry, i, hex(b) + " is no character of Windows-1252"}};
  }
  return {};
}

std::vector<TableFault> checkTable(const StopsTable& table) {
  std::vector<TableFault> faults;
  for (int e = 0; e < kStopsTableSize; ++e) {
    std::vector<TableFault> found;
    if (isSysexEntry(e)) found = checkSysexEntry(e, table[static_cast<std::size_t>(e)]);
    if (isNameEntry(e)) found = checkNameEntry(e, table[static_cast<std::size_t>(e)]);
    faults.insert(faults.end(), found.begin(), found.end());
  }
  return faults;
}

}  // namespace kalvant
