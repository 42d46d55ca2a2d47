// Load: a steady stream of notes through kalvant at 1,000 and 10,000
// messages per second. Every message carries its sequence number in its
// key and velocity, so the module can tell lost, doubled and reordered
// messages apart; kalvant's CPU time comes from /proc.

#include <cstdio>
#include <thread>

#include "BenchRig.h"

namespace kalvant::bench {

namespace {

using namespace std::chrono_literals;

// 128 keys x 127 velocities: 16,256 distinct note-ons before the numbers
// repeat, far more than can be in flight at once.
constexpr int kDistinct = 128 * 127;

Bytes numbered(long n) {
  const auto k = static_cast<int>(n % kDistinct);
  return {0x90, static_cast<std::uint8_t>(k % 128), static_cast<std::uint8_t>(1 + k / 128)};
}

int numberOf(const Bytes& m) {
  if (m.size() != 3 || m[0] != 0x90) return -1;
  return (m[2] - 1) * 128 + m[1];
}

struct Tally {
  long received = 0, lost = 0, doubled = 0, reordered = 0, foreign = 0;
};

// Walks the received stream against the sent one: each message should be
// the next number; a repeat of the previous is doubled, a jump forward
// loses the messages between, anything else is out of order.
Tally tally(const std::vector<Stamped>& got, long sent) {
  Tally t;
  t.received = static_cast<long>(got.size());
  long expected = 0;
  int previous = -1;
  for (const Stamped& m : got) {
    const int n = numberOf(m.bytes);
    if (n < 0) {
      ++t.foreign;
    } else if (n == static_cast<int>(expected % kDistinct)) {
      ++expected;
    } else if (n == previous) {
      ++t.doubled;
    } else {
      const long ahead = (n - expected % kDistinct + kDistinct) % kDistinct;
      if (ahead < 1000) {
        t.lost += ahead;
        expected += ahead + 1;
      } else {
        ++t.reordered;
      }
    }
    previous = n;
  }
  t.lost += sent - expected;
  return t;
}

// kalvant's CPU share while nobody plays: its three JACK clients run every
// period whether or not a message comes.
double idleShare(KalvantRig& rig, int seconds) {
  const double before = e2e::cpuSeconds(rig.kalvant.pid());
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  return (e2e::cpuSeconds(rig.kalvant.pid()) - before) / seconds;
}

// A kalvant that ended while being played says why in its log.
void reportEarlyEnd(KalvantRig& rig, Clock::time_point begin, const std::vector<Stamped>& got) {
  int code = 0;
  if (!rig.kalvant.waitExit(0ms, code)) return;
  const double lastAt = got.empty() ? 0 : millisecondsBetween(begin, got.back().at) / 1000;
  std::printf(
      "  kalvant ended during the run with code %d (last message %.1f s in); its log:\n%s\n", code,
      lastAt, rig.kalvant.log().c_str());
}

void runRate(KalvantRig& rig, int perSecond, int seconds, double idle) {
  const long total = static_cast<long>(perSecond) * seconds;
  const int perMillisecond = perSecond / 1000;
  const pid_t pid = rig.kalvant.pid();
  const double cpuBefore = e2e::cpuSeconds(pid);
  const auto begin = Clock::now();
  auto tick = begin;
  for (long n = 0; n < total;) {
    tick += 1ms;
    std::this_thread::sleep_until(tick);
    for (int i = 0; i < perMillisecond && n < total; ++i) rig.keysA.play(numbered(n++));
  }
  rig.module.waitForCount(static_cast<std::size_t>(total), 20s);
  const double wall = millisecondsBetween(begin, Clock::now()) / 1000;
  const double cpu = e2e::cpuSeconds(pid) - cpuBefore;
  std::this_thread::sleep_for(200ms);
  const std::vector<Stamped> got = rig.module.take();
  const Tally t = tally(got, total);
  reportEarlyEnd(rig, begin, got);
  std::printf(
      "  %6d msg/s for %d s: sent %ld, received %ld, lost %ld, doubled %ld, "
      "reordered %ld, other %ld\n",
      perSecond, seconds, total, t.received, t.lost, t.doubled, t.reordered, t.foreign);
  const double messages = static_cast<double>(total);
  std::printf(
      "  %6d msg/s: kalvant CPU %.2f s in %.1f s (%.1f %% of one core): %.2f us per "
      "message, %.2f us above idle; RSS %ld KiB\n",
      perSecond, cpu, wall, 100 * cpu / wall, 1e6 * cpu / messages,
      1e6 * (cpu - idle * wall) / messages, e2e::residentKiB(pid));
}

}  // namespace

void loadBench(bool quick) {
  const int seconds = quick ? 5 : 60;
  std::printf("load: notes through kalvant (NoteDelay 0, no coupler)\n");
  KalvantRig rig("load");
  const StopsTable table = shippedTable();
  if (!rig.start(rig.baseCfg(), table, resetMessageCount(table))) return;
  std::this_thread::sleep_for(300ms);
  rig.module.take();
  const double idle = idleShare(rig, quick ? 2 : 10);
  std::printf("  idle before the load: %.2f %% of one core\n", 100 * idle);
  for (int rate : {1000, 10000}) runRate(rig, rate, seconds, idle);
}

}  // namespace kalvant::bench
