#pragma once
// One registration: the ten settings that a combination memory holds, in the
// order every file stores them.

#include <array>
#include <cstdint>

namespace kalvant {

struct Registration {
  std::int16_t GreatVolume = 127;
  std::int16_t SwellVolume = 127;
  std::int16_t GreatStop = 10;
  std::int16_t GreatTremolo = 0;
  std::int16_t SwellStop = 50;
  std::int16_t SwellTremolo = 0;
  std::int16_t PedalStop = 80;
  std::int16_t PedalCoupler = 0;
  std::int16_t ManualCoupler = 0;
  std::int16_t ActiveManual = 1;

  bool operator==(const Registration&) const = default;

  // The ten values in file order, for the readers and writers.
  std::array<std::int16_t, 10> values() const {
    return {GreatVolume,  SwellVolume, GreatStop,    GreatTremolo,  SwellStop,
            SwellTremolo, PedalStop,   PedalCoupler, ManualCoupler, ActiveManual};
  }
  static Registration fromValues(const std::array<std::int16_t, 10>& v) {
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
  }
};

// The console's initial registration: first stop of each division, volumes
// full, no tremolo, no coupler, the Great played by a single keyboard.
inline constexpr Registration kInitialRegistration{};

}  // namespace kalvant
