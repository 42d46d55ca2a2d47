// Sending stops-table entries: whole, or paced message by message, with the
// console's events running during every pause.

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

std::string msg(int tag) {
  return taggedEntry(tag);
}
using At = std::pair<long, int>;  // time, tag

class SysexSender : public ConsoleTest {
 protected:
  SysexSender() { openOutput(); }
  std::vector<At> timeline() const {
    std::vector<At> t;
    for (const Stamped& s : sent) t.push_back({s.time, entryOf(s.bytes)});
    return t;
  }
};

TEST_F(SysexSender, DelayPacesEachMessageWithAPauseAfterIt) {
  const std::string three = msg(1) + msg(2) + msg(3), trailing = "\xF0\x41\x10";
  const std::tuple<i16, std::string, std::vector<At>, long, std::size_t> rows[] = {
      // delay, entry, sent, end time, hand-overs (0 delay: the whole entry at once)
      {0, three, {{0, 1}, {0, 2}, {0, 3}}, 0, 1},
      {-5, three, {{0, 1}, {0, 2}, {0, 3}}, 0, 1},
      {20, three, {{0, 1}, {20, 2}, {40, 3}}, 60, 3},
      {20, msg(1) + trailing, {{0, 1}}, 20, 1},  // bytes after the last F7 are dropped
      {20, trailing, {}, 0, 0},
      {20, "", {}, 0, 0}};
  for (const auto& [delay, entry, expected, endsAt, handOvers] : rows) {
    sent.clear(), out.handOvers.clear(), loop.now = 0, loop.timerStarts = 0;
    k->s.settings.SysexDelay = delay;
    k->stopsTable.table()[30] = entry;
    k->INVIO_SYSEX(30);
    EXPECT_EQ(std::tuple(timeline(), loop.now, out.handOvers.size(), loop.timerArmed()),
              std::tuple(expected, endsAt, handOvers, false))
        << delay << entry.size();
    if (delay <= 0) {  // whole, at once, without a pause
      EXPECT_EQ(std::pair(out.handOvers, loop.timerStarts), std::pair(std::vector{entry}, 0))
          << delay;
    }
  }
}

TEST_F(SysexSender, EventsRunDuringAPauseAndANestedSendEndsTheOuterPause) {
  k->s.settings.SysexDelay = 20;
  k->stopsTable.table()[12] = msg(1) + msg(2) + msg(3);
  k->stopsTable.table()[55] = msg(9);
  loop.at(5, [&] { k->INVIO_SYSEX(55); });  // a stop pressed while the Great entry is paced
  k->INVIO_SYSEX(12);
  // The inner send re-arms the one timer; the outer pause ends with its pause.
  EXPECT_EQ(timeline(), (std::vector<At>{{0, 1}, {5, 9}, {25, 2}, {45, 3}}));
  EXPECT_EQ(loop.now, 65);
}

TEST_F(SysexSender, NothingIsSentOutsideTheTableOrToAClosedOutput) {
  for (int n : {-1, 231, 1000}) k->INVIO_SYSEX(n);
  out.close();
  k->s.settings.SysexDelay = 10;
  k->stopsTable.table()[20] = msg(1) + msg(2);
  k->INVIO_SYSEX(20);
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(loop.now, 20);  // the pacing stays
}

}  // namespace
}  // namespace kalvant::test
