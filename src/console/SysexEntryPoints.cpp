// Entry points of the sysex sender.

#include "console/Console.h"

namespace kalvant {

void Console::INVIO_SYSEX(int N) {
  sysex_.send(N);
}

void Console::Waiting_Timer(int msec) {
  sysex_.wait(msec);
}

}  // namespace kalvant
