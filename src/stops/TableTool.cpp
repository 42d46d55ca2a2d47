#include "stops/TableTool.h"

#include <cstdio>
#include <functional>
#include <ostream>

#include "common/FileIo.h"
#include "common/Text.h"
#include "stops/DatFile.h"
#include "stops/SysexFile.h"
#include "stops/TableCheck.h"

namespace kalvant {

namespace {

constexpr int kSystemLabelOffset = entry::kFirstSystemLabel - entry::kModuleReset;
constexpr int kUnused[] = {113, 204};

const char* const kUsage =
    "usage: kalvant-table list FILE.dat\n"
    "       kalvant-table export FILE.dat N OUT.syx\n"
    "       kalvant-table import FILE.dat N IN.syx\n"
    "       kalvant-table check FILE.dat\n"
    "       kalvant-table diff A.dat B.dat\n"
    "       kalvant-table --help\n";

const char* const kHelp =
    "The stops table (a DAT file of 231 entries, numbered 0..230) on the command line.\n"
    "  list    every entry's number, division, length in bytes and name\n"
    "  export  writes entry N as it is to OUT.syx\n"
    "  import  replaces entry N (0..113) with the whole of IN.syx (at most 32766\n"
    "          bytes), as the stops table editor imports it; the DAT file is\n"
    "          replaced atomically and the other entries keep every byte\n"
    "  check   each sysex entry (0..112) must be F0 ... F7 messages, each a GS data\n"
    "          set for device 10h at an address of the GS map, with the right\n"
    "          checksum; names and labels must hold no control characters.\n"
    "          Each fault names the entry and the byte (counted from 0)\n"
    "  diff    the entries in which two DAT files differ\n"
    "Exit status: 0 done (a clean table, no difference), 1 a fault, a difference\n"
    "or a file that cannot be used, 2 a wrong command line.\n";

// Control bytes would move the terminal's cursor: they are shown escaped.
std::string shown(const std::string& windows1252) {
  std::string text;
  for (char c : windows1252ToUtf8(windows1252)) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b != 0x7F) {
      text += c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
    text += escaped;
  }
  return text;
}

const char* divisionNameOfStop(int stop) {
  const OrganDivision* d = divisionOfStop(stop);
  return d ? d->name : "";
}

// A stop's division; the temperament entries after the reset come in
// threes, one per division.
const char* divisionOfSysex(int e) {
  if (isStopIndex(e)) return divisionNameOfStop(e);
  if (e > entry::kModuleReset)
    return kDivisions[static_cast<std::size_t>((e - entry::kFirstTemperament) % 3)].name;
  return "";
}

const char* divisionOfNameEntry(int e) {
  if (e == entry::kPedalName) return kPedalDivision.name;
  if (e == entry::kGreatName) return kGreatDivision.name;
  if (e == entry::kSwellName) return kSwellDivision.name;
  return divisionNameOfStop(e - entry::kStopNameOffset);
}

// The name of a sysex entry, from its stop name or label entry.
std::string nameOf(const std::string& name) {
  return name.empty() ? "(no name)" : shown(name);
}

std::string quotedName(const StopsTable& table, int e, const std::string& what) {
  return "\"" + shown(table[static_cast<std::size_t>(e)]) + "\", " + what;
}

std::string entryLabel(const StopsTable& table, int e) {
  const EntryDescription d = describeEntry(table, e);
  return "entry " + std::to_string(e) + " (" + (d.division.empty() ? "" : d.division + ", ") +
         d.name + ")";
}

bool parseEntry(const std::string& text, int& e, std::ostream& err) {
  e = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || e >= kStopsTableSize) break;
    e = e * 10 + (c - '0');
  }
  const bool ok = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos &&
                  e < kStopsTableSize;
  if (!ok) err << "kalvant-table: \"" << text << "\" is not an entry number 0..230\n" << kUsage;
  return ok;
}

// The table, or false after saying why on err.
bool readTable(const std::string& path, StopsTable& table, std::ostream& err) {
  DatReadResult read = readDatFile(path);
  if (!read.ok) {
    err << "kalvant-table: " << read.error << "\n";
    return false;
  }
  table = std::move(read.data);
  return true;
}

int list(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  StopsTable table;
  if (!readTable(a[0], table, err)) return kTableFault;
  out << "entry  division   bytes  name\n";
  for (int e = 0; e < kStopsTableSize; ++e) {
    const EntryDescription d = describeEntry(table, e);
    char row[64];
    std::snprintf(row, sizeof row, "%5d  %-8s %7zu  ", e,
                  d.division.empty() ? "-" : d.division.c_str(),
                  table[static_cast<std::size_t>(e)].size());
    out << row << d.name << "\n";
  }
  return kTableDone;
}

int exportEntry(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  int e = 0;
  if (!parseEntry(a[1], e, err)) return kTableUsage;
  if (!hasExtension(a[2], kSysexExtension)) {
    err << "kalvant-table: \"" << a[2] << "\": a sysex file's name ends in .syx\n";
    return kTableFault;
  }
  StopsTable table;
  if (!readTable(a[0], table, err)) return kTableFault;
  const std::string& bytes = table[static_cast<std::size_t>(e)];
  std::string error;
  if (!replaceFileAtomically(a[2], bytes, error)) {
    err << "kalvant-table: " << error << "\n";
    return kTableFault;
  }
  out << entryLabel(table, e) << ": " << bytes.size() << " bytes written to " << a[2] << "\n";
  return kTableDone;
}

// The whole DAT file, so that the bytes after its last record stay too.
int importEntry(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  int e = 0;
  if (!parseEntry(a[1], e, err)) return kTableUsage;
  std::string datBytes, sysex, error;
  if (!readWholeFile(a[0], datBytes, error)) {
    err << "kalvant-table: " << error << "\n";
    return kTableFault;
  }
  DatReadResult read = parseDat(datBytes, a[0]);
  if (!read.ok) {
    err << "kalvant-table: " << read.error << "\n";
    return kTableFault;
  }
  StopsTable& table = read.data;
  if (e > kLastSysexFileEntry) {
    err << "kalvant-table: " << entryLabel(table, e)
        << " holds no sysex; a sysex file goes only into entries 0.." << kLastSysexFileEntry
        << "\n";
    return kTableFault;
  }
  if (!hasExtension(a[2], kSysexExtension)) {
    err << "kalvant-table: \"" << a[2] << "\": a sysex file's name ends in .syx\n";
    return kTableFault;
  }
  if (!readSysexFile(a[2], sysex, error)) {
    err << "kalvant-table: " << error << "; " << a[0] << " is unchanged\n";
    return kTableFault;
  }
  std::size_t recordsEnd = 0;
  for (const std::string& entryBytes : table) recordsEnd += 2 + entryBytes.size();
  const std::size_t before = table[static_cast<std::size_t>(e)].size();
  table[static_cast<std::size_t>(e)] = sysex;
  std::string bytes;
  bool written = serialiseDat(table, bytes, error);
  if (!written) error = "cannot write \"" + a[0] + "\": " + error;
  written = written && replaceFileAtomically(a[0], bytes + datBytes.substr(recordsEnd), error);
  if (!written) {
    err << "kalvant-table: " << error << "\n";
    return kTableFault;
  }
  out << entryLabel(table, e) << ": " << before << " bytes replaced by the " << sysex.size()
      << " bytes of " << a[2] << "\n";
  if (isSysexEntry(e)) {
    for (const TableFault& f : checkSysexEntry(e, sysex))
      err << "kalvant-table: warning: " << entryLabel(table, e) << ", byte " << f.byte << ": "
          << f.reason << "\n";
  }
  return kTableDone;
}

int check(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  StopsTable table;
  if (!readTable(a[0], table, err)) return kTableFault;
  const std::vector<TableFault> faults = checkTable(table);
  for (const TableFault& f : faults)
    out << entryLabel(table, f.entry) << ", byte " << f.byte << ": " << f.reason << "\n";
  if (faults.empty()) {
    out << a[0] << ": no fault\n";
    return kTableDone;
  }
  out << a[0] << ": " << faults.size() << (faults.size() == 1 ? " fault\n" : " faults\n");
  return kTableFault;
}

std::size_t firstDifference(const std::string& x, const std::string& y) {
  std::size_t i = 0;
  while (i < x.size() && i < y.size() && x[i] == y[i]) ++i;
  return i;
}

int diff(const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
  StopsTable first, second;
  if (!readTable(a[0], first, err) || !readTable(a[1], second, err)) return kTableFault;
  int differing = 0;
  for (int e = 0; e < kStopsTableSize; ++e) {
    const std::string& x = first[static_cast<std::size_t>(e)];
    const std::string& y = second[static_cast<std::size_t>(e)];
    if (x == y) continue;
    ++differing;
    out << entryLabel(first, e) << ": ";
    if (isNameEntry(e))
      out << "\"" << shown(x) << "\" / \"" << shown(y) << "\"\n";
    else
      out << x.size() << " / " << y.size() << " bytes, first difference at byte "
          << firstDifference(x, y) << "\n";
  }
  out << (differing == 0 ? "no entry differs\n"
                         : std::to_string(differing) +
                               (differing == 1 ? " entry differs\n" : " entries differ\n"));
  return differing == 0 ? kTableDone : kTableFault;
}

struct Command {
  const char* name;
  std::size_t arguments;
  int (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&);
};
constexpr Command kCommands[] = {
    {"list", 1, list},   {"export", 3, exportEntry}, {"import", 3, importEntry},
    {"check", 1, check}, {"diff", 2, diff},
};

}  // namespace

EntryDescription describeEntry(const StopsTable& table, int e) {
  for (int unused : kUnused)
    if (e == unused) return {"", "(not used)"};
  if (const int name = nameEntryOf(e); name >= 0) {
    return {divisionOfSysex(e), nameOf(table[static_cast<std::size_t>(name)])};
  }
  if (e <= entry::kLastStop + entry::kStopNameOffset)
    return {divisionOfNameEntry(e),
            quotedName(table, e, "the name of stop " + std::to_string(e - entry::kStopNameOffset))};
  if (e < entry::kFirstLabel)
    return {divisionOfNameEntry(e), quotedName(table, e, "the division's name")};
  const int labelled =
      e < entry::kFirstSystemLabel ? e - entry::kFirstLabel : e - kSystemLabelOffset;
  return {"", quotedName(table, e, "the label of entry " + std::to_string(labelled))};
}

int runTableTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage << kHelp;
    return kTableDone;
  }
  const Command* command = nullptr;
  for (const Command& c : kCommands)
    if (!args.empty() && args[0] == c.name) command = &c;
  if (command && args.size() == command->arguments + 1)
    return command->run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  if (command)
    err << "kalvant-table: " << command->name << " takes " << command->arguments
        << (command->arguments == 1 ? " file\n" : " arguments\n");
  else if (!args.empty())
    err << "kalvant-table: unknown command \"" << args[0] << "\"\n";
  err << kUsage;
  return kTableUsage;
}

}  // namespace kalvant
