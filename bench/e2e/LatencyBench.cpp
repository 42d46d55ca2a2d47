// Added latency on JACK's frame clock: one source client sends numbered
// notes at planned frames; three sink clients note the frame each arrives
// in: (a) straight from the source, (b) through a bare forwarding client,
// (c) through kalvant (source -> kalvant:in1, kalvant:out -> sink). Single
// notes, then four-note chords, at kalvant's default NoteDelay 100 and at 0.

#include <algorithm>
#include <cstdio>
#include <random>
#include <thread>

#include "BenchRig.h"
#include "Forwarder.h"
#include "FrameProbe.h"

namespace kalvant::bench {

namespace {

using namespace std::chrono_literals;

constexpr int kChordSize = 4;

// `groups` groups of `size` numbered notes at the same frame, a random
// gap of `fromMs` to `toMs` before each group.
std::vector<Planned> planOf(int groups, int size, double fromMs, double toMs, Frame rate) {
  std::mt19937 random(8);
  std::uniform_real_distribution<double> gap(fromMs, toMs);
  std::vector<Planned> plan;
  Frame at = 0;
  long n = 0;
  for (int g = 0; g < groups; ++g) {
    at += static_cast<Frame>(gap(random) * rate / 1000);
    for (int i = 0; i < size; ++i) plan.push_back({at, numberedNote(n++)});
  }
  return plan;
}

std::chrono::milliseconds lengthOf(const std::vector<Planned>& plan, Frame rate) {
  const Frame last = plan.empty() ? 0 : plan.back().at;
  return std::chrono::milliseconds(1000LL * last / rate);
}

struct Probe {
  FrameSource source{"bench-source"};
  Forwarder forwarder{"bench-forwarder"};
  FrameSink direct{"bench-sink-direct", 20000}, forwarded{"bench-sink-forwarded", 20000},
      routed{"bench-sink-kalvant", 20000};

  bool ok() const {
    return source.ok() && forwarder.ok() && direct.ok() && forwarded.ok() && routed.ok();
  }
  bool patch() {
    return connectPorts(source.outPort(), direct.inPort()) &&
           connectPorts(source.outPort(), forwarder.inPort()) &&
           connectPorts(forwarder.outPort(), forwarded.inPort());
  }
  void clear() {
    for (FrameSink* s : {&direct, &forwarded, &routed}) s->takeWhenQuiet(100ms, 2s);
  }
};

// The chords' spread (last note's frame minus the first's) and arrival in
// periods (the last note's), over the chords that came whole.
void printChords(const PathResult& r, const FrameSource& source) {
  std::vector<double> spread, periods;
  int broken = 0;
  const std::vector<Frame>& sent = source.sent();
  for (std::size_t c = 0; c + kChordSize <= sent.size(); c += kChordSize) {
    const auto begin = r.came.begin() + static_cast<std::ptrdiff_t>(c);
    if (!std::all_of(begin, begin + kChordSize, [](bool b) { return b; })) {
      ++broken;
      continue;
    }
    std::size_t first = c, last = c;
    for (std::size_t i = c; i < c + kChordSize; ++i) {
      if (r.latency[i] < r.latency[first]) first = i;
      if (r.latency[i] > r.latency[last]) last = i;
    }
    spread.push_back(static_cast<double>(r.latency[last] - r.latency[first]));
    periods.push_back(static_cast<double>(
        periodsBetween(source.start(), source.period(), sent[last], r.arrival[last])));
  }
  const Spread s = spreadOf(spread), p = spreadOf(periods);
  std::printf(
      "    the chord through kalvant: arrives in periods p50 %2.0f p99 %2.0f max %2.0f | "
      "spread frames p50 %4.0f p99 %4.0f max %4.0f | chords not whole %d\n",
      p.p50, p.p99, p.max, s.p50, s.p99, s.max, broken);
}

// Plays `plan` and prints the three paths.
void measure(Probe& probe, const std::string& what, std::vector<Planned> plan, int noteDelay,
             bool chords) {
  const Frame rate = probe.source.rate();
  const auto timeout = lengthOf(plan, rate) + 5s;
  probe.clear();
  if (!probe.source.play(std::move(plan), timeout))
    std::fprintf(stderr, "bench: the source did not finish its plan\n");
  const std::vector<Frame>& sent = probe.source.sent();
  const Frame start = probe.source.start(), period = probe.source.period();
  const auto take = [&](FrameSink& s) { return matchArrivals(sent, s.takeWhenQuiet(500ms, 30s)); };
  const PathResult a = take(probe.direct), b = take(probe.forwarded), c = take(probe.routed);
  std::printf(" %s:\n", what.c_str());
  printPath("(a) source -> sink", a, sent, start, period);
  printPath("(b) through a bare forwarder", b, sent, start, period);
  printPath("(c) through kalvant, NoteDelay " + std::to_string(noteDelay), c, sent, start, period);
  if (chords) printChords(c, probe.source);
}

}  // namespace

void latencyBench(bool quick) {
  Probe probe;
  if (!probe.ok() || !probe.patch())
    return (void)std::fprintf(stderr, "bench: the frame probe did not come up\n");
  const Frame rate = probe.source.rate(), period = probe.source.period();
  const int notes = quick ? 500 : 2000, chords = quick ? 100 : 400;
  std::printf(
      "added latency on the frame clock: JACK period %u frames at %u Hz (%.2f ms); %d single "
      "notes 2-4 ms apart, %d four-note chords 10-20 ms apart\n",
      period, rate, 1000.0 * period / rate, notes, chords);
  const StopsTable table = shippedTable();
  for (const auto& [noteDelay, monitor] :
       {std::pair{100, false}, {100, true}, {0, false}, {0, true}}) {
    KalvantRig rig("lat");
    rig.monitorOpen = monitor;
    CfgData cfg = rig.baseCfg();
    cfg.settings.NoteDelay = static_cast<i16>(noteDelay);
    if (!rig.start(cfg, table, resetMessageCount(table))) return;
    if (!connectPorts(probe.source.outPort(), "kalvant:in1") ||
        !connectPorts("kalvant:out", probe.routed.inPort()))
      return (void)std::fprintf(stderr, "bench: kalvant's ports kalvant:in1/out not found\n");
    std::this_thread::sleep_for(300ms);
    const std::string setting =
        "NoteDelay " + std::to_string(noteDelay) + ", " + monitorState(monitor);
    measure(probe, "single notes, " + setting, planOf(notes, 1, 2, 4, rate), noteDelay, false);
    measure(probe, "four-note chords, " + setting, planOf(chords, kChordSize, 10, 20, rate),
            noteDelay, true);
  }
}

}  // namespace kalvant::bench
