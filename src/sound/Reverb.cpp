// Reverb: Church, Cathedral or Chapel, each one stops-table entry.

#include "console/Console.h"

namespace kalvant {

namespace {
constexpr const char* kReverbItems[] = {"Reverb1", "Reverb2", "Reverb3"};
}

void Console::Reverb_Click(int type) {
  const bool marked = !panel.checked(kReverbItems[type]);
  panel.check(kReverbItems[type], marked);
  if (!marked) return;  // the current reverb clicked off: nothing is sent
  s.settings.ReverbType = static_cast<i16>(type);
  Adjust_Reverb_check();
}

void Console::Adjust_Reverb_check() {
  for (int t = 0; t < 3; ++t) panel.check(kReverbItems[t], s.settings.ReverbType == t);
  if (s.settings.ReverbType >= 0 && s.settings.ReverbType <= 2) {
    INVIO_SYSEX(entry::kReverbChurch + s.settings.ReverbType);
  }
}

}  // namespace kalvant
