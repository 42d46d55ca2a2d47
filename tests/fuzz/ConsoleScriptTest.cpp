// The console script the routing fuzzer plays: its actions reach the console
// as a player's would, pauses let other events in, shutdown silences it.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ConsoleScript.h"

namespace kalvant::fuzz {
namespace {

using midi::Bytes;

// Normal rechannelling, no delays, rate 100, labels as notes.
std::vector<std::uint8_t> settings(std::uint8_t sysexDelay = 0) {
  return {1, 1, 0, 3, sysexDelay, 0, 100, 0, 0, 0, 0, 0, 0, 1, 0, 0};
}

std::vector<Bytes> play(ConsoleRun& run, std::vector<std::uint8_t> script) {
  EXPECT_EQ(run.play(script.data(), script.size()), "");
  return run.sent();
}

std::size_t indexOf(const std::vector<Bytes>& sent, const Bytes& m) {
  return static_cast<std::size_t>(std::find(sent.begin(), sent.end(), m) - sent.begin());
}

TEST(ConsoleScript, InputReachesTheActiveDivisionAndAStatusStartsAMessage) {
  ConsoleRun run;
  std::vector<std::uint8_t> s = settings();
  s.insert(s.end(), {kDivision, 1, kNoteIn1, 0x94, 60, 100, kPump});
  // A status byte where a data byte was due starts the next message.
  s.insert(s.end(), {kRawIn1, 2, 0x90, 0xC5, 0x07, kPump});
  const std::vector<Bytes> sent = play(run, s);
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[sent.size() - 2], (Bytes{0x91, 60, 100}));  // the Swell's channel
  EXPECT_EQ(sent.back(), (Bytes{0xC5, 0x07}));
}

TEST(ConsoleScript, ANoteCanArriveInsideAStopChangesPause) {
  ConsoleRun run;
  std::vector<std::uint8_t> s = settings(2);  // 2 ms after every sysex message
  s.insert(s.end(), {kDuringPause, kStop, 10, kNoteIn1, 0x90, 62, 90});
  const std::vector<Bytes> sent = play(run, s);
  // Stop 20: its entry's two messages, with the note played between them.
  const std::size_t first = indexOf(sent, {0xF0, 0x7D, 0, 20, 0xF7});
  ASSERT_LT(first + 2, sent.size());
  EXPECT_EQ(sent[first + 1], (Bytes{0x90, 62, 90}));
  EXPECT_EQ(sent[first + 2], (Bytes{0xF0, 0x7E, 0x00, 0xF7}));
}

TEST(ConsoleScript, NothingIsHeardAfterShutdown) {
  ConsoleRun run;
  std::vector<std::uint8_t> s = settings();
  s.insert(s.end(), {kClose, 0, kStop, 30, kNoteIn1, 0x90, 60, 100, kPump, kReset, 0});
  const std::vector<Bytes> sent = play(run, s);
  EXPECT_TRUE(run.console().ended());
  // The last messages are shutdown's entries 100 and 1.
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(sent[sent.size() - 4], (Bytes{0xF0, 0x7D, 0, 100, 0xF7}));
  EXPECT_EQ(sent[sent.size() - 2], (Bytes{0xF0, 0x7D, 0, 1, 0xF7}));
}

TEST(ConsoleScript, TheSustainPedalAndAKeyRecallAStoredMemory) {
  ConsoleRun run;
  std::vector<std::uint8_t> s = settings();
  // Memory 3: Great stop 25, Swell stop 60 (values as a file holds them).
  s.insert(s.end(), {kStoreMemory, 2, 127, 127, 25, 0, 60, 0, 80, 0, 0, 1});
  s.insert(s.end(), {kNoteIn1, 0xB0, 64, 127, kNoteIn1, 0x90, 62, 100, kPump});
  const std::vector<Bytes> sent = play(run, s);
  EXPECT_LT(indexOf(sent, {0xF0, 0x7D, 0, 25, 0xF7}), sent.size());
  EXPECT_LT(indexOf(sent, {0xF0, 0x7D, 0, 60, 0xF7}), sent.size());
  EXPECT_EQ(indexOf(sent, {0x90, 62, 100}), sent.size());  // the key is a command, not a note
}

// Found by the console fuzzer: CLEAR's placeholder live Pedal stop is 79,
// the last Swell stop, so the Pedal step of an update that a Swell stop 79
// click completes during CLEAR's pauses used to unlight that very button.
TEST(ConsoleScript, AStopClickedDuringClearsPausesStaysLit) {
  ConsoleRun run;
  std::vector<std::uint8_t> s = settings(2);
  s.insert(s.end(), {kDuringPause, kClear, 0, kStop, 69});
  play(run, s);
  EXPECT_EQ(run.console().registration().bank().live.SwellStop, 79);
  EXPECT_EQ(run.console().registration().view().stopButtons[79].lamp, Lamp::Lit);
}

}  // namespace
}  // namespace kalvant::fuzz
