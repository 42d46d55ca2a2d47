// The module's part router against a recording synthesizer.

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "synth/GsModule.h"

namespace kalvant::synth {
namespace {

using Notes = std::multiset<std::pair<int, int>>;  // channel, key
using Triples = std::vector<std::tuple<int, int, int>>;

struct Recorder : SoundTarget {
  Notes sounding;
  Triples controllers, tones;
  std::vector<Modulation> modulations;
  std::set<int> silenced;
  void noteOn(int c, int k, int) override { sounding.insert({c, k}); }
  void noteOff(int c, int k) override {
    if (auto it = sounding.find({c, k}); it != sounding.end()) sounding.erase(it);
  }
  void controlChange(int c, int cc, int v) override { controllers.emplace_back(c, cc, v); }
  void pitchBend(int, int) override {}
  void channelPressure(int, int) override {}
  void keyPressure(int, int, int) override {}
  void selectTone(int c, int b, int p, bool) override { tones.emplace_back(c, b, p); }
  void setScaleTuning(int, const std::array<double, 12>&) override {}
  void setModulation(int, const Modulation& m) override { modulations.push_back(m); }
  void setReverb(const ReverbParams&) override {}
  void setChorus(const ChorusParams&) override {}
  void silence(int c) override {
    silenced.insert(c);
    std::erase_if(sounding, [c](const auto& n) { return n.first == c; });
  }
};

Bytes partParam(int part, std::uint8_t offset, std::uint8_t value) {
  return makeDataSet(gsAddress(0x40, static_cast<std::uint8_t>(0x10 | blockOfPart(part)), offset),
                     {value});
}

// A Great stop of two ranks: part 1 at 8', part 4 at 4', both on channel 1.
struct GsModuleTest : ::testing::Test {
  void layerEightAndFour() { send({partParam(3, 0x16, 0x4C), partParam(3, 0x02, 0x00)}); }
  void send(const std::vector<Bytes>& messages) {
    for (const Bytes& m : messages) module.receive(m);
  }
  Recorder rec;
  GsModule module{rec};
};

TEST_F(GsModuleTest, AChannelReachesEveryPartThatReceivesItUntilItsRxChannelIsOff) {
  send({{0xF8}, {0xFE}, {0x90, 60}, {0x45, 60, 100}, {}});
  EXPECT_TRUE(rec.sounding.empty());
  layerEightAndFour();
  send({{0x90, 60, 100}});
  EXPECT_EQ(rec.sounding, (Notes{{0, 60}, {3, 72}}));
  send({{0x80, 60, 0}});  // the note-off releases both layers
  EXPECT_TRUE(rec.sounding.empty());
  send({{0x90, 60, 100}, partParam(3, 0x02, 0x00)});  // a new stop keeps the part on channel 1
  EXPECT_EQ(rec.sounding, (Notes{{0, 60}, {3, 72}}));
  send({partParam(3, 0x02, kRxOff)});
  EXPECT_EQ(rec.sounding, (Notes{{0, 60}}));
  send({{0x90, 62, 100}});
  EXPECT_EQ(rec.sounding, (Notes{{0, 60}, {0, 62}}));
  send({{0x90, 62, 0}, {0x80, 60, 0}});
  EXPECT_TRUE(rec.sounding.empty());
}

TEST_F(GsModuleTest, ANoteEndsWhereItStartedWhateverTheKeyShiftBecame) {
  // 4' to 8', 8' to 16', 2 2/3' to 2', and a 2' rank folded back at the top.
  const std::tuple<std::uint8_t, std::uint8_t, std::uint8_t, int> rows[] = {
      {60, 0x4C, 0x40, 72}, {60, 0x40, 0x34, 60}, {60, 0x53, 0x58, 79}, {120, 0x58, 0x40, 120}};
  for (const auto& [key, before, after, startedKey] : rows) {
    Recorder r;
    GsModule m(r);
    m.receive(partParam(0, 0x16, before));
    m.receive({0x90, key, 90});
    EXPECT_EQ(r.sounding, (Notes{{0, startedKey}})) << int{key};
    m.receive(partParam(0, 0x16, after));
    m.receive({0x80, key, 0});
    EXPECT_EQ(std::pair(r.sounding.size(), m.soundingNotes(0)), std::pair(0ul, 0)) << int{key};
  }
  send({{0x90, 60, 100}, partParam(0, 0x16, 0x4C), {0x90, 60, 100}});  // restarts, no hang
  EXPECT_EQ(rec.sounding, (Notes{{0, 72}}));
}

TEST_F(GsModuleTest, AllNotesOffAndGsResetSilenceAtOnce) {
  layerEightAndFour();
  send({{0x90, 60, 100}, {0x91, 64, 100}, {0xB0, 123, 0}});
  EXPECT_EQ(rec.silenced, (std::set<int>{0, 3}));
  EXPECT_EQ(rec.sounding, (Notes{{1, 64}}));
  send({gsResetMessage()});
  EXPECT_TRUE(rec.sounding.empty());
  EXPECT_EQ(rec.silenced.size(), 16u);
  EXPECT_EQ(module.interpreter().part(3).rxChannel, 3);
}

TEST_F(GsModuleTest, ControllersActOnEveryReceivingPart) {
  layerEightAndFour();
  rec.controllers.clear();
  send({{0xB0, 7, 90}, {0xB0, 11, 64}});
  EXPECT_EQ(rec.controllers, (Triples{{0, 7, 90}, {3, 7, 90}, {0, 11, 64}, {3, 11, 64}}));
  EXPECT_EQ(module.interpreter().part(3).level, 90);  // CC7 is the part level
  send({{0xB1, 0, 8}, {0xC1, 19}});  // a program change takes the bank selected before
  EXPECT_EQ(rec.tones.back(), std::make_tuple(1, 8, 19));
}

TEST_F(GsModuleTest, ModulationWheelDeepensTheVibratoByThePartsDepth) {
  send({partParam(0, 0x31, 0x0E), makeDataSet(gsAddress(0x40, 0x21, 0x04), {64}),
        makeDataSet(gsAddress(0x40, 0x21, 0x06), {28})});
  rec.modulations.clear();
  send({{0xB0, 1, 0}, {0xB0, 1, 127}});
  ASSERT_EQ(rec.modulations.size(), 2u);
  EXPECT_DOUBLE_EQ(rec.modulations[0].vibratoCents, 0.0);
  EXPECT_DOUBLE_EQ(rec.modulations[0].tremoloCentibels, 0.0);
  EXPECT_NEAR(rec.modulations[1].vibratoCents, 64 / 127.0 * 600, 1e-9);
  EXPECT_NEAR(rec.modulations[1].tremoloCentibels, 28 / 127.0 * 200, 1e-9);
}

}  // namespace
}  // namespace kalvant::synth
