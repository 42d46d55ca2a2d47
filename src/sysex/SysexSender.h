#pragma once
// Sending stops-table entries to the module, whole or paced message by
// message (INVIO_SYSEX), and the console's one pause that keeps every event
// running (Waiting_Timer).

#include <functional>

#include "common/Services.h"
#include "stops/StopsTable.h"
#include "sysex/ModuleOutput.h"

namespace kalvant {

class SysexSender {
 public:
  // `table` and `sysexDelay` are read at each send: a handler running during
  // a pause may load another table or change the delay. `stopped` is true
  // once the console has shut down: nothing is sent or waited for then.
  SysexSender(ModuleOutput& output, EventLoop& loop, const StopsTable& table,
              const std::int16_t& sysexDelay, std::function<bool()> stopped)
      : output_(output),
        loop_(loop),
        table_(table),
        sysexDelay_(sysexDelay),
        stopped_(std::move(stopped)) {}

  void send(int entryIndex);
  void wait(int msec);
  // The timer's tick: ends the wait in progress.
  void timerExpired() { timerExpired_ = true; }

 private:
  ModuleOutput& output_;
  EventLoop& loop_;
  const StopsTable& table_;
  const std::int16_t& sysexDelay_;
  std::function<bool()> stopped_;
  bool timerExpired_ = false;
};

}  // namespace kalvant
