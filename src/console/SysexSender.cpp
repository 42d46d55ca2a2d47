// Sending stops-table entries to the module, whole or paced message by
// message, and the console's one pause that keeps every event running.

#include <algorithm>

#include "console/Console.h"
#include "midi/MidiBytes.h"

namespace kalvant {

void Console::INVIO_SYSEX(int N) {
  if (N < 0 || N >= kStopsTableSize || ended_) return;
  // A copy: a handler running during a pause may load another table.
  const std::string entry = s.StopsTable[static_cast<std::size_t>(N)];
  const int delay = std::max<int>(s.settings.SysexDelay, 0);
  if (delay == 0) {
    w_.MIDIOutput1.sendSysex(entry);
    return;
  }
  for (std::string_view message : midi::splitAtF7(entry)) {
    w_.MIDIOutput1.sendSysex(message);
    Waiting_Timer(delay);
    if (ended_) return;
  }
}

void Console::Waiting_Timer(int msec) {
  if (ended_) return;
  w_.loop.startTimer(std::max(msec, 1));
  s.TimerExpired = false;
  // A wait nested inside this one re-arms the same timer; when it ends,
  // TimerExpired is already set and this wait ends with it.
  while (!s.TimerExpired && !ended_) w_.loop.waitForEvents();
  w_.loop.stopTimer();
}

}  // namespace kalvant
