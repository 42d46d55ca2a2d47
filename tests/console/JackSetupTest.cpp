// The setup dialog with real ports over JACK (dummy driver): the organist picks the module's
// port, OK resets the module through it, and the next start opens it from "KALVANT.CFG".

#include <cstdlib>

#include "support/JackSupport.h"

namespace kalvant::test {
namespace {

TEST(JackSetup, ThePickedPortIsResetAndOpenedAgainAfterARestart) {
  if (!std::getenv("JACK_DEFAULT_SERVER")) GTEST_SKIP() << "no JACK test server (scripts/test)";
  ConsoleTest files;
  files.writeTable("kalvant.dat", taggedTable());
  Module module;
  const std::vector<int> reset{100, 1, 0, 2, 3, 4, 5, 6, 7, 101, 102, 103};
  bool cancel = false;
  {
    ConsoleRun first(files.dir);
    first.k->Form_Load();
    first.loop.drain();
    EXPECT_EQ(first.user.messages, std::vector<std::string>{});
    EXPECT_EQ(first.user.questions.size(), 1u);  // whether to open Setup, answered No
    first.k->SetMidi_Click();
    const int position = positionOf(first.k->midiSetup().view().outputDevices, "gs-module");
    ASSERT_GE(position, 0);
    first.k->outputDevcombo_Click(position);
    first.k->Setup_OK_Click();
    first.loop.drain();
    std::vector<int> expected{101, 102, 103};
    expected.insert(expected.end(), reset.begin(), reset.end());
    EXPECT_EQ(module.entries(expected.size()), expected);
    first.k->Form_Unload(cancel);
    first.loop.drain();
    EXPECT_EQ(module.entries(2), (std::vector<int>{100, 1}));
  }
  ConsoleRun second(files.dir);
  second.k->Form_Load();
  second.loop.drain();
  EXPECT_EQ(second.user.messages, std::vector<std::string>{});
  EXPECT_EQ(module.entries(reset.size()), reset);
  second.k->Form_Unload(cancel);
  second.loop.drain();
}

}  // namespace
}  // namespace kalvant::test
