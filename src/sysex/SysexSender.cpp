#include "sysex/SysexSender.h"

#include <algorithm>

#include "midi/MidiBytes.h"

namespace kalvant {

void SysexSender::send(int N) {
  if (N < 0 || N >= kStopsTableSize || stopped_()) return;
  // A copy: a handler running during a pause may load another table.
  const std::string entry = table_[static_cast<std::size_t>(N)];
  const int delay = std::max<int>(sysexDelay_, 0);
  if (delay == 0) {
    output_.sysex(entry);
    return;
  }
  for (std::string_view message : midi::splitAtF7(entry)) {
    output_.sysex(message);
    wait(delay);
    if (stopped_()) return;
  }
}

void SysexSender::wait(int msec) {
  if (stopped_()) return;
  loop_.startTimer(std::max(msec, 1));
  timerExpired_ = false;
  // A wait nested inside this one re-arms the same timer; when it ends,
  // timerExpired_ is already set and this wait ends with it.
  while (!timerExpired_ && !stopped_()) loop_.waitForEvents();
  loop_.stopTimer();
}

}  // namespace kalvant
