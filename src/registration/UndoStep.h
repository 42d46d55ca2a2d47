#pragma once
// One level of undo for the actions that lose something: a REC that
// overwrote a free memory, and a recall or CLEAR that replaced the
// registration on the stops. The step holds what the action replaced.

#include <array>
#include <string>

#include "registration/Registration.h"
#include "view/Views.h"

namespace kalvant {

enum class UndoKind { Nothing, Store, Recall, Clear };

struct UndoStep {
  UndoKind kind = UndoKind::Nothing;
  int memory = 0;  // the memory stored or recalled, 1..24
  // Store: the memory's previous contents. Recall and Clear: the
  // registration on the stops before.
  Registration registration;
  // Clear: the free memories before, and for Store and Clear whether
  // they were unsaved before.
  std::array<Registration, 12> freeMemories{};
  bool freeMemoriesUnsaved = false;
  // Recall and Clear: the memory row before.
  int currentMemory = 1;
  bool currentShownGreen = false;
  PictureView currentLed;
  int fixedBarLit = 0;
};

// The Edit menu's caption for a step: "&Undo store to memory 5", "&Undo
// recall of fixed memory 2", or plain "&Undo" when there is nothing to undo.
inline std::string undoCaption(const UndoStep& step) {
  const int m = step.memory;
  switch (step.kind) {
    case UndoKind::Store:
      return "&Undo store to memory " + std::to_string(m);
    case UndoKind::Recall:
      return m > 12 ? "&Undo recall of fixed memory " + std::to_string(m - 12)
                    : "&Undo recall of memory " + std::to_string(m);
    case UndoKind::Clear:
      return "&Undo clear";
    case UndoKind::Nothing:
      break;
  }
  return "&Undo";
}

}  // namespace kalvant
