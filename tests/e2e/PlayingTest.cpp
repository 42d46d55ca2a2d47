// Playing the organ: the keyboards' notes on the division channels in each
// thru mode, with the couplers put on by fixed memories recalled from the
// keyboard (sustain pedal held, keys 72..76 = memories 13..17).

#include "ConsoleOnJack.h"

namespace kalvant::e2e {
namespace {

constexpr int A = 0;  // keyboard on input 1
constexpr int B = 1;  // keyboard or pedalboard on input 2

TEST_F(JackE2E, NoRechannellingPlaysEachChannelOnItsOwnDivisionWithTheCouplers) {
  start([](CfgData& cfg) { cfg.settings.ThruMode = 0; });
  runSteps({
      {"a Great key sounds on the Great", A, {"90 3C 64", "80 3C 40"}, {"90 3C 64", "80 3C 40"}},
      {"pedal + key 72: memory 13 puts on Great to Swell; nothing sounds",
       A,
       {"B0 40 7F", "90 48 64"},
       {}},
      {"the command key's release is an ordinary release, now coupled",
       A,
       {"80 48 40", "B0 40 00"},
       {"80 48 40", "81 48 40"}},
      {"a Great key with its Swell duplicate",
       A,
       {"90 3C 64", "80 3C 40"},
       {"90 3C 64", "91 3C 64", "80 3C 40", "81 3C 40"}},
      {"a Swell key is not coupled back", A, {"91 3E 64"}, {"91 3E 64"}},
      {"pedal + key 74: memory 15, Pedal to Great; the release as velocity 0",
       A,
       {"B0 40 7F", "90 4A 64", "90 4A 00", "B0 40 00"},
       {"90 4A 00"}},
      {"the pedalboard with its Great duplicate",
       B,
       {"92 24 50", "82 24 40"},
       {"92 24 50", "90 24 50", "82 24 40", "80 24 40"}},
      {"pedal + key 75 from the pedalboard: memory 16, Pedal to Swell",
       B,
       {"B2 40 7F", "92 4B 64", "82 4B 40", "92 24 50"},
       {"82 4B 40", "81 4B 40", "92 24 50", "91 24 50"}},
      {"a channel that is no division passes as it is", B, {"94 3C 64"}, {"94 3C 64"}},
  });
}

TEST_F(JackE2E, NormalRechannellingFoldsEveryChannelOntoTheActiveDivision) {
  start([](CfgData& cfg) { cfg.settings.ThruMode = 1; });
  runSteps({
      {"the Great is active", A, {"90 3C 64", "94 3D 64"}, {"90 3C 64", "90 3D 64"}},
      {"pedal + key 76: memory 17, the Swell active with Swell to Great",
       A,
       {"B0 40 7F", "90 4C 64"},
       {}},
      {"the command key's release goes to the Swell and its duplicate; pedal up is silent",
       A,
       {"80 4C 40", "B0 40 00"},
       {"81 4C 40", "80 4C 40"}},
      {"channel 1 plays the Swell, coupled to the Great",
       A,
       {"90 3C 64", "80 3C 40"},
       {"91 3C 64", "90 3C 64", "81 3C 40", "80 3C 40"}},
      {"so does channel 7 on the other input", B, {"96 40 64"}, {"91 40 64", "90 40 64"}},
      {"program changes keep their channel", B, {"C6 05"}, {"C6 05"}},
  });
}

TEST_F(JackE2E, FixedRechannellingPlaysTheLearnedChannelsOnTheirDivisions) {
  start([](CfgData& cfg) {
    cfg.settings.ThruMode = 2;
    // Channel 4 plays the Great, channel 1 the Swell, channel 2 the Pedal.
    cfg.settings.FixedChannel = {3, 0, 1, 0};
  });
  runSteps({
      {"channel 4 to the Great, channel 1 to the Swell",
       A,
       {"93 3C 64", "90 40 64"},
       {"90 3C 64", "91 40 64"}},
      {"channel 2 to the Pedal", B, {"91 24 50"}, {"92 24 50"}},
      {"pedal + key 74 on channel 4: memory 15, Pedal to Great",
       A,
       {"B3 40 7F", "93 4A 64", "83 4A 40", "B3 40 00"},
       {"80 4A 40"}},
      {"the pedalboard with its Great duplicate", B, {"91 24 50"}, {"92 24 50", "90 24 50"}},
      {"an unlearned channel passes; program changes follow the learned channels",
       A,
       {"95 3C 64", "C3 07"},
       {"95 3C 64", "C0 07"}},
  });
}

}  // namespace
}  // namespace kalvant::e2e
