#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using midi::Bytes;
using Sent = std::vector<Bytes>;

class Registration_ : public ConsoleTest {
 protected:
  Registration_() { k->registration().setLedPictures("on", "off", "yellow"), startPlaying(); }
  const CombinationsView& view() const { return k->registration().view(); }
  MemoryBank& bank() { return k->registration().bank(); }
  std::vector<Lamp> bar() {
    std::vector<Lamp> r;
    for (int i = 1; i <= 12; ++i) r.push_back(view().fixedMemoryBar[i].lamp);
    return r;
  }
};

TEST_F(Registration_, AStopSendsItsEntryThenItsDivisionsTemperament) {
  const std::tuple<i16, int, std::vector<int>, int> cases[] = {
      {0, 12, {12}, 10},       // Equal is never resent after a stop
      {1, 55, {55, 105}, 50},  // Mean Tone, Swell
      {3, 81, {81, 112}, 80},  // Kirnberger, Pedal
      {2, 12, {}, 12}};        // the live stop again: no stop data
  for (const auto& [temperament, stop, entries, unlit] : cases) {
    sent.clear();
    auto& s = k->s.settings;
    s.GreatTemperament = s.SwellTemperament = s.PedalTemperament = temperament;
    k->Tiranti_Click(stop);
    EXPECT_EQ(sentEntries(), entries) << stop;
    EXPECT_EQ(view().stopButtons[stop].lamp, Lamp::Lit) << stop;
    EXPECT_EQ(view().stopButtons[unlit].lamp, unlit == stop ? Lamp::Lit : Lamp::Unlit) << stop;
  }
  EXPECT_EQ(bank().live, bank().pending);
}

TEST_F(Registration_, TheLiveStopAgainTurnsTheGreenLedYellowAndGreysTheBar) {
  k->c_memory_Click(14);  // fixed memory 2 lights two labels
  k->c_memory_Click(4);
  EXPECT_EQ(view().memoryLeds[4].picturePath, "on");
  sent.clear();
  k->Tiranti_Click(10);
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(view().memoryLeds[4].picturePath, "yellow");
  EXPECT_EQ(bar(), std::vector<Lamp>(12, Lamp::Inactive));
}

TEST_F(Registration_, RecallSendsTheDifferenceInItsOrder) {
  k->s.settings.TremoloValue = 100;
  bank().memory(7) = {127, 90, 10, 1, 50, 0, 80, 2, 0, 1};  // Great tremolo, Swell 90, II to Ped
  k->c_memory_Click(7);
  // The tremolo refresh, then the tremolo change, then the Swell volume.
  EXPECT_EQ(bytesSent(), (Sent{{0xB0, 1, 100}, {0xB0, 1, 100}, {0xB1, 11, 90}}));
  EXPECT_EQ(std::tuple(k->sound().view().swellVolume.value, view().swellToPedal.lamp,
                       view().greatToPedal.lamp, k->sound().view().greatTremolo.lamp),
            std::tuple(90, Lamp::Lit, Lamp::Unlit, Lamp::Lit));
  EXPECT_EQ(bank().live, bank().memory(7));
  sent.clear();
  k->c_memory_Click(7);  // already live: only the tremolo refresh
  EXPECT_EQ(bytesSent(), (Sent{{0xB0, 1, 100}}));
}

TEST_F(Registration_, ValuesOutOfRangeFromFilesFallBackAndNeverLeaveTheTable) {
  bank().memory(13) = {300, -5, 200, 7, 12, -1, 1000, 9, -3, 42};
  k->c_memory_Click(13);
  EXPECT_EQ(bank().live, (Registration{127, 80, 10, 0, 50, 0, 80, 0, 0, 1}));
  EXPECT_EQ(bytesSent(), (Sent{{0xB1, 11, 80}}));
  for (int e : sentEntries()) EXPECT_TRUE(e == -1 || (e >= 0 && e <= 230));
}

TEST_F(Registration_, RecStoresIntoFreeMemoriesOnly) {
  k->Tiranti_Click(20);
  sent.clear();
  k->Rec_button_Click();
  EXPECT_EQ(view().recButton.lamp, Lamp::Lit);
  k->c_memory_Click(5);
  EXPECT_EQ(view().recButton.lamp, Lamp::Unlit);
  EXPECT_EQ(bank().memory(5).GreatStop, 20);
  EXPECT_TRUE(k->registration().freeMemoriesUnsaved());
  EXPECT_EQ(view().memoryLeds[5].picturePath, "on");
  const Registration fixed3 = bank().memory(15);
  k->Rec_button_Click();
  k->c_memory_Click(15);  // fixed memory 3: nothing stored, REC disarmed
  EXPECT_EQ(view().recButton.lamp, Lamp::Unlit);
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(bank().memory(15), fixed3);
  EXPECT_EQ(view().memoryLeds[5].picturePath, "off");
  std::vector<Lamp> lit(12, Lamp::Inactive);
  std::fill_n(lit.begin(), 3, Lamp::Lit);
  EXPECT_EQ(bar(), lit);
  EXPECT_EQ(bank().live.GreatStop, 20);
}

TEST_F(Registration_, ClearAsksAndThenSendsTheWholeDefaultRegistration) {
  k->Tiranti_Click(20);
  k->Rec_button_Click();
  k->c_memory_Click(2);
  sent.clear();
  user.answers = {false};
  k->CANCEL_Click();
  EXPECT_EQ(user.questions,
            std::vector<std::string>{"The free memories are not saved. Erase them anyway?"});
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(bank().memory(2).GreatStop, 20);
  user.answers = {true};
  k->CANCEL_Click();
  EXPECT_EQ(sentEntries(), (std::vector<int>{10, 50, 80, -1, -1, -1, -1}));
  EXPECT_EQ(bytesSent().back(), (Bytes{0xB1, 11, 127}));
  EXPECT_EQ(std::pair(bank().memory(2), bank().live),
            std::pair(kInitialRegistration, kInitialRegistration));
  EXPECT_FALSE(k->registration().freeMemoriesUnsaved());
  EXPECT_EQ(view().clearButton.lamp, Lamp::Unlit);
}

TEST_F(Registration_, MemoryIndexesOutsideTheRangeMeanMemoryOne) {
  bank().memory(1) = {127, 127, 33, 0, 50, 0, 80, 0, 0, 1};
  for (int index : {0, 25, -4}) {
    k->c_memory_Click(index);
    EXPECT_EQ(std::pair(k->registration().currentMemory(), int(bank().live.GreatStop)),
              std::pair(1, 33));
  }
}

TEST_F(Registration_, CouplersAreExclusiveInPairsAndSendNothing) {
  const std::tuple<void (Console::*)(), Lamp, Lamp> steps[] = {
      {&Console::UNI_II_Click, Lamp::Lit, Lamp::Unlit},
      {&Console::UNII_I_Click, Lamp::Unlit, Lamp::Lit},
      {&Console::UNII_I_Click, Lamp::Unlit, Lamp::Unlit}};
  for (const auto& [click, uni_ii, unii_i] : steps) {
    (k.get()->*click)();
    EXPECT_EQ(std::pair(view().swellToGreat.lamp, view().greatToSwell.lamp),
              std::pair(uni_ii, unii_i));
    EXPECT_EQ(bank().pending.ManualCoupler, bank().live.ManualCoupler);
  }
  EXPECT_TRUE(sent.empty());
}

TEST_F(Registration_, TheChosenDivisionAloneIsLitInNormalThruModeAndNoneOtherwise) {
  using L = Lamp;
  const std::tuple<i16, void (Console::*)(), std::array<Lamp, 3>> steps[] = {
      {1, &Console::SWELL_Click, {L::Inactive, L::Lit, L::Inactive}},
      {1, &Console::PEDALE_Click, {L::Inactive, L::Inactive, L::Lit}},
      {1, &Console::GREAT_Click, {L::Lit, L::Inactive, L::Inactive}},
      {2, &Console::SWELL_Click, {L::Inactive, L::Inactive, L::Inactive}}};
  for (const auto& [mode, click, lamps] : steps) {
    k->s.settings.ThruMode = mode;
    (k.get()->*click)();
    EXPECT_EQ((std::array{view().greatDivision.lamp, view().swellDivision.lamp,
                          view().pedalDivision.lamp}),
              lamps);
  }
  EXPECT_TRUE(sent.empty());
}

TEST_F(Registration_, LabelModeTogglesNumbersAndNoteNames) {
  k->s.settings.MemoryLabelMode = 1;
  k->Labelmode_Click();
  EXPECT_EQ(view().memoryLabels[12].text, "11");
  k->Labelmode_Click();
  EXPECT_EQ(view().memoryLabels[2].text, "C#");
}

}  // namespace
}  // namespace kalvant::test
