// Temperaments, reverb, tremolo and the volumes: what the module receives and what is shown.

#include "console/CfgFormat.h"
#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using Sent = std::vector<midi::Bytes>;

class Sound_ : public ConsoleTest {
 protected:
  Sound_() { startPlaying(); }
  const SoundView& view() const { return k->sound().view(); }
};

// Temperaments are a radio group (chosen again: sent again); the marked reverb clicks off.
TEST_F(Sound_, TemperamentAndReverbMenus) {
  // clang-format off
  const std::tuple<bool, int, std::vector<int>, const char*> rows[] = {  // reverb?, item, sent, marks
      {false, 1, {104, 105, 106}, "0100 100"}, {false, 0, {101, 102, 103}, "1000 100"},
      {false, 3, {110, 111, 112}, "0001 100"}, {false, 3, {110, 111, 112}, "0001 100"},
      {true, 1, {8}, "0001 010"}, {true, 1, {}, "0001 000"}, {true, 2, {9}, "0001 001"}};
  // clang-format on
  for (const auto& [reverb, item, entries, marks] : rows) {
    sent.clear();
    reverb ? k->Reverb_Click(item) : k->Temperament_Click(item);
    std::string shown;
    for (MenuItem m :
         {MenuItem::Equal, MenuItem::MeanTone, MenuItem::Silbermann, MenuItem::Kirnberger,
          MenuItem::ReverbChurch, MenuItem::ReverbCathedral, MenuItem::ReverbChapel})
      shown += (m == MenuItem::ReverbChurch ? " " : "") + std::to_string(view().menu[m].checked);
    EXPECT_EQ(std::pair(sentEntries(), shown), std::pair(entries, std::string(marks))) << item;
  }
  EXPECT_EQ(std::pair(int{k->s.settings.PedalTemperament}, int{k->s.settings.ReverbType}),
            std::pair(3, 2));
}

TEST_F(Sound_, TremoloButtonsSwitchControllerOne) {
  k->s.settings.TremoloValue = 110;
  k->Tir_TREMOLOGO_Click(), k->Tir_TREMOLOGO_Click(), k->TIR_TREMOLOSW_Click();
  EXPECT_EQ(bytesSent(), (Sent{{0xB0, 1, 110}, {0xB0, 1, 0}, {0xB1, 1, 110}}));
  EXPECT_EQ(std::pair(view().greatTremolo.lamp, view().swellTremolo.lamp),
            std::pair(Lamp::Unlit, Lamp::Lit));
}

TEST_F(Sound_, TheRateDialogResendsToTheTremolosThatAreOn) {
  // Controller, Great on, Swell on, sent.
  const std::tuple<i16, bool, bool, Sent> rows[] = {
      {0, false, false, {}},
      {0, false, true, {{0xB1, 1, 120}}},
      {1, true, true, {{0xB0, 2, 120}, {0xB1, 2, 120}}},
      {5, true, true, {}}};
  for (const auto& [controller, great, swell, expected] : rows) {
    k->s.settings.TremoloValue = 100;
    if ((k->registration().pending().GreatTremolo == 1) != great) k->Tir_TREMOLOGO_Click();
    if ((k->registration().pending().SwellTremolo == 1) != swell) k->TIR_TREMOLOSW_Click();
    k->s.settings.TremoloController = controller;
    k->tremoloRate_Click(), sent.clear(), k->Tremolo_Slider1_Scroll(120);
    EXPECT_EQ(bytesSent(), expected) << controller << great << swell;
    k->Tremolo_OK_Click();
    EXPECT_FALSE(view().tremoloRate.visible);
    EXPECT_EQ(k->s.settings.TremoloValue, 120);
  }
}

TEST_F(Sound_, TheRateDialogsCancelRestoresAndResends) {
  k->s.settings.TremoloValue = 80;  // key commands step it there; the slider starts at 100
  k->Tir_TREMOLOGO_Click(), k->tremoloRate_Click();
  EXPECT_EQ(view().tremoloRate, (TremoloRateView{true, 100, "80"}));
  k->Tremolo_Slider1_Scroll(120), sent.clear(), k->Tremolo_CANCEL_Click();
  EXPECT_EQ(std::tuple(int{k->s.settings.TremoloValue}, bytesSent(), view().tremoloRate.visible),
            std::tuple(80, Sent{{0xB0, 1, 80}}, false));
}

TEST_F(Sound_, VolumeSlidersSendExpressionAndCoupledKnobsFollowSilently) {
  k->Slider1_Scroll(100);
  EXPECT_EQ(view().swellVolume.value, 127);
  k->Couplingsliders_Click(), k->Slider1_Scroll(90);
  EXPECT_EQ(view().sliderCoupling.lamp, Lamp::Lit);
  EXPECT_EQ(bytesSent(), (Sent{{0xB0, 11, 100}, {0xB0, 11, 90}}));
  const Registration& r = k->registration().pending();  // the Swell's knob moves, not the Swell
  EXPECT_EQ(std::tuple(view().swellVolume.value, r.SwellVolume, r.GreatVolume),
            std::tuple(90, 127, 90));
  k->Couplingsliders_Click();
  EXPECT_EQ(view().sliderCoupling.lamp, Lamp::Unlit);
}

using SliderCoupling = ConsoleTest;

TEST_F(SliderCoupling, StartUpKeepsTheSavedSetting) {
  for (i16 saved : {0, 1}) {
    writeCfg(2, 2, 2);
    CfgData cfg = readCfgFile(path("KALVANT.CFG")).data;
    cfg.settings.SlidersCoupled = saved;
    writeFile("KALVANT.CFG", serialiseCfg(cfg));
    restart(), k->Form_Load();
    EXPECT_EQ(k->sound().view().sliderCoupling.lamp, saved ? Lamp::Lit : Lamp::Unlit);
  }
}

}  // namespace
}  // namespace kalvant::test
