// What kalvant costs when nobody plays, in CPU and memory next to a bare
// forwarding client, while it paces a stop change with SysexDelay 100, and
// how long it takes to come up.

#include <unistd.h>

#include <cstdio>
#include <thread>

#include "BenchRig.h"
#include "ForwarderProcess.h"

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

// The JACK clients kalvant holds, as the server lists them.
void printKalvantClients() {
  const std::vector<std::string> clients = jackClientsNamed("kalvant");
  std::string names;
  for (const std::string& c : clients) names += (names.empty() ? "" : ", ") + c;
  std::printf("  JACK clients named kalvant*: %zu (%s)\n", clients.size(), names.c_str());
}

// CPU of both processes over the same window, in % of one core.
void idleSideBySide(pid_t kalvant, pid_t forwarder, int seconds) {
  const double kalvantBefore = e2e::cpuSeconds(kalvant);
  const double forwarderBefore = e2e::cpuSeconds(forwarder);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double kalvantCpu = e2e::cpuSeconds(kalvant) - kalvantBefore;
  const double forwarderCpu = e2e::cpuSeconds(forwarder) - forwarderBefore;
  const double k = 100 * kalvantCpu / seconds, f = 100 * forwarderCpu / seconds;
  const double tick = 100.0 / static_cast<double>(::sysconf(_SC_CLK_TCK)) / seconds;
  std::printf(
      "  idle %d s, the same window for both (%% of one core; /proc counts whole ticks, "
      "one tick is %.2f points here):\n",
      seconds, tick);
  std::printf("    kalvant     %6.2f %%  (CPU %.3f s)\n", k, kalvantCpu);
  std::printf("    forwarder   %6.2f %%  (CPU %.3f s)\n", f, forwarderCpu);
  std::printf("    kalvant - forwarder: %+.2f points (aim: kalvant no higher than the forwarder)\n",
              k - f);
}

double mebibytes(pid_t pid, const char* field) {
  return static_cast<double>(e2e::statusKiB(pid, field)) / 1024;
}

void printMemory(const char* label, pid_t pid) {
  std::printf("    %-10s resident %6.1f MiB = anonymous %5.1f + file-backed %5.1f + shared %5.1f\n",
              label, mebibytes(pid, "VmRSS"), mebibytes(pid, "RssAnon"), mebibytes(pid, "RssFile"),
              mebibytes(pid, "RssShmem"));
}

// kalvant on two keyboards and a module next to the forwarder, in a process
// of its own, from keyboard A to a sink of its own; nobody plays.
void idleNextToForwarder(bool quick) {
  KalvantRig rig("idle");
  e2e::Recorder sink("idle-forwarder-sink");
  const StopsTable table = shippedTable();
  if (!rig.start(rig.baseCfg(), table, resetMessageCount(table))) return;
  ForwarderProcess forwarder;
  if (!forwarder.start("idle-forwarder"))
    return (void)std::fprintf(stderr, "bench: the forwarding client did not start\n");
  if (!connectPorts(rig.keysA.portName(), forwarder.inPort()) ||
      !connectPorts(forwarder.outPort(), sink.portName()))
    return (void)std::fprintf(stderr, "bench: JACK refused a connection\n");
  printKalvantClients();
  std::this_thread::sleep_for(1s);
  idleSideBySide(rig.kalvant.pid(), forwarder.pid(), quick ? 5 : 30);
  std::printf("  resident memory at the end of that window (/proc/PID/status):\n");
  printMemory("kalvant", rig.kalvant.pid());
  printMemory("forwarder", forwarder.pid());
  std::printf(
      "  The shared part is JACK's shared memory, mapped into every JACK client and\n"
      "  counted in each one's resident total; anonymous is the process's own.\n");
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
  std::printf(
      "idle: kalvant waiting for the organist, next to a bare forwarding client in a "
      "process of its own\n");
  idleNextToForwarder(quick);
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
