// What kalvant costs when nobody plays, while it paces a stop change with
// SysexDelay 100, and how long it takes to come up.

#include <cstdio>
#include <thread>

#include "BenchRig.h"

namespace kalvant::bench {

namespace {

using namespace std::chrono_literals;

// Waits until nothing has arrived for `quiet`; returns the moment of the
// last message.
Clock::time_point lastArrival(e2e::Recorder& module, std::chrono::milliseconds quiet) {
  std::size_t seen = module.count();
  for (;;) {
    std::this_thread::sleep_for(quiet);
    const std::size_t now = module.count();
    if (now == seen) break;
    seen = now;
  }
  const std::vector<Stamped> got = module.take();
  return got.empty() ? Clock::now() : got.back().at;
}

void idleFor(KalvantRig& rig, int seconds) {
  const pid_t pid = rig.kalvant.pid();
  const double before = e2e::cpuSeconds(pid);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double cpu = e2e::cpuSeconds(pid) - before;
  std::printf("  idle %d s: kalvant CPU %.3f s (%.2f %% of one core), RSS %ld KiB\n", seconds, cpu,
              100 * cpu / seconds, e2e::residentKiB(pid));
}

// Pedal + key 41 on the Great chooses Great stop 4: its sysex (15 messages
// in the shipped table) goes out one message per 100 ms.
void stopChange(KalvantRig& rig) {
  const pid_t pid = rig.kalvant.pid();
  rig.module.take();
  const double before = e2e::cpuSeconds(pid);
  const auto begin = Clock::now();
  for (const Bytes& m :
       {Bytes{0xB0, 64, 127}, Bytes{0x90, 41, 100}, Bytes{0x80, 41, 64}, Bytes{0xB0, 64, 0}})
    rig.keysA.play(m);
  const std::size_t messages = [&] {
    rig.module.waitForCount(1, 5s);
    return rig.module.count();
  }();
  const Clock::time_point last = lastArrival(rig.module, 400ms);
  const double wall = millisecondsBetween(begin, last) / 1000;
  const double cpu = e2e::cpuSeconds(pid) - before;
  std::printf(
      "  stop change, SysexDelay 100: %.2f s from the key to the last message, "
      "kalvant CPU %.3f s (%.2f %% of one core)%s\n",
      wall, cpu, 100 * cpu / wall, messages == 0 ? " [nothing arrived]" : "");
}

// The shipped table with one short message for each reset entry (a
// universal non-real-time sysex the module ignores), so that a paced reset
// takes a second, not eleven.
StopsTable quickResetTable() {
  StopsTable table = shippedTable();
  for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 100, 101, 102, 103})
    table[k] = std::string{'\xF0', '\x7E', '\x7F', static_cast<char>(k & 0x7F), '\xF7'};
  return table;
}

}  // namespace

void idleBench(bool quick) {
  std::printf("idle: kalvant waiting for the organist\n");
  {
    KalvantRig rig("idle");
    const StopsTable table = shippedTable();
    if (!rig.start(rig.baseCfg(), table, resetMessageCount(table))) return;
    std::this_thread::sleep_for(1s);
    idleFor(rig, quick ? 5 : 30);
  }
  KalvantRig rig("paced");
  CfgData cfg = rig.baseCfg();
  cfg.settings.SysexDelay = 100;
  const StopsTable table = quickResetTable();
  if (!rig.start(cfg, table, resetMessageCount(table))) return;
  lastArrival(rig.module, 400ms);
  stopChange(rig);
}

void startupBench(bool quick) {
  const int runs = quick ? 3 : 7;
  std::printf(
      "start-up: launch to the reset's first and last message at the module "
      "(shipped table, SysexDelay 0), %d runs\n",
      runs);
  std::vector<double> first, last;
  std::vector<double> rss, own;
  for (int i = 0; i < runs; ++i) {
    KalvantRig rig("start");
    const StopsTable table = shippedTable();
    const std::size_t count = resetMessageCount(table);
    if (!rig.start(rig.baseCfg(), table, count)) return;
    const std::vector<Stamped> got = rig.module.take();
    first.push_back(millisecondsBetween(rig.kalvant.startedAt(), got.front().at));
    last.push_back(millisecondsBetween(rig.kalvant.startedAt(), got[count - 1].at));
    std::this_thread::sleep_for(1s);
    rss.push_back(static_cast<double>(e2e::residentKiB(rig.kalvant.pid())) / 1024);
    own.push_back(static_cast<double>(e2e::statusKiB(rig.kalvant.pid(), "RssAnon")) / 1024);
  }
  printSpread("launch -> first reset message", spreadOf(first), "ms");
  printSpread("launch -> last reset message", spreadOf(last), "ms");
  // The resident total counts the JACK server's shared memory, mapped
  // into every client; the anonymous part is kalvant's own.
  printSpread("resident memory (VmRSS) 1 s later", spreadOf(rss), "MiB");
  printSpread("  of which anonymous (RssAnon)", spreadOf(own), "MiB");
}

}  // namespace kalvant::bench
