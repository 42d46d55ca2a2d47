// Combination memories: recall, store, REC, CLEAR and the memory row.

#include "console/Console.h"

namespace kalvant {

namespace {

constexpr const char* kNoteNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                        "F#", "G",  "G#", "A",  "A#", "B"};

// CLEAR leaves the live slot on values that differ from every default, so
// that the next update sends the whole default registration.
constexpr Registration kClearedLive{1, 1, 11, 1, 49, 1, 79, 1, 1, 0};

}  // namespace

void Console::c_memory_Click(int Index) {
  if (Index < 1 || Index > kLastMemory) Index = 1;
  paintFixedBar(Index >= kFirstFixedMemory ? Index - 12 : 0);
  s.LedGreen = false;
  if (s.RecArmed) {
    if (Index <= 12) {  // fixed memories cannot be stored with REC
      s.bank.memory(Index) = s.bank.pending;
      s.FreeMemoriesUnsaved = true;
      s.LedGreen = true;
    }
    s.RecArmed = false;
    panel.paint(panel.Rec_button, Lamp::Unlit);
  } else {
    // Values from files are checked here, where they enter the console.
    s.bank.pending = playable(s.bank.memory(Index));
    AGGIORNAMENTO_KALVO();
    s.LedGreen = true;
  }
  if (s.CurrentMemory >= 1 && s.CurrentMemory <= 12) {
    panel.setPicture(panel.c_memory[s.CurrentMemory], s.LedGreenOffPath);
  }
  if (Index <= 12) panel.setPicture(panel.c_memory[Index], s.LedGreenOnPath);
  s.CurrentMemory = static_cast<i16>(Index);
}

void Console::paintFixedBar(int lit) {
  for (int i = 1; i <= 12; ++i)
    panel.paint(panel.Graduatore[i], i <= lit ? Lamp::Lit : Lamp::Inactive);
}

void Console::unlightStops() {
  for (int i = entry::kFirstGreatStop; i <= entry::kLastStop; ++i)
    panel.paint(panel.Tiranti[i], Lamp::Unlit);
}

void Console::clearMemoryLeds() {
  s.RecArmed = false;
  panel.paint(panel.Rec_button, Lamp::Unlit);
  s.LedGreen = false;
  s.CurrentMemory = 1;
  for (int i = 1; i <= 12; ++i) panel.setPicture(panel.c_memory[i], s.LedGreenOffPath);
}

void Console::Graduatore_Click(int Index) {
  c_memory_Click(Index + 12);
}

void Console::Rec_button_Click() {
  s.RecArmed = !s.RecArmed;
  panel.paint(panel.Rec_button, s.RecArmed ? Lamp::Lit : Lamp::Unlit);
}

void Console::CANCEL_Click() {
  if (s.FreeMemoriesUnsaved) {
    if (!ask("Free memories unsaved: erase anyway ?")) return;
    s.FreeMemoriesUnsaved = false;
  }
  panel.paint(panel.CANCEL, Lamp::Lit);
  unlightStops();
  for (int slot = 1; slot <= 12; ++slot) s.bank.memory(slot) = kInitialRegistration;
  s.bank.live = kClearedLive;
  s.bank.pending = kInitialRegistration;
  clearMemoryLeds();
  paintFixedBar(0);
  AGGIORNAMENTO_KALVO();
  panel.paint(panel.CANCEL, Lamp::Unlit);
}

void Console::SaveFIXED_Click() {
  if (!ask("Warning! FIXED MEMORIES will be overwritten with current free memory configuration. "
           "Continue anyway?")) {
    return;
  }
  s.FixedSaveRequested = true;
  Salva_dati_di_avvio();
}

void Console::Labelmode_Click() {
  s.settings.MemoryLabelMode = s.settings.MemoryLabelMode == 0 ? 1 : 0;
  Scrivi_Label_memorie();
}

void Console::Scrivi_Label_memorie() {
  const bool notes = s.settings.MemoryLabelMode != 0;
  for (int i = 1; i <= 12; ++i) {
    panel.setText(panel.Label1[i], notes ? kNoteNames[i - 1] : std::to_string(i - 1));
  }
  panel.setCaption(panel.LabelMode, s.settings.MemoryLabelMode == 1 ? "#" : "0");
}

void Console::Scrivi_ToolTips_Led_memorie() {
  for (int i = 1; i <= 12; ++i) {
    const std::string n = std::to_string(i);
    panel.set(
        panel.c_memory[i].tooltip,
        "Load Free Memory N. " + n + " .If REC ON, push led to store stops. Hotkeys: F1..F12");
    panel.set(panel.Graduatore[i].tooltip,
              "Load Fixed Memory N. " + n + ".  Hotkeys: 1...9, = , ? , ^");
  }
}

}  // namespace kalvant
