// Temperaments, reverb, tremolo and the volumes: what the module receives
// and what the sound settings show.

#include "console/CfgFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using midi::Bytes;

class Sound_ : public ConsoleTest {
 protected:
  Sound_() { startPlaying(); }
  const SoundView& view() const { return k->sound().view(); }
  bool checked(MenuItem item) const { return view().menu[item].checked; }
};

// Temperaments are a radio group (chosen again: sent again); the marked
// reverb clicks off.
TEST_F(Sound_, TemperamentAndReverbMenus) {
  struct Case {
    void (Console::*click)(int);
    int item;
    std::vector<int> entries;
    const char* marks;  // Equal, Mean Tone, Silbermann, Kirnberger; Church, Cathedral, Chapel
  };
  const Case cases[] = {
      {&Console::Temperament_Click, 1, {104, 105, 106}, "0100 100"},
      {&Console::Temperament_Click, 0, {101, 102, 103}, "1000 100"},
      {&Console::Temperament_Click, 3, {110, 111, 112}, "0001 100"},
      {&Console::Temperament_Click, 3, {110, 111, 112}, "0001 100"},
      {&Console::Reverb_Click, 1, {8}, "0001 010"},
      {&Console::Reverb_Click, 1, {}, "0001 000"},
      {&Console::Reverb_Click, 1, {8}, "0001 010"},
      {&Console::Reverb_Click, 2, {9}, "0001 001"},
  };
  for (const Case& c : cases) {
    sent.clear();
    (k.get()->*c.click)(c.item);
    EXPECT_EQ(sentEntries(), c.entries) << c.item;
    std::string marks;
    for (MenuItem item :
         {MenuItem::Equal, MenuItem::MeanTone, MenuItem::Silbermann, MenuItem::Kirnberger,
          MenuItem::ReverbChurch, MenuItem::ReverbCathedral, MenuItem::ReverbChapel})
      marks += std::string(item == MenuItem::ReverbChurch ? " " : "") + (checked(item) ? "1" : "0");
    EXPECT_EQ(marks, c.marks) << c.item;
  }
  EXPECT_EQ(k->s.settings.PedalTemperament, 3);
  EXPECT_EQ(k->s.settings.ReverbType, 2);
}

TEST_F(Sound_, TremoloButtonsSwitchControllerOne) {
  k->s.settings.TremoloValue = 110;
  k->Tir_TREMOLOGO_Click();
  k->Tir_TREMOLOGO_Click();
  k->TIR_TREMOLOSW_Click();
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 1, 110}, {0xB0, 1, 0}, {0xB1, 1, 110}}));
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
  EXPECT_EQ(view().swellVolume.value, 127);

  k->Couplingsliders_Click();
  EXPECT_EQ(view().sliderCoupling.lamp, Lamp::Lit);
  sent.clear();
  k->Slider1_Scroll(90);
  EXPECT_EQ(bytesSent(), (std::vector<Bytes>{{0xB0, 11, 90}}));
  EXPECT_EQ(view().swellVolume.value, 90);                  // the knob moved
  EXPECT_EQ(k->registration().pending().SwellVolume, 127);  // the Swell did not
  EXPECT_EQ(k->registration().pending().GreatVolume, 90);
}

TEST(SliderCoupling, StartUpKeepsTheSavedSetting) {
  for (i16 saved : {0, 1}) {
    struct Run : ConsoleTest {
      void TestBody() override {}
    } run;
    run.writeCfg(2, 2, 2);
    CfgData cfg = readCfgFile(run.path("KALVANT.CFG")).data;
    cfg.settings.SlidersCoupled = saved;
    run.writeFile("KALVANT.CFG", serialiseCfg(cfg));
    run.k->Form_Load();
    EXPECT_EQ(run.k->sound().view().sliderCoupling.lamp, saved ? Lamp::Lit : Lamp::Unlit);
  }
}

}  // namespace
}  // namespace kalvant::test
