// The memory sequencer: its buttons' entry points, the hotkeys that recall a
// memory by other ways, and the MIDI foot switches, with its Setup choice.

#include <functional>

#include "routing/FootSwitches.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using Entries = std::vector<int>;
constexpr int kForwarded = -1;  // a message that is no sysex entry

// Memory m holds Great stop 10 + m: recalling it sends entry 10 + m alone.
class Sequencer : public ConsoleTest {
 protected:
  void SetUp() override {
    startWith(0, 1, 0);
    for (int m = 1; m <= kLastMemory; ++m) {
      Registration r = kInitialRegistration;
      r.GreatStop = static_cast<i16>(10 + m);
      k->registration().bank().memory(m) = r;
    }
    sent.clear();
  }
  std::function<void()> feet(int input, midi::Bytes bytes) {
    return [this, input, bytes] {
      for (auto b = bytes.begin(); b != bytes.end(); b += 3)
        (input == 0 ? in1 : in2).inject(midi::Bytes(b, b + 3));
      loop.runPosted();
    };
  }
  struct Step {
    const char* what;
    std::function<void()> act;
    Entries sent;
    int position;
  };
  void run(const std::vector<Step>& steps) {
    for (const Step& s : steps) {
      sent.clear();
      s.act();
      loop.drain();
      EXPECT_EQ(sentEntries(), s.sent) << s.what;
      EXPECT_EQ(k->registration().sequencePosition(), s.position) << s.what;
    }
  }
};

TEST_F(Sequencer, StepsWrapAroundAndFollowEveryRecall) {
  auto next = [this] { k->Sequencer_Next(); };
  auto previous = [this] { k->Sequencer_Previous(); };
  run({
      {"next from none: free 1", next, {11}, 1},
      {"previous wraps to fixed 12", previous, {34}, 24},
      {"next wraps to free 1", next, {11}, 1},
      {"F12 recalls free 12", [this] { k->Form_KeyDown(123, 0); }, {22}, 12},
      {"next: fixed 1", next, {23}, 13},
      {"key 5: fixed 5", [this] { k->Form_KeyPress('5'); }, {27}, 17},
      {"previous: fixed 4", previous, {26}, 16},
      {"pedal + key 62: free 3, the key's release passes",
       feet(0, {0xB0, 64, 127, 0x90, 62, 100, 0x80, 62, 64, 0xB0, 64, 0}),
       {13, kForwarded},
       3},
      {"next: free 4", next, {14}, 4},
  });
}

// A fixed step recalls as the fixed memory's bar does: the bar lit up to it.
TEST_F(Sequencer, AFixedStepLightsTheBarAsItsButtonDoes) {
  k->c_memory_Click(12);
  k->Sequencer_Next();
  const auto& bar = k->registration().view().fixedMemoryBar;
  EXPECT_EQ(std::pair(bar[1].lamp, bar[2].lamp), std::pair(Lamp::Lit, Lamp::Inactive));
}

TEST_F(Sequencer, FootSwitchesStepOncePerPressAndReachNoModule) {
  run({
      {"soft pedal down", feet(0, {0xB0, 67, 127}), {11}, 1},
      {"held, released", feet(0, {0xB0, 67, 100, 0xB0, 67, 0}), {}, 1},
      {"dither 63 64 63 65: two presses",
       feet(0, {0xB0, 67, 63, 0xB0, 67, 64, 0xB0, 67, 63, 0xB0, 67, 65}),
       {12, 13},
       3},
      {"half pedal 64..127 and back: one",
       feet(0, {0xB0, 67, 0, 0xB0, 67, 64, 0xB0, 67, 90, 0xB0, 67, 127, 0xB0, 67, 70}),
       {14},
       4},
      {"sostenuto on the Swell, input 2", feet(1, {0xB1, 66, 127}), {13}, 3},
      {"soft pedal on input 2: its own", feet(1, {0xB2, 67, 127}), {14}, 4},
      {"sostenuto on input 1: its own", feet(0, {0xB0, 66, 127}), {13}, 3},
      {"no division channel: passes", feet(0, {0xB5, 67, 0, 0xB5, 67, 127}), Entries(2, kForwarded),
       3},
  });
}

TEST_F(Sequencer, SetupTurnsTheFootSwitchesOffBesideTheConfiguration) {
  const std::string cfg = readFile("KALVANT.CFG");
  EXPECT_TRUE(k->footSwitchesChosen());
  k->SetMidi_Click(), k->FootSwitches_Click(false), k->Setup_CANCEL_Click(), loop.drain();
  EXPECT_TRUE(k->router().footSwitches());
  k->SetMidi_Click(), k->FootSwitches_Click(false), k->Setup_OK_Click(), loop.drain();
  EXPECT_FALSE(k->router().footSwitches());
  EXPECT_EQ(readFile(routing::kSequencerFileName), "# kalvant memory sequencer\nfootswitches=0\n");
  EXPECT_EQ(readFile("KALVANT.CFG"), cfg);
  sent.clear();
  run({{"off: the controllers pass", feet(0, {0xB0, 67, 127, 0xB0, 66, 127}),
        Entries(2, kForwarded), 0}});
  restart(), startWith(0, 1, 0);
  EXPECT_FALSE(k->router().footSwitches());
}

}  // namespace
}  // namespace kalvant::test
