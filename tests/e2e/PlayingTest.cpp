// Playing from the keyboards: each thru mode, key commands with the sustain pedal
// held (keys 72..77 = memories 13..18), the pitch-bend wheel, volume pedals, PANIC,
// the memory sequencer's foot switches.

#include "ConsoleOnJack.h"

namespace kalvant::e2e {
namespace {

constexpr int A = 0;  // keyboard on input 1
constexpr int B = 1;  // keyboard or pedalboard on input 2

const std::string kPanic = "B0 7B 00, B0 7B 00, B1 7B 00, B1 7B 00, B2 7B 00, B2 7B 00";

TEST_F(JackE2E, NoRechannellingPlaysEachChannelOnItsOwnDivisionWithTheCouplers) {
  start([](CfgData& cfg) { cfg.settings.ThruMode = 0; });
  runSteps({
      {"Great key", A, "90 3C 64, 80 3C 40", "90 3C 64, 80 3C 40"},
      {"pedal + key 72: memory 13, Great to Swell", A, "B0 40 7F, 90 48 64", ""},
      {"command key release, now coupled", A, "80 48 40, B0 40 00", "80 48 40, 81 48 40"},
      {"Great key + Swell", A, "90 3C 64, 80 3C 40", "90 3C 64, 91 3C 64, 80 3C 40, 81 3C 40"},
      {"Swell key not coupled back", A, "91 3E 64", "91 3E 64"},
      {"key 74: Pedal to Great, velocity 0", A, "B0 40 7F, 90 4A 64, 90 4A 00, B0 40 00",
       "90 4A 00"},
      {"pedalboard + Great", B, "92 24 50, 82 24 40", "92 24 50, 90 24 50, 82 24 40, 80 24 40"},
      {"key 75: Pedal to Swell", B, "B2 40 7F, 92 4B 64, 82 4B 40, 92 24 50",
       "82 4B 40, 81 4B 40, 92 24 50, 91 24 50"},
      {"no division", B, "94 3C 64", "94 3C 64"},
  });
}

TEST_F(JackE2E, NormalRechannellingFoldsEveryChannelOntoTheActiveDivision) {
  start([](CfgData& cfg) { cfg.settings.ThruMode = 1; });
  runSteps({
      {"the Great is active", A, "90 3C 64, 94 3D 64", "90 3C 64, 90 3D 64"},
      {"pedal + key 76: memory 17, Swell active, Swell to Great", A, "B0 40 7F, 90 4C 64", ""},
      {"command key release to the Swell + Great", A, "80 4C 40, B0 40 00", "81 4C 40, 80 4C 40"},
      {"channel 1", A, "90 3C 64, 80 3C 40", "91 3C 64, 90 3C 64, 81 3C 40, 80 3C 40"},
      {"channel 7 on input 2", B, "96 40 64", "91 40 64, 90 40 64"},
      {"program changes keep their channel", B, "C6 05", "C6 05"},
  });
}

TEST_F(JackE2E, FixedRechannellingPlaysTheLearnedChannelsOnTheirDivisions) {
  start([](CfgData& cfg) {
    cfg.settings.ThruMode = 2;
    cfg.settings.FixedChannel = {3, 0, 1, 0};  // Great 4, Swell 1, Pedal 2
  });
  runSteps({
      {"channels 4 and 1", A, "93 3C 64, 90 40 64", "90 3C 64, 91 40 64"},
      {"channel 2", B, "91 24 50", "92 24 50"},
      {"key 74 on ch 4: Pedal to Great", A, "B3 40 7F, 93 4A 64, 83 4A 40, B3 40 00", "80 4A 40"},
      {"pedalboard + Great", B, "91 24 50", "92 24 50, 90 24 50"},
      {"unlearned channel; program change", A, "95 3C 64, C3 07", "95 3C 64, C0 07"},
  });
}

TEST_F(JackE2E, StopNumbersAndMemoriesByKeySendTheirSysex) {
  start();
  runSteps({
      {"pedal + key 41 on the Great: stop 4", A, "B0 40 7F, 90 29 64", "entry 13"},
      {"release forwarded, pedal up silent", A, "80 29 40, B0 40 00", "80 29 40"},
      {"key 62: memory 3", A, "B0 40 7F, 90 3E 64, 90 3E 00, B0 40 00", "entry 10, 90 3E 00"},
      {"keys 39, 43: stop 25", A, "B0 40 7F, 90 27 64, 90 2B 64, B0 40 00", "entry 34"},
      {"pedal + key 41 on the Swell: stop 4", A, "B1 40 7F, 91 29 64", "entry 53"},
      {"units key 52 alone on the Pedal", B, "B2 40 7F, 92 34 64, B2 40 00", ""},
      {"key 77: memory 18", A, "B0 40 7F, 90 4D 64", "entry 20, entry 60, entry 90, B0 0B 64"},
      // The sostenuto recalls the previous memory, the soft pedal the next one.
      {"key and pedal up", A, "80 4D 40, B0 40 00", "80 4D 40"},
      {"sostenuto on the Great: memory 17", A, "B0 42 40, B0 42 3F",
       "entry 10, entry 50, entry 80, B0 0B 7F"},
      {"soft pedal on the Swell: memory 18", B, "B1 43 7F",
       "entry 20, entry 60, entry 90, B0 0B 64"},
      {"released", B, "B1 43 00", ""},
      {"pedal + key 86: mean-tone", A, "B0 40 7F, 90 56 64", "entry 104, entry 105, entry 106"},
      {"a Great stop with its temperament", A, "B0 40 7F, 90 29 64", "entry 13, entry 104"},
  });
}

TEST_F(JackE2E, ThePitchBendWheelSwitchesTremolosAndCouplersOncePerExcursion) {
  start();
  runSteps({
      {"up on the Great: tremolo on", A, "E0 00 4C", "B0 01 64"},
      {"still up", A, "E0 00 4D", ""},
      {"centre, up again: off", A, "E0 00 40, E0 00 4C", "B0 01 00"},
      {"up on the Swell: tremolo on", A, "E0 00 40, E1 00 4C", "B1 01 64"},
      {"down: Great to Swell", A, "E1 00 40, E0 00 30, 90 3C 64", "90 3C 64, 91 3C 64"},
      {"up on the Pedal: Pedal to Great", B, "E2 00 40, E2 00 4C, 92 24 50", "92 24 50, 90 24 50"},
      {"outside the zones", A, "E0 00 40, E0 00 58", ""},
      {"no division", A, "E4 00 4C", "E4 00 4C"},
  });
}

TEST_F(JackE2E, VolumePedalsSetTheDivisionVolumes) {
  start([](CfgData& cfg) { cfg.settings.SlidersCoupled = 1; });
  runSteps({
      {"volume 64 on the Great", A, "B0 07 40", "B0 0B 68"},
      {"expression 0 on the Swell", A, "B1 0B 00", "B1 0B 50"},
      {"modulation full on the Great", A, "B0 01 7F", "B0 0B 7F"},
      {"a Pedal pedal on input 1", A, "B2 07 40", ""},
      {"on input 2, sliders coupled", B, "B2 07 40", "B0 0B 68, B1 0B 68"},
      {"other controllers pass", A, "B0 0A 40", "B0 0A 40"},
  });
}

TEST_F(JackE2E, PanicSendsAllNotesOffTwiceOnEachDivision) {
  start();
  runSteps({
      {"pedal down and up", A, "B0 40 7F, B0 40 00", kPanic},
      {"pedal + key 59", A, "B0 40 7F, 90 3B 64", kPanic},
      {"pedal + key 20", B, "B1 40 7F, 91 14 64, B1 40 00", kPanic},
      {"half-pressed pedal", A, "B0 40 40, B0 40 00", ""},
      {"no division", A, "B4 40 7F", "B4 40 7F"},
  });
}

}  // namespace
}  // namespace kalvant::e2e
