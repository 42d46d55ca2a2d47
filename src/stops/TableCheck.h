#pragma once
// What `kalvant-table check` finds wrong in a stops table: sysex entries
// that are not a run of intact GS data sets, and names a console button or
// the editor could not show.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "stops/StopsTable.h"

namespace kalvant {

// One fault: the entry, the byte in it (counted from 0) and what is wrong.
struct TableFault {
  int entry = 0;
  std::size_t byte = 0;
  std::string reason;
  bool operator==(const TableFault&) const = default;
};

// Entries 0..112 hold sysex; 114..203 and 205..230 names and labels;
// 113 and 204 are carried along unchecked.
bool isSysexEntry(int entry);
bool isNameEntry(int entry);

// Sysex: F0 ... F7 messages back to back, each a GS data set (DT1) for
// device 10h, model 42h or the display's 45h, at an address of the GS map
// with room for all its data, with 7-bit data and the right checksum. An
// empty entry is fine. At most one fault per message; checking goes on with
// the next message.
std::vector<TableFault> checkSysexEntry(int entry, std::string_view bytes);

// Names (Windows-1252): every byte a character, none a control character.
std::vector<TableFault> checkNameEntry(int entry, std::string_view bytes);

// Every sysex and name entry, in entry order.
std::vector<TableFault> checkTable(const StopsTable& table);

}  // namespace kalvant
