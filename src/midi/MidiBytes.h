#pragma once
// Byte-level facts of the MIDI protocol the port layer relies on.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kalvant::midi {

// Length in bytes of the message that starts with this status byte; 0 for a
// data byte and for the sysex framing bytes F0 and F7.
int shortMessageLength(std::uint8_t status);

// Cuts a byte string at every F7: each piece ends with its F7. Bytes after the
// last F7 are left out.
std::vector<std::string_view> splitAtF7(std::string_view bytes);

}  // namespace kalvant::midi
