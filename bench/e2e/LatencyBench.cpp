// Added latency: one note stream, sent once, reaches three sinks at the same
// time: (a) straight from the keyboard, (b) through a bare forwarding JACK
// client, (c) through kalvant with NoteDelay 0.

#include <cstdio>
#include <random>
#include <thread>

#include "BenchRig.h"
#include "Forwarder.h"

namespace kalvant::bench {

namespace {

using namespace std::chrono_literals;

// Note-on and note-off in turn, each pair on its own key and velocity.
Bytes note(int i) {
  const int pair = i / 2;
  const auto key = static_cast<std::uint8_t>(pair % 128);
  if (i % 2 == 1) return {0x80, key, 0x40};
  return {0x90, key, static_cast<std::uint8_t>(1 + pair % 127)};
}

// Latency of each message, in ms; counts messages that differ or are missing.
std::vector<double> latencies(const std::vector<Clock::time_point>& sent,
                              const std::vector<Stamped>& got, int& wrong) {
  std::vector<double> ms;
  wrong = static_cast<int>(sent.size()) - static_cast<int>(got.size());
  for (std::size_t i = 0; i < got.size() && i < sent.size(); ++i) {
    if (got[i].bytes != note(static_cast<int>(i))) ++wrong;
    ms.push_back(millisecondsBetween(sent[i], got[i].at));
  }
  return ms;
}

}  // namespace

void latencyBench(bool quick) {
  const int count = quick ? 500 : 2000;
  std::printf("added latency: %d notes, random 1-3 ms gaps, JACK period 64 frames at 48 kHz\n",
              count);
  KalvantRig rig("lat");
  e2e::Recorder direct("bench-sink-direct"), forwarded("bench-sink-forwarded");
  Forwarder forwarder("bench-forwarder");
  if (!forwarder.ok()) return (void)std::fprintf(stderr, "bench: no forwarding client\n");
  CfgData cfg = rig.baseCfg();
  const StopsTable table = shippedTable();
  if (!rig.start(cfg, table, resetMessageCount(table))) return;
  const bool patched = connectPorts(rig.keysA.portName(), direct.portName()) &&
                       connectPorts(rig.keysA.portName(), forwarder.inPort()) &&
                       connectPorts(forwarder.outPort(), forwarded.portName());
  if (!patched) return (void)std::fprintf(stderr, "bench: JACK refused a connection\n");
  std::this_thread::sleep_for(300ms);
  rig.module.take();

  std::mt19937 random(8);
  std::uniform_real_distribution<double> gap(1.0, 3.0);
  std::vector<Clock::time_point> sent;
  auto next = Clock::now();
  for (int i = 0; i < count; ++i) {
    next += std::chrono::microseconds(static_cast<int>(gap(random) * 1000));
    std::this_thread::sleep_until(next);
    sent.push_back(Clock::now());
    rig.keysA.play(note(i));
  }
  for (e2e::Recorder* r : {&direct, &forwarded, &rig.module})
    r->waitForCount(static_cast<std::size_t>(count), 5s);

  int wrongDirect = 0, wrongForwarded = 0, wrongKalvant = 0;
  const Spread a = spreadOf(latencies(sent, direct.take(), wrongDirect));
  const Spread b = spreadOf(latencies(sent, forwarded.take(), wrongForwarded));
  const Spread c = spreadOf(latencies(sent, rig.module.take(), wrongKalvant));
  printSpread("(a) keyboard -> sink", a, "ms");
  printSpread("(b) through a bare forwarder", b, "ms");
  printSpread("(c) through kalvant, NoteDelay 0", c, "ms");
  std::printf("  kalvant - forwarder: p50 %+.3f  p99 %+.3f ms (aim: p99 within 0.3 ms)\n",
              c.p50 - b.p50, c.p99 - b.p99);
  std::printf("  missing or wrong messages: direct %d, forwarder %d, kalvant %d\n", wrongDirect,
              wrongForwarded, wrongKalvant);
}

}  // namespace kalvant::bench
