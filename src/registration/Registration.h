#pragma once
// One registration: the ten settings that a combination memory holds, in the
// order every file stores them.

#include <array>
#include <cstdint>

#include "common/OrganDivisions.h"

namespace kalvant {

struct Registration {
  std::int16_t GreatVolume = 127;
  std::int16_t SwellVolume = 127;
  std::int16_t GreatStop = kGreatDivision.firstStop;
  std::int16_t GreatTremolo = 0;
  std::int16_t SwellStop = kSwellDivision.firstStop;
  std::int16_t SwellTremolo = 0;
  std::int16_t PedalStop = kPedalDivision.firstStop;
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

// A registration the console can play, whatever a file held: volumes are
// kept inside the sliders' 80..127, every other value outside its set falls
// back to the initial registration's value for that setting.
inline Registration playable(Registration r) {
  const Registration& d = kInitialRegistration;
  auto within = [](std::int16_t& v, int lo, int hi, std::int16_t fallback) {
    if (v < lo || v > hi) v = fallback;
  };
  auto clampVolume = [](std::int16_t& v) { v = v < 80 ? 80 : v > 127 ? 127 : v; };
  clampVolume(r.GreatVolume);
  clampVolume(r.SwellVolume);
  within(r.GreatStop, kGreatDivision.firstStop, kGreatDivision.lastStop, d.GreatStop);
  within(r.SwellStop, kSwellDivision.firstStop, kSwellDivision.lastStop, d.SwellStop);
  within(r.PedalStop, kPedalDivision.firstStop, kPedalDivision.lastStop, d.PedalStop);
  within(r.GreatTremolo, 0, 1, d.GreatTremolo);
  within(r.SwellTremolo, 0, 1, d.SwellTremolo);
  within(r.PedalCoupler, 0, 2, d.PedalCoupler);
  within(r.ManualCoupler, 0, 2, d.ManualCoupler);
  within(r.ActiveManual, 1, 3, d.ActiveManual);
  return r;
}

}  // namespace kalvant
