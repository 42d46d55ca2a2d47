// The first start, with no "KALVANT.CFG": the console asks whether to open
// Setup, and with no output device but the built-in synthesizer it plays
// through that one and says so.

#include "support/ConsoleFixture.h"

namespace kalvant::test {
namespace {

const std::string kBuiltIn = "kalvant built-in synthesizer";

struct FirstStartCase {
  const char* name;
  bool cfg;                          // a configuration file exists
  std::vector<std::string> outputs;  // the output's list, the built-in one last when offered
  bool builtIn;                      // the output offers the built-in synthesizer
  bool yes;                          // the answer to the question
  int outDev;                        // the output position chosen
  bool mentionsBuiltIn;              // the question says the built-in one plays
  const char* devices = nullptr;     // a device file left from an earlier start
};

TEST(FirstStart, AsksToOpenSetupAndFallsBackOnTheBuiltInSynthesizer) {
  const FirstStartCase rows[] = {
      {"devices, answered Yes", false, {"GS Module", "Synth"}, false, true, 2, false},
      {"devices, answered No", false, {"GS Module", "Synth"}, false, false, 2, false},
      {"devices and the built-in one", false, {"GS Module", kBuiltIn}, true, false, 2, false},
      {"only the built-in one", false, {kBuiltIn}, true, true, 0, true},
      {"only the built-in one, No", false, {kBuiltIn}, true, false, 0, true},
      {"only the built-in one, an old module awaited",
       false,
       {kBuiltIn},
       true,
       false,
       0,
       false,
       "output=GS Module\n"},
      {"configured", true, {kBuiltIn}, true, true, 1, false},
  };
  for (const FirstStartCase& row : rows) {
    SCOPED_TRACE(row.name);
    ConsoleTest t;
    StubSynth synth;
    t.out.deviceList.names = row.outputs;
    if (row.builtIn) t.restart(&synth);
    t.writeTable("kalvant.dat", taggedTable());
    if (row.cfg) t.writeCfg(2, 2, static_cast<i16>(row.outputs.size()));
    if (row.devices) t.writeFile(ports::kDeviceFileName, row.devices);
    t.user.answers = {row.yes};
    t.k->Form_Load(), t.loop.drain();
    ASSERT_EQ(t.user.questions.size(), row.cfg ? 0u : 1u);
    EXPECT_EQ(t.user.messages.size(), row.devices ? 1u : 0u);  // "... is not connected"
    EXPECT_EQ(t.k->s.settings.OutDev, row.outDev);
    if (row.cfg) continue;
    const std::string& q = t.user.questions[0];
    EXPECT_EQ(q.find("plays through its built-in synthesizer") != std::string::npos,
              row.mentionsBuiltIn)
        << q;
    EXPECT_NE(q.find("Open Setup"), std::string::npos) << q;
    EXPECT_EQ(t.k->midiSetup().view().visible, row.yes);
    // Setup closes the ports while it is open; otherwise the chosen output plays.
    const bool plays =
        !row.yes && !row.devices && row.outDev < static_cast<int>(row.outputs.size());
    EXPECT_EQ(t.out.isOpen() && t.out.openedDevice == row.outDev, plays);
  }
}

// A close request while the question is open ends the console; Setup stays shut.
TEST(FirstStart, ACloseRequestDuringTheQuestionOpensNoSetup) {
  ConsoleTest t;
  t.writeTable("kalvant.dat", taggedTable());
  bool cancel = false;
  t.user.answers = {true};
  t.user.whileOpen = [&] { t.user.whileOpen = nullptr, t.k->Form_Unload(cancel); };
  t.k->Form_Load(), t.loop.drain();
  EXPECT_FALSE(t.k->midiSetup().view().visible);
  EXPECT_TRUE(t.k->ended());
  EXPECT_TRUE(t.exists("KALVANT.CFG"));  // everything was read: the exit saves
}

}  // namespace
}  // namespace kalvant::test
