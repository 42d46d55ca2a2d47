// Load: 10,000 numbered note-ons a second through kalvant, sent by a JACK
// client on the frame clock (one every 4.8 frames at 48 kHz). The module
// side tells lost, doubled and reordered messages apart by the number in
// key and velocity and notes each one's frame; kalvant's CPU time comes
// from /proc. At NoteDelay 100 the output's minimum gap (100 us) allows
// exactly 10,000 messages a second, so the load runs at NoteDelay 0 and 100.

#include <cstdio>
#include <thread>

#include "BenchRig.h"
#include "FrameProbe.h"

namespace kalvant::bench {

namespace {

using namespace std::chrono_literals;

constexpr int kRate = 10000;

// kalvant's CPU share while nobody plays: its JACK client runs every period
// whether or not a message comes.
double idleShare(KalvantRig& rig, int seconds) {
  const double before = e2e::cpuSeconds(rig.kalvant.pid());
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  return (e2e::cpuSeconds(rig.kalvant.pid()) - before) / seconds;
}

std::vector<Planned> steadyPlan(int perSecond, int seconds, Frame rate) {
  const long total = static_cast<long>(perSecond) * seconds;
  std::vector<Planned> plan;
  plan.reserve(static_cast<std::size_t>(total));
  for (long n = 0; n < total; ++n)
    plan.push_back({static_cast<Frame>(n * static_cast<long>(rate) / perSecond), numberedNote(n)});
  return plan;
}

// The rate the module saw: messages that came over the frames from the
// first arrival to the last.
double achievedRate(const PathResult& r, Frame rate) {
  Frame first = 0, last = 0;
  long came = 0;
  for (std::size_t i = 0; i < r.latency.size(); ++i) {
    if (!r.came[i]) continue;
    if (came == 0 || static_cast<std::int32_t>(r.arrival[i] - first) < 0) first = r.arrival[i];
    if (came == 0 || static_cast<std::int32_t>(r.arrival[i] - last) > 0) last = r.arrival[i];
    ++came;
  }
  const double seconds = static_cast<double>(last - first) / rate;
  return seconds > 0 ? static_cast<double>(came - 1) / seconds : 0;
}

// A kalvant that ended while being played says why in its log.
void reportEarlyEnd(KalvantRig& rig) {
  int code = 0;
  if (!rig.kalvant.waitExit(0ms, code)) return;
  std::printf("  kalvant ended during the run with code %d; its log:\n%s\n", code,
              rig.kalvant.log().c_str());
}

void runLoad(int noteDelay, bool monitor, int seconds, bool quick) {
  KalvantRig rig("load");
  rig.monitorOpen = monitor;
  const StopsTable table = shippedTable();
  CfgData cfg = rig.baseCfg();
  cfg.settings.NoteDelay = static_cast<i16>(noteDelay);
  if (!rig.start(cfg, table, resetMessageCount(table))) return;
  const std::size_t total = static_cast<std::size_t>(kRate) * seconds;
  FrameSource source("bench-load-source");
  FrameSink sink("bench-load-sink", total + total / 10);
  if (!source.ok() || !sink.ok() || !connectPorts(source.outPort(), "kalvant:in1") ||
      !connectPorts("kalvant:out", sink.inPort()))
    return (void)std::fprintf(stderr, "bench: the load's clients did not come up\n");
  std::this_thread::sleep_for(300ms);
  sink.takeWhenQuiet(100ms, 2s);
  const double idle = idleShare(rig, quick ? 2 : 10);

  const pid_t pid = rig.kalvant.pid();
  const double cpuBefore = e2e::cpuSeconds(pid);
  const auto begin = Clock::now();
  const Frame rate = source.rate();
  if (!source.play(steadyPlan(kRate, seconds, rate), std::chrono::seconds(seconds + 10)))
    std::fprintf(stderr, "bench: the load's source did not finish\n");
  // What has not come 2 s after the flow stopped (at most 20 s after the
  // end) counts as lost.
  const std::vector<Arrived> got = sink.takeWhenQuiet(2s, 20s);
  const double wall = millisecondsBetween(begin, Clock::now()) / 1000;
  const double cpu = e2e::cpuSeconds(pid) - cpuBefore;
  const PathResult r = matchArrivals(source.sent(), got);
  reportEarlyEnd(rig);
  std::printf(
      "  NoteDelay %d, %s: %d msg/s for %d s: sent %zu, received %zu (lost = not come by the "
      "end of the wait); achieved %.0f msg/s at the module\n",
      noteDelay, monitorState(monitor), kRate, seconds, source.sent().size(), got.size(),
      achievedRate(r, rate));
  printPath("NoteDelay " + std::to_string(noteDelay) + ", " + monitorState(monitor), r,
            source.sent(), source.start(), source.period());
  std::printf(
      "  NoteDelay %d, %s: kalvant CPU %.2f s in %.1f s (%.1f %% of one core; idle %.2f %%): "
      "%.2f us per message above idle; RSS %ld KiB\n",
      noteDelay, monitorState(monitor), cpu, wall, 100 * cpu / wall, 100 * idle,
      1e6 * (cpu - idle * wall) / static_cast<double>(total), e2e::residentKiB(pid));
}

}  // namespace

void loadBench(bool quick) {
  const int seconds = quick ? 5 : 60;
  std::printf("load: %d numbered note-ons a second through kalvant for %d s (no coupler)\n", kRate,
              seconds);
  for (int noteDelay : {0, 100}) {
    for (bool monitor : {false, true}) runLoad(noteDelay, monitor, seconds, quick);
  }
}

}  // namespace kalvant::bench
