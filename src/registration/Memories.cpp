// Combination memories: recall, store, REC, CLEAR and the memory row.

#include "registration/Combinations.h"

#include "common/NoteNames.h"

namespace kalvant {

namespace {

// CLEAR leaves the live slot on values that differ from every default, so
// that the next update sends the whole default registration.
constexpr Registration kClearedLive{1, 1, 11, 1, 49, 1, 79, 1, 1, 0};

}  // namespace

void Combinations::c_memory_Click(int Index) {
  if (Index < 1 || Index > kLastMemory) Index = 1;
  const UndoStep recall = registrationStep(UndoKind::Recall, Index);
  paintFixedBar(Index >= kFirstFixedMemory ? Index - 12 : 0);
  memoryShownGreen_ = false;
  const bool recorded = recArmed_ && Index <= 12;
  if (recArmed_) {
    if (Index <= 12) {  // fixed memories cannot be stored with REC
      if (bank_.memory(Index) != bank_.pending) {
        UndoStep store;
        store.kind = UndoKind::Store, store.memory = Index;
        store.registration = bank_.memory(Index);
        store.freeMemoriesUnsaved = freeMemoriesUnsaved_;
        remember(store);
      }
      bank_.memory(Index) = bank_.pending;
      freeMemoriesUnsaved_ = true;
      memoryShownGreen_ = true;
    }
    recArmed_ = false;
    paint(view_.recButton, Lamp::Unlit);
  } else {
    // Values from files are checked here, where they enter the console.
    if (playable(bank_.memory(Index)) != bank_.pending) remember(recall);
    bank_.pending = playable(bank_.memory(Index));
    AGGIORNAMENTO_KALVO();
    memoryShownGreen_ = true;
  }
  if (currentMemory_ >= 1 && currentMemory_ <= 12) {
    showLed(currentMemory_, greenOffPath_, "off");
  }
  if (Index <= 12) showLed(Index, greenOnPath_, recorded ? "recorded" : "current");
  currentMemory_ = Index;
  anyRecalled_ = true;
}

void Combinations::Graduatore_Click(int Index) {
  c_memory_Click(Index + 12);
}

void Combinations::Rec_button_Click() {
  recArmed_ = !recArmed_;
  paint(view_.recButton, recArmed_ ? Lamp::Lit : Lamp::Unlit);
}

void Combinations::CANCEL_Click() {
  const bool unsaved = freeMemoriesUnsaved_;
  if (freeMemoriesUnsaved_) {
    if (!hooks_.ask("The free memories are not saved. Erase them anyway?")) return;
    freeMemoriesUnsaved_ = false;
  }
  UndoStep clear = registrationStep(UndoKind::Clear, 0);
  clear.freeMemoriesUnsaved = unsaved;  // as before the question
  remember(clear);
  paint(view_.clearButton, Lamp::Lit);
  unlightStops();
  for (int slot = 1; slot <= 12; ++slot) bank_.memory(slot) = kInitialRegistration;
  bank_.live = kClearedLive;
  bank_.pending = kInitialRegistration;
  clearMemoryLeds();
  paintFixedBar(0);
  AGGIORNAMENTO_KALVO();
  paint(view_.clearButton, Lamp::Unlit);
}

void Combinations::SaveFIXED_Click() {
  if (!hooks_.ask("Warning! The fixed memories will be overwritten with the current free memories. "
                  "Continue anyway?")) {
    return;
  }
  fixedSaveRequested_ = true;
  hooks_.saveSettings();
}

void Combinations::Labelmode_Click() {
  settings_.MemoryLabelMode = settings_.MemoryLabelMode == 0 ? 1 : 0;
  Scrivi_Label_memorie();
}

void Combinations::Scrivi_Label_memorie() {
  const bool notes = settings_.MemoryLabelMode != 0;
  for (int i = 1; i <= 12; ++i) {
    set(view_.memoryLabels[i].text, notes ? kNoteNames[i - 1] : std::to_string(i - 1));
  }
  set<std::string>(view_.labelModeButton.caption, settings_.MemoryLabelMode == 1 ? "#" : "0");
}

void Combinations::Scrivi_ToolTips_Led_memorie() {
  for (int i = 1; i <= 12; ++i) {
    const std::string n = std::to_string(i);
    set<std::string>(
        view_.memoryLeds[i].tooltip,
        "Load free memory " + n + ". With REC on, click to store the stops in it. Keys: F1 to F12");
    set<std::string>(view_.fixedMemoryBar[i].tooltip,
                     "Load fixed memory " + n + ". Keys: 1 to 9, =, ?, ^");
  }
}

}  // namespace kalvant
