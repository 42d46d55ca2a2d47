#include "routing/InputRouter.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "midi/MemoryMidi.h"
#include "support/FakeLoop.h"

namespace kalvant::routing {
namespace {

using midi::Bytes;
using A = ConsoleAction;
using Actions = std::vector<ConsoleAction>;

struct Recorder : RouterActions {
  Actions actions;
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
  i16 thruMode = 0, tremoloRate = 100, slidersCoupled = 0;
  std::array<i16, 4> fixedChannel{};
  Recorder console;
  InputRouter router{
      module, {thruMode, tremoloRate, fixedChannel, slidersCoupled}, console, nullptr};

  Router() {
    out.selectDevice(0), in.selectDevice(0);
    out.open(), in.open(), in.start();
    in.onMessage = [this] { router.drain(0, in); };
  }
  std::vector<Bytes> play(std::initializer_list<Bytes> messages) {
    for (const Bytes& m : messages) in.inject(m);
    loop.runPosted();
    return std::exchange(out.sent, {});
  }
  // A key played with the sustain pedal held on a division (0 Great, 1 Swell, 2 Pedal).
  std::vector<Bytes> command(int division, int key) {
    const auto d = static_cast<std::uint8_t>(division);
    return play(
        {{std::uint8_t(0xB0 | d), 64, 127}, {std::uint8_t(0x90 | d), std::uint8_t(key), 100}});
  }
};

TEST(KeyCommandMap, KeysGiveTheirActions) {
  using Act = Action;
  const Keyboards keys{1, 0, 0, 86, 122};
  // The Pedal has no volume; keys outside the map are no command (59 is the router's PANIC).
  // clang-format off
  const std::tuple<int, int, int, std::optional<A>, int> rows[] = {
      {60, 0, 100, A{Act::Memory, 1}, 100},    {83, 2, 100, A{Act::Memory, 24}, 100},
      {49, 2, 100, A{Act::BendSwitch, kPedalCouplerI}, 100},
      {51, 1, 100, A{Act::BendSwitch, kManualCouplerItoII}, 100},
      {54, 0, 100, A{Act::Division, 3}, 100},  {89, 0, 100, A{Act::Temperament, 3}, 100},
      {94, 0, 100, A{Act::Reverb, 2}, 100},    {85, 0, 100, A{Act::Nothing}, 100},
      {91, 0, 86, A{Act::TremoloRate}, 81},    {91, 0, 85, A{Act::TremoloRate}, 80},
      {93, 0, 115, A{Act::TremoloRate}, 120},  {93, 0, 125, A{Act::TremoloRate}, 120},
      {95, 0, 100, A{Act::Volume, 81, 0}, 100}, {96, 1, 100, A{Act::Volume, 127, 1}, 100},
      {95, 2, 100, A{Act::Nothing}, 100},      {59, 0, 100, std::nullopt, 100},
      {0, 0, 100, std::nullopt, 100},          {127, 1, 100, std::nullopt, 100}};
  // clang-format on
  for (const auto& [key, division, before, action, after] : rows) {
    i16 rate = static_cast<i16>(before);
    EXPECT_EQ(keyCommand(key, division, keys, rate), action) << key;
    EXPECT_EQ(rate, after) << key;
  }
}

TEST_F(Router, StopNumbersByTensAndUnits) {
  const std::tuple<int, std::vector<int>, int> rows[] = {
      {0, {41}, 13},     {0, {39, 43}, 34}, {1, {37, 36}, 60},    {2, {44, 50}, -1}, {0, {52}, -1},
      {0, {44, 50}, -1}, {2, {52}, -1},     {0, {42, 37, 38}, 21}};  // a second tens key replaces
  for (const auto& [division, keys, stop] : rows) {
    console.actions.clear();
    for (std::size_t i = 0; i < keys.size(); ++i) {
      EXPECT_TRUE(command(division, keys[i]).empty());  // stop numbers send nothing themselves
      EXPECT_EQ(router.commandArmed(), i + 1 < keys.size());  // tens keep the command open
    }
    EXPECT_EQ(console.actions, (stop < 0 ? Actions{} : Actions{{Action::Stop, stop}})) << keys[0];
  }
}

TEST_F(Router, PanicByKeyOrByPedalAlone) {
  EXPECT_EQ(command(0, 59), kPanic);
  EXPECT_FALSE(router.commandArmed());
  EXPECT_EQ(play({{0xB1, 64, 127}, {0xB1, 64, 0}}), kPanic);
  EXPECT_TRUE(console.actions.empty());
}

TEST_F(Router, AHeldKeyIsReleasedWhereItsNoteWent) {
  thruMode = 1;
  console.keys.manualCoupler = 1;  // Great to Swell: a Great key sounds twice
  EXPECT_EQ(play({{0x94, 60, 90}}), (std::vector<Bytes>{{0x90, 60, 90}, {0x91, 60, 90}}));
  console.keys = {2, 0, 0};
  thruMode = 0;
  EXPECT_EQ(play({{0x84, 60, 0}}), (std::vector<Bytes>{{0x80, 60, 0}, {0x81, 60, 0}}));
  EXPECT_EQ(play({{0x80, 70, 0}}), (std::vector<Bytes>{{0x80, 70, 0}}));  // never pressed
}

TEST_F(Router, NotesStillDownWhenTheOutputClosesAreReleasedThereOnce) {
  console.keys.manualCoupler = 1;
  play({{0x90, 60, 100}, {0x92, 36, 90}});
  router.releaseHeldNotes();
  EXPECT_EQ(play({}), (std::vector<Bytes>{{0x80, 60, 64}, {0x81, 60, 64}, {0x82, 36, 64}}));
  router.releaseHeldNotes();
  EXPECT_TRUE(play({}).empty());
  // The keys' own releases are not for the next output; new notes are.
  EXPECT_EQ(play({{0x80, 60, 64}, {0x92, 36, 0}, {0x92, 36, 90}, {0x82, 36, 64}}),
            (std::vector<Bytes>{{0x92, 36, 90}, {0x82, 36, 64}}));
}

TEST_F(Router, ACommandKeyDisarmsThePedalBeforeItsCommandRuns) {
  std::vector<bool> armedDuring;
  struct Watching : Recorder {
    std::function<void()> during;
    void run(const ConsoleAction& a) override {
      Recorder::run(a);
      during();
    }
  } watching;
  InputRouter r{module, {thruMode, tremoloRate, fixedChannel, slidersCoupled}, watching, nullptr};
  watching.during = [&] { armedDuring.push_back(r.commandArmed()); };
  in.onMessage = [&] { r.drain(0, in); };
  for (int key : {60, 56, 95}) command(0, key);  // a memory, a division, a volume
  EXPECT_EQ(armedDuring, (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(r.published());
}

TEST_F(Router, AFloodLeavesNoKeySoundingAndTheStatusLineCountsTheDrops) {
  in.inject({0xC0, 5});  // 100,001 messages: the limit falls between a note-on and its note-off
  for (int i = 0; i < 50000; ++i) {
    const auto key = static_cast<std::uint8_t>(36 + i % 61);
    in.inject({0x90, key, 100});
    in.inject({0x80, key, 64});
  }
  std::array<bool, 128> sounding{};
  for (const Bytes& m : play({}))
    if (m[0] == 0x90 || m[0] == 0x80) sounding[m[1]] = m[0] == 0x90;
  EXPECT_EQ(std::count(sounding.begin(), sounding.end(), true), 0);
  EXPECT_EQ(router.midiStatus().text, "MIDI input 1 overloaded: 33,441 messages dropped");
}

// The Pedal's own volume pedal moves nothing, unless the sliders are coupled.
TEST_F(Router, VolumePedalsMoveBothDivisionsWhenCoupled) {
  const std::tuple<int, i16, i16, Bytes, Actions> rows[] = {
      {0, 1, 0, {0xB0, 7, 64}, {{Action::Volume, 104, 0}}},
      {1, 1, 0, {0xB2, 11, 0}, {{Action::Volume, 80, 0}, {Action::Volume, 80, 1}}},
      {0, 0, 2, {0xB1, 1, 127}, {{Action::Volume, 127, 0}, {Action::Volume, 127, 1}}},
      {0, 0, 0, {0xB1, 1, 0}, {{Action::Volume, 80, 1}}},
      {0, 0, 0, {0xB2, 7, 100}, {}}};
  for (const auto& [input, coupled, manualCoupler, m, actions] : rows) {
    console.actions.clear();
    slidersCoupled = coupled, console.keys.manualCoupler = manualCoupler;
    router.handleMessage(input, {m[0], m[1], m[2]});
    EXPECT_EQ(console.actions, actions) << input << " " << int(m[0]);
  }
  EXPECT_TRUE(out.sent.empty());
}

TEST_F(Router, TheWheelSwitchesOncePerExcursion) {
  play({{0xE0, 0, 76}, {0xE0, 0, 79}, {0xE0, 0, 64}, {0xE0, 0, 76}});
  EXPECT_EQ(console.actions, Actions(2, {Action::BendSwitch, kGreatTremolo}));
}

TEST_F(Router, ComputerKeysRecallMemories) {
  const std::tuple<bool, int, int> rows[] = {{true, 112, 1},   {true, 123, 12},   {true, 111, 0},
                                             {true, 124, 0},   {false, '1', 13},  {false, '9', 21},
                                             {false, '0', 22}, {false, '\'', 23}, {false, 236, 24},
                                             {false, '=', 24}, {false, 'a', 0}};
  for (const auto& [down, code, memory] : rows) {
    console.actions.clear();
    down ? router.keyDown(code) : router.keyPress(code);
    EXPECT_EQ(console.actions, (memory == 0 ? Actions{} : Actions{{Action::Memory, memory}}))
        << code;
  }
}

TEST_F(Router, ThruDialogLearnsAChannelFromAPlayedKey) {
  router.openThru();
  router.chooseThruMode(2);
  const auto& fields = router.thruView().learnedChannelFields;
  EXPECT_EQ(fields[2].caption, "Channel 4");
  router.chooseCaptureField(0);
  EXPECT_EQ(play({{0x94, 60, 100}}), (std::vector<Bytes>{{0x90, 60, 100}}));  // on the Great
  EXPECT_EQ(fields[0].caption, "Channel 5");
  router.thruClose();  // the frame's close box acts as OK
  EXPECT_EQ(console.actions, Actions{{Action::RepaintDivisions}});
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
