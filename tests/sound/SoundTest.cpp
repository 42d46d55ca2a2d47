// Temperaments, reverb, tremolo and the division volumes: the messages the
// module receives and the menu checks.

#include "console/CfgFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using midi::Bytes;

class Sound : public ConsoleTest {
 protected:
  Sound() { startPlaying(); }
};

TEST_F(Sound, TemperamentMenuActsAsARadioGroup) {
  struct Case {
    int item;
    std::vector<int> entries;
    const char* marked;
  };
  const Case cases[] = {
      {3, {110, 111, 112}, "Kirnberger"},
      {3, {110, 111, 112}, "Kirnberger"},  // chosen again: stays marked, sent again
      {1, {104, 105, 106}, "MeanTone"},
      {0, {101, 102, 103}, "Equal"},
  };
  const char* items[] = {"Equal", "MeanTone", "Silbermann", "Kirnberger"};
  for (const Case& c : cases) {
    sent.clear();
    k->Temperament_Click(c.item);
    EXPECT_EQ(sentEntries(), c.entries) << c.marked;
    for (const char* item : items)
      EXPECT_EQ(k->panel.checked(item), std::string(item) == c.marked) << item;
    EXPECT_EQ(k->s.settings.PedalTemperament, c.item);
  }
}

TEST_F(Sound, ReverbMenuMovesTheMarkAndTheMarkedItemClicksOff) {
  struct Case {
    int item;
    std::vector<int> entries;
    std::array<bool, 3> marks;
  };
  const Case cases[] = {
      {1, {8}, {false, true, false}},
      {1, {}, {false, false, false}},  // the marked item removes its mark
      {1, {8}, {false, true, false}},
      {2, {9}, {false, false, true}},
  };
  for (const Case& c : cases) {
    sent.clear();
    k->Reverb_Click(c.item);
    EXPECT_EQ(sentEntries(), c.entries);
    for (int t = 0; t < 3; ++t)
      EXPECT_EQ(k->panel.checked("Reverb" + std::to_string(t + 1)), c.marks[t]);
  }
  EXPECT_EQ(k->s.settings.ReverbType, 2);
}

TEST_F(Sound, TremoloButtonsSwitchControllerOne) {
  k->s.settings.TremoloValue = 110;
  k->Tir_TREMOLOGO_Click();
  k->Tir_TREMOLOGO_Click();
  k->TIR_TREMOLOSW_Click();
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 1, 110}, {0xB0, 1, 0}, {0xB1, 1, 110}}));
  EXPECT_EQ(k->s.bank.live.GreatTremolo, 0);
  EXPECT_EQ(k->panel.Tir_TREMOLOGO.lamp, Lamp::Unlit);
  EXPECT_EQ(k->panel.TIR_TREMOLOSW.lamp, Lamp::Lit);
}

TEST_F(Sound, TheRateDialogResendsToTheTremolosThatAreOn) {
  struct Case {
    i16 controller;
    bool great, swell;
    std::vector<Bytes> expected;
  };
  const Case cases[] = {
      {0, false, false, {}},
      {0, false, true, {{0xB1, 1, 120}}},
      {1, true, true, {{0xB0, 2, 120}, {0xB1, 2, 120}}},
      {5, true, true, {}},
  };
  for (const Case& c : cases) {
    k->s.settings.TremoloController = c.controller;
    k->s.bank.pending.GreatTremolo = c.great;
    k->s.bank.pending.SwellTremolo = c.swell;
    k->s.settings.TremoloValue = 100;
    k->tremoloRate_Click();
    sent.clear();
    k->Tremolo_Slider1_Scroll(120);
    EXPECT_EQ(bytesSent(), c.expected) << c.controller << c.great << c.swell;
    k->Tremolo_OK_Click();
    EXPECT_FALSE(k->panel.Tremolo.visible);
    EXPECT_EQ(k->s.settings.TremoloValue, 120);
  }
}

TEST_F(Sound, TheRateDialogsCancelRestoresAndResends) {
  k->s.settings.TremoloValue = 100;
  k->Tir_TREMOLOGO_Click();
  k->tremoloRate_Click();
  k->Tremolo_Slider1_Scroll(120);
  sent.clear();
  k->Tremolo_CANCEL_Click();
  EXPECT_EQ(k->s.settings.TremoloValue, 100);
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 1, 100}}));
}

TEST_F(Sound, ARateOutsideTheSliderStaysUntilTheKnobMoves) {
  k->s.settings.TremoloValue = 80;  // key commands step it down to 80
  k->tremoloRate_Click();
  EXPECT_TRUE(k->panel.Tremolo.visible);
  EXPECT_EQ(k->panel.Tremolo.Slider1, 100);
  EXPECT_EQ(k->panel.Tremolo.Valore, "80");
  EXPECT_EQ(k->s.settings.TremoloValue, 80);
  k->Tremolo_OK_Click();
  EXPECT_EQ(k->s.settings.TremoloValue, 80);
}

TEST_F(Sound, VolumeSlidersSendExpressionAndCoupledKnobsFollowSilently) {
  k->panel.Slider1.value = 100;
  k->Slider1_Scroll();
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 11, 100}}));
  EXPECT_EQ(k->panel.EXPGO.text, "100");
  EXPECT_EQ(k->panel.Slider2.value, 127);

  k->Couplingsliders_Click();
  EXPECT_EQ(k->panel.Couplingsliders.lamp, Lamp::Lit);
  sent.clear();
  k->panel.Slider1.value = 90;
  k->Slider1_Scroll();
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 11, 90}}));
  EXPECT_EQ(k->panel.Slider2.value, 90);            // the knob moved
  EXPECT_EQ(k->s.bank.pending.SwellVolume, 127);  // the Swell did not
  k->Couplingsliders_Click();
  EXPECT_EQ(k->panel.Couplingsliders.lamp, Lamp::Unlit);
}

TEST(SliderCoupling, StartUpKeepsTheSavedSetting) {
  for (i16 saved : {0, 1}) {
    struct Run : ConsoleTest {
      void TestBody() override {}
    } run;
    CfgData cfg;
    cfg.settings.SlidersCoupled = saved;
    cfg.fixedMemories.fill(kInitialRegistration);
    run.writeFile("KALVANT.CFG", serialiseCfg(cfg));
    run.k->Form_Load();
    EXPECT_EQ(run.k->s.settings.SlidersCoupled, saved);
    EXPECT_EQ(run.k->panel.Couplingsliders.lamp, saved ? Lamp::Lit : Lamp::Unlit);
  }
}

}  // namespace
}  // namespace kalvant::test
