// Entry points of the output schedule.

#include "console/Console.h"

namespace kalvant {

void Console::INVIO_SYSEX(int N) {
  schedule_.send(N);
}

void Console::Waiting_Timer(int msec) {
  schedule_.pause(msec);
}

}  // namespace kalvant
