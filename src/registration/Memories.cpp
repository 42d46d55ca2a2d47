// Combination memories: recall, store, REC, CLEAR and the memory row.

#include "console/Console.h"

namespace kalvant {

namespace {
constexpr const char* kNoteNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                        "F#", "G",  "G#", "A",  "A#", "B"};
}

void Console::c_memory_Click(int) {}
void Console::Graduatore_Click(int Index) {
  c_memory_Click(Index + 12);
}
void Console::Rec_button_Click() {}
void Console::CANCEL_Click() {}
void Console::SaveFIXED_Click() {}
void Console::Labelmode_Click() {}

void Console::Scrivi_Label_memorie() {
  const bool notes = s.settings.MemoryLabelMode != 0;
  for (int i = 1; i <= 12; ++i) {
    panel.setText(panel.Label1[static_cast<std::size_t>(i)],
                  notes ? kNoteNames[i - 1] : std::to_string(i - 1));
  }
  panel.setCaption(panel.LabelMode, s.settings.MemoryLabelMode == 1 ? "#" : "0");
}

void Console::Scrivi_ToolTips_Led_memorie() {
  for (int i = 1; i <= 12; ++i) {
    const std::string n = std::to_string(i);
    panel.set(
        panel.c_memory[static_cast<std::size_t>(i)].tooltip,
        "Load Free Memory N. " + n + " .If REC ON, push led to store stops. Hotkeys: F1..F12");
    panel.set(panel.Graduatore[static_cast<std::size_t>(i)].tooltip,
              "Load Fixed Memory N. " + n + ".  Hotkeys: 1...9, = , ? , ^");
  }
}

}  // namespace kalvant
