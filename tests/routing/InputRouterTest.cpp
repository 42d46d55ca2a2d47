// The input router on in-memory ports, with the console's side played by a
// recorder of the actions it asks for.

#include "routing/InputRouter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "midi/MemoryMidi.h"
#include "support/FakeLoop.h"

namespace kalvant::routing {
namespace {

using midi::Bytes;

struct Recorder : RouterActions {
  std::vector<ConsoleAction> actions;
  Keyboards keys;
  void run(const ConsoleAction& a) override { actions.push_back(a); }
  Keyboards keyboards() const override { return keys; }
  bool ended() const override { return false; }
};

const std::vector<Bytes> kPanic = {{0xB0, 123, 0}, {0xB0, 123, 0}, {0xB1, 123, 0},
                                   {0xB1, 123, 0}, {0xB2, 123, 0}, {0xB2, 123, 0}};

class Router : public ::testing::Test {
 protected:
  test::FakeLoop loop;
  midi::MemoryMidiOutput out{{"Module"}, loop.post()};
  midi::MemoryMidiInput in{{"Keyboard"}, loop.post()};
  ModuleOutput module{out};
  i16 thruMode = 0, tremoloRate = 100, noteDelay = 0, slidersCoupled = 0;
  std::array<i16, 4> fixedChannel{};
  Recorder console;
  InputRouter router{module,
                     loop,
                     {thruMode, tremoloRate, fixedChannel, noteDelay, slidersCoupled},
                     console,
                     nullptr};

  Router() {
    out.selectDevice(0);
    out.open();
    in.selectDevice(0);
    in.open();
    in.start();
    in.onMessage = [this] { router.drain(0, in); };
  }
  void play(std::initializer_list<Bytes> messages) {
    for (const Bytes& m : messages) in.inject(m);
    loop.runPosted();
  }
  std::vector<Bytes> take() { return std::exchange(out.sent, {}); }
  // Plays a key with the sustain pedal held on a division (0 Great, 1 Swell, 2 Pedal).
  void command(int division, int key) {
    play({{static_cast<std::uint8_t>(0xB0 | division), 64, 127},
          {static_cast<std::uint8_t>(0x90 | division), static_cast<std::uint8_t>(key), 100}});
  }
};

TEST(KeyCommandMap, KeysGiveTheirActions) {
  struct Row {
    int key, division, rateBefore;
    std::optional<ConsoleAction> action;  // nullopt: not a key command (PANIC is the router's)
    int rateAfter;
  };
  const Keyboards keys{1, 0, 0, 86, 122};
  const Row rows[] = {
      {60, 0, 100, ConsoleAction{Action::Memory, 1}, 100},
      {83, 2, 100, ConsoleAction{Action::Memory, 24}, 100},
      {49, 2, 100, ConsoleAction{Action::BendSwitch, kPedalCouplerI}, 100},
      {51, 1, 100, ConsoleAction{Action::BendSwitch, kManualCouplerItoII}, 100},
      {54, 0, 100, ConsoleAction{Action::Division, 3}, 100},
      {89, 0, 100, ConsoleAction{Action::Temperament, 3}, 100},
      {94, 0, 100, ConsoleAction{Action::Reverb, 2}, 100},
      {85, 0, 100, ConsoleAction{Action::Nothing}, 100},
      {91, 0, 86, ConsoleAction{Action::TremoloRate}, 81},
      {91, 0, 85, ConsoleAction{Action::TremoloRate}, 80},
      {93, 0, 115, ConsoleAction{Action::TremoloRate}, 120},
      {93, 0, 125, ConsoleAction{Action::TremoloRate}, 120},
      {95, 0, 100, ConsoleAction{Action::Volume, 81, 0}, 100},
      {96, 1, 100, ConsoleAction{Action::Volume, 127, 1}, 100},
      {95, 2, 100, ConsoleAction{Action::Nothing}, 100},  // the Pedal has no volume
      {59, 0, 100, std::nullopt, 100},
      {0, 0, 100, std::nullopt, 100},
      {127, 1, 100, std::nullopt, 100},
  };
  for (const Row& r : rows) {
    i16 rate = static_cast<i16>(r.rateBefore);
    EXPECT_EQ(keyCommand(r.key, r.division, keys, rate), r.action) << r.key;
    EXPECT_EQ(rate, r.rateAfter) << r.key;
  }
}

TEST_F(Router, StopNumbersByTensAndUnits) {
  struct Row {
    int division;
    std::vector<int> keys;
    int stop;  // the stop button chosen, or -1
  };
  const Row rows[] =
      {
          {0, {41}, 13},     {0, {39, 43}, 34},     {1, {37, 36}, 60},
          {2, {44, 50}, -1}, {0, {52}, -1},         {0, {44, 50}, -1},
          {2, {52}, -1},     {0, {42, 37, 38}, 21},  // a second tens key replaces the first
      };
  for (const Row& r : rows) {
    console.actions.clear();
    for (std::size_t i = 0; i < r.keys.size(); ++i) {
      command(r.division, r.keys[i]);
      EXPECT_EQ(router.commandArmed(), i + 1 < r.keys.size());  // tens keep the command open
    }
    const auto expected = r.stop < 0 ? std::vector<ConsoleAction>{}
                                     : std::vector<ConsoleAction>{{Action::Stop, r.stop}};
    EXPECT_EQ(console.actions, expected) << r.keys[0];
  }
  EXPECT_TRUE(out.sent.empty());  // stop numbers send nothing themselves
}

TEST_F(Router, PanicByKeyOrByPedalAlone) {
  command(0, 59);
  EXPECT_EQ(take(), kPanic);
  EXPECT_FALSE(router.commandArmed());
  play({{0xB1, 64, 127}, {0xB1, 64, 0}});
  EXPECT_EQ(take(), kPanic);
  EXPECT_TRUE(console.actions.empty());
}

TEST_F(Router, AHeldKeyIsReleasedWhereItsNoteWent) {
  thruMode = 1;
  console.keys.manualCoupler = 1;  // Great to Swell: a Great key sounds twice
  play({{0x94, 60, 90}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x90, 60, 90}, {0x91, 60, 90}}));
  console.keys = {2, 0, 0};  // Swell, no coupler, thru off
  thruMode = 0;
  play({{0x84, 60, 0}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x80, 60, 0}, {0x81, 60, 0}}));
  play({{0x80, 70, 0}});  // a release with no note-on is routed as it comes
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x80, 70, 0}}));
}

TEST_F(Router, NotesStillDownWhenTheOutputClosesAreReleasedThereOnce) {
  console.keys.manualCoupler = 1;
  play({{0x90, 60, 100}, {0x92, 36, 90}});
  take();
  router.releaseHeldNotes();
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x80, 60, 64}, {0x81, 60, 64}, {0x82, 36, 64}}));
  router.releaseHeldNotes();
  EXPECT_TRUE(take().empty());
  // The keys' own releases are not for the next output; new notes are.
  play({{0x80, 60, 64}, {0x92, 36, 0}, {0x92, 36, 90}, {0x82, 36, 64}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x92, 36, 90}, {0x82, 36, 64}}));
}

TEST_F(Router, EachMessageIsFollowedByTheNoteDelay) {
  noteDelay = 100;
  play({{0x90, 60, 100}, {0x80, 60, 64}, {0xC4, 5}});
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x90, 60, 100}, {0x80, 60, 64}, {0xC4, 5}}));
  EXPECT_EQ(loop.pausedMicroseconds, 3 * 1000);  // 100 x 10 us after every message
}

TEST_F(Router, AFloodLeavesNoKeySoundingAndTheStatusLineCountsTheDrops) {
  // 100,001 messages before the first is handled: the queue's limit falls
  // between a note-on and its note-off.
  in.inject({0xC0, 5});
  for (int i = 0; i < 50000; ++i) {
    const auto key = static_cast<std::uint8_t>(36 + i % 61);
    in.inject({0x90, key, 100});
    in.inject({0x80, key, 64});
  }
  loop.runPosted();
  std::array<bool, 128> sounding{};
  for (const Bytes& m : take()) {
    if (m[0] == 0x90 || m[0] == 0x80) sounding[m[1]] = m[0] == 0x90;
  }
  EXPECT_EQ(std::count(sounding.begin(), sounding.end(), true), 0);
  EXPECT_EQ(router.midiStatus().text, "MIDI input 1 overloaded: 33,441 messages dropped");
}

// The volume pedal, the modulation wheel and expression; the Pedal's own
// moves nothing, unless the sliders are coupled.
TEST_F(Router, VolumePedalsMoveBothDivisionsWhenCoupled) {
  struct Row {
    int input;
    i16 coupled, manualCoupler;
    Bytes message;
    std::vector<ConsoleAction> actions;
  };
  const Row rows[] = {
      {0, 1, 0, {0xB0, 7, 64}, {{Action::Volume, 104, 0}}},
      {1, 1, 0, {0xB2, 11, 0}, {{Action::Volume, 80, 0}, {Action::Volume, 80, 1}}},
      {0, 0, 2, {0xB1, 1, 127}, {{Action::Volume, 127, 0}, {Action::Volume, 127, 1}}},
      {0, 0, 0, {0xB1, 1, 0}, {{Action::Volume, 80, 1}}},
      {0, 0, 0, {0xB2, 7, 100}, {}}};
  for (const Row& r : rows) {
    console.actions.clear();
    slidersCoupled = r.coupled;
    console.keys.manualCoupler = r.manualCoupler;
    router.handleMessage(r.input, {r.message[0], r.message[1], r.message[2]});
    EXPECT_EQ(console.actions, r.actions) << r.input << " " << int(r.message[0]);
  }
  EXPECT_TRUE(out.sent.empty());
}

// The zones and the latch's reset: Routing.WheelSwitchesOncePerExcursion.
TEST_F(Router, TheWheelSwitchesOncePerExcursion) {
  play({{0xE0, 0, 76}, {0xE0, 0, 79}, {0xE0, 0, 64}, {0xE0, 0, 76}});
  EXPECT_EQ(console.actions, (std::vector<ConsoleAction>{{Action::BendSwitch, kGreatTremolo},
                                                         {Action::BendSwitch, kGreatTremolo}}));
}

TEST_F(Router, ComputerKeysRecallMemories) {
  const std::tuple<bool, int, int> rows[] = {{true, 112, 1},   {true, 123, 12},   {true, 111, 0},
                                             {true, 124, 0},   {false, '1', 13},  {false, '9', 21},
                                             {false, '0', 22}, {false, '\'', 23}, {false, 236, 24},
                                             {false, '=', 24}, {false, 'a', 0}};
  for (const auto& [down, code, memory] : rows) {
    console.actions.clear();
    down ? router.keyDown(code) : router.keyPress(code);
    const auto expected = memory == 0 ? std::vector<ConsoleAction>{}
                                      : std::vector<ConsoleAction>{{Action::Memory, memory}};
    EXPECT_EQ(console.actions, expected) << code;
  }
}

TEST_F(Router, ThruDialogLearnsAChannelFromAPlayedKey) {
  router.openThru();
  router.chooseThruMode(2);
  const auto& fields = router.thruView().learnedChannelFields;
  EXPECT_EQ(fields[2].caption, "channel = 4");
  router.chooseCaptureField(0);
  play({{0x94, 60, 100}});
  EXPECT_EQ(fields[0].caption, "Channel = 5");
  EXPECT_EQ(take(), (std::vector<Bytes>{{0x90, 60, 100}}));  // already on the Great
  router.thruClose();                                        // the frame's close box acts as OK
  EXPECT_EQ(console.actions, (std::vector<ConsoleAction>{{Action::RepaintDivisions}}));
  EXPECT_FALSE(router.thruView().visible);
  play({{0x95, 60, 100}});  // no more learning
  EXPECT_EQ(fixedChannel[0], 4);
  router.openThru();  // reopening in mode 2 starts learning again
  EXPECT_EQ(fixedChannel[0], 1);
  router.chooseThruMode(0);
  router.thruCancel();
  EXPECT_EQ(thruMode, 2);
}

}  // namespace
}  // namespace kalvant::routing
