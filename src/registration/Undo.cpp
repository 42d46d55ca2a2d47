// Edit > Undo: one level, for a REC that overwrote a free memory and for a
// recall or CLEAR that replaced the registration on the stops. RESET, a
// loaded memory file and a new stops table in play forget the step.

#include <algorithm>

#include "registration/Combinations.h"

namespace kalvant {

UndoStep Combinations::registrationStep(UndoKind kind, int memory) const {
  UndoStep step;
  step.kind = kind, step.memory = memory, step.registration = bank_.pending;
  std::copy_n(bank_.memories.begin(), step.freeMemories.size(), step.freeMemories.begin());
  step.freeMemoriesUnsaved = freeMemoriesUnsaved_;
  step.currentMemory = currentMemory_;
  step.currentShownGreen = memoryShownGreen_;
  if (currentMemory_ >= 1 && currentMemory_ <= 12)
    step.currentLed = view_.memoryLeds[currentMemory_];
  while (step.fixedBarLit < 12 && view_.fixedMemoryBar[step.fixedBarLit + 1].lamp == Lamp::Lit)
    ++step.fixedBarLit;
  return step;
}

void Combinations::remember(const UndoStep& step) {
  undo_ = step;
  set(view_.undo.caption, undoCaption(undo_));
  set(view_.undo.enabled, canUndo());
}

void Combinations::forgetUndo() {
  remember({});
}

void Combinations::Undo_Click() {
  const UndoStep step = undo_;
  forgetUndo();
  switch (step.kind) {
    case UndoKind::Nothing:
      return;
    case UndoKind::Store:
      bank_.memory(step.memory) = step.registration;
      freeMemoriesUnsaved_ = step.freeMemoriesUnsaved;
      if (currentMemory_ == step.memory && bank_.pending != step.registration) Marca_Led_giallo();
      return;
    case UndoKind::Clear:
      std::copy(step.freeMemories.begin(), step.freeMemories.end(), bank_.memories.begin());
      freeMemoriesUnsaved_ = step.freeMemoriesUnsaved;
      [[fallthrough]];
    case UndoKind::Recall:
      restoreRegistration(step);
      return;
  }
}

// The registration goes out as a recall sends it, then the memory row
// shows what it showed before.
void Combinations::restoreRegistration(const UndoStep& step) {
  bank_.pending = step.registration;
  AGGIORNAMENTO_KALVO();
  if (currentMemory_ >= 1 && currentMemory_ <= 12) showLed(currentMemory_, greenOffPath_, "off");
  currentMemory_ = step.currentMemory;
  memoryShownGreen_ = step.currentShownGreen;
  if (currentMemory_ >= 1 && currentMemory_ <= 12) {
    set(view_.memoryLeds[currentMemory_].picturePath, step.currentLed.picturePath);
    set(view_.memoryLeds[currentMemory_].words, step.currentLed.words);
  }
  paintFixedBar(step.fixedBarLit);
}

}  // namespace kalvant
