// Temperaments, reverb, tremolo and the division volumes: the messages the
// module receives and what the sound settings show.

#include "console/CfgFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using midi::Bytes;

class Sound_ : public ConsoleTest {
 protected:
  Sound_() { startPlaying(); }
  const SoundView& view() const { return k->sound().view(); }
  bool checked(const char* item) const { return view().menu.at(item).checked; }
};

TEST_F(Sound_, TemperamentMenuActsAsARadioGroup) {
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
  for (const Case& c : cases) {
    sent.clear();
    k->Temperament_Click(c.item);
    EXPECT_EQ(sentEntries(), c.entries) << c.marked;
    for (const char* item : {"Equal", "MeanTone", "Silbermann", "Kirnberger"})
      EXPECT_EQ(checked(item), std::string(item) == c.marked) << item;
    EXPECT_EQ(k->s.settings.PedalTemperament, c.item);
  }
}

TEST_F(Sound_, ReverbMenuMovesTheMarkAndTheMarkedItemClicksOff) {
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
    EXPECT_EQ((std::array{checked("Reverb1"), checked("Reverb2"), checked("Reverb3")}), c.marks);
  }
  EXPECT_EQ(k->s.settings.ReverbType, 2);
}

TEST_F(Sound_, TremoloButtonsSwitchControllerOne) {
  k->s.settings.TremoloValue = 110;
  k->Tir_TREMOLOGO_Click();
  k->Tir_TREMOLOGO_Click();
  k->TIR_TREMOLOSW_Click();
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 1, 110}, {0xB0, 1, 0}, {0xB1, 1, 110}}));
  EXPECT_EQ(k->registration().pending().GreatTremolo, 0);
  EXPECT_EQ(view().greatTremolo.lamp, Lamp::Unlit);
  EXPECT_EQ(view().swellTremolo.lamp, Lamp::Lit);
}

TEST_F(Sound_, TheRateDialogResendsToTheTremolosThatAreOn) {
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
    k->s.settings.TremoloValue = 100;
    if ((k->registration().pending().GreatTremolo == 1) != c.great) k->Tir_TREMOLOGO_Click();
    if ((k->registration().pending().SwellTremolo == 1) != c.swell) k->TIR_TREMOLOSW_Click();
    k->s.settings.TremoloController = c.controller;
    k->tremoloRate_Click();
    sent.clear();
    k->Tremolo_Slider1_Scroll(120);
    EXPECT_EQ(bytesSent(), c.expected) << c.controller << c.great << c.swell;
    k->Tremolo_OK_Click();
    EXPECT_FALSE(view().tremoloRate.visible);
    EXPECT_EQ(k->s.settings.TremoloValue, 120);
  }
}

TEST_F(Sound_, TheRateDialogsCancelRestoresAndResends) {
  k->s.settings.TremoloValue = 80;  // key commands step it down to 80
  k->Tir_TREMOLOGO_Click();
  k->tremoloRate_Click();
  // A rate outside the slider stays as it is until the knob moves.
  EXPECT_EQ(view().tremoloRate, (TremoloRateView{true, 100, "80"}));
  k->Tremolo_Slider1_Scroll(120);
  sent.clear();
  k->Tremolo_CANCEL_Click();
  EXPECT_EQ(k->s.settings.TremoloValue, 80);
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 1, 80}}));
  EXPECT_FALSE(view().tremoloRate.visible);
}

TEST_F(Sound_, VolumeSlidersSendExpressionAndCoupledKnobsFollowSilently) {
  k->Slider1_Scroll(100);
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 11, 100}}));
  EXPECT_EQ(view().greatVolumeText.text, "100");
  EXPECT_EQ(view().swellVolume.value, 127);

  k->Couplingsliders_Click();
  EXPECT_EQ(view().sliderCoupling.lamp, Lamp::Lit);
  sent.clear();
  k->Slider1_Scroll(90);
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 11, 90}}));
  EXPECT_EQ(view().swellVolume.value, 90);                  // the knob moved
  EXPECT_EQ(k->registration().pending().SwellVolume, 127);  // the Swell did not
  EXPECT_EQ(k->registration().pending().GreatVolume, 90);
  k->Couplingsliders_Click();
  EXPECT_EQ(view().sliderCoupling.lamp, Lamp::Unlit);
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
    EXPECT_EQ(run.k->sound().view().sliderCoupling.lamp, saved ? Lamp::Lit : Lamp::Unlit);
  }
}

}  // namespace
}  // namespace kalvant::test
