// The computer keyboard recalls memories; PANIC silences the divisions.

#include "console/Console.h"

namespace kalvant {

void Console::Form_KeyDown(int KeyCode, int /*Shift*/) {
  if (KeyCode >= 112 && KeyCode <= 123) c_memory_Click(KeyCode - 111);  // F1..F12
}

// The digit row recalls the fixed memories: "1".."9" are 13..21, then the
// three keys right of 9 on an Italian keyboard ("0", apostrophe, "ì") are
// 22, 23 and 24. Layouts without "ì" have "=" at its place (US, UK), so
// "=" recalls 24 too.
void Console::Form_KeyPress(int KeyAscii) {
  if (KeyAscii >= '1' && KeyAscii <= '9') {
    c_memory_Click(KeyAscii - 36);
  } else if (KeyAscii == '0') {
    c_memory_Click(22);
  } else if (KeyAscii == '\'') {
    c_memory_Click(23);
  } else if (KeyAscii == 236 || KeyAscii == '=') {
    c_memory_Click(24);
  }
}

// All Notes Off twice on each division channel.
void Console::Panic_Click() {
  for (const OrganDivision& d : kDivisions) {
    output_.allNotesOff(d);
    output_.allNotesOff(d);
  }
}

}  // namespace kalvant
