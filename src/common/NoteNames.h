#pragma once
// The twelve pitch classes by name, from C: the memory labels in key mode
// and the MIDI monitor's notes.

namespace kalvant {

inline constexpr const char* kNoteNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                               "F#", "G",  "G#", "A",  "A#", "B"};

}  // namespace kalvant
