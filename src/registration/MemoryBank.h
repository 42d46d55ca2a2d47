#pragma once
// The combination memories and the two registrations the console works on:
// `pending`, the one being chosen, and `live`, the one the module sounds.
// Memories are numbered as the organist sees them: free 1..12, fixed 13..24.

#include <array>

#include "registration/Registration.h"

namespace kalvant {

inline constexpr int kFirstFreeMemory = 1;
inline constexpr int kFirstFixedMemory = 13;
inline constexpr int kLastMemory = 24;

struct MemoryBank {
  std::array<Registration, kLastMemory> memories{};
  Registration pending;
  Registration live;

  Registration& memory(int number) { return memories.at(static_cast<std::size_t>(number - 1)); }
  const Registration& memory(int number) const {
    return memories.at(static_cast<std::size_t>(number - 1));
  }
};

}  // namespace kalvant
