#include "BenchRig.h"

#include <jack/jack.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "harness/FrameClients.h"
#include "stops/DatFile.h"

namespace kalvant::bench {

using namespace std::chrono_literals;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

Spread spreadOf(std::vector<double> sample) {
  Spread s;
  if (sample.empty()) return s;
  std::sort(sample.begin(), sample.end());
  const auto at = [&](double q) {
    const auto i = static_cast<std::size_t>(std::ceil(q * static_cast<double>(sample.size())));
    return sample[std::min(sample.size() - 1, i == 0 ? 0 : i - 1)];
  };
  s.p50 = at(0.50);
  s.p99 = at(0.99);
  s.max = sample.back();
  return s;
}

void printSpread(const std::string& label, const Spread& s, const std::string& unit) {
  std::printf("  %-34s p50 %7.3f  p99 %7.3f  max %7.3f %s\n", label.c_str(), s.p50, s.p99, s.max,
              unit.c_str());
}

bool connectPorts(const std::string& from, const std::string& to) {
  return e2e::connectJackPorts(from, to);
}

std::vector<std::string> jackClientsNamed(const std::string& prefix) {
  jack_status_t status{};
  jack_client_t* probe = jack_client_open("bench-probe", JackNoStartServer, &status);
  if (!probe) return {};
  std::set<std::string> names;
  if (const char** ports = jack_get_ports(probe, nullptr, nullptr, 0)) {
    for (const char** p = ports; *p; ++p) {
      const std::string port = *p;
      const std::string client = port.substr(0, port.find(':'));
      if (client.rfind(prefix, 0) == 0) names.insert(client);
    }
    jack_free(ports);
  }
  jack_client_close(probe);
  return {names.begin(), names.end()};
}

StopsTable shippedTable() {
  const std::string path = std::string(KALVANT_PROGRAM_DIR) + "/kalvant.dat";
  const DatReadResult r = readDatFile(path);
  if (!r.ok) std::fprintf(stderr, "bench: %s\n", r.error.c_str());
  return r.data;
}

std::size_t resetMessageCount(const StopsTable& table) {
  std::size_t count = 0;
  for (int k : {100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103})
    count += static_cast<std::size_t>(std::count(table[k].begin(), table[k].end(), '\xF0'));
  return count;
}

KalvantRig::KalvantRig(const std::string& name)
    : dir("kalvant-bench"),
      keysA(name + "-keys-a"),
      keysB(name + "-keys-b"),
      module(name + "-module") {}

KalvantRig::~KalvantRig() {
  stop();
}

// kalvant's own defaults: a minimum gap of NoteDelay 100 between output
// messages, no pause after sysex.
CfgData KalvantRig::baseCfg() const {
  CfgData cfg = e2e::cfgFor(dir.path(), 0, 0, 0);
  cfg.settings.NoteDelay = 100;
  cfg.settings.SysexDelay = 0;
  return cfg;
}

bool KalvantRig::start(CfgData cfg, const StopsTable& table, std::size_t resetMessages) {
  cfg.settings.InDev1 = static_cast<i16>(e2e::sourcePosition(keysA.portName()));
  cfg.settings.InDev2 = static_cast<i16>(e2e::sourcePosition(keysB.portName()));
  cfg.settings.OutDev = static_cast<i16>(e2e::sinkPosition(module.portName()));
  const std::string error = e2e::writeProgramFiles(dir.path(), cfg, table);
  if (!error.empty() || !kalvant.start(dir.path(), "jack",
                                       monitorOpen ? std::vector<std::string>{"--monitor"}
                                                   : std::vector<std::string>{})) {
    std::fprintf(stderr, "bench: kalvant not started %s\n", error.c_str());
    return false;
  }
  if (!module.waitForCount(resetMessages, 60s)) {
    std::fprintf(stderr, "bench: kalvant's reset did not arrive; its log:\n%s\n",
                 kalvant.log().c_str());
    return false;
  }
  return true;
}

void KalvantRig::stop() {
  if (!kalvant.running()) return;
  kalvant.terminate();
  int code = 0;
  if (!kalvant.waitExit(10s, code)) {
    kalvant.kill();
    std::fprintf(stderr, "bench: kalvant did not end on SIGTERM\n");
  } else if (code != 0) {
    std::fprintf(stderr, "bench: kalvant ended with %d; its log:\n%s\n", code,
                 kalvant.log().c_str());
  }
}

}  // namespace kalvant::bench
