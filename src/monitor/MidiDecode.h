#pragma once
// The MIDI monitor's words for what it sees: note names with division and
// channel, controller names, stops-table entries by stop and name, other
// system exclusive in hex. Free of widgets.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "midi/MonitorTap.h"
#include "stops/StopsTable.h"

namespace kalvant::monitor {

// The sysex messages of the stops table in play, by their bytes.
class SysexNames {
 public:
  void load(const StopsTable& table);
  // "stop 25 Trumpet 8' (entry 34, 120 bytes)", or nullopt for a message
  // that no entry holds.
  std::optional<std::string> find(std::string_view message) const;

 private:
  void add(const StopsTable& table, int entry, const std::string& what);
  std::unordered_map<std::string, std::string> names_;
};

// 60 -> "C4", 61 -> "C#4", 0 -> "C-1".
std::string noteName(int note);
// A controller's name, "" when it has none here.
std::string_view controllerName(int number);
// One event as received or sent; several messages are joined by "; ".
std::string describe(const std::uint8_t* data, std::size_t size, std::size_t wholeSize,
                     const SysexNames& names);
std::string_view portName(midi::TapPort port);
// "    12.5 ms  In 1  Note on C4 vel 100, ch 1 (Great)"; the time counts
// from origin (steady clock, nanoseconds).
std::string formatLine(const midi::TapRecord& record, std::int64_t origin, const SysexNames& names);

}  // namespace kalvant::monitor
