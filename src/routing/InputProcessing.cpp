// What the keyboards play: the two inputs' message handlers.

#include "console/Console.h"

namespace kalvant {

// Until routing is built, received messages are taken off the queue so the
// input never backs up.
void Console::MIDIInput1_Message() {
  while (w_.MIDIInput1.queueCount() >= 1) w_.MIDIInput1.dropHead();
}

void Console::MIDIInput2_Message() {
  while (w_.MIDIInput2.queueCount() >= 1) w_.MIDIInput2.dropHead();
}

void Console::Form_KeyDown(int, int) {}
void Console::Form_KeyPress(int) {}
void Console::Panic_Click() {}
void Console::MidiTHRU_Click() {}

}  // namespace kalvant
