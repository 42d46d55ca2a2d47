// The routing fuzzer's console script: actions reach the console as a player's would,
// also while its output is still being sent; shutdown silences it.

#include <gtest/gtest.h>

#include <algorithm>

#include "ConsoleScript.h"

namespace kalvant::fuzz {
namespace {

using midi::Bytes;
using Sent = std::vector<Bytes>;
const Bytes kSecond{0xF0, 0x7E, 0x00, 0xF7};  // every entry's second message
const auto entry = [](std::uint8_t k) { return Bytes{0xF0, 0x7D, 0, k, 0xF7}; };

// Plays normal rechannelling, no note delay, rate 100, labels as notes, then the actions.
struct Played {
  ConsoleRun run;
  Sent sent;
  explicit Played(std::initializer_list<std::uint8_t> actions, std::uint8_t sysexDelay = 0) {
    std::vector<std::uint8_t> s{1, 1, 0, 3, sysexDelay, 0, 100, 0, 0, 0, 0, 0, 0, 1, 0, 0};
    s.insert(s.end(), actions);
    EXPECT_EQ(run.play(s.data(), s.size()), "");
    sent = run.sent();
  }
  std::size_t indexOf(const Bytes& m) const { return std::ranges::find(sent, m) - sent.begin(); }
  bool has(const Bytes& m) const { return indexOf(m) < sent.size(); }
  Sent from(std::size_t i, std::size_t n) const {  // at most n messages from i on
    return {sent.begin() + std::min(i, sent.size()), sent.begin() + std::min(i + n, sent.size())};
  }
  Sent last(std::size_t n) const { return from(sent.size() < n ? 0 : sent.size() - n, n); }
};

TEST(ConsoleScript, InputReachesTheActiveDivisionAndAStatusStartsAMessage) {
  // A status byte where a data byte was due starts the next message.
  Played p({kDivision, 1, kNoteIn1, 0x94, 60, 100, kPump, kRawIn1, 2, 0x90, 0xC5, 0x07, kPump});
  EXPECT_EQ(p.last(2), (Sent{{0x91, 60, 100}, {0xC5, 0x07}}));  // the Swell's channel
}

TEST(ConsoleScript, ANoteCanArriveInsideAStopChangesPause) {
  Played p({kDuringPause, kStop, 10, kNoteIn1, 0x90, 62, 90}, 2);  // 2 ms after every message
  EXPECT_EQ(p.from(p.indexOf(entry(20)), 3), (Sent{entry(20), {0x90, 62, 90}, kSecond}));
}

TEST(ConsoleScript, NothingIsHeardAfterShutdown) {
  Played p({kClose, 0, kStop, 30, kNoteIn1, 0x90, 60, 100, kPump, kReset, 0});
  EXPECT_TRUE(p.run.console().ended());
  EXPECT_EQ(p.last(4), (Sent{entry(100), kSecond, entry(1), kSecond}));
}

TEST(ConsoleScript, TheSustainPedalAndAKeyRecallAStoredMemory) {
  // Memory 3: Great stop 25, Swell stop 60 (values as a file holds them); the key is a command.
  Played p({kStoreMemory, 2,    127, 127, 25,       0,    60, 0,   80,   0, 0, 1,
            kNoteIn1,     0xB0, 64,  127, kNoteIn1, 0x90, 62, 100, kPump});
  EXPECT_TRUE(p.has(entry(25)) && p.has(entry(60)) && !p.has({0x90, 62, 100}));
}

// Found by the fuzzer: CLEAR's placeholder live Pedal stop 79 is the last Swell stop; the
// Pedal step of an update finished by a Swell 79 click in CLEAR's pauses unlit that button.
TEST(ConsoleScript, AStopClickedDuringClearsPausesStaysLit) {
  Played p({kDuringPause, kClear, 0, kStop, 69}, 2);
  EXPECT_EQ(p.run.console().registration().bank().live.SwellStop, 79);
  EXPECT_EQ(p.run.console().registration().view().stopButtons[79].lamp, Lamp::Lit);
}

}  // namespace
}  // namespace kalvant::fuzz
