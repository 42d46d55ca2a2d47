// Keys played with the sustain pedal held: the command map.

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

using midi::Bytes;

class KeyCommands : public ConsoleTest {
 public:
  KeyCommands() { startPlaying(); }
  // Arms, then plays the keys on a division (0 Great, 1 Swell, 2 Pedal).
  void keys(int division, std::initializer_list<int> notes) {
    for (int n : notes) {
      k->s.CommandArmed = true;
      k->Total_Recall(n, division);
    }
  }
};

TEST_F(KeyCommands, StopNumbersByTensAndUnits) {
  struct Case {
    int division;
    std::vector<int> notes;
    int selected;  // the stop button sent, or -1
  };
  const Case cases[] = {
      {0, {41}, 13},          // units 4 alone: Great stop 4
      {0, {39, 43}, 34},      // tens 20, units 5: Great stop 25
      {1, {37, 36}, 60},      // Swell stop 11
      {2, {44, 50}, -1},      // Pedal stop 49 does not exist
      {0, {52}, -1},          // stop 0 is nothing
      {0, {44, 50}, -1},      // tens 40 + units 9 on the Great gives 58: nothing
      {2, {52}, -1},          // a Pedal units key with n = 0: index 79 is no Pedal stop
      {0, {42, 37, 38}, 21},  // a second tens key replaces the first
  };
  for (const Case& c : cases) {
    sent.clear();
    std::vector<int> notes = c.notes;
    for (std::size_t i = 0; i < notes.size(); ++i) {
      k->s.CommandArmed = true;
      k->Total_Recall(notes[i], c.division);
      const bool tens = i + 1 < notes.size();
      EXPECT_EQ(k->s.CommandArmed, tens) << notes[i];  // a tens key keeps the command open
    }
    std::vector<int> stops;
    for (int e : sentEntries()) {
      if (e >= 10 && e <= 99) stops.push_back(e);
    }
    EXPECT_EQ(stops, c.selected < 0 ? std::vector<int>{} : std::vector<int>{c.selected})
        << c.notes[0];
    EXPECT_EQ(k->s.StopNumberTens, 0);
  }
}

TEST_F(KeyCommands, RateAndVolumeStepsStopAtTheirLimits) {
  struct Case {
    int key, division, before, after;
    bool tremolo;
  };
  const Case cases[] = {
      {91, 0, 86, 81, true},    {91, 0, 85, 80, true},    {91, 0, 80, 80, true},
      {93, 0, 114, 119, true},  {93, 0, 115, 120, true},  {93, 0, 125, 120, true},
      {95, 0, 86, 81, false},   {95, 1, 83, 80, false},   {96, 0, 121, 126, false},
      {96, 1, 122, 127, false}, {95, 2, 100, 100, false},
  };
  for (const Case& c : cases) {
    if (c.tremolo) {
      k->s.settings.TremoloValue = static_cast<i16>(c.before);
    } else {
      k->s.bank.pending.GreatVolume = k->s.bank.pending.SwellVolume =
          static_cast<i16>(c.before);
    }
    sent.clear();
    keys(c.division, {c.key});
    const int after = c.tremolo ? k->s.settings.TremoloValue
                                : (c.division == 1 ? k->s.bank.pending.SwellVolume
                                                   : k->s.bank.pending.GreatVolume);
    EXPECT_EQ(after, c.after) << c.key << " from " << c.before;
    EXPECT_FALSE(k->s.CommandArmed);
    if (c.tremolo) {  // both tremolos hear the rate (off here: their off message)
      EXPECT_EQ(sent.size(), 2u);
    } else if (c.division == 2) {
      EXPECT_TRUE(sent.empty());
    }
  }
}

TEST_F(KeyCommands, ButtonsAndMenusByKey) {
  keys(2, {49});
  EXPECT_EQ(k->panel.UNPI.lamp, Lamp::Lit);  // on the Pedal: "I to Ped", not a tremolo
  keys(2, {51});
  EXPECT_EQ(k->panel.UNPII.lamp, Lamp::Lit);
  EXPECT_EQ(k->panel.UNPI.lamp, Lamp::Unlit);
  keys(1, {49});
  EXPECT_EQ(k->panel.TIR_TREMOLOSW.lamp, Lamp::Lit);
  sent.clear();
  keys(0, {89});
  EXPECT_EQ(sentEntries(), (std::vector<int>{110, 111, 112}));
  sent.clear();
  keys(0, {85, 87});
  EXPECT_TRUE(sent.empty());
  keys(0, {53});
  EXPECT_TRUE(k->s.RecArmed);
  keys(0, {92});
  EXPECT_TRUE(k->panel.checked("Reverb2"));
}

TEST_F(KeyCommands, KeysOutsideTheMapSendPanic) {
  for (int key : {0, 35, 59, 97, 127}) {
    sent.clear();
    keys(0, {key});
    ASSERT_EQ(sent.size(), 6u) << key;
    EXPECT_EQ(sent[0].bytes, (Bytes{0xB0, 123, 0})) << key;
    EXPECT_FALSE(k->s.CommandArmed);
  }
}

TEST_F(KeyCommands, MemoryKeysRecall) {
  k->s.bank.memory(24) = {127, 127, 44, 0, 50, 0, 80, 0, 0, 1};
  keys(0, {83});
  EXPECT_EQ(k->s.CurrentMemory, 24);
  EXPECT_EQ(k->s.bank.live.GreatStop, 44);
}

}  // namespace
}  // namespace kalvant::test
