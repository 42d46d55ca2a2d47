// The output schedule: entries, controllers and pauses leave in order and by
// the clock; a new stop change of a division supersedes what of the earlier
// one has not left; shutdown closes the ports once everything has left.

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

const auto& msg = taggedEntry;
using At = std::pair<long, std::string>;  // time, what: an entry number, "cc1=100/0", "note"

std::string what(const midi::Bytes& m) {
  if (entryOf(m) >= 0) return std::to_string(entryOf(m));
  if (m.size() == 3 && (m[0] & 0xF0) == 0xB0)
    return "cc" + std::to_string(m[1]) + "=" + std::to_string(m[2]) + "/" +
           std::to_string(m[0] & 0x0F);
  return "note";
}

class Schedule : public ConsoleTest {
 protected:
  Schedule() { in1.selectDevice(0), in1.open(), in1.start(), startPlaying(); }
  std::vector<At> timeline() const {
    std::vector<At> t;
    for (const Stamped& s : sent) t.push_back({s.time, what(s.bytes)});
    return t;
  }
  void restartClock() { sent.clear(), out.handOvers.clear(), loop.time = 0, loop.timerStarts = 0; }
};

TEST_F(Schedule, DelayPacesEachMessageWithAPauseAfterIt) {
  const std::string three = msg(1) + msg(2) + msg(3), trailing = "\xF0\x41\x10";
  const std::tuple<i16, std::string, std::vector<At>, long, std::size_t> rows[] = {
      // delay, entry, sent, drained at, hand-overs (0 delay: the whole entry at once)
      {0, three, {{0, "1"}, {0, "2"}, {0, "3"}}, 0, 1},
      {-5, three, {{0, "1"}, {0, "2"}, {0, "3"}}, 0, 1},
      {20, three, {{0, "1"}, {20, "2"}, {40, "3"}}, 60, 3},
      {20, msg(1) + trailing, {{0, "1"}}, 20, 1},  // bytes after the last F7 are dropped
      {20, trailing, {}, 0, 0},
      {20, "", {}, 0, 0}};
  for (const auto& [delay, entry, expected, drainedAt, handOvers] : rows) {
    restartClock();
    k->s.settings.SysexDelay = delay;
    k->stopsTable.table()[30] = entry;
    k->INVIO_SYSEX(30);
    ASSERT_EQ(sent.empty(), expected.empty()) << "the first message leaves at once";
    loop.drain();
    EXPECT_EQ(std::tuple(timeline(), loop.time, out.handOvers.size()),
              std::tuple(expected, drainedAt, handOvers))
        << delay << entry.size();
    if (delay <= 0) {
      EXPECT_EQ(std::pair(out.handOvers, loop.timerStarts),
                std::pair(std::vector<std::string>{entry}, 0));
    }
  }
}

// The reset's 50 ms after entries 100 and 1 follow the pacing of those entries.
TEST_F(Schedule, ResetLeavesInOrderWithItsPauses) {
  const std::pair<i16, std::vector<long>> rows[] = {
      {0, {0, 50, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100}},
      {10, {0, 60, 120, 130, 140, 150, 160, 170, 180, 190, 200, 210}}};
  for (const auto& [delay, times] : rows) {
    restartClock(), k->s.settings.SysexDelay = delay;
    k->RESET_Click();
    EXPECT_EQ(sentEntries(), std::vector<int>{100}) << "RESET returns at once";
    loop.drain();
    std::vector<long> t;
    for (const Stamped& s : sent) t.push_back(s.time);
    EXPECT_EQ(sentEntries(), (std::vector<int>{100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103}));
    EXPECT_EQ(t, times) << delay;
  }
}

// Queued behind a pause, a controller waits for it; a note played meanwhile does not.
TEST_F(Schedule, ControllersKeepTheirPlaceNotesDoNot) {
  restartClock(), k->s.settings.SysexDelay = 20;
  k->stopsTable.table()[30] = msg(30) + msg(30);
  k->INVIO_SYSEX(30);
  loop.advance(5);
  k->Slider1_Scroll(100);
  in1.inject({0x90, 60, 100}), loop.runPosted();
  loop.advance(100);  // long after: the next message is sent when it is due
  k->INVIO_SYSEX(2);
  EXPECT_EQ(timeline(),
            (std::vector<At>{{0, "30"}, {5, "note"}, {20, "30"}, {40, "cc11=100/0"}, {105, "2"}}));
}

// Two recalls overlap: the later one of a division drops what of the earlier one has
// not left (its entry's rest, its temperament); controllers and other divisions stay.
TEST_F(Schedule, ALaterStopChangeSupersedesTheUnsentRestOfTheEarlier) {
  using Step = std::function<void()>;
  const std::tuple<const char*, Step, std::vector<std::string>, std::array<i16, 3>> rows[] = {
      {"same division", [&] { k->Tiranti_Click(30); }, {"20", "30", "30", "104"}, {30, 50, 80}},
      {"other division",
       [&] { k->Tiranti_Click(60); },
       {"20", "20", "104", "60", "60", "105"},
       {20, 60, 80}},
      {"tremolo between",
       [&] { k->Tir_TREMOLOGO_Click(), k->Tiranti_Click(30); },
       {"20", "cc1=100/0", "30", "30", "104", "cc1=100/0"},
       {30, 50, 80}},
      {"memory recall",
       [&] { k->c_memory_Click(3); },
       {"20", "25", "25", "104", "60", "60", "105"},
       {25, 60, 80}}};
  for (const auto& [name, second, expected, stops] : rows) {
    k->RESET_Click(), loop.drain();
    k->registration().bank().memory(3) = {127, 127, 25, 0, 60, 0, 80, 0, 0, 1};
    k->s.settings.SysexDelay = 10, k->s.settings.TremoloValue = 100;
    k->s.settings.GreatTemperament = k->s.settings.SwellTemperament = 1;
    for (int e : {20, 25, 30, 60}) k->stopsTable.table()[e] = msg(e) + msg(e);
    sent.clear();
    k->Tiranti_Click(20);
    loop.advance(5);
    second();
    loop.drain();
    std::vector<std::string> got;
    for (const Stamped& s : sent) got.push_back(what(s.bytes));
    EXPECT_EQ(got, expected) << name;
    // What the module holds is what the console shows.
    const Registration& live = k->registration().bank().live;
    EXPECT_EQ((std::array{live.GreatStop, live.SwellStop, live.PedalStop}), stops) << name;
    for (int i = 10; i <= 99; ++i) {
      const bool lit = i == stops[0] || i == stops[1] || i == stops[2];
      EXPECT_EQ(k->registration().view().stopButtons[i].lamp, lit ? Lamp::Lit : Lamp::Unlit)
          << name << " " << i;
    }
  }
}

TEST_F(Schedule, NothingIsSentOutsideTheTableOrToAClosedOutput) {
  restartClock();
  for (int n : {-1, 231, 1000}) k->INVIO_SYSEX(n);
  out.close();
  k->s.settings.SysexDelay = 10;
  k->stopsTable.table()[20] = msg(1) + msg(2);
  k->INVIO_SYSEX(20);
  loop.drain();
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(loop.time, 20);  // the pacing stays
}

// Shutdown: the ports close and the settings are saved once the reset has left, paced,
// behind what was queued before; the window is asked to close again then, and a close
// request meanwhile is ignored. Without an output open it ends all the same.
TEST_F(Schedule, ShutdownClosesThePortsOnceTheResetHasLeft) {
  for (bool outputOpen : {true, false}) {
    restart(), startPlaying(), restartClock();
    if (!outputOpen) out.close();
    k->s.settings.SysexDelay = 10, k->s.settings.SaveCfgOnExit = 1;
    int requests = 0;
    k->requestClose = [&] {
      bool cancel = false;
      ++requests, k->Form_Unload(cancel);
      EXPECT_FALSE(cancel);
    };
    k->INVIO_SYSEX(30);
    bool cancel = false;
    k->Form_Unload(cancel);
    loop.advance(15);
    bool again = false;
    k->Form_Unload(again);
    k->Tiranti_Click(20);  // nothing more is queued behind the reset
    EXPECT_TRUE(cancel && again && k->closing() && out.isOpen() == outputOpen);
    EXPECT_FALSE(exists("KALVANT.CFG"));
    loop.drain();
    EXPECT_TRUE(k->ended() && !out.isOpen() && exists("KALVANT.CFG")) << outputOpen;
    EXPECT_EQ(std::pair(requests, loop.time), std::pair(1, 30L));
    const std::vector<At> heard{{0, "30"}, {10, "100"}, {20, "1"}};
    EXPECT_EQ(timeline(), outputOpen ? heard : std::vector<At>{});
    std::filesystem::remove(path("KALVANT.CFG"));
  }
}

}  // namespace
}  // namespace kalvant::test
