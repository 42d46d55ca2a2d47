#pragma once
// The stops table: 231 byte strings that make the console a particular organ.
// Sysex entries hold raw MIDI bytes (F0 ... F7, possibly several messages);
// the others hold names and labels as Windows-1252 bytes, decoded to UTF-8
// where they are shown (common/Text.h) and encoded back when saved.

#include <array>
#include <cstddef>
#include <string>

#include "common/OrganDivisions.h"

namespace kalvant {

inline constexpr int kStopsTableSize = 231;
using StopsTable = std::array<std::string, kStopsTableSize>;

// Index map of the table.
namespace entry {
inline constexpr int kIdentification = 0;
inline constexpr int kSetupFullOrgan = 1;
inline constexpr int kReverbChurch = 7;
inline constexpr int kFirstGreatStop = kGreatDivision.firstStop;
inline constexpr int kFirstSwellStop = kSwellDivision.firstStop;
inline constexpr int kFirstPedalStop = kPedalDivision.firstStop;
inline constexpr int kLastStop = kPedalDivision.lastStop;
inline constexpr int kModuleReset = 100;
inline constexpr int kFirstTemperament = 101;
inline constexpr int kStopNameOffset = 104;  // name of stop i is entry i + 104
inline constexpr int kPedalName = 205;
inline constexpr int kGreatName = 206;
inline constexpr int kSwellName = 207;
inline constexpr int kFirstLabel = 208;        // labels of entries 0..9
inline constexpr int kFirstSystemLabel = 218;  // labels of entries 100..112
}  // namespace entry

// A stop whose sysex is this long or shorter is not defined: its button is
// disabled. The first stop of each division always stays playable.
inline constexpr std::size_t kUndefinedStopMaxLength = 110;

inline bool isStopIndex(int i) {
  return i >= entry::kFirstGreatStop && i <= entry::kLastStop;
}

// The entry holding the name of sysex entry e: a system entry's label or a
// stop's name; -1 for an entry nothing names.
inline int nameEntryOf(int e) {
  constexpr int kSystemEntries = kStopsTableSize - entry::kFirstSystemLabel;  // 100..112
  if (e >= 0 && e < entry::kFirstGreatStop) return entry::kFirstLabel + e;
  if (isStopIndex(e)) return e + entry::kStopNameOffset;
  if (e >= entry::kModuleReset && e < entry::kModuleReset + kSystemEntries)
    return entry::kFirstSystemLabel + e - entry::kModuleReset;
  return -1;
}

inline bool stopButtonEnabled(const StopsTable& table, int stop) {
  return stop == entry::kFirstGreatStop || stop == entry::kFirstSwellStop ||
         stop == entry::kFirstPedalStop || table[stop].size() > kUndefinedStopMaxLength;
}

}  // namespace kalvant
