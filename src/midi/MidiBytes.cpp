#include "midi/MidiBytes.h"

namespace kalvant::midi {

int shortMessageLength(std::uint8_t status) {
  if (status < 0x80) return 0;
  if (status < 0xF0) {
    const int kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
  }
  switch (status) {
    case 0xF1:  // MTC quarter frame
    case 0xF3:  // song select
      return 2;
    case 0xF2:  // song position
      return 3;
    case 0xF0:
    case 0xF7:
      return 0;
    default:  // tune request, real-time
      return 1;
  }
}

std::vector<std::string_view> splitAtF7(std::string_view bytes) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (static_cast<std::uint8_t>(bytes[i]) == 0xF7) {
      pieces.push_back(bytes.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  return pieces;
}

}  // namespace kalvant::midi
