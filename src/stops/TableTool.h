#pragma once
// kalvant-table: the stops table on the command line. It reads and writes
// DAT and sysex files with the console's own readers and writers and the
// editor's rules for a sysex file; `check` finds faults in the entries.
//   kalvant-table list FILE.dat
//   kalvant-table export FILE.dat N OUT.syx
//   kalvant-table import FILE.dat N IN.syx
//   kalvant-table check FILE.dat
//   kalvant-table diff A.dat B.dat

#include <iosfwd>
#include <string>
#include <vector>

#include "stops/StopsTable.h"

namespace kalvant {

// Exit statuses: done (a clean check, equal tables), a fault (in the table,
// a difference, a file that cannot be read or written, a refused import),
// a wrong command line.
inline constexpr int kTableDone = 0;
inline constexpr int kTableFault = 1;
inline constexpr int kTableUsage = 2;

// The arguments after the program's name; results go to out, errors and
// warnings to err.
int runTableTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// What an entry is, as list, check and diff name it: its division ("" when
// it belongs to none) and its name, UTF-8 with control bytes escaped.
struct EntryDescription {
  std::string division;
  std::string name;
};
EntryDescription describeEntry(const StopsTable& table, int entry);

}  // namespace kalvant
