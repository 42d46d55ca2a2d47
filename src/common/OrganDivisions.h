#pragma once
// The three divisions of the organ: which stop buttons belong to each, the
// module channel that plays it and the name the tables and texts use. Every
// stop range and division channel in the program comes from this table.

#include <array>
#include <cstdint>

namespace kalvant {

struct OrganDivision {
  const char* name;
  int firstStop, lastStop;  // stop buttons and sysex entries
  int channel;              // 0-based module channel

  constexpr bool holds(int stop) const { return stop >= firstStop && stop <= lastStop; }
  // The status byte of a controller message on the division's channel.
  constexpr int controllerStatus() const { return 0xB0 | channel; }
};

inline constexpr OrganDivision kGreatDivision{"Great", 10, 49, 0};
inline constexpr OrganDivision kSwellDivision{"Swell", 50, 79, 1};
inline constexpr OrganDivision kPedalDivision{"Pedal", 80, 99, 2};
inline constexpr std::array<OrganDivision, 3> kDivisions{kGreatDivision, kSwellDivision,
                                                         kPedalDivision};

// The division that holds a stop, or null.
constexpr const OrganDivision* divisionOfStop(int stop) {
  for (const OrganDivision& d : kDivisions)
    if (d.holds(stop)) return &d;
  return nullptr;
}

}  // namespace kalvant
