// Sending stops-table entries: whole, or paced message by message, with the
// console's events running during every pause.

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

std::string msg(int tag) {
  return taggedEntry(tag);
}

class SysexSender : public ConsoleTest {
 protected:
  SysexSender() { openOutput(); }
  struct At {
    long time;
    int tag;
    bool operator==(const At&) const = default;
  };
  std::vector<At> timeline() const {
    std::vector<At> t;
    for (const Stamped& s : sent) t.push_back({s.time, entryOf(s.bytes)});
    return t;
  }
};

TEST_F(SysexSender, DelayPacesEachMessageWithAPauseAfterIt) {
  struct Case {
    const char* what;
    i16 delay;
    std::string entry;
    std::vector<At> expected;
    long endsAt;
    std::size_t handOvers;  // 1 for three messages: the whole entry at once
  };
  const std::string three = msg(1) + msg(2) + msg(3), trailing = "\xF0\x41\x10";
  const Case cases[] = {
      {"delay 0 hands the whole entry over at once", 0, three, {{0, 1}, {0, 2}, {0, 3}}, 0, 1},
      {"a negative delay counts as 0", -5, three, {{0, 1}, {0, 2}, {0, 3}}, 0, 1},
      {"three messages", 20, three, {{0, 1}, {20, 2}, {40, 3}}, 60, 3},
      {"bytes after the last F7 are dropped", 20, msg(1) + trailing, {{0, 1}}, 20, 1},
      {"no F7 at all sends nothing", 20, trailing, {}, 0, 0},
      {"empty entry sends nothing and does not wait", 20, "", {}, 0, 0},
  };
  for (const Case& c : cases) {
    sent.clear();
    out.handOvers.clear();
    loop.now = 0;
    k->s.settings.SysexDelay = c.delay;
    k->stopsTable.table()[30] = c.entry;
    k->INVIO_SYSEX(30);
    EXPECT_EQ(timeline(), c.expected) << c.what;
    EXPECT_EQ(loop.now, c.endsAt) << c.what;
    EXPECT_EQ(out.handOvers.size(), c.handOvers) << c.what;
    EXPECT_FALSE(loop.timerArmed()) << c.what;
  }
}

TEST_F(SysexSender, EventsRunDuringAPauseAndANestedSendEndsTheOuterPause) {
  k->s.settings.SysexDelay = 20;
  k->stopsTable.table()[12] = msg(1) + msg(2) + msg(3);
  k->stopsTable.table()[55] = msg(9);
  long clickedAt = -1;
  loop.at(5, [&] {
    clickedAt = loop.now;
    k->INVIO_SYSEX(55);  // a stop pressed while the Great entry is being paced
  });
  k->INVIO_SYSEX(12);
  EXPECT_EQ(clickedAt, 5);
  // The inner send re-arms the one timer; when its pause ends the outer one
  // ends with it, and the outer entry goes on.
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
