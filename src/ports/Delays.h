#pragma once
// The ranges of the two delays the setup dialog sets.

namespace kalvant::ports {

inline constexpr int kMaxSysexDelay = 100;  // milliseconds after each sysex message
inline constexpr int kMaxNoteDelay = 500;   // microseconds at least between output messages

}  // namespace kalvant::ports
