#pragma once
// The memory sequencer's order: free memories 1..12 (1..12), then fixed
// memories 1..12 (13..24), and round again.

#include "registration/MemoryBank.h"

namespace kalvant {

// The memory one step (+1 next, -1 previous) from `position` (1..24, or 0
// when none has been recalled yet: next is free memory 1, previous fixed
// memory 12).
constexpr int memoryAfter(int position, int direction) {
  if (position < 1 || position > kLastMemory) return direction > 0 ? 1 : kLastMemory;
  return (position - 1 + (direction > 0 ? 1 : kLastMemory - 1)) % kLastMemory + 1;
}

}  // namespace kalvant
