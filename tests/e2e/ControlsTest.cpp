// The console played from the keyboards alone: key commands with the
// sustain pedal held, the pitch-bend wheel as a fast switch, the volume
// pedals, and PANIC.

#include "ConsoleOnJack.h"

namespace kalvant::e2e {
namespace {

constexpr int A = 0;
constexpr int B = 1;

const std::vector<std::string> kPanic{"B0 7B 00", "B0 7B 00", "B1 7B 00",
                                      "B1 7B 00", "B2 7B 00", "B2 7B 00"};

TEST_F(JackE2E, StopNumbersAndMemoriesByKeySendTheirSysex) {
  start();
  runSteps({
      {"pedal + key 41 on the Great: Great stop 4", A, {"B0 40 7F", "90 29 64"}, {"entry 13"}},
      {"the key's release is forwarded, pedal up does nothing",
       A,
       {"80 29 40", "B0 40 00"},
       {"80 29 40"}},
      {"pedal + key 62: memory 3 holds the first Great stop again",
       A,
       {"B0 40 7F", "90 3E 64", "90 3E 00", "B0 40 00"},
       {"entry 10", "90 3E 00"}},
      {"tens key 39 then units key 43: Great stop 25",
       A,
       {"B0 40 7F", "90 27 64", "90 2B 64", "B0 40 00"},
       {"entry 34"}},
      {"pedal + key 41 on the Swell: Swell stop 4", A, {"B1 40 7F", "91 29 64"}, {"entry 53"}},
      {"units key 52 alone on the Pedal selects nothing",
       B,
       {"B2 40 7F", "92 34 64", "B2 40 00"},
       {}},
      {"pedal + key 77: fixed memory 18 with three stops and the Great volume",
       A,
       {"B0 40 7F", "90 4D 64"},
       {"entry 20", "entry 60", "entry 90", "B0 0B 64"}},
      {"pedal + key 86: mean-tone temperament for the three divisions",
       A,
       {"B0 40 7F", "90 56 64"},
       {"entry 104", "entry 105", "entry 106"}},
      {"a Great stop now brings its temperament along",
       A,
       {"B0 40 7F", "90 29 64"},
       {"entry 13", "entry 104"}},
  });
}

TEST_F(JackE2E, ThePitchBendWheelSwitchesTremolosAndCouplersOncePerExcursion) {
  start();
  runSteps({
      {"wheel up on the Great: Great tremolo on", A, {"E0 00 4C"}, {"B0 01 64"}},
      {"still up: no second switch", A, {"E0 00 4D"}, {}},
      {"back to the centre, up again: tremolo off", A, {"E0 00 40", "E0 00 4C"}, {"B0 01 00"}},
      {"wheel up on the Swell: Swell tremolo on", A, {"E0 00 40", "E1 00 4C"}, {"B1 01 64"}},
      {"wheel down on the Great: Great to Swell, sounding on the next key",
       A,
       {"E1 00 40", "E0 00 30", "90 3C 64"},
       {"90 3C 64", "91 3C 64"}},
      {"wheel up on the Pedal: Pedal to Great",
       B,
       {"E2 00 40", "E2 00 4C", "92 24 50"},
       {"92 24 50", "90 24 50"}},
      {"outside the zones nothing switches", A, {"E0 00 40", "E0 00 58"}, {}},
      {"a wheel on a channel that is no division passes", A, {"E4 00 4C"}, {"E4 00 4C"}},
  });
}

TEST_F(JackE2E, VolumePedalsSetTheDivisionVolumes) {
  start([](CfgData& cfg) { cfg.settings.SlidersCoupled = 1; });
  runSteps({
      {"volume 64 on the Great: expression 104", A, {"B0 07 40"}, {"B0 0B 68"}},
      {"expression 0 on the Swell: 80", A, {"B1 0B 00"}, {"B1 0B 50"}},
      {"modulation wheel full on the Great: 127", A, {"B0 01 7F"}, {"B0 0B 7F"}},
      {"a Pedal pedal on input 1 does nothing", A, {"B2 07 40"}, {}},
      {"on input 2 with the sliders coupled it moves both",
       B,
       {"B2 07 40"},
       {"B0 0B 68", "B1 0B 68"}},
      {"other controllers pass", A, {"B0 0A 40"}, {"B0 0A 40"}},
  });
}

TEST_F(JackE2E, PanicSendsAllNotesOffTwiceOnEachDivision) {
  start();
  runSteps({
      {"sustain pedal down and up with no key between", A, {"B0 40 7F", "B0 40 00"}, kPanic},
      {"pedal + key 59", A, {"B0 40 7F", "90 3B 64"}, kPanic},
      {"pedal + key 20, outside the command keys", B, {"B1 40 7F", "91 14 64", "B1 40 00"}, kPanic},
      {"a half-pressed pedal arms nothing", A, {"B0 40 40", "B0 40 00"}, {}},
      {"a sustain pedal outside the divisions passes", A, {"B4 40 7F"}, {"B4 40 7F"}},
  });
}

}  // namespace
}  // namespace kalvant::e2e
