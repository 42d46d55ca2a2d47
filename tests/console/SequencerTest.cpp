// The memory sequencer over its entry points, other recalls and foot switches.

#include <functional>

#include "routing/FootSwitches.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using Entries = std::vector<int>;
constexpr int kPassed = -1;  // a forwarded message, no sysex entry

// Memory m holds Great stop 10 + m: recalling it sends entry 10 + m alone.
class Sequencer : public ConsoleTest {
 protected:
  void SetUp() override {
    startWith(0, 1, 0);
    for (int m = 1; m <= kLastMemory; ++m)
      k->registration().bank().memory(m).GreatStop = static_cast<i16>(10 + m);
  }
  // Values of one controller (or the status's bytes) played on an input.
  std::function<void()> play(int input, std::uint8_t status, std::uint8_t cc,
                             std::vector<std::uint8_t> values) {
    return [=, this] {
      for (std::uint8_t v : values) (input == 0 ? in1 : in2).inject({status, cc, v});
      loop.runPosted();
    };
  }
  void run(const std::vector<std::tuple<const char*, std::function<void()>, Entries, int>>& rows) {
    for (const auto& [what, act, entries, position] : rows) {
      sent.clear(), act(), loop.drain();
      EXPECT_EQ(sentEntries(), entries) << what;
      EXPECT_EQ(k->registration().sequencePosition(), position) << what;
    }
  }
};

TEST_F(Sequencer, StepsWrapAroundAndGoOnFromAnyRecall) {
  auto next = [this] { k->Sequencer_Next(); };
  auto previous = [this] { k->Sequencer_Previous(); };
  run({
      {"next from none: free 1", next, {11}, 1},
      {"previous wraps to fixed 12", previous, {34}, 24},
      {"next wraps to free 1", next, {11}, 1},
      {"F12: free 12", [this] { k->Form_KeyDown(123, 0); }, {22}, 12},
      {"next: fixed 1", next, {23}, 13},
      {"key 5: fixed 5", [this] { k->Form_KeyPress('5'); }, {27}, 17},
      {"sustain pedal + key 62: free 3", play(0, 0xB0, 64, {127}), {}, 17},
      {"", play(0, 0x90, 62, {100}), {13}, 3},
      {"previous: free 2", previous, {12}, 2},
  });
}

TEST_F(Sequencer, FootSwitchesStepOncePerPressAndReachNoModule) {
  run({
      {"soft pedal down", play(0, 0xB0, 67, {127}), {11}, 1},
      {"held, released", play(0, 0xB0, 67, {100, 0}), {}, 1},
      {"dithering 63 64 63 65: two presses", play(0, 0xB0, 67, {63, 64, 63, 65}), {12, 13}, 3},
      {"half pedal: one press", play(0, 0xB0, 67, {0, 64, 90, 127, 70}), {14}, 4},
      {"sostenuto on the Swell, input 2", play(1, 0xB1, 66, {127}), {13}, 3},
      {"soft pedal on input 2: its own", play(1, 0xB2, 67, {127}), {14}, 4},
      {"no division channel", play(0, 0xB5, 67, {0, 127}), {kPassed, kPassed}, 4},
  });
}

TEST_F(Sequencer, SetupTurnsTheFootSwitchesOffBesideTheConfiguration) {
  const std::string cfg = readFile("KALVANT.CFG");
  k->SetMidi_Click(), k->FootSwitches_Click(false), k->Setup_CANCEL_Click();
  EXPECT_TRUE(k->router().footSwitches());
  k->SetMidi_Click(), k->FootSwitches_Click(false), k->Setup_OK_Click(), loop.drain();
  EXPECT_EQ(readFile(routing::kSequencerFileName), "# kalvant memory sequencer\nfootswitches=0\n");
  EXPECT_EQ(readFile("KALVANT.CFG"), cfg);
  run({{"off: they pass", play(0, 0xB0, 67, {0, 127}), {kPassed, kPassed}, 0}});
  restart(), startWith(0, 1, 0);
  EXPECT_FALSE(k->router().footSwitches());
}

}  // namespace
}  // namespace kalvant::test
