#pragma once
// The real kalvant program on a JACK server for the benchmarks: two
// keyboards into its inputs, one recording module on its output, and the
// figures printed from what was measured.

#include <memory>
#include <string>
#include <vector>

#include "harness/JackClients.h"
#include "harness/KalvantProcess.h"

namespace kalvant::bench {

using e2e::Bytes;
using e2e::Clock;
using e2e::Stamped;

double millisecondsBetween(Clock::time_point from, Clock::time_point to);

// p50, p99 and max of a sample, printed in one line.
struct Spread {
  double p50 = 0, p99 = 0, max = 0;
};
Spread spreadOf(std::vector<double> sample);
void printSpread(const std::string& label, const Spread& s, const std::string& unit);

// Connects two JACK ports by name; false when JACK refuses.
bool connectPorts(const std::string& from, const std::string& to);
// The JACK clients whose names start with `prefix`, sorted: the distinct
// client parts of the server's port names (a client without ports is not
// seen).
std::vector<std::string> jackClientsNamed(const std::string& prefix);

// The stops table the console is built with (build/bin/kalvant.dat).
StopsTable shippedTable();
// How many messages the start-up reset sends with this table (the reverb
// and temperaments at their defaults).
std::size_t resetMessageCount(const StopsTable& table);

class KalvantRig {
 public:
  explicit KalvantRig(const std::string& name);
  ~KalvantRig();

  // Starts kalvant on the rig's ports with `cfg` adjusted by the caller
  // (device positions are filled in here) and waits until the module has
  // received `resetMessages` messages; what it received stays in the
  // module's record. False when it did not come up.
  bool start(CfgData cfg, const StopsTable& table, std::size_t resetMessages);
  // SIGTERM, then waits for the end.
  void stop();
  // The configuration at kalvant's default delays (NoteDelay 100,
  // SysexDelay 0); benches that want others set them.
  CfgData baseCfg() const;

  e2e::TempDir dir;
  e2e::Keyboard keysA, keysB;
  e2e::Recorder module;
  e2e::KalvantProcess kalvant;
  // Started with its MIDI monitor open (--monitor).
  bool monitorOpen = false;
};

// How a run names the monitor's state in its figures.
inline const char* monitorState(bool open) {
  return open ? "monitor open" : "monitor closed";
}

// The benchmarks; each prints its own figures. `quick` shortens them.
void latencyBench(bool quick);
void loadBench(bool quick);
void idleBench(bool quick);
void startupBench(bool quick);

}  // namespace kalvant::bench
