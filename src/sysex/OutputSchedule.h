#pragma once
// What the console sends to the module besides the notes it routes: stops-table
// entries (INVIO_SYSEX), whole or paced message by message, the sound
// settings' controllers, and the pauses the module needs (Waiting_Timer).
// They are queued in order and released by time: an item leaves when every
// item before it has left and every pause before it has ended. With nothing
// queued and no pause running, a message leaves at once.
//
// The console's one timer wakes the schedule for its next due item; no
// procedure ever waits for it. GUI thread only.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/OrganDivisions.h"
#include "common/Services.h"
#include "stops/StopsTable.h"
#include "sysex/ModuleOutput.h"

namespace kalvant {

class OutputSchedule {
 public:
  // Items sent for no division's stop.
  static constexpr int kUntagged = -1;

  // `table` and `sysexDelay` are read when an entry is queued.
  OutputSchedule(ModuleOutput& output, EventLoop& loop, const StopsTable& table,
                 const std::int16_t& sysexDelay)
      : output_(output), loop_(loop), table_(table), sysexDelay_(sysexDelay) {}
  OutputSchedule(const OutputSchedule&) = delete;
  OutputSchedule& operator=(const OutputSchedule&) = delete;

  // Entry N, whole with no sysex delay, otherwise message by message (each
  // F7 ends one) with the delay after each. Tagged with a division (0 Great,
  // 1 Swell, 2 Pedal) it belongs to that division's stop change.
  void send(int entryIndex, int division = kUntagged);
  // A division's new stop: whatever of an earlier stop change of the
  // division has not left yet (the rest of its entry, its temperament) is
  // dropped, then the entry is queued tagged with the division.
  void sendStop(int entryIndex, int division);
  // A controller on a division's channel. Never dropped.
  void controller(const OrganDivision& division, int number, int value);
  // Nothing leaves for msec after what is queued before.
  void pause(int msec);

  // The console's timer: releases what is due.
  void timerExpired() { release(); }
  // Nothing queued and no pause running.
  bool idle() const { return queue_.empty(); }
  // `call` runs when everything queued before it has left (at once when
  // idle). Never dropped.
  void then(std::function<void()> call);
  // From now on nothing more is queued; what is queued still leaves.
  void seal() { sealed_ = true; }

 private:
  enum class Kind : std::uint8_t { Sysex, Controller, Pause, Call };
  struct Item {
    Kind kind = Kind::Sysex;
    int tag = kUntagged;
    std::string sysex;                      // Sysex: the bytes handed over at once
    int status = 0, number = 0, value = 0;  // Controller
    int msec = 0;                           // Pause
    std::function<void()> call;             // Call
  };
  static Item sysexItem(std::string_view bytes, int tag);
  static Item pauseItem(int msec, int tag);
  void queue(Item item);
  void release();
  void dropUnsent(int tag);
  void handOver(const Item& item);

  ModuleOutput& output_;
  EventLoop& loop_;
  const StopsTable& table_;
  const std::int16_t& sysexDelay_;
  std::deque<Item> queue_;
  // When the pause at the front of the queue ends, once it has begun.
  std::optional<std::chrono::steady_clock::time_point> pauseEnd_;
  bool releasing_ = false;
  bool sealed_ = false;
};

}  // namespace kalvant
